// SEDQ_PARAMETER_WIDGET: the parameter page, its row operations and the editors of one row.
#include "sedq/advanced_trigger/sedq_parameter_widget.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_verify.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

namespace
{
using VIEW = SEDQ_PARAMETER_SETTING_VIEW;

const QColor POWERUP_SETTING_BASE(153, 204, 255);

QStringList radix_words()
{
    QStringList words;
    for (const char* word : SEDQ_OBJECT::DISPLAY_FORMAT_STRING)
        words.append(QString::fromLatin1(word));
    return words;
}
} // namespace

SEDQ_PARAMETER_WIDGET::SEDQ_PARAMETER_WIDGET(QWidget* parent, SEDQ_OBJECT_PROPERTIES_DLG* dialog,
                                             QList<SEDQ_OBJECT*>* objects, SEDQ_PROPERTY* property,
                                             const SDR_DATA_MNEMONICS* mnemonics, unsigned int lock_mode,
                                             bool is_powerup_trigger)
    : SEDQ_DEFERRED_PAGE("parameters", parent), m_is_powerup_trigger(is_powerup_trigger), m_lock_mode(lock_mode),
      m_object_list(objects), m_property(property), m_mnemonics(mnemonics), m_dialog(dialog)
{
}

void SEDQ_PARAMETER_WIDGET::build()
{
    make_widgets();
    make_layout();
    connect_widgets();
    m_initialized = true;
}

void SEDQ_PARAMETER_WIDGET::make_widgets()
{
    m_parameter_group = new QGroupBox(tr("Parameter"), this);
    m_name_label = new QLabel(tr("Name:"), m_parameter_group);
    m_parameter_name_label = new QLabel(tr("Bus Name"), m_parameter_group);
    m_setting_label = new QLabel(tr("Setting:"), m_parameter_group);
    m_setting_combo = new QComboBox(m_parameter_group);
    m_setting_combo->setEditable(true);
    m_setting_combo->setInsertPolicy(QComboBox::NoInsert);
    m_configurable_check = new QCheckBox(tr("&Allow this setting to be configurable at runtime"), m_parameter_group);
    m_description_label = new QLabel(tr("Description:"), m_parameter_group);
    m_description_edit = new QTextEdit(m_parameter_group);
    m_description_edit->setReadOnly(true);
    m_description_edit->setFixedHeight(DESCRIPTION_HEIGHT);
    QPalette description = m_description_edit->palette();
    description.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_description_edit->setPalette(description);
    m_reset_button = new QPushButton(tr("&Reset"), this);
    m_reset_button->setFixedWidth(RESET_BUTTON_WIDTH);
    m_reset_all_button = new QPushButton(tr("Reset &All"), this);
    m_reset_all_button->setFixedWidth(RESET_BUTTON_WIDTH);
    m_settings_label = new QLabel(tr(" Existing parameter settings:"), this);
    m_setting_view = new SEDQ_PARAMETER_SETTING_VIEW(this);
    if (m_is_powerup_trigger)
    {
        QPalette setting = m_setting_combo->palette();
        setting.setColor(QPalette::Active, QPalette::Base, POWERUP_SETTING_BASE);
        m_setting_combo->setPalette(setting);
    }
}

void SEDQ_PARAMETER_WIDGET::make_layout()
{
    auto* group = new QGridLayout(m_parameter_group);
    group->addWidget(m_name_label, 0, 0);
    group->addWidget(m_parameter_name_label, 0, 1, 1, 4);
    group->addWidget(m_setting_label, 1, 0);
    group->addWidget(m_setting_combo, 1, 1, 1, 4);
    group->addWidget(m_configurable_check, 2, 1, 1, 4);
    group->addWidget(m_description_label, 3, 0);
    group->addWidget(m_description_edit, 3, 1, 3, 4);
    auto* page = new QGridLayout(this);
    page->addWidget(m_parameter_group, 0, 0, 6, 5);
    page->addWidget(m_reset_button, 0, 6);
    page->addWidget(m_reset_all_button, 1, 6);
    page->addWidget(m_settings_label, 6, 0, 1, 7);
    page->addWidget(m_setting_view, 7, 0, 5, 7);
}

