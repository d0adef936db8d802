// SEDQ_OPERATOR_WIDGET: construction of the object library palette.
#include "sedq/advanced_trigger/sedq_operator_widget.h"

SEDQ_OPERATOR_WIDGET::SEDQ_OPERATOR_WIDGET(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
}
