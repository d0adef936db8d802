// SEDQ_GENERAL_WIDGET: the kind, alias and name of the selected objects.
#include "sedq/advanced_trigger/sedq_general_widget.h"

#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_lock_mode.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

const SEDQ_OBJECT::SEDQ_OBJECT_TYPE SEDQ_GENERAL_WIDGET::CHOOSABLE_TYPES[10] = {
    SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, SEDQ_OBJECT::BUS,
    SEDQ_OBJECT::BIT_VALUE,           SEDQ_OBJECT::BUS_VALUE,
    SEDQ_OBJECT::COMPARISON_OPERATOR, SEDQ_OBJECT::BITWISE_OPERATOR,
    SEDQ_OBJECT::LOGICAL_OPERATOR,    SEDQ_OBJECT::REDUCTION_OPERATOR,
    SEDQ_OBJECT::SHIFT_OPERATOR,      SEDQ_OBJECT::CUSTOM_TRIGGER_HDL,
};

SEDQ_GENERAL_WIDGET::SEDQ_GENERAL_WIDGET(QWidget* parent, SEDQ_OBJECT_PROPERTIES_DLG* dialog,
                                         QList<SEDQ_OBJECT*>* objects, SEDQ_PROPERTY* property,
                                         SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert, unsigned int lock_mode,
                                         bool is_powerup_trigger)
    : QWidget(parent), m_object_list(objects), m_property(property), m_object_type(type), m_is_insert(is_insert),
      m_lock_mode(lock_mode), m_is_powerup_trigger(is_powerup_trigger), m_dialog(dialog)
{
    make_widgets();
    connect_widgets();
    load(objects, type, is_insert);
}

void SEDQ_GENERAL_WIDGET::load(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert)
{
    // The widgets' signals while they are filled are no edit of the user's.
    m_initialized = false;
    m_object_list = objects;
    m_object_type = type;
    m_is_insert = is_insert;
    int count = 0;
    const bool fixed_kind = !unite_selection(&count);
    if (fixed_kind)
        m_object_type = SEDQ_OBJECT::UNKNOWN;
    if (m_object_type != SEDQ_OBJECT::UNKNOWN && (*m_property)[SEDQ_PROPERTY::TYPE] != m_object_type)
    {
        m_property->set(SEDQ_PROPERTY::TYPE, m_object_type);
        m_property->set(SEDQ_PROPERTY::NAME, QString());
    }
    show_working_copy(fixed_kind, count);
    m_initialized = true;
}

void SEDQ_GENERAL_WIDGET::make_widgets()
{
    m_type_label = new QLabel(tr("Object type:"), this);
    m_type_combo = new QComboBox(this);
    m_alias_label = new QLabel(tr("Object alias:"), this);
    m_alias_edit = new QLineEdit(this);
    m_name_label = new QLabel(tr("Object name:"), this);
    m_name_edit = new QLineEdit(this);
    // Names change on the canvas, where they are checked against the other objects.
    m_name_edit->setReadOnly(true);
    m_name_edit->setPalette(SEDQ_GREY_BASE_PALETTE);
    for (SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind : CHOOSABLE_TYPES)
        m_type_combo->addItem(QString::fromLatin1(SEDQ_OBJECT::OBJECT_STRING[kind]), int(kind));
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_type_label, 0, 0);
    grid->addWidget(m_type_combo, 0, 1, 1, 3);
    grid->addWidget(m_alias_label, 1, 0);
    grid->addWidget(m_alias_edit, 1, 1, 1, 3);
    grid->addWidget(m_name_label, 2, 0);
    grid->addWidget(m_name_edit, 2, 1, 1, 3);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
}

void SEDQ_GENERAL_WIDGET::connect_widgets()
{
    connect(m_type_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SEDQ_GENERAL_WIDGET::object_type_combo_changed);
    connect(m_alias_edit, &QLineEdit::textChanged, this, &SEDQ_GENERAL_WIDGET::object_alias_edit_changed);
    connect(m_name_edit, &QLineEdit::textChanged, this, &SEDQ_GENERAL_WIDGET::object_name_edit_changed);
}

bool SEDQ_GENERAL_WIDGET::is_selected(const SEDQ_OBJECT* object)
{
    return object != nullptr && object->get_property()[SEDQ_PROPERTY::SELECTED] == 1;
}

bool SEDQ_GENERAL_WIDGET::unite_selection(int* count)
{
    bool kind_is_free = true;
    *count = 0;
    if (m_object_list == nullptr)
        return kind_is_free;
    for (const SEDQ_OBJECT* object : *m_object_list)
    {
        if (!is_selected(object))
            continue;
        ++*count;
        m_property->union_property(object->get_property());
        const SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind = object->get_type();
        if (kind == SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION || kind == SEDQ_OBJECT::LEVEL_RESULT)
            kind_is_free = false;
    }
    return kind_is_free;
}

void SEDQ_GENERAL_WIDGET::show_working_copy(bool fixed_kind, int count)
{
    const int kind = (*m_property)[SEDQ_PROPERTY::TYPE];
    const bool known = kind > SEDQ_OBJECT::UNKNOWN && kind < SEDQ_OBJECT::OBJECT_TYPE_COUNT;
    m_type_combo->setCurrentIndex(
        fixed_kind || !known
            ? -1
            : m_type_combo->findText(QString::fromLatin1(SEDQ_OBJECT::OBJECT_STRING[kind]),
                                     Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_type_combo->setEnabled(!fixed_kind && m_lock_mode == SEDQ_LOCK_MODE_ALLOW_ALL && !m_is_powerup_trigger);
    m_alias_edit->setText((*m_property)[SEDQ_PROPERTY::ALIAS]);
    m_name_edit->setText(count > 1 ? tr("Multiple Objects") : (*m_property)[SEDQ_PROPERTY::NAME]);
}

void SEDQ_GENERAL_WIDGET::object_type_combo_changed(int index)
{
    const int kind = index < 0 ? SEDQ_OBJECT::UNKNOWN : m_type_combo->itemData(index).toInt();
    if (m_initialized)
    {
        m_property->set(SEDQ_PROPERTY::TYPE, kind);
        m_property->set(SEDQ_PROPERTY::NAME, QString());
        m_name_edit->clear();
    }
    if (m_is_insert)
        m_dialog->set_ok_enabled(kind != SEDQ_OBJECT::UNKNOWN);
}

void SEDQ_GENERAL_WIDGET::object_alias_edit_changed(const QString& text)
{
    if (m_initialized)
        m_property->set(SEDQ_PROPERTY::ALIAS, text);
}

void SEDQ_GENERAL_WIDGET::object_name_edit_changed(const QString& text)
{
    if (m_initialized)
        m_property->set(SEDQ_PROPERTY::NAME, text);
}

void SEDQ_GENERAL_WIDGET::on_ok()
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (is_selected(object))
            object->get_property() = *m_property;
}
