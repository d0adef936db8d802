// The bus value dialog: its widgets, the radix list with its input filters and conversions,
// the checks of a mnemonic entry and the searches of find mode.
#include "sedq/view/sedq_trigger_value_dlg.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_util.h"
#include "sedq/view/sedq_view.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>

#include <algorithm>

namespace
{
struct RADIX
{
    SDR_DATA_GROUP_DISPLAY_TYPE type;
    const char* text;
    const char* characters; // null: printable ASCII
    bool find_takes_x;      // find mode also looks for don't-care digits
};

const RADIX RADIXES[] = {
    {SDR_GTYPE_HEX, "Hexadecimal", "0123456789ABCDEFabcdef", true},
    {SDR_GTYPE_UNSIGNED, "Unsigned Decimal", "0123456789", false},
    {SDR_GTYPE_TWOS_COMPLEMENT, "Signed Decimal in Two's Complement", "-0123456789", false},
    {SDR_GTYPE_SIGNED_MAGNITUDE, "Signed Decimal in Sign Magnitude", "-0123456789", false},
    {SDR_GTYPE_FLOAT, "IEEE754 Single (32-bit)", "-0123456789.eE", false},
    {SDR_GTYPE_DOUBLE, "IEEE754 Double (64-bit)", "-0123456789.eE", false},
    {SDR_GTYPE_OCTAL, "Octal", "01234567", true},
    {SDR_GTYPE_BINARY, "Binary", "01XLFRHExlfrhe", false},
    {SDR_GTYPE_ASCII, "8-bit ASCII", nullptr, false},
};
constexpr int RADIX_COUNT = int(sizeof(RADIXES) / sizeof(RADIXES[0]));

// The printable characters from blank to "~" but the backslash, which the mnemonic files
// use as their escape character.
QString printable_ascii()
{
    QString characters;
    for (char c = 0x20; c <= 0x7E; ++c)
        if (c != '\\')
            characters += QLatin1Char(c);
    return characters;
}

// Whether the radix whose characters these are can read `text` at all.
bool reads(const QString& text, const QString& characters)
{
    return std::all_of(text.begin(), text.end(), [&](QChar c) { return characters.contains(c); });
}

// A bracket expression that matches exactly the given characters.
QString character_class(const QString& characters)
{
    QString pattern = QStringLiteral("[");
    for (const QChar c : characters)
    {
        if (QStringLiteral("\\^-[]").contains(c))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char(']');
}
} // namespace

SDR_DATA_GROUP_DISPLAY_TYPE SEDQ_TRIGGER_VALUE_DLG::get_radix_type(int index)
{
    return index >= 0 && index < RADIX_COUNT ? RADIXES[index].type : SDR_GTYPE_INVALID;
}

int SEDQ_TRIGGER_VALUE_DLG::get_initial_radix_index(SDR_DATA_GROUP_DISPLAY_TYPE type)
{
    // Without a radix (a new mnemonic entry) a value is typed in unsigned decimal.
    if (type == SDR_GTYPE_INVALID)
        return 1;
    for (int index = 0; index < RADIX_COUNT; ++index)
        if (RADIXES[index].type == type)
            return index;
    return 0;
}

QString SEDQ_TRIGGER_VALUE_DLG::get_accepted_characters(int index, bool find_mode)
{
    if (index < 0 || index >= RADIX_COUNT)
        return QString();
    const RADIX& radix = RADIXES[index];
    QString characters = radix.characters != nullptr ? QString::fromLatin1(radix.characters) : printable_ascii();
    if (find_mode && radix.find_takes_x)
        characters += QStringLiteral("Xx");
    return characters;
}

// ---- construction ----------------------------------------------------------------------------------

SEDQ_TRIGGER_VALUE_DLG::SEDQ_TRIGGER_VALUE_DLG(const QString& bits, int width, QWidget* parent,
                                               SDR_DATA_GROUP_DISPLAY_TYPE type)
    : AFCQ_DIALOG(parent), m_width(width), m_display_type(type), m_mnemonic_entry_mode(type == SDR_GTYPE_INVALID),
      m_view(nullptr)
{
    on_init_dlg();
    m_value_edit->setText(QString::fromLocal8Bit(SEDQ_NUMBER(bits).get_display_string(m_display_type, m_width, false)));
}

SEDQ_TRIGGER_VALUE_DLG::SEDQ_TRIGGER_VALUE_DLG(const QString&, int width, SEDQ_VIEW* view,
                                               SDR_DATA_GROUP_DISPLAY_TYPE type, bool)
    : AFCQ_DIALOG(view), m_width(width), m_display_type(type), m_mnemonic_entry_mode(type == SDR_GTYPE_INVALID),
      m_view(view)
{
    on_init_dlg();
}

void SEDQ_TRIGGER_VALUE_DLG::on_init_dlg()
{
    setWindowTitle(QStringLiteral("Add Entry"));
    make_widgets();
    connect_widgets();
    if (!m_mnemonic_entry_mode)
    {
        setWindowTitle(QStringLiteral("Insert Value"));
        m_mnemonic_label->hide();
        m_mnemonic_edit->hide();
    }
    const int index = get_initial_radix_index(m_display_type);
    m_radix_combo->setCurrentIndex(index);
    // The box's own signal ran only when the index moved; a second conversion keeps the text.
    radix_combo_changed(index);
    if (m_view != nullptr)
    {
        setWindowTitle(QStringLiteral("Find Bus Value"));
        m_ok_button->setText(QStringLiteral("Find &Next"));
        m_find_previous_button->show();
    }
    // 75 pixels wide; the two find buttons as wide as their texts need in the current font.
    for (QPushButton* button : {m_ok_button, m_find_previous_button})
        button->setFixedWidth(m_view != nullptr ? std::max(75, button->sizeHint().width()) : 75);
}

void SEDQ_TRIGGER_VALUE_DLG::make_widgets()
{
    m_value_label = new QLabel(QStringLiteral("Value:"), this);
    m_value_edit = new QLineEdit(this);
    // The radix box takes the stretch; a value of a wide bus still needs room to be read.
    m_value_edit->setMinimumWidth(160);
    m_radix_label = new QLabel(QStringLiteral("Radix:"), this);
    m_radix_combo = new QComboBox(this);
    for (const RADIX& radix : RADIXES)
        m_radix_combo->addItem(QString::fromLatin1(radix.text));
    m_mnemonic_label = new QLabel(QStringLiteral("Mnemonic:"), this);
    m_mnemonic_edit = new QLineEdit(this);
    m_ok_button = new QPushButton(QStringLiteral("OK"), this);
    m_ok_button->setDefault(true);
    m_find_previous_button = new QPushButton(QStringLiteral("Find &Previous"), this);
    m_find_previous_button->hide();
    m_button_box = new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_value_label, 0, 0);
    grid->addWidget(m_value_edit, 0, 1);
    grid->addWidget(m_radix_label, 0, 2, Qt::AlignRight);
    grid->addWidget(m_radix_combo, 0, 3);
    grid->addWidget(m_mnemonic_label, 1, 0);
    grid->addWidget(m_mnemonic_edit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_find_previous_button);
    buttons->addWidget(m_ok_button);
    buttons->addWidget(m_button_box);
    grid->addLayout(buttons, 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
}

void SEDQ_TRIGGER_VALUE_DLG::connect_widgets()
{
    connect(m_ok_button, &QPushButton::clicked, this, &SEDQ_TRIGGER_VALUE_DLG::on_ok_button);
    connect(m_button_box, &QDialogButtonBox::rejected, this, &SEDQ_TRIGGER_VALUE_DLG::reject);
    connect(m_button_box, &QDialogButtonBox::helpRequested, this,
            &SEDQ_TRIGGER_VALUE_DLG::help_button_clicked);
    connect(m_radix_combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SEDQ_TRIGGER_VALUE_DLG::radix_combo_changed);
    connect(m_find_previous_button, &QPushButton::clicked, this,
            &SEDQ_TRIGGER_VALUE_DLG::on_find_previous_bus_value_button);
}

QString SEDQ_TRIGGER_VALUE_DLG::get_value() const
{
    return m_value_edit->text();
}

QString SEDQ_TRIGGER_VALUE_DLG::get_mnemonic() const
{
    return m_mnemonic_edit->text();
}

// ---- the radix ---------------------------------------------------------------------------------------

// The typed value as exactly `width` bit symbols, read in the current radix.
QString SEDQ_TRIGGER_VALUE_DLG::value_bits()
{
    const QString text = m_value_edit->text();
    return QString::fromLatin1(SEDQ_NUMBER(text).get_trigger_string(m_display_type, m_width, false));
}

// The value keeps its bits across the change: it is read in the old radix and written in the
// new one (a value wider than the bus loses its leading bits here). A text the old radix cannot
// read (put there by a script, which no field check stops) is no value of it: read, it would
// become zero, so it stays as it stands for the new radix to read.
void SEDQ_TRIGGER_VALUE_DLG::radix_combo_changed(int index)
{
    const bool readable = reads(m_value_edit->text(), current_characters());
    const QString bits = value_bits();
    const int radix_index = index >= 0 && index < RADIX_COUNT ? index : get_initial_radix_index(m_display_type);
    if (index >= 0 && index < RADIX_COUNT)
        m_display_type = RADIXES[index].type;
    QValidator* old = m_validator;
    const QString characters = get_accepted_characters(radix_index, m_view != nullptr);
    m_validator = new QRegExpValidator(QRegExp(character_class(characters) + QLatin1Char('*')), this);
    m_value_edit->setValidator(m_validator);
    delete old;
    if (readable)
        m_value_edit->setText(
            QString::fromLocal8Bit(SEDQ_NUMBER(bits).get_display_string(m_display_type, m_width, false)));
}

QString SEDQ_TRIGGER_VALUE_DLG::current_characters() const
{
    return get_accepted_characters(get_initial_radix_index(m_display_type), m_view != nullptr);
}

// ---- OK, Find Next and Find Previous -------------------------------------------------------------------

void SEDQ_TRIGGER_VALUE_DLG::on_ok_button()
{
    if (m_mnemonic_entry_mode && !check_mnemonic_entry())
        return;
    if (m_view != nullptr)
    {
        search(true);
        return;
    }
    m_value_edit->setText(value_bits());
    accept();
}

// A mnemonic entry needs a value that fits the table's width and a name. A value of only
// zeros converts to no bits and is the value zero; a text the radix cannot read is no value.
bool SEDQ_TRIGGER_VALUE_DLG::check_mnemonic_entry()
{
    const QString text = m_value_edit->text();
    const int needed = SEDQ_NUMBER(text).get_trigger_string_width(m_display_type);
    const bool zero = !text.isEmpty() && text.count(QLatin1Char('0')) == text.size();
    if (!reads(text, current_characters()))
        sedq_show_message(MSG_SEDQ::O::NO_VALUE());
    else if (needed > m_width)
        sedq_show_message(MSG_SEDQ::O::CONVERSION_OVER_BOUNDS(m_width));
    else if (needed == 0 && !zero)
        sedq_show_message(MSG_SEDQ::O::NO_VALUE());
    else if (m_mnemonic_edit->text().isEmpty())
        sedq_show_message(MSG_SEDQ::O::NO_MNEMONIC_NAME());
    else
        return true;
    return false;
}

void SEDQ_TRIGGER_VALUE_DLG::on_find_previous_bus_value_button()
{
    if (m_view != nullptr)
        search(false);
}

void SEDQ_TRIGGER_VALUE_DLG::search(bool forward)
{
    m_last_searched_value = m_value_edit->text();
    m_last_searched_type = m_display_type;
    m_searched = true;
    m_view->find_bus_value(value_bits(), forward);
}
