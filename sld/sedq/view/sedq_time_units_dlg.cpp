// SEDQ_TIME_UNITS_DLG: the widgets, the unit walk that re-expresses the scale and range, the
// sample offset of a typed time, and the range check; the number reading and grid both time-bar
// dialogs share.
#include "sedq/view/sedq_time_units_dlg.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace
{
enum UNIT
{
    SECONDS,
    MILLISECONDS,
    MICROSECONDS,
    NANOSECONDS,
    PICOSECONDS,
    MEGAHERTZ
};
constexpr int UNIT_COUNT = 6;
constexpr double STEP = 1000.0;

int unit_of(const QString& text)
{
    for (int i = 0; i < UNIT_COUNT; ++i)
        if (text == QLatin1String(SEDQ_TIME_UNITS_DLG::UNIT_TEXTS[i]))
            return i;
    return -1;
}

// A frequency in MHz is a period of 1/f microseconds and back; 0 has no reciprocal and stays.
double reciprocal(double value)
{
    return value != 0.0 ? 1.0 / value : value;
}

// The length of one sample in picoseconds, walking down from `unit` one step at a time.
double to_picoseconds(double scale, int unit)
{
    if (unit == MEGAHERTZ)
    {
        scale = reciprocal(scale);
        unit = MICROSECONDS;
    }
    for (int step = unit; step < PICOSECONDS; ++step)
        scale *= STEP;
    return scale;
}

// The reverse walk, from picoseconds up to `unit`.
double from_picoseconds(double scale, int unit)
{
    const int target = unit == MEGAHERTZ ? MICROSECONDS : unit;
    for (int step = PICOSECONDS; step > target; --step)
        scale /= STEP;
    return unit == MEGAHERTZ ? reciprocal(scale) : scale;
}

// Samples to a time in `unit` and back; the scale of "MHz" is a frequency and its times are
// microseconds.
double samples_to_time(double samples, double scale, int unit)
{
    return unit == MEGAHERTZ ? samples / scale : samples * scale;
}

double time_to_samples(double time, double scale, int unit)
{
    return unit == MEGAHERTZ ? time * scale : time / scale;
}

bool usable_scale(double scale)
{
    return std::isfinite(scale) && scale != 0.0;
}

QLocale number_locale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    return locale;
}

std::string bound_text(double bound)
{
    return QString::number(bound, 'g', 6).toStdString();
}
} // namespace

const char* const SEDQ_TIME_UNITS_DLG::UNIT_TEXTS[6] = {"s", "ms", "us", "ns", "ps", "MHz"};

double sedq_read_time_number(const QString& text, bool* ok)
{
    bool read = false;
    double value = number_locale().toDouble(text.trimmed(), &read);
    read = read && std::isfinite(value);
    if (ok != nullptr)
        *ok = read;
    return read ? value : 0.0;
}

QDoubleValidator* sedq_make_time_validator(double bottom, double top, QObject* parent)
{
    auto* validator = new QDoubleValidator(bottom, top, 10, parent);
    validator->setLocale(number_locale());
    return validator;
}

void SEDQ_TIME_BAR_WIDGETS::make(AFCQ_DIALOG* dialog, bool master)
{
    time_label = new QLabel(QStringLiteral("Time:"), dialog);
    time_edit = new QLineEdit(dialog);
    unit_combo = new QComboBox(dialog);
    sample_label = new QLabel(QStringLiteral("Sample number:"), dialog);
    sample_edit = new QLineEdit(dialog);
    master_check_box = new QCheckBox(QStringLiteral("Make master time bar"), dialog);
    master_check_box->setChecked(master);
    button_box = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, Qt::Vertical, dialog);
    auto* grid = new QGridLayout(dialog);
    grid->addWidget(time_label, 0, 0, 1, 1);
    grid->addWidget(time_edit, 0, 1, 1, 2);
    grid->addWidget(unit_combo, 0, 3, 1, 1);
    grid->addWidget(sample_label, 1, 0, 1, 2);
    grid->addWidget(sample_edit, 1, 2, 1, 2);
    grid->addWidget(master_check_box, 2, 0, 1, 4);
    grid->addWidget(button_box, 0, 4, 3, 1);
    QObject::connect(button_box, &QDialogButtonBox::accepted, dialog, &AFCQ_DIALOG::accept);
    QObject::connect(button_box, &QDialogButtonBox::rejected, dialog, &AFCQ_DIALOG::reject);
    QObject::connect(button_box, &QDialogButtonBox::helpRequested, dialog, &AFCQ_DIALOG::help_button_clicked);
}

SEDQ_TIME_UNITS_DLG::SEDQ_TIME_UNITS_DLG(QWidget* parent)
    : AFCQ_DIALOG(parent), m_lower_bound(0.0), m_upper_bound(DBL_MAX), m_scale(0.0), m_insert_mode(false)
{
    initialize_widget(false);
}