void SEDQ_PARAMETER_WIDGET::connect_widgets()
{
    connect(m_setting_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SEDQ_PARAMETER_WIDGET::on_setting_combo_changed);
    connect(m_setting_combo, &QComboBox::editTextChanged, this,
            &SEDQ_PARAMETER_WIDGET::on_setting_combo_edit_text_changed);
    connect(m_reset_button, &QPushButton::clicked, this, &SEDQ_PARAMETER_WIDGET::on_reset_button);
    connect(m_reset_all_button, &QPushButton::clicked, this, &SEDQ_PARAMETER_WIDGET::on_reset_all_button);
    connect(m_configurable_check, &QCheckBox::stateChanged, this,
            &SEDQ_PARAMETER_WIDGET::on_parameter_configurable_check);
}

// ---- the list --------------------------------------------------------------------------------------

void SEDQ_PARAMETER_WIDGET::build_parameter_list()
{
    ensure_built();
    m_setting_view->clear_rows();
    for (int number = 0; number < SEDQ_PROPERTY::STRING_PROPERTY_COUNT; ++number)
        if (m_property->is_used(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(number)))
            m_setting_view->append_row(QString::fromLatin1(SEDQ_PROPERTY::STRING_TABLE[number].label),
                                       number + VIEW::STRING_ROW_FLAG);
    for (int number = 0; number < SEDQ_PROPERTY::INT_PROPERTY_COUNT; ++number)
        if (m_property->is_used(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(number)))
            m_setting_view->append_row(QString::fromLatin1(SEDQ_PROPERTY::INT_TABLE[number].label), number);
}

void SEDQ_PARAMETER_WIDGET::update_parameter_list(const SEDQ_PROPERTY& source, bool all_rows,
                                                  bool configurable_rows_only)
{
    ensure_built();
    QList<int> rows = m_setting_view->get_selected_rows();
    if (all_rows)
    {
        rows.clear();
        for (int row = 0; row < m_setting_view->get_model()->rowCount(); ++row)
            rows.append(row);
    }
    for (int row : rows)
    {
        bool configurable = false;
        bool selectable = false;
        get_configurable(row, &configurable, &selectable);
        if (configurable_rows_only && !configurable)
            continue;
        QString text;
        get_setting_text(row, &text, source);
        m_setting_view->set_cell(row, VIEW::SETTING_COLUMN, text);
        update_row(row);
    }
}

void SEDQ_PARAMETER_WIDGET::update_row(int row)
{
    QString text;
    get_configurable_text(row, &text);
    m_setting_view->set_cell(row, VIEW::CONFIGURABLE_COLUMN, text);
}

void SEDQ_PARAMETER_WIDGET::reopen(QList<SEDQ_OBJECT*>* objects, const SDR_DATA_MNEMONICS* mnemonics)
{
    m_object_list = objects;
    m_mnemonics = mnemonics;
    if (!is_built())
        return;
    m_setting_view->clear_rows();
    show_no_parameter(NO_PARAMETERS);
}

