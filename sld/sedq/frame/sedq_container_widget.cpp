// SEDQ_CONTAINER_WIDGET: adopting and releasing the shared view or canvas.
#include "sedq/frame/sedq_container_widget.h"

#include <QVBoxLayout>

SEDQ_CONTAINER_WIDGET::SEDQ_CONTAINER_WIDGET(QWidget* parent, QWidget* shared)
    : QFrame(parent), m_widget(shared)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

// The shared widget may sit in another container by now: only the one that holds it lets it
// go, so a dying page never pulls the view out of the page on show.
SEDQ_CONTAINER_WIDGET::~SEDQ_CONTAINER_WIDGET()
{
    if (m_widget == nullptr)
        return;
    layout()->removeWidget(m_widget);
    if (m_widget->parentWidget() != this)
        return;
    // Hiding a widget whose native window exists would post events to a widget in transit;
    // hide it as if it had never been created, then restore the attribute.
    const bool created = m_widget->testAttribute(Qt::WA_WState_Created);
    m_widget->setAttribute(Qt::WA_WState_Created, false);
    m_widget->hide();
    m_widget->setAttribute(Qt::WA_WState_Created, created);
    m_widget->setParent(nullptr);
}

void SEDQ_CONTAINER_WIDGET::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (m_widget == nullptr)
        return;
    // A window restored from minimised shows its pages again: add the widget only once.
    if (layout()->indexOf(m_widget) < 0)
        layout()->addWidget(m_widget);
    m_widget->show();
}

// The widget stays a child of this container until another container shows and adopts it.
void SEDQ_CONTAINER_WIDGET::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    if (m_widget != nullptr)
        layout()->removeWidget(m_widget);
}
