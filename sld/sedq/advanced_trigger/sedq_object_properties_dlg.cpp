// SEDQ_OBJECT_PROPERTIES_DLG: the two pages, switching between them, and OK.
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"

#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_parameter_widget.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

SEDQ_OBJECT_PROPERTIES_DLG::SEDQ_OBJECT_PROPERTIES_DLG(QWidget* parent, QList<SEDQ_OBJECT*>* objects,
                                                       const SDR_DATA_MNEMONICS* mnemonics,
                                                       SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert,
                                                       unsigned int lock_mode, bool is_powerup_trigger)
    : AFCQ_DIALOG(parent), m_is_insert(is_insert), m_lock_mode(lock_mode),
      m_is_powerup_trigger(is_powerup_trigger)
{
    setWindowTitle(tr("Object Properties"));
    start(objects);
    m_button_box =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_tab_widget = new QTabWidget(this);
    m_tab_widget->setTabPosition(QTabWidget::North);
    m_tab_widget->setTabShape(QTabWidget::Triangular);
    m_general_widget = new SEDQ_GENERAL_WIDGET(m_tab_widget, this, objects, &m_property, type, is_insert, lock_mode,
                                               is_powerup_trigger);
    m_parameter_widget = new SEDQ_PARAMETER_WIDGET(m_tab_widget, this, objects, &m_property, mnemonics, lock_mode,
                                                   is_powerup_trigger);
    m_tab_widget->addTab(m_general_widget, tr("General"));
    m_tab_widget->addTab(m_parameter_widget, tr("Parameters"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tab_widget);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(m_button_box);
    layout->addLayout(buttons);

    connect(m_button_box, &QDialogButtonBox::accepted, this, &SEDQ_OBJECT_PROPERTIES_DLG::accept);
    connect(m_button_box, &QDialogButtonBox::rejected, this, &SEDQ_OBJECT_PROPERTIES_DLG::reject);
    connect(m_button_box, &QDialogButtonBox::helpRequested, this, &SEDQ_OBJECT_PROPERTIES_DLG::help_button_clicked);
    connect(m_tab_widget, &QTabWidget::currentChanged, this, &SEDQ_OBJECT_PROPERTIES_DLG::on_tab_change);

    open_on_page();
    // Shown at once or not, the Parameters page counts in the size the dialog opens with.
    m_parameter_widget->build_unless_hinted();
}

bool SEDQ_OBJECT_PROPERTIES_DLG::is_made_for(unsigned int lock_mode, bool is_powerup_trigger) const
{
    return lock_mode == m_lock_mode && is_powerup_trigger == m_is_powerup_trigger;
}

void SEDQ_OBJECT_PROPERTIES_DLG::reopen(QList<SEDQ_OBJECT*>* objects, const SDR_DATA_MNEMONICS* mnemonics,
                                        SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert)
{
    m_is_insert = is_insert;
    start(objects);
    m_general_widget->load(objects, type, is_insert);
    m_parameter_widget->reopen(objects, mnemonics);
    if (QWidget* focus = focusWidget())
        focus->clearFocus();
    open_on_page();
}

void SEDQ_OBJECT_PROPERTIES_DLG::start(QList<SEDQ_OBJECT*>* objects)
{
    m_property.reset();
    m_property.set_parent(objects != nullptr && !objects->isEmpty() ? objects->first() : nullptr);
}

// An insertion opens on General with OK off until a kind is chosen; Properties opens on the
// Parameters page, whose table is built anew from the working copy.
void SEDQ_OBJECT_PROPERTIES_DLG::open_on_page()
{
    set_ok_enabled(!m_is_insert);
    if (m_is_insert)
        m_tab_widget->setCurrentIndex(GENERAL_PAGE);
    else if (m_tab_widget->currentIndex() == PARAMETERS_PAGE)
        m_parameter_widget->on_set_active();
    else
        m_tab_widget->setCurrentIndex(PARAMETERS_PAGE);
}

void SEDQ_OBJECT_PROPERTIES_DLG::set_ok_enabled(bool enabled)
{
    m_button_box->button(QDialogButtonBox::Ok)->setEnabled(enabled);
}

void SEDQ_OBJECT_PROPERTIES_DLG::accept()
{
    m_general_widget->on_ok();
    AFCQ_DIALOG::accept();
}

// The parameters follow the kind, which the General page may just have changed.
void SEDQ_OBJECT_PROPERTIES_DLG::on_tab_change(int page)
{
    if (page == PARAMETERS_PAGE)
        m_parameter_widget->on_set_active();
}
