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

#include <array>

class QCheckBox;
class QComboBox;
class QDialog;
class QDialogButtonBox;
class QDoubleValidator;
class QObject;
class QLabel;
class QLineEdit;
class QWidget;

// The number in `text` with "." as the decimal point and no group separators; 0, with `ok`
// false, when the text is no finite number.
double sedq_read_time_number(const QString& text, bool* ok = nullptr);

// A validator of such numbers from `bottom` to `top` with up to 10 decimals.
QDoubleValidator* sedq_make_time_validator(double bottom, double top, QObject* parent);

// The one grid of both time-bar dialogs; the widgets in order: time label, time field, unit
// combo, sample label, sample field, master check box, button box.
void sedq_layout_time_bar_dialog(QDialog* dialog, const std::array<QWidget*, 7>& widgets);

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
    QLineEdit* get_time_edit() const { return m_time_edit; }
    QComboBox* get_unit_combo() const { return m_unit_combo; }
    QLabel* get_sample_label() const { return m_sample_label; }
    QLineEdit* get_sample_edit() const { return m_sample_edit; }
    QCheckBox* get_master_check_box() const { return m_master_check_box; }
    QDialogButtonBox* get_button_box() const { return m_button_box; }

public Q_SLOTS:
    void accept() override;
    void on_update_time_units_edit(const QString& text);
    void on_sel_change_time_units_combo(const QString& unit);

private:
    void initialize_widget();
    void rescale(const QString& old_unit, const QString& new_unit);

    QString m_unit_text;
    double m_value = 0.0;
    QLabel* m_time_label = nullptr;
    QLineEdit* m_time_edit = nullptr;
    QComboBox* m_unit_combo = nullptr;
    QLabel* m_sample_label = nullptr;
    QLineEdit* m_sample_edit = nullptr;
    QCheckBox* m_master_check_box = nullptr;
    QDialogButtonBox* m_button_box = nullptr;
    double m_lower_bound;
    double m_upper_bound;
    double m_scale;
    bool m_insert_mode;
};
