// SEDQ_INSTANCE_TABS: pages made when first needed, and a bar that measures and paints only
// the tabs in view, drawn by the style as a tab bar with its tabs at the bottom.
#include "sedq/frame/sedq_instance_tabs.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

// The tabs from m_first on, as many as the width holds; arrows to scroll when not all fit.
// Widths are measured once per tab, when the tab first comes into view.
class SEDQ_INSTANCE_TABS::BAR : public QWidget
{
public:
    explicit BAR(SEDQ_INSTANCE_TABS* tabs) : QWidget(tabs), m_tabs(tabs)
    {
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        for (QToolButton** button : {&m_left, &m_right})
        {
            *button = new QToolButton(this);
            (*button)->setAutoRepeat(true);
            (*button)->setFocusPolicy(Qt::NoFocus);
            (*button)->hide();
        }
        m_left->setArrowType(Qt::LeftArrow);
        m_right->setArrowType(Qt::RightArrow);
        connect(m_left, &QToolButton::clicked, this, [this] { scroll_by(-1); });
        connect(m_right, &QToolButton::clicked, this, [this] { scroll_by(1); });
    }

    void reset()
    {
        m_widths.assign(size_t(m_tabs->count()), 0);
        m_first = 0;
        m_height = 0;
        updateGeometry();
        ensure_visible(m_tabs->m_current);
    }

    // Scrolls the least that shows the whole tab, and lays the tabs out again.
    void ensure_visible(int tab)
    {
        if (tab >= 0 && tab < m_tabs->count())
        {
            const int room = width() - (m_first > 0 || !fits(m_first, width()) ? buttons_width() : 0);
            if (tab < m_first)
                m_first = tab;
            else if (!fits_through(m_first, tab, room))
            {
                m_first = tab;
                for (int used = tab_width(tab); m_first > 0 && used + tab_width(m_first - 1) <= room;)
                    used += tab_width(--m_first);
            }
        }
        lay_out();
    }

    // The tab's text changed: it is measured again.
    void forget_width(int tab)
    {
        if (size_t(tab) < m_widths.size())
            m_widths[size_t(tab)] = 0;
        lay_out();
    }

    QRect tab_rect(int tab) const
    {
        const int at = tab - m_first;
        return at >= 0 && at < int(m_rects.size()) ? m_rects[size_t(at)] : QRect();
    }

    QSize sizeHint() const override { return QSize(4 * tab_height(), tab_height()); }
    QSize minimumSizeHint() const override { return QSize(buttons_width(), tab_height()); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionTabBarBase base;
        base.initFrom(this);
        base.shape = QTabBar::RoundedSouth;
        base.rect = QRect(0, 0, width(), style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this));
        base.selectedTabRect = tab_rect(m_tabs->m_current);
        for (const QRect& rect : m_rects)
            base.tabBarRect |= rect;
        painter.drawPrimitive(QStyle::PE_FrameTabBarBase, base);
        for (int i = 0; i < int(m_rects.size()); ++i)
            if (m_first + i != m_tabs->m_current)
                painter.drawControl(QStyle::CE_TabBarTab, option(m_first + i, m_rects[size_t(i)]));
        const QRect current = tab_rect(m_tabs->m_current);
        if (!current.isNull())
            painter.drawControl(QStyle::CE_TabBarTab, option(m_tabs->m_current, current));
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return QWidget::mousePressEvent(event);
        for (int i = 0; i < int(m_rects.size()); ++i)
            if (m_rects[size_t(i)].contains(event->pos()))
                m_tabs->setCurrentIndex(m_first + i);
    }

    void wheelEvent(QWheelEvent* event) override
    {
        const int step = event->angleDelta().y() + event->angleDelta().x() > 0 ? -1 : 1;
        m_tabs->setCurrentIndex(std::clamp(m_tabs->m_current + step, 0, m_tabs->count() - 1));
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Left && event->key() != Qt::Key_Right)
            return QWidget::keyPressEvent(event);
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        m_tabs->setCurrentIndex(std::clamp(m_tabs->m_current + step, 0, m_tabs->count() - 1));
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        ensure_visible(m_tabs->m_current);
    }

    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        {
            std::fill(m_widths.begin(), m_widths.end(), 0);
            m_height = 0;
            updateGeometry();
            lay_out();
        }
    }

