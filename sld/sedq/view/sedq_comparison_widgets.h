#pragma once
// The two pages of the compare dialog: one operator with one value, and an interval of a lower
// and an upper bound, each exclusive or inclusive. Values are shown and read in decimal.

#include "host/sdr.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QRadioButton;

class SEDQ_VALUE_COMPARISON_WIDGET : public QWidget
{
    Q_OBJECT
public:
    // `operand` is one of the five comparison operators (18 to 22).
    SEDQ_VALUE_COMPARISON_WIDGET(SDR_DATA_TRIGGER_CONDITION operand, int value, QWidget* parent);

    // The chosen operator; 24 when the list holds none.
    int get_operand() const;
    // The field read as the host reads a decimal integer (text that is none reads 0).
    int get_value() const;

    QComboBox* get_operand_combo() const { return m_operand_combo; }
    QLineEdit* get_value_edit() const { return m_value_edit; }

private:
    QComboBox* m_operand_combo = nullptr;
    QLineEdit* m_value_edit = nullptr;
};

class SEDQ_INTERVAL_COMPARISON_WIDGET : public QWidget
{
    Q_OBJECT
public:
    // The lower operand is 18 (exclusive) or 19 (inclusive), the upper 22 or 21.
    SEDQ_INTERVAL_COMPARISON_WIDGET(SDR_DATA_TRIGGER_CONDITION lower_operand, SDR_DATA_TRIGGER_CONDITION upper_operand,
                                    int lower_value, int upper_value, QWidget* parent);

    int get_lb_operand() const;
    int get_ub_operand() const;
    int get_lb_value() const;
    int get_ub_value() const;

    QLineEdit* get_lb_edit() const { return m_lb_edit; }
    QLineEdit* get_ub_edit() const { return m_ub_edit; }
    QRadioButton* get_lb_inclusive() const { return m_lb_inclusive; }
    QRadioButton* get_ub_inclusive() const { return m_ub_inclusive; }
    QRadioButton* get_lb_exclusive() const { return m_lb_exclusive; }
    QRadioButton* get_ub_exclusive() const { return m_ub_exclusive; }

private:
    QWidget* make_bound(const QString& label, int value, QLineEdit** edit, QRadioButton** exclusive,
                        QRadioButton** inclusive);

    QLineEdit* m_lb_edit = nullptr;
    QLineEdit* m_ub_edit = nullptr;
    QRadioButton* m_lb_exclusive = nullptr;
    QRadioButton* m_lb_inclusive = nullptr;
    QRadioButton* m_ub_exclusive = nullptr;
    QRadioButton* m_ub_inclusive = nullptr;
};
