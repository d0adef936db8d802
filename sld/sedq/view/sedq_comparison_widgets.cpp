// The pages of the compare dialog: the operator list with its value, and the two bounds of an
// interval with their exclusive or inclusive choice.
#include "sedq/view/sedq_comparison_widgets.h"

#include "host/gen.h"
#include "sedq/model/sedq_verify.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <string>

namespace
{
const SDR_DATA_TRIGGER_CONDITION OPERATORS[] = {
    SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_EQUAL_TO,
    SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, SDR_CTYPE_COMPARE_LESS_THAN};

int read_decimal(const QLineEdit* edit)
{
    return gen_atoi(edit->text().toLatin1().constData());
}
} // namespace

SEDQ_VALUE_COMPARISON_WIDGET::SEDQ_VALUE_COMPARISON_WIDGET(SDR_DATA_TRIGGER_CONDITION operand, int value,
                                                           QWidget* parent)
    : QWidget(parent)
{
    m_operand_combo = new QComboBox(this);
    int default_select_index = -1;
    for (const SDR_DATA_TRIGGER_CONDITION condition : OPERATORS)
    {
        std::string text;
        SDR_DATA_GLOBAL_ENUM::convert_enum_to_string(condition, &text);
        if (condition == operand)
            default_select_index = m_operand_combo->count();
        m_operand_combo->addItem(QString::fromLatin1(text.c_str()), int(condition));
    }
    if (SEDQ_VERIFY(default_select_index >= 0))
        m_operand_combo->setCurrentIndex(default_select_index);
    m_value_edit = new QLineEdit(QString::asprintf("%d", value), this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Operand:"), this), 0, 0);
    grid->addWidget(m_operand_combo, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Value:"), this), 1, 0);
    grid->addWidget(m_value_edit, 1, 1);
}

int SEDQ_VALUE_COMPARISON_WIDGET::get_operand() const
{
    bool is_int = false;
    const int operand = m_operand_combo->currentData().toInt(&is_int);
    return is_int ? operand : int(SDR_CTYPE_ADVANCED);
}

int SEDQ_VALUE_COMPARISON_WIDGET::get_value() const
{
    return read_decimal(m_value_edit);
}

// ---- the interval --------------------------------------------------------------------------------

SEDQ_INTERVAL_COMPARISON_WIDGET::SEDQ_INTERVAL_COMPARISON_WIDGET(SDR_DATA_TRIGGER_CONDITION lower_operand,
                                                                 SDR_DATA_TRIGGER_CONDITION upper_operand,
                                                                 int lower_value, int upper_value, QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->addWidget(make_bound(QStringLiteral("Lower bound value:"), lower_value, &m_lb_edit, &m_lb_exclusive,
                              &m_lb_inclusive));
    row->addWidget(make_bound(QStringLiteral("Upper bound value:"), upper_value, &m_ub_edit, &m_ub_exclusive,
                              &m_ub_inclusive));
    if (lower_operand == SDR_CTYPE_COMPARE_GREATER_THAN)
        m_lb_exclusive->setChecked(true);
    else if (lower_operand == SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO)
        m_lb_inclusive->setChecked(true);
    else
        SEDQ_REPORT("Invalid lower bound comparison operand");
    if (upper_operand == SDR_CTYPE_COMPARE_LESS_THAN)
        m_ub_exclusive->setChecked(true);
    else if (upper_operand == SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO)
        m_ub_inclusive->setChecked(true);
    else
        SEDQ_REPORT("Invalid upper bound comparison operand");
}

QWidget* SEDQ_INTERVAL_COMPARISON_WIDGET::make_bound(const QString& label, int value, QLineEdit** edit,
                                                     QRadioButton** exclusive, QRadioButton** inclusive)
{
    auto* box = new QGroupBox(this);
    auto* column = new QVBoxLayout(box);
    column->addWidget(new QLabel(label, box));
    *edit = new QLineEdit(QString::asprintf("%d", value), box);
    column->addWidget(*edit);
    *exclusive = new QRadioButton(QStringLiteral("Exclusive"), box);
    *inclusive = new QRadioButton(QStringLiteral("Inclusive"), box);
    column->addWidget(*exclusive);
    column->addWidget(*inclusive);
    return box;
}

int SEDQ_INTERVAL_COMPARISON_WIDGET::get_lb_operand() const
{
    return m_lb_inclusive->isChecked() ? SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO : SDR_CTYPE_COMPARE_GREATER_THAN;
}

int SEDQ_INTERVAL_COMPARISON_WIDGET::get_ub_operand() const
{
    return m_ub_inclusive->isChecked() ? SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO : SDR_CTYPE_COMPARE_LESS_THAN;
}

int SEDQ_INTERVAL_COMPARISON_WIDGET::get_lb_value() const
{
    return read_decimal(m_lb_edit);
}

int SEDQ_INTERVAL_COMPARISON_WIDGET::get_ub_value() const
{
    return read_decimal(m_ub_edit);
}