SEDQ_TIME_UNITS_DLG::SEDQ_TIME_UNITS_DLG(QWidget* parent, int first_sample, int last_sample, double period,
                                         bool master)
    : AFCQ_DIALOG(parent), m_lower_bound(first_sample * period), m_upper_bound(last_sample * period),
      m_scale(period), m_insert_mode(true)
{
    initialize_widget(master);
}

// The combo is filled before its signal is connected, so filling it calls no slot.
void SEDQ_TIME_UNITS_DLG::initialize_widget(bool master)
{
    m_widgets.make(this, master);
    m_widgets.time_edit->setValidator(sedq_make_time_validator(m_lower_bound, m_upper_bound, this));
    m_widgets.time_edit->setMaxLength(10);
    for (const char* unit : UNIT_TEXTS)
        m_widgets.unit_combo->addItem(QString::fromLatin1(unit));
    m_widgets.sample_edit->setEnabled(false);
    setWindowTitle(QStringLiteral("Time Units"));
    connect(m_widgets.time_edit, &QLineEdit::textChanged, this,
            &SEDQ_TIME_UNITS_DLG::on_update_time_units_edit);
    connect(m_widgets.unit_combo, sedq_combo_text_changed(), this,
            &SEDQ_TIME_UNITS_DLG::on_sel_change_time_units_combo);
}

bool SEDQ_TIME_UNITS_DLG::set_time_units_number(double value)
{
    m_value = value;
    return true;
}

bool SEDQ_TIME_UNITS_DLG::set_time_units_string(const QString& unit)
{
    m_unit_text = unit;
    return true;
}

bool SEDQ_TIME_UNITS_DLG::get_time_units_number(double* value) const
{
    *value = m_value;
    return true;
}

bool SEDQ_TIME_UNITS_DLG::get_time_units_string(QString* unit) const
{
    *unit = m_unit_text;
    return true;
}

// A quotient within a rounding error of a whole number is that number, so that a time typed
// at a sample (1.1 us at 0.1 us a sample) is not pushed to the next one.
int SEDQ_TIME_UNITS_DLG::get_transition_number() const
{
    double samples = time_to_samples(m_value, m_scale, unit_of(m_unit_text));
    if (!std::isfinite(samples))
        return 0;
    const double nearest = std::round(samples);
    if (std::fabs(samples - nearest) <= 1e-9 * std::max(1.0, std::fabs(nearest)))
        samples = nearest;
    const double sample = std::ceil(samples);
    if (sample <= double(INT_MIN))
        return INT_MIN;
    if (sample >= double(INT_MAX))
        return INT_MAX;
    return static_cast<int>(sample);
}

void SEDQ_TIME_UNITS_DLG::on_init_dlg()
{
    const int index = m_widgets.unit_combo->findText(m_unit_text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        m_widgets.unit_combo->setCurrentIndex(index);
    m_widgets.button_box->button(QDialogButtonBox::Ok)->setEnabled(!m_widgets.time_edit->text().isEmpty());
    if (m_insert_mode)
    {
        setWindowTitle(QStringLiteral("Insert Time Bar"));
        if (m_widgets.master_check_box->isChecked())
            m_widgets.master_check_box->setEnabled(false);
        return;
    }
    m_widgets.sample_label->hide();
    m_widgets.sample_edit->hide();
    m_widgets.master_check_box->hide();
}

void SEDQ_TIME_UNITS_DLG::on_update_time_units_edit(const QString& text)
{
    m_value = sedq_read_time_number(text);
    m_widgets.button_box->button(QDialogButtonBox::Ok)->setEnabled(!text.isEmpty());
}

void SEDQ_TIME_UNITS_DLG::on_sel_change_time_units_combo(const QString& unit)
{
    if (!m_insert_mode)
    {
        m_unit_text = m_widgets.unit_combo->currentText();
        return;
    }
    const QString old_unit = m_unit_text;
    m_unit_text = unit;
    rescale(old_unit, unit);
}

// The range goes through sample counts and the scale through picoseconds; the typed value
// stays as it is. Without a usable scale (none, or 0) there is nothing to re-express.
void SEDQ_TIME_UNITS_DLG::rescale(const QString& old_unit, const QString& new_unit)
{
    const int from = unit_of(old_unit);
    const int to = unit_of(new_unit);
    if (from < 0 || to < 0 || !usable_scale(m_scale))
        return;
    const double first = time_to_samples(m_lower_bound, m_scale, from);
    const double last = time_to_samples(m_upper_bound, m_scale, from);
    m_scale = from_picoseconds(to_picoseconds(m_scale, from), to);
    m_lower_bound = samples_to_time(first, m_scale, to);
    m_upper_bound = samples_to_time(last, m_scale, to);
}

void SEDQ_TIME_UNITS_DLG::accept()
{
    if (m_value < m_lower_bound || m_value > m_upper_bound)
    {
        sedq_show_message(
            MSG_SEDQ::O::VALUE_OUT_OF_RANGE(bound_text(m_lower_bound), bound_text(m_upper_bound)));
        return;
    }
    AFCQ_DIALOG::accept();
}
