// SEDQ_LINE_WIDGET: the horizontal rule of the pane layout.
#include "sedq/frame/sedq_line_widget.h"

SEDQ_LINE_WIDGET::SEDQ_LINE_WIDGET(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::HLine | QFrame::Sunken);
    setMaximumHeight(1);
}
