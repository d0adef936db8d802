#pragma once
// The compare dialog: the comparison of a bus at a trigger level, either one operator and one
// value or an interval of two bounds. Values run from 0 to 2^width - 1 (width: the bus's
// trigger-enabled members), at most the largest int; OK refuses anything else, with the
// reason, and leaves the dialog open.

#include "host/afcq.h"
#include "host/sdr.h"

#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class SEDQ_INTERVAL_COMPARISON_WIDGET;
class SEDQ_VALUE_COMPARISON_WIDGET;

// The largest value a comparison of `members` bits can hold, 2^members - 1 computed in 64 bits
// and capped at the largest int; 0 below one member.
int sedq_comparison_max(int members);
// Whether the text is a decimal integer (blanks around it allowed) that fits 64 bits; its value
// goes to `value`.
bool sedq_read_decimal(const QString& text, qlonglong* value);

class SEDQ_TRIGGER_COMPARE_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // Operand b SDR_CTYPE_COMPARE_TRUE opens the single-value page, any other the interval.
    SEDQ_TRIGGER_COMPARE_DLG(QString node_name, SDR_DATA_TRIGGER_CONDITION operand_a,
                             SDR_DATA_TRIGGER_CONDITION operand_b, int value_a, int value_b, int width,
                             QWidget* parent);

    SDR_DATA_TRIGGER_CONDITION get_operand_a() const { return m_operand_a; }
    SDR_DATA_TRIGGER_CONDITION get_operand_b() const { return m_operand_b; }
    int get_value_a() const { return m_value_a; }
    int get_value_b() const { return m_value_b; }
    int get_min() const { return m_min; }
    int get_max() const { return m_max; }

    QComboBox* get_type_combo() const { return m_type_combo; }
    SEDQ_VALUE_COMPARISON_WIDGET* get_value_page() const { return m_value_page; }
    SEDQ_INTERVAL_COMPARISON_WIDGET* get_interval_page() const { return m_interval_page; }
    QPushButton* get_ok_button() const { return m_ok_button; }
    QPushButton* get_cancel_button() const { return m_cancel_button; }

public Q_SLOTS:
    void on_selection_changed(int index);
    void on_ok_button();
    void on_cancel_button();

private:
    void on_init_dlg();
    void make_pages(bool single);
    QString check_single();
    QString check_interval();
    void refuse(const QString& text);

    QString m_node_name;
    SDR_DATA_TRIGGER_CONDITION m_operand_a;
    SDR_DATA_TRIGGER_CONDITION m_operand_b;
    int m_value_a;
    int m_value_b;
    int m_width;
    int m_min = 0;
    int m_max = 0;
    QComboBox* m_type_combo = nullptr;
    SEDQ_VALUE_COMPARISON_WIDGET* m_value_page = nullptr;
    SEDQ_INTERVAL_COMPARISON_WIDGET* m_interval_page = nullptr;
    QPushButton* m_ok_button = nullptr;
    QPushButton* m_cancel_button = nullptr;
};
