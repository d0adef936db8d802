// SEDQ_BOOL_COMBO_BOX: a yes/no choice shown as two items.
#include "sedq/frame/sedq_bool_combo_box.h"

SEDQ_BOOL_COMBO_BOX::SEDQ_BOOL_COMBO_BOX(QWidget* parent) : QComboBox(parent)
{
    connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SEDQ_BOOL_COMBO_BOX::on_current_index_changed);
}

void SEDQ_BOOL_COMBO_BOX::set_current_index(bool index)
{
    setCurrentIndex(index ? 1 : 0);
}

void SEDQ_BOOL_COMBO_BOX::on_current_index_changed(int index)
{
    Q_EMIT current_index_changed(index == 1);
}
