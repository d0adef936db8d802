#pragma once
// A one-pixel horizontal rule between the parts of the pane layout. The layout chooses the
// line and mid-line widths of each rule; the rule never grows taller than one pixel.

#include <QFrame>

class SEDQ_LINE_WIDGET : public QFrame
{
    Q_OBJECT
public:
    explicit SEDQ_LINE_WIDGET(QWidget* parent = nullptr);
};
