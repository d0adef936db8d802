#pragma once
// The object library of an advanced trigger page, below the node list: the palette of
// objects the user drags onto the canvas. Built into every advanced trigger page; the
// palette's entries are not built yet, so it is empty.

#include <QFrame>

class SEDQ_OPERATOR_WIDGET : public QFrame
{
    Q_OBJECT
public:
    explicit SEDQ_OPERATOR_WIDGET(QWidget* parent);
};
