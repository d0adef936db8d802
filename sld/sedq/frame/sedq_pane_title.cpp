// The title row, rule and View-menu toggle binding shared by the panes of the editor window.
#include "sedq/frame/sedq_pane_title.h"

#include "host/afcq.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QAbstractItemModel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

QHBoxLayout* sedq_make_pane_title_row(QWidget* pane, QAction* toggle, const QList<QWidget*>& widgets)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(7, 0, 0, 0);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    auto* close = new QToolButton(pane);
    close->setObjectName("close_button");
    close->setIcon(afcq_get_icon(AFCQ_ICON_CLOSE_PANE));
    close->setAutoRaise(true);
    close->setToolTip(QObject::tr("Close"));
    row->addWidget(close, 0, Qt::AlignRight);
    QObject::connect(close, &QToolButton::pressed, pane, &QWidget::hide);
    if (toggle != nullptr)
        QObject::connect(close, &QToolButton::pressed, toggle, &QAction::toggle);
    return row;
}

QFrame* sedq_make_sunken_line(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setLineWidth(0);
    line->setMidLineWidth(1);
    return line;
}

QFrame* sedq_make_pane_rule(QWidget* parent)
{
    QFrame* rule = sedq_make_sunken_line(parent);
    rule->setMaximumHeight(1);
    return rule;
}

void sedq_bind_pane_toggle(QWidget* pane, QAction* toggle)
{
    if (toggle != nullptr)
        QObject::connect(toggle, &QAction::toggled, pane, &QWidget::setVisible);
}

namespace
{
// On the viewports of a list: an activation change the palette does not show is passed on to
// the viewport's children, as QWidget does, without the list's repaint.
class activation_filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::WindowActivate && event->type() != QEvent::WindowDeactivate)
            return false;
        auto* viewport = qobject_cast<QWidget*>(watched);
        if (viewport == nullptr || !viewport->palette().isEqual(QPalette::Active, QPalette::Inactive))
            return false;
        for (QObject* child : viewport->children())
        {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget != nullptr && widget->isVisible() && !widget->isWindow())
                QCoreApplication::sendEvent(widget, event);
        }
        return true;
    }
};
} // namespace

void sedq_repaint_list_on_activation_as_widgets_do(QAbstractItemView* view)
{
    auto* filter = new activation_filter(view);
    view->viewport()->installEventFilter(filter);
    if (auto* tree = qobject_cast<QTreeView*>(view))
        tree->header()->viewport()->installEventFilter(filter);
}

namespace
{
// On the value controls of a scrolling pane: a wheel turned over one that lacks the keyboard
// focus is refused, and Qt hands a refused wheel on to the parents, up to the scroll area.
class wheel_needs_focus_filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* control = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Wheel || control == nullptr || control->hasFocus())
            return false;
        event->ignore();
        return true;
    }
};
} // namespace

void sedq_wheel_scrolls_the_pane(QWidget* body)
{
    auto* filter = new wheel_needs_focus_filter(body);
    QList<QWidget*> controls;
    for (QComboBox* box : body->findChildren<QComboBox*>())
        controls << box;
    for (QAbstractSpinBox* spin : body->findChildren<QAbstractSpinBox*>())
        controls << spin;
    for (QWidget* control : controls)
    {
        // A wheel would otherwise give the control the focus before the filter asks for it.
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(filter);
    }
}

SEDQ_LIST_PANE sedq_make_list_pane(QFrame* pane, QHBoxLayout* title_row, QAbstractItemModel* model)
{
    SEDQ_LIST_PANE parts;
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    parts.layout = new QVBoxLayout(pane);
    parts.layout->setContentsMargins(0, 0, 0, 0);
    parts.layout->setSpacing(0);
    parts.layout->addLayout(title_row);
    parts.layout->addWidget(sedq_make_pane_rule(pane));
    parts.tree = new QTreeView(pane);
    parts.tree->setFrameStyle(QFrame::NoFrame);
    parts.tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    parts.tree->setExpandsOnDoubleClick(false);
    parts.tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    parts.tree->setModel(model);
    sedq_repaint_list_on_activation_as_widgets_do(parts.tree);
    parts.layout->addWidget(parts.tree, 1);
    return parts;
}

SEDQ_TITLED_PANE sedq_make_titled_pane(QFrame* pane, const QString& title)
{
    SEDQ_TITLED_PANE parts;
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    parts.layout = new QVBoxLayout(pane);
    parts.layout->setContentsMargins(0, 0, 0, 0);
    parts.layout->setSpacing(0);
    parts.header = new QHBoxLayout;
    parts.header->setContentsMargins(7, 0, 0, 0);
    auto* label = new QLabel(title);
    label->setFixedHeight(22);
    parts.header->addWidget(label);
    parts.layout->addLayout(parts.header);
    parts.layout->addWidget(sedq_make_sunken_line());
    return parts;
}