void SEDQ_PARAMETER_WIDGET::on_set_active()
{
    ensure_built();
    build_parameter_list();
    update_parameter_list(*m_property, true, false);
    if (m_setting_view->get_model()->rowCount() == 0)
    {
        show_no_parameter(NO_PARAMETERS);
        return;
    }
    m_configurable_check->setEnabled(is_editable());
    // Not selectRow(): that would follow a modifier key held down at the time.
    m_setting_view->selectionModel()->select(m_setting_view->get_model()->index(0, VIEW::NAME_COLUMN),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_reset_button->setEnabled(true);
    m_reset_all_button->setEnabled(true);
}

// ---- row operations ----------------------------------------------------------------------------------

SEDQ_PARAMETER_WIDGET::ROW_PROPERTY SEDQ_PARAMETER_WIDGET::row_property(int row) const
{
    const int data = m_setting_view->get_item_data(row);
    if (data >= VIEW::STRING_ROW_FLAG)
        return {data - VIEW::STRING_ROW_FLAG, true};
    return {data, false};
}

// The rule of resolving by context, with the page's power-up flag for the trigger on show.
// Reading every row from this copy (not simply from the power-up copy in the power-up view)
// keeps OK from writing unused power-up values over the normal settings of fixed rows.
SEDQ_PROPERTY::SEDQ_IS_POWERUP_TRIGGER SEDQ_PARAMETER_WIDGET::copy_of(ROW_PROPERTY property) const
{
    const bool runtime = property.is_string ? SEDQ_PROPERTY::STRING_TABLE[property.number].runtime_configurable
                                            : SEDQ_PROPERTY::INT_TABLE[property.number].runtime_configurable;
    const bool user = property.is_string ? SEDQ_PROPERTY::STRING_TABLE[property.number].user_configurable
                                         : SEDQ_PROPERTY::INT_TABLE[property.number].user_configurable;
    if (!runtime)
        return SEDQ_PROPERTY::NORMAL_COPY;
    if (user && m_property->get_int_data(SEDQ_PROPERTY::CONFIGURABLE, SEDQ_PROPERTY::NORMAL_COPY).value != 0)
        return SEDQ_PROPERTY::NORMAL_COPY;
    return m_is_powerup_trigger ? SEDQ_PROPERTY::POWERUP_COPY : SEDQ_PROPERTY::NORMAL_COPY;
}

bool SEDQ_PARAMETER_WIDGET::get_setting_text(int row, QString* text, const SEDQ_PROPERTY& source)
{
    ensure_built();
    const ROW_PROPERTY property = row_property(row);
    const SEDQ_PROPERTY::SEDQ_IS_POWERUP_TRIGGER copy = copy_of(property);
    if (property.is_string)
    {
        const SEDQ_PROPERTY::STRING_ENTRY& entry = source.get_string_data(property.number, copy);
        *text = entry.is_defined ? entry.value : QString();
        // A bag other than the working copy (a fresh one, on Reset) puts its empty texts in too.
        if (entry.is_defined || &source != m_property)
            m_property->set(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), *text, copy);
        return true;
    }
    if (property.number == SEDQ_PROPERTY::DISPLAY_FORMAT)
    {
        const ROW_PROPERTY table{SEDQ_PROPERTY::MNEMONIC_TABLE, true};
        const QString name = source.get_string_data(table.number, copy_of(table)).value;
        // The table takes the radix's place, so resetting the radix resets the table too.
        if (&source != m_property)
            m_property->set(SEDQ_PROPERTY::MNEMONIC_TABLE, name, copy_of(table));
        if (!name.isEmpty())
        {
            *text = name; // a table name is no radix word: the radix stays as it is
            return true;
        }
    }
    const auto number = SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number);
    const bool has_setting = source.get_setting_text(number, text, copy);
    if (has_setting)
        m_property->get_int_data(number, copy) = source.get_int_data(number, copy);
    return has_setting;
}

bool SEDQ_PARAMETER_WIDGET::set_setting_text(int row, const QString& text)
{
    ensure_built();
    const ROW_PROPERTY property = row_property(row);
    const SEDQ_PROPERTY::SEDQ_IS_POWERUP_TRIGGER copy = copy_of(property);
    if (property.is_string)
        return m_property->set_setting_text(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), text, copy);
    const auto number = SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number);
    if (number != SEDQ_PROPERTY::DISPLAY_FORMAT)
        return m_property->set_setting_text(number, text, copy);
    const ROW_PROPERTY table{SEDQ_PROPERTY::MNEMONIC_TABLE, true};
    if (radix_words().contains(text))
    {
        m_property->set(SEDQ_PROPERTY::MNEMONIC_TABLE, QString(), copy_of(table));
        return m_property->set_setting_text(number, text, copy);
    }
    m_property->set(SEDQ_PROPERTY::MNEMONIC_TABLE, text, copy_of(table));
    m_property->set(number, SEDQ_OBJECT::FORMAT_BINARY, copy);
    return true;
}

bool SEDQ_PARAMETER_WIDGET::get_configurable(int row, bool* configurable, bool* selectable) const
{
    ensure_built();
    if (m_is_powerup_trigger && m_lock_mode != SEDQ_LOCK_MODE_ALLOW_ALL)
    {
        *configurable = false;
        *selectable = false;
        return true;
    }
    const ROW_PROPERTY property = row_property(row);
    if (property.is_string)
        return m_property->get_configurable(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), configurable,
                                            selectable);
    return m_property->get_configurable(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number), configurable, selectable);
}