private:
    QStyleOptionTab option(int tab, const QRect& rect) const
    {
        QStyleOptionTab option;
        option.initFrom(this);
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        option.rect = rect;
        option.shape = QTabBar::RoundedSouth;
        option.text = m_tabs->tabText(tab);
        option.icon = m_tabs->tabIcon(tab);
        const int icon = style()->pixelMetric(QStyle::PM_TabBarIconSize, nullptr, this);
        option.iconSize = QSize(icon, icon);
        const int count = m_tabs->count();
        option.position = count == 1         ? QStyleOptionTab::OnlyOneTab
                          : tab == 0         ? QStyleOptionTab::Beginning
                          : tab == count - 1 ? QStyleOptionTab::End
                                             : QStyleOptionTab::Middle;
        const int current = m_tabs->m_current;
        option.selectedPosition = tab + 1 == current   ? QStyleOptionTab::NextIsSelected
                                  : tab - 1 == current ? QStyleOptionTab::PreviousIsSelected
                                                       : QStyleOptionTab::NotAdjacent;
        if (tab == current)
        {
            option.state |= QStyle::State_Selected;
            if (hasFocus())
                option.state |= QStyle::State_HasFocus;
        }
        return option;
    }

    // The size the style gives a tab of this text and icon, as Qt's tab bar asks for it.
    QSize tab_size(int tab) const
    {
        const QStyleOptionTab o = option(tab, QRect());
        const QSize icon = o.icon.isNull() ? QSize(0, 0) : o.iconSize;
        const QSize contents(fontMetrics().size(Qt::TextShowMnemonic, o.text).width() + icon.width() +
                                 (o.icon.isNull() ? 0 : 4) + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &o, this),
                             std::max(fontMetrics().height(), icon.height()) +
                                 style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &o, this));
        return style()->sizeFromContents(QStyle::CT_TabBarTab, &o, contents, this);
    }

    int tab_width(int tab) const
    {
        if (size_t(tab) >= m_widths.size())
            m_widths.resize(size_t(m_tabs->count()), 0);
        int& width = m_widths[size_t(tab)];
        if (width == 0)
            width = std::max(1, tab_size(tab).width());
        return width;
    }

    int tab_height() const
    {
        if (m_height == 0)
            m_height = m_tabs->count() > 0 ? tab_size(0).height() : fontMetrics().height() + 8;
        return m_height;
    }

    int buttons_width() const { return 2 * std::max(12, tab_height() * 2 / 3); }

    // Whether the tabs from `first` to the last fit in `room` pixels.
    bool fits(int first, int room) const { return fits_through(first, m_tabs->count() - 1, room); }

    bool fits_through(int first, int last, int room) const
    {
        int used = 0;
        for (int tab = first; tab <= last; ++tab)
            if ((used += tab_width(tab)) > room)
                return false;
        return true;
    }

    void scroll_by(int step)
    {
        m_first = std::clamp(m_first + step, 0, std::max(0, m_tabs->count() - 1));
        lay_out();
    }

    void lay_out()
    {
        m_rects.clear();
        const int count = m_tabs->count();
        m_first = std::clamp(m_first, 0, std::max(0, count - 1));
        const bool scrolled = count > 0 && (m_first > 0 || !fits(m_first, width()));
        const int room = width() - (scrolled ? buttons_width() : 0);
        int x = 0;
        for (int tab = m_first; tab < count && x < room; ++tab)
        {
            m_rects.emplace_back(x, 0, tab_width(tab), tab_height());
            x += m_rects.back().width();
        }
        const int button = buttons_width() / 2;
        m_left->setGeometry(width() - 2 * button, 0, button, tab_height());
        m_right->setGeometry(width() - button, 0, button, tab_height());
        m_left->setVisible(scrolled);
        m_right->setVisible(scrolled);
        m_left->setEnabled(m_first > 0);
        m_right->setEnabled(x > room || m_first + int(m_rects.size()) < count);
        update();
    }

    SEDQ_INSTANCE_TABS* m_tabs;
    QToolButton* m_left = nullptr;
    QToolButton* m_right = nullptr;
    mutable std::vector<int> m_widths; // 0 until measured
    mutable int m_height = 0;
    int m_first = 0;
    std::vector<QRect> m_rects; // of the tabs from m_first on that are in view
};

SEDQ_INSTANCE_TABS::SEDQ_INSTANCE_TABS(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_stack = new QStackedWidget(this);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_stack->setContentsMargins(frame, frame, frame, frame);
    m_bar = new BAR(this);
    layout->addWidget(m_stack, 1);
    layout->addWidget(m_bar);
    setFocusProxy(m_bar);
}

