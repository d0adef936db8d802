// The compare dialog: its two pages, the switch between them and the checks of OK.
#include "sedq/view/sedq_trigger_compare_dlg.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_comparison_widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <climits>

int sedq_comparison_max(int members)
{
    if (members < 1)
        return 0;
    if (members >= 31)
        return INT_MAX;
    return int((int64_t(1) << members) - 1);
}

bool sedq_read_decimal(const QString& text, qlonglong* value)
{
    static const QRegularExpression decimal(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!decimal.match(text).hasMatch())
        return false;
    bool ok = false;
    *value = text.trimmed().toLongLong(&ok);
    return ok;
}

namespace
{
bool is_decimal_in_range(const QString& text, int min, int max)
{
    qlonglong value = 0;
    return sedq_read_decimal(text, &value) && value >= min && value <= max;
}
} // namespace

SEDQ_TRIGGER_COMPARE_DLG::SEDQ_TRIGGER_COMPARE_DLG(QString node_name, SDR_DATA_TRIGGER_CONDITION operand_a,
                                                   SDR_DATA_TRIGGER_CONDITION operand_b, int value_a, int value_b,
                                                   int width, QWidget* parent)
    : AFCQ_DIALOG(parent), m_node_name(std::move(node_name)), m_operand_a(operand_a), m_operand_b(operand_b),
      m_value_a(value_a), m_value_b(value_b), m_width(width)
{
    on_init_dlg();
}

void SEDQ_TRIGGER_COMPARE_DLG::on_init_dlg()
{
    m_min = 0;
    m_max = sedq_comparison_max(m_width);
    setWindowTitle(QStringLiteral("Compare"));
    const bool single = m_operand_b == SDR_CTYPE_COMPARE_TRUE;
    auto* column = new QVBoxLayout(this);
    column->setSpacing(30);
    auto* block = new QGridLayout;
    block->setSpacing(5);
    block->addWidget(new QLabel(QStringLiteral("Node:"), this), 0, 0);
    block->addWidget(new QLabel(m_node_name, this), 0, 1);
    block->addWidget(new QLabel(QStringLiteral("Comparison type:"), this), 1, 0);
    m_type_combo = new QComboBox(this);
    m_type_combo->addItem(QStringLiteral("Single-value comparison"), 0);
    m_type_combo->addItem(QStringLiteral("Interval check"), 1);
    block->addWidget(m_type_combo, 1, 1);
    column->addLayout(block);
    make_pages(single);
    auto* value_box = new QGroupBox(QStringLiteral("Single-value comparison"), this);
    (new QVBoxLayout(value_box))->addWidget(m_value_page);
    auto* interval_box = new QGroupBox(QStringLiteral("Interval check"), this);
    (new QVBoxLayout(interval_box))->addWidget(m_interval_page);
    column->addWidget(value_box);
    column->addWidget(interval_box);
    auto* buttons = new QHBoxLayout;
    m_ok_button = new QPushButton(QStringLiteral("Ok"), this);
    m_cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {m_ok_button, m_cancel_button})
    {
        button->setFixedWidth(75);
        buttons->addWidget(button);
    }
    m_ok_button->setDefault(true);
    column->addLayout(buttons);
    m_type_combo->setCurrentIndex(single ? 0 : 1);
    connect(m_type_combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SEDQ_TRIGGER_COMPARE_DLG::on_selection_changed);
    connect(m_ok_button, &QPushButton::clicked, this, &SEDQ_TRIGGER_COMPARE_DLG::on_ok_button);
    connect(m_cancel_button, &QPushButton::clicked, this, &SEDQ_TRIGGER_COMPARE_DLG::on_cancel_button);
}

// The page of the comparison's own form holds its values; the other starts from defaults.
void SEDQ_TRIGGER_COMPARE_DLG::make_pages(bool single)
{
    if (single)
    {
        m_value_page = new SEDQ_VALUE_COMPARISON_WIDGET(m_operand_a, m_value_a, this);
        m_interval_page = new SEDQ_INTERVAL_COMPARISON_WIDGET(SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_LESS_THAN,
                                                              m_min, m_max, this);
    }
    else
    {
        m_value_page = new SEDQ_VALUE_COMPARISON_WIDGET(SDR_CTYPE_COMPARE_EQUAL_TO, m_min, this);
        m_interval_page = new SEDQ_INTERVAL_COMPARISON_WIDGET(m_operand_a, m_operand_b, m_value_a, m_value_b, this);
    }
    m_value_page->setEnabled(single);
    m_interval_page->setEnabled(!single);
}

void SEDQ_TRIGGER_COMPARE_DLG::on_selection_changed(int index)
{
    if (index != 0 && index != 1)
    {
        SEDQ_REPORT("Unhandled selection index");
        return;
    }
    m_value_page->setEnabled(index == 0);
    m_interval_page->setEnabled(index == 1);
}

void SEDQ_TRIGGER_COMPARE_DLG::on_ok_button()
{
    const QString refusal = m_type_combo->currentIndex() == 0 ? check_single() : check_interval();
    if (refusal.isEmpty())
        accept();
    else
        refuse(refusal);
}

void SEDQ_TRIGGER_COMPARE_DLG::on_cancel_button()
{
    reject();
}

// Each check answers the reason of a refusal, empty when the values are taken. A field that
// holds no decimal integer is refused like a value out of range.
QString SEDQ_TRIGGER_COMPARE_DLG::check_single()
{
    m_operand_a = SDR_DATA_TRIGGER_CONDITION(m_value_page->get_operand());
    m_operand_b = SDR_CTYPE_COMPARE_TRUE;
    m_value_a = m_value_page->get_value();
    m_value_b = 0;
    if (is_decimal_in_range(m_value_page->get_value_edit()->text(), m_min, m_max))
        return QString();
    return QString::asprintf("Comparison value must be between %d and %d (inclusive)", m_min, m_max);
}

QString SEDQ_TRIGGER_COMPARE_DLG::check_interval()
{
    m_operand_a = SDR_DATA_TRIGGER_CONDITION(m_interval_page->get_lb_operand());
    m_operand_b = SDR_DATA_TRIGGER_CONDITION(m_interval_page->get_ub_operand());
    m_value_a = m_interval_page->get_lb_value();
    m_value_b = m_interval_page->get_ub_value();
    // Bounds in the wrong order are named first, even when one of them is also out of range.
    qlonglong lower = 0;
    qlonglong upper = 0;
    const QString lower_text = m_interval_page->get_lb_edit()->text();
    const QString upper_text = m_interval_page->get_ub_edit()->text();
    if (sedq_read_decimal(lower_text, &lower) && sedq_read_decimal(upper_text, &upper) && upper < lower)
        return QStringLiteral("Lower bound value must be less than upper bound value");
    if (!is_decimal_in_range(lower_text, m_min, m_max))
        return QString::asprintf("Lower bound value must be between %d and %d (inclusive)", m_min, m_max);
    if (!is_decimal_in_range(upper_text, m_min, m_max))
        return QString::asprintf("Upper bound value must be between %d and %d (inclusive)", m_min, m_max);
    return QString();
}

void SEDQ_TRIGGER_COMPARE_DLG::refuse(const QString& text)
{
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("Value(s) not acceptable"));
    box.setText(text);
    box.exec();
}