bool SEDQ_PARAMETER_WIDGET::get_configurable_text(int row, QString* text) const
{
    ensure_built();
    if (m_is_powerup_trigger)
    {
        *text = QString::fromLatin1(SEDQ_OBJECT::CONFIGURABLE_STRING[SEDQ_OBJECT::CONFIGURABLE_NEVER]);
        return true;
    }
    const ROW_PROPERTY property = row_property(row);
    if (property.is_string)
        return m_property->get_configurable_text(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), text);
    return m_property->get_configurable_text(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number), text);
}

bool SEDQ_PARAMETER_WIDGET::set_configurable(int row, bool configurable)
{
    ensure_built();
    const ROW_PROPERTY property = row_property(row);
    if (property.is_string)
        return m_property->set_configurable(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), configurable);
    return m_property->set_configurable(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number), configurable);
}

QString SEDQ_PARAMETER_WIDGET::read_setting(ROW_PROPERTY property) const
{
    QString text;
    if (property.is_string)
        m_property->get_setting_text(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(property.number), &text, copy_of(property));
    else
        m_property->get_setting_text(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(property.number), &text, copy_of(property));
    return text;
}

bool SEDQ_PARAMETER_WIDGET::is_editable() const
{
    return m_lock_mode == SEDQ_LOCK_MODE_ALLOW_ALL && !m_is_powerup_trigger;
}

// ---- the editors of the selected row -------------------------------------------------------------------

void SEDQ_PARAMETER_WIDGET::clear_editors()
{
    m_filling = true;
    m_setting_combo->clear();
    m_setting_combo->clearEditText();
    m_setting_combo->setEnabled(false);
    m_configurable_check->setChecked(false);
    m_configurable_check->setEnabled(false);
    // Clearing a text document rebuilds its layout, even an empty one's.
    if (!m_description_edit->document()->isEmpty())
        m_description_edit->clear();
    m_filling = false;
}

void SEDQ_PARAMETER_WIDGET::show_no_parameter(NO_PARAMETER_REASON reason)
{
    ensure_built();
    static const char* const texts[] = {"No Parameters", "No Selection", "Multiple Items"};
    m_parameter_name_label->setText(tr(texts[reason]));
    clear_editors();
    m_reset_button->setEnabled(reason == MULTIPLE_ITEMS);
    if (reason == NO_PARAMETERS)
        m_reset_all_button->setEnabled(false);
}

void SEDQ_PARAMETER_WIDGET::show_parameter(int row)
{
    ensure_built();
    if (!SEDQ_VERIFY(row >= 0))
        return;
    m_reset_button->setEnabled(true);
    const QString name = m_setting_view->get_name(row);
    m_parameter_name_label->setText(name);
    m_filling = true;
    m_setting_combo->setEnabled(true);
    fill_setting_combo(row);
    m_description_edit->setPlainText(VIEW::description_of(name));
    bool configurable = false;
    bool selectable = false;
    get_configurable(row, &configurable, &selectable);
    m_configurable_check->setEnabled(selectable && is_editable());
    m_configurable_check->setChecked(configurable);
    m_filling = false;
    if (!is_editable() && !configurable)
        m_setting_combo->setEnabled(false);
}

void SEDQ_PARAMETER_WIDGET::fill_setting_combo(int row)
{
    m_setting_combo->clear();
    const QString current = m_setting_view->get_cell(row, VIEW::SETTING_COLUMN);
    const QStringList words = setting_words(row);
    if (words.isEmpty())
    {
        m_setting_combo->addItem(current);
        m_setting_combo->setCurrentIndex(0);
        return;
    }
    const ROW_PROPERTY property = row_property(row);
    const bool is_bus_value = property.is_string && property.number == SEDQ_PROPERTY::BUS_VALUE;
    const QString table_name = m_property->get_string_data(SEDQ_PROPERTY::MNEMONIC_TABLE,
                                                           copy_of({SEDQ_PROPERTY::MNEMONIC_TABLE, true})).value;
    const SDR_DATA_MNEMONICS_TABLE* table =
        is_bus_value && m_mnemonics != nullptr ? m_mnemonics->find_table(table_name.toLocal8Bit().constData()) : nullptr;
    int selected = -1;
    for (int index = 0; index < words.size(); ++index)
    {
        m_setting_combo->addItem(words[index]);
        // An item of the bus value's table stands for its first symbol, which is what is stored.
        const QString symbol =
            table != nullptr ? QString::fromLocal8Bit(table->get_first_symbol(index)) : words[index];
        if (table != nullptr)
            m_setting_combo->setItemData(index, symbol);
        if (selected < 0 && symbol == current)
            selected = index;
    }
    m_setting_combo->setCurrentIndex(selected);
    if (selected < 0)
        m_setting_combo->setEditText(current);
}

