#pragma once
// Host application framework: shared actions and their ids, and the colour, brush, pen and
// font resources that panes draw with.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPen>

class QAction;
class QObject;

// Id of a shared menu or toolbar action. The host accepts any int; the analyzer names the
// ids it uses by number.
enum AFCQ_ACTION_ENUM : int
{
    AFCQ_ACTION_NONE = 0
};

// A new action for the id, with a readable text and the objectName "AFCQ_<id>"; the caller
// (or `parent`) owns it.
QAction* afcq_create_action(AFCQ_ACTION_ENUM id, QObject* parent);

// Connects only when the sender has the signal and the receiver has the slot (both checked
// on normalised signatures), so a missing end gives false without a Qt warning.
bool afcq_safe_connect(QObject* sender, const char* signal, QObject* receiver, const char* slot);

// One preference page of a frame and its sub-pages (owned by whoever built the tree).
struct AFCQ_PAGE_INFO
{
    virtual ~AFCQ_PAGE_INFO() = default;
    int m_id = 0;
    QList<AFCQ_PAGE_INFO*> m_children;
};

enum AFCQ_COLOR_RESOURCE : int
{
};
enum AFCQ_BRUSH_RESOURCE : int
{
};
enum AFCQ_PEN_RESOURCE : int
{
};
enum AFCQ_FONT_RESOURCE : int
{
};

// Resource handles: each id gives the same value every time and no two ids of one kind
// give the same value.
class AFCQ_COLOR
{
public:
    explicit AFCQ_COLOR(int id) : m_id(id) {}
    QColor get_color() const;

private:
    int m_id;
};

class AFCQ_BRUSH
{
public:
    explicit AFCQ_BRUSH(int id) : m_id(id) {}
    QBrush get_brush() const;

private:
    int m_id;
};

class AFCQ_PEN
{
public:
    explicit AFCQ_PEN(int id) : m_id(id) {}
    QPen get_pen() const;

private:
    int m_id;
};

class AFCQ_FONT
{
public:
    explicit AFCQ_FONT(int id) : m_id(id) {}
    QFont get_font() const;

private:
    int m_id;
};
