// SEDQ_DEFERRED_PAGE: building the page on first need, and the size hints it leaves behind.
#include "sedq/advanced_trigger/sedq_deferred_page.h"

#include <QEvent>
#include <QLayout>
#include <QStyle>

SEDQ_DEFERRED_PAGE::SEDQ_DEFERRED_PAGE(const char* kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
}

void SEDQ_DEFERRED_PAGE::ensure_built() const
{
    if (m_built)
        return;
    auto* page = const_cast<SEDQ_DEFERRED_PAGE*>(this);
    page->m_built = true;
    page->build();
    // What the page asks of the layouts before it is shown is what a dialog sizes itself by.
    page->ensurePolished();
    hints_by_look().insert(look(), {page->sizeHint(), page->minimumSizeHint()});
    // Showing builds the page first (setVisible); one shown along with its window shows its new
    // widgets itself.
    if (isVisible())
    {
        for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                child->show();
        if (layout() != nullptr)
            layout()->activate();
    }
    page->updateGeometry();
}

void SEDQ_DEFERRED_PAGE::build_unless_hinted()
{
    if (remembered() == nullptr)
        ensure_built();
}

void SEDQ_DEFERRED_PAGE::setVisible(bool visible)
{
    if (visible)
        ensure_built();
    QWidget::setVisible(visible);
}

QSize SEDQ_DEFERRED_PAGE::sizeHint() const
{
    if (!m_built)
        if (const HINTS* hints = remembered())
            return hints->size;
    return QWidget::sizeHint();
}

QSize SEDQ_DEFERRED_PAGE::minimumSizeHint() const
{
    if (!m_built)
        if (const HINTS* hints = remembered())
            return hints->minimum;
    return QWidget::minimumSizeHint();
}

void SEDQ_DEFERRED_PAGE::showEvent(QShowEvent* event)
{
    ensure_built();
    QWidget::showEvent(event);
}

// Hints remembered in another look say nothing about the new one.
void SEDQ_DEFERRED_PAGE::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
    {
        m_looked_up = false;
        if (!m_built)
            build_unless_hinted();
    }
    QWidget::changeEvent(event);
}

QHash<QString, SEDQ_DEFERRED_PAGE::HINTS>& SEDQ_DEFERRED_PAGE::hints_by_look()
{
    static QHash<QString, HINTS> hints;
    return hints;
}

const SEDQ_DEFERRED_PAGE::HINTS* SEDQ_DEFERRED_PAGE::remembered() const
{
    if (!m_looked_up)
    {
        const QHash<QString, HINTS>& hints = hints_by_look();
        const auto found = hints.constFind(look());
        m_hinted = found != hints.constEnd();
        if (m_hinted)
            m_hints = found.value();
        m_looked_up = true;
    }
    return m_hinted ? &m_hints : nullptr;
}

QString SEDQ_DEFERRED_PAGE::look() const
{
    return QStringLiteral("%1\n%2\n%3\n%4x%5")
        .arg(QLatin1String(m_kind), font().key(), QLatin1String(style()->metaObject()->className()))
        .arg(logicalDpiX())
        .arg(logicalDpiY());
}