QStringList SEDQ_PARAMETER_WIDGET::setting_words(int row) const
{
    const ROW_PROPERTY property = row_property(row);
    QStringList words;
    if (property.is_string)
    {
        if (property.number != SEDQ_PROPERTY::BUS_VALUE || m_mnemonics == nullptr)
            return words;
        const QString name = m_property->get_string_data(SEDQ_PROPERTY::MNEMONIC_TABLE,
                                                         copy_of({SEDQ_PROPERTY::MNEMONIC_TABLE, true})).value;
        const SDR_DATA_MNEMONICS_TABLE* table = m_mnemonics->find_table(name.toLocal8Bit().constData());
        for (int entry = 0; table != nullptr && entry < table->get_num_entries(); ++entry)
            words.append(QString::fromLocal8Bit(table->get_value(entry)) + QLatin1String(" : ") +
                         QString::fromLocal8Bit(table->get_first_symbol(entry)));
        return words;
    }
    if (property.number == SEDQ_PROPERTY::TYPE)
        return words;
    int count = 0;
    const char* const* texts = SEDQ_PROPERTY::enum_texts(property.number, &count);
    for (int index = 0; index < count; ++index)
        words.append(QString::fromLatin1(texts[index]));
    if (property.number == SEDQ_PROPERTY::DISPLAY_FORMAT && m_mnemonics != nullptr)
        for (int index = 0; index < m_mnemonics->get_num_tables(); ++index)
            words.append(QString::fromLocal8Bit(m_mnemonics->get_table(index)->get_name()));
    return words;
}

// ---- edits -------------------------------------------------------------------------------------------

// A word the property refuses (typed into an enumerated setting, not in its list) leaves the
// cell showing what the working copy holds, which is what OK stores.
void SEDQ_PARAMETER_WIDGET::on_setting_combo_edit_text_changed(const QString& text)
{
    ensure_built();
    const int row = m_setting_view->get_first_selected_row();
    if (!m_initialized || m_filling || row < 0)
        return;
    const bool stored = set_setting_text(row, text);
    m_setting_view->set_cell(row, VIEW::SETTING_COLUMN, stored ? text : read_setting(row_property(row)));
}

void SEDQ_PARAMETER_WIDGET::on_setting_combo_changed(int index)
{
    ensure_built();
    const int row = m_setting_view->get_first_selected_row();
    if (!m_initialized || m_filling || row < 0 || index < 0)
        return;
    const QVariant symbol = m_setting_combo->itemData(index);
    const QString text = symbol.isValid() ? symbol.toString() : m_setting_combo->itemText(index);
    const bool stored = set_setting_text(row, text);
    m_setting_view->set_cell(row, VIEW::SETTING_COLUMN, stored ? text : read_setting(row_property(row)));
}

// One object has one configurable setting for all its selectable properties: every row's
// configurable cell may change.
void SEDQ_PARAMETER_WIDGET::on_parameter_configurable_check(int state)
{
    ensure_built();
    const int row = m_setting_view->get_first_selected_row();
    if (!m_initialized || m_filling || row < 0)
        return;
    set_configurable(row, state == Qt::Checked);
    for (int other = 0; other < m_setting_view->get_model()->rowCount(); ++other)
        update_row(other);
}

void SEDQ_PARAMETER_WIDGET::reset_rows(bool all_rows)
{
    const QList<int> selected = m_setting_view->get_selected_rows();
    update_parameter_list(SEDQ_PROPERTY(), all_rows, m_lock_mode != SEDQ_LOCK_MODE_ALLOW_ALL);
    m_setting_view->clearSelection();
    for (int row : selected)
        m_setting_view->selectionModel()->select(m_setting_view->get_model()->index(row, VIEW::NAME_COLUMN),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void SEDQ_PARAMETER_WIDGET::on_reset_button()
{
    ensure_built();
    reset_rows(false);
}

void SEDQ_PARAMETER_WIDGET::on_reset_all_button()
{
    ensure_built();
    reset_rows(true);
}
