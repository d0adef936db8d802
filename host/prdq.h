#pragma once
// Host preference categories for colours and fonts: the entries a document window offers
// on its preference pages, the pages that list them, and the user's changed values. A
// changed value is announced to every frame with the "NTFQ_MSG_PRDQ_UPDATED" notification.

#include "host/afcq.h"

#include <QColor>
#include <QFont>
#include <QList>

#include <string>

// One colour a user may change: its display name and the host colour id.
struct PRDQ_COLOR
{
    std::string name;
    int id;
    void* ptr;
};

// One font a user may change: its display name and the host font id.
struct PRDQ_FONT
{
    std::string name;
    int id;
    void* ptr;
};

// A preference page over a list of colour entries; the list is not owned.
class PRDQ_COLOR_INFO : public AFCQ_PAGE_INFO
{
public:
    PRDQ_COLOR_INFO(int id, QList<PRDQ_COLOR>* colors);
    ~PRDQ_COLOR_INFO();
    PRDQ_COLOR_INFO(const PRDQ_COLOR_INFO&) = delete;
    PRDQ_COLOR_INFO& operator=(const PRDQ_COLOR_INFO&) = delete;

    QList<PRDQ_COLOR>* m_colors;
};

// A preference page over a list of font entries; the list is not owned.
class PRDQ_FONT_INFO : public AFCQ_PAGE_INFO
{
public:
    PRDQ_FONT_INFO(int id, QList<PRDQ_FONT>* fonts);
    ~PRDQ_FONT_INFO();
    PRDQ_FONT_INFO(const PRDQ_FONT_INFO&) = delete;
    PRDQ_FONT_INFO& operator=(const PRDQ_FONT_INFO&) = delete;

    QList<PRDQ_FONT>* m_fonts;
};

// The user changes a colour or font (the Options dialog's OK): the value is kept and every
// frame is notified. Setting the value it already has changes and announces nothing.
void prdq_set_color(int id, const QColor& color);
void prdq_set_font(int id, const QFont& font);
// The user's value of a colour or font; false when the user never changed it.
bool prdq_get_color(int id, QColor* color);
bool prdq_get_font(int id, QFont* font);

// Deletes a page tree handed to a frame (pages of every kind above), children first.
void prdq_delete_page_tree(AFCQ_PAGE_INFO* page);
