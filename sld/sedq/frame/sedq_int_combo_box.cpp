// SEDQ_INT_COMBO_BOX: a range of numbers to choose from.
#include "sedq/frame/sedq_int_combo_box.h"

#include "sedq/model/sedq_util.h"

SEDQ_INT_COMBO_BOX::SEDQ_INT_COMBO_BOX(int minimum, int maximum)
{
    // Counted in 64 bits so that a range ending at INT_MAX still ends.
    for (qint64 number = minimum; number <= maximum; ++number)
        addItem(QString::number(number));
    setCurrentIndex(count() > 0 ? 0 : -1);
    connect(this, sedq_combo_text_changed(), this, &SEDQ_INT_COMBO_BOX::on_current_index_changed);
}

// A refresh sets the count it shows again and again: the list is searched only for a new one.
void SEDQ_INT_COMBO_BOX::set_current_count(int count)
{
    bool ok = false;
    if (currentText().toInt(&ok) == count && ok)
        return;
    const int index = findText(QString::number(count), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
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
