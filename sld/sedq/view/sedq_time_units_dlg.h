#pragma once
// "Time Units" and, in insert mode, "Insert Time Bar" by time. In time-units mode the user types
// the sample period (or, with "MHz", the sample frequency) and picks its unit; the view then
// labels positions as times. In insert mode the user types the time of a new time bar relative
// to the trigger, in a unit of choice, and may make it the master bar; the dialog keeps the
// length of one sample (the scale) and the accepted range in the unit shown, and re-expresses
// both when the unit changes. A time typed against "MHz" is read in microseconds, the unit in
// which the view shows times of a frequency. Numbers are read with "." as the decimal point,
// whatever the locale.

#include "host/afcq.h"

#include <QString>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleValidator;
class QObject;
class QLabel;
class QLineEdit;

// The number in `text` with "." as the decimal point and no group separators; 0, with `ok`
// false, when the text is no finite number.
double sedq_read_time_number(const QString& text, bool* ok = nullptr);

// A validator of such numbers from `bottom` to `top` with up to 10 decimals.
QDoubleValidator* sedq_make_time_validator(double bottom, double top, QObject* parent);

// The widgets both time-bar dialogs hold, in one grid: "Time:" and its field with the unit
// combo on the first row, "Sample number:" and its field on the second, the master box on the
// third, and the vertical button box (Ok, Cancel, Help) to the right of all three.
struct SEDQ_TIME_BAR_WIDGETS
{
    QLabel* time_label = nullptr;
    QLineEdit* time_edit = nullptr;
    QComboBox* unit_combo = nullptr;
    QLabel* sample_label = nullptr;
    QLineEdit* sample_edit = nullptr;
    QCheckBox* master_check_box = nullptr;
    QDialogButtonBox* button_box = nullptr;

    // Makes them in `dialog`, checked iff `master`, and connects the button box to the dialog's
    // accept(), reject() and help.
    void make(AFCQ_DIALOG* dialog, bool master);
};

class SEDQ_TIME_UNITS_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // The units offered, in the order of the unit list.
    static const char* const UNIT_TEXTS[6];

    // Time-units mode: any value from 0 up.
    explicit SEDQ_TIME_UNITS_DLG(QWidget* parent);
    // Insert mode: samples first_sample..last_sample (relative to the trigger) of `period` each.
    SEDQ_TIME_UNITS_DLG(QWidget* parent, int first_sample, int last_sample, double period, bool master);

    bool set_time_units_number(double value);
    bool set_time_units_string(const QString& unit);
    bool get_time_units_number(double* value) const;
    bool get_time_units_string(QString* unit) const;
    // Insert mode: the typed time as a sample offset from the trigger, rounded up; 0 when the
    // time and scale give no finite number, and within int's range.
    int get_transition_number() const;
    // Called once after the unit and value are set and before exec().
    void on_init_dlg();

    bool is_insert_mode() const { return m_insert_mode; }
    double get_lower_bound() const { return m_lower_bound; }
    double get_upper_bound() const { return m_upper_bound; }
    double get_scale() const { return m_scale; }
    const SEDQ_TIME_BAR_WIDGETS& get_widgets() const { return m_widgets; }

public Q_SLOTS:
    void accept() override;
    void on_update_time_units_edit(const QString& text);
    void on_sel_change_time_units_combo(const QString& unit);

private:
    void initialize_widget(bool master);
    void rescale(const QString& old_unit, const QString& new_unit);

    QString m_unit_text;
    double m_value = 0.0;
    SEDQ_TIME_BAR_WIDGETS m_widgets;
    double m_lower_bound;
    double m_upper_bound;
    double m_scale;
    bool m_insert_mode;
};
