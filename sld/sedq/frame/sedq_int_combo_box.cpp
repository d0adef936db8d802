// SEDQ_INT_COMBO_BOX: a range of numbers to choose from.
#include "sedq/frame/sedq_int_combo_box.h"

#include "sedq/model/sedq_util.h"

SEDQ_INT_COMBO_BOX::SEDQ_INT_COMBO_BOX(int minimum, int maximum) : m_minimum(minimum), m_maximum(maximum)
{
    // Counted in 64 bits so that a range ending at INT_MAX still ends.
    for (qint64 number = minimum; number <= maximum; ++number)
        addItem(QString::number(number));
    setCurrentIndex(count() > 0 ? 0 : -1);
    connect(this, sedq_combo_text_changed(), this, &SEDQ_INT_COMBO_BOX::on_current_index_changed);
}

// A refresh sets the count it shows again and again, on every key typed in a flow: the item
// of a number is found from the range, not by comparing the texts of the items.
void SEDQ_INT_COMBO_BOX::set_current_count(int count)
{
    if (count < m_minimum || count > m_maximum)
        return;
    const int index = int(qint64(count) - m_minimum);
    if (index != currentIndex())
        setCurrentIndex(index);
}

void SEDQ_INT_COMBO_BOX::on_current_index_changed(QString const& text)
{
    bool ok = false;
    const int count = text.toInt(&ok);
    // A box being cleared passes through "no item"; that is no count.
    if (ok)
        Q_EMIT current_count_changed(count);
}