SEDQ_INSTANCE_TABS::~SEDQ_INSTANCE_TABS() = default;

void SEDQ_INSTANCE_TABS::set_tabs(const QStringList& names, PAGE_MAKER maker)
{
    clear();
    m_names = names;
    m_pages.assign(size_t(names.size()), nullptr);
    m_maker = std::move(maker);
    m_current = names.isEmpty() ? -1 : 0;
    m_bar->reset();
    // The first page made shows at once (the stack lays it out, and the bar with it).
    if (m_current == 0)
        m_stack->setCurrentWidget(widget(0));
}

void SEDQ_INSTANCE_TABS::clear()
{
    std::vector<QWidget*> pages;
    pages.swap(m_pages);
    const bool had_current = m_current != -1;
    m_names.clear();
    m_current = -1;
    m_marked = -1;
    for (auto page = pages.rbegin(); page != pages.rend(); ++page)
        delete *page;
    m_bar->reset();
    if (had_current)
        Q_EMIT currentChanged(-1);
}

QWidget* SEDQ_INSTANCE_TABS::widget(int tab)
{
    if (tab < 0 || tab >= count())
        return nullptr;
    QWidget*& page = m_pages[size_t(tab)];
    if (page == nullptr)
    {
        QWidget* made = m_maker ? m_maker(tab) : nullptr;
        page = made != nullptr ? made : new QWidget;
        m_stack->addWidget(page);
    }
    return page;
}

void SEDQ_INSTANCE_TABS::set_tab_text(int tab, const QString& text)
{
    if (tab < 0 || tab >= count() || m_names[tab] == text)
        return;
    m_names[tab] = text;
    m_bar->forget_width(tab);
}

void SEDQ_INSTANCE_TABS::remake_page(int tab)
{
    if (tab < 0 || tab >= count() || m_pages[size_t(tab)] == nullptr)
        return;
    QWidget* old = m_pages[size_t(tab)];
    m_pages[size_t(tab)] = nullptr;
    delete old;
    if (tab == m_current)
        m_stack->setCurrentWidget(widget(tab));
}

void SEDQ_INSTANCE_TABS::setCurrentIndex(int tab)
{
    if (tab < 0 || tab >= count() || tab == m_current)
        return;
    m_current = tab;
    m_stack->setCurrentWidget(widget(tab));
    m_bar->ensure_visible(tab);
    Q_EMIT currentChanged(tab);
}

int SEDQ_INSTANCE_TABS::indexOf(const QWidget* page) const
{
    const auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return page != nullptr && found != m_pages.end() ? int(found - m_pages.begin()) : -1;
}

void SEDQ_INSTANCE_TABS::set_icons(const QIcon& normal, const QIcon& marked)
{
    m_icons[0] = normal;
    m_icons[1] = marked;
    m_bar->update();
}

void SEDQ_INSTANCE_TABS::set_marked_tab(int tab)
{
    m_marked = tab;
    m_bar->update();
}

QIcon SEDQ_INSTANCE_TABS::tabIcon(int tab) const
{
    if (tab < 0 || tab >= count())
        return QIcon();
    return m_icons[tab == m_marked ? 1 : 0];
}

QWidget* SEDQ_INSTANCE_TABS::tabBar() const
{
    return m_bar;
}

QRect SEDQ_INSTANCE_TABS::tabRect(int tab) const
{
    return m_bar->tab_rect(tab);
}

// Ctrl+Tab and Ctrl+Page Down go to the next tab, with Shift or Page Up to the previous one,
// from anywhere inside, as in Qt's tab widget.
void SEDQ_INSTANCE_TABS::keyPressEvent(QKeyEvent* event)
{
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    int step = 0;
    if (control && (event->key() == Qt::Key_Backtab || (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier))))
        step = -1;
    else if (control && event->key() == Qt::Key_Tab)
        step = 1;
    else if (control && event->key() == Qt::Key_PageUp)
        step = -1;
    else if (control && event->key() == Qt::Key_PageDown)
        step = 1;
    if (step == 0 || count() == 0)
        return QWidget::keyPressEvent(event);
    setCurrentIndex((m_current + step + count()) % count());
}

// The frame around the page, as Qt's tab widget draws it.
void SEDQ_INSTANCE_TABS::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = m_stack->geometry();
    frame.shape = QTabBar::RoundedSouth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.tabBarSize = m_bar->size();
    frame.tabBarRect = QRect(m_bar->pos(), m_bar->size());
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
