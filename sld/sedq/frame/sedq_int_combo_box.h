#pragma once
// A combo box that offers the whole numbers of a fixed range as decimal texts. It reports the
// chosen number rather than an index, so the state-flow panes bind it straight to counts of
// the model (states, flags, counters). A caller that writes it from the model holds SEDQ_BLOCK.

#include <QComboBox>

class SEDQ_INT_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    // One item per number from `minimum` to `maximum` inclusive (none when minimum > maximum);
    // the first item is current.
    SEDQ_INT_COMBO_BOX(int minimum, int maximum);

public Q_SLOTS:
    // Selects the item whose text is `count` in decimal; nothing when no item has it.
    void set_current_count(int count);
    void on_current_index_changed(QString const& text);

Q_SIGNALS:
    void current_count_changed(int count);

private:
    int m_minimum;
    int m_maximum;
};
