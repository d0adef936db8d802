#pragma once
// The "Object Properties" dialog of the trigger canvas: a "General" and a "Parameters" page over
// one working copy of the properties of the selected objects (their union). Nothing reaches the
// objects before OK; OK writes the copy back onto every selected object, Cancel drops it. The
// copy's parent is the first object of the condition, so a write resolved by context follows the
// trigger the canvas shows. The Parameters page builds its widgets when it is first shown or
// used: an insertion, which opens on General, seldom needs them.

#include "host/afcq.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_property.h"

#include <QList>

class QDialogButtonBox;
class QTabWidget;
class SDR_DATA_MNEMONICS;
class SEDQ_GENERAL_WIDGET;
class SEDQ_PARAMETER_WIDGET;

class SEDQ_OBJECT_PROPERTIES_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    enum PAGE
    {
        GENERAL_PAGE,
        PARAMETERS_PAGE
    };

    SEDQ_OBJECT_PROPERTIES_DLG(QWidget* parent, QList<SEDQ_OBJECT*>* objects, const SDR_DATA_MNEMONICS* mnemonics,
                               SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert, unsigned int lock_mode,
                               bool is_powerup_trigger);

    // Whether the dialog was made for this lock mode and trigger, so that it may be opened again
    // with reopen().
    bool is_made_for(unsigned int lock_mode, bool is_powerup_trigger) const;
    // Makes the closed dialog what a new one on these objects of the document whose mnemonic
    // tables are `mnemonics` would be: a new working copy of the selection, the page it opens on,
    // the state of OK and no widget holding the focus. The document may be another one than the
    // dialog last showed (the window's document was closed, a new one made or opened).
    void reopen(QList<SEDQ_OBJECT*>* objects, const SDR_DATA_MNEMONICS* mnemonics, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type,
                bool is_insert);

    void set_ok_enabled(bool enabled);

    QDialogButtonBox* get_button_box() const { return m_button_box; }
    QTabWidget* get_tab_widget() const { return m_tab_widget; }
    SEDQ_GENERAL_WIDGET* get_general_widget() const { return m_general_widget; }
    SEDQ_PARAMETER_WIDGET* get_parameter_widget() const { return m_parameter_widget; }
    const SEDQ_PROPERTY& get_property() const { return m_property; }

public Q_SLOTS:
    void accept() override;
    void on_tab_change(int page);

private:
    // The working copy of the objects' selection, and the page and OK state a use opens with.
    void start(QList<SEDQ_OBJECT*>* objects);
    void open_on_page();

    QDialogButtonBox* m_button_box = nullptr;
    QTabWidget* m_tab_widget = nullptr;
    bool m_is_insert;
    unsigned int m_lock_mode;
    bool m_is_powerup_trigger;
    SEDQ_PROPERTY m_property;
    SEDQ_GENERAL_WIDGET* m_general_widget = nullptr;
    SEDQ_PARAMETER_WIDGET* m_parameter_widget = nullptr;
};
