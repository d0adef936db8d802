#pragma once
// The instance tabs of the editor window: one tab per instance, tabs at the bottom, the page of
// the current tab above them. A document may hold tens of thousands of instances, so nothing
// here costs work per tab up front: a page is made when it is first shown or asked for (by
// the maker given with the tabs), and the bar measures and paints only the tabs in view. Qt's
// own tab widget walks all its tabs and pages for every tab added or removed, which made such
// documents take minutes to open and to close.

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QStackedWidget;
class QToolButton;

class SEDQ_INSTANCE_TABS : public QWidget
{
    Q_OBJECT
public:
    // Makes the page of a tab; called once per tab, when its page is first needed.
    using PAGE_MAKER = std::function<QWidget*(int tab)>;

    explicit SEDQ_INSTANCE_TABS(QWidget* parent);
    ~SEDQ_INSTANCE_TABS() override;

    // Replaces every tab (the pages made so far are deleted); the first tab becomes current,
    // without currentChanged().
    void set_tabs(const QStringList& names, PAGE_MAKER maker);
    // Deletes the pages made so far, from the last to the first, and drops every tab.
    void clear();

    int count() const { return m_names.size(); }
    // The page of a tab, made now when it was not yet; null for no tab.
    QWidget* widget(int tab);
    QWidget* currentWidget() { return widget(m_current); }
    int currentIndex() const { return m_current; }
    // Shows the tab's page and emits currentChanged() when the tab changes.
    void setCurrentIndex(int tab);
    // The tab of a page made so far; -1 for any other widget.
    int indexOf(const QWidget* page) const;
    void setCurrentWidget(QWidget* page) { setCurrentIndex(indexOf(page)); }
    QString tabText(int tab) const { return m_names.value(tab); }
    void set_tab_text(int tab, const QString& text);
    // Deletes the tab's page when it was made; the maker makes it again when it is next needed
    // (at once for the current tab, which shows it). The other tabs keep theirs.
    void remake_page(int tab);

    // The icon of every tab, and the one of the marked tab (the current instance's).
    void set_icons(const QIcon& normal, const QIcon& marked);
    void set_marked_tab(int tab);
    QIcon tabIcon(int tab) const;

    // The bar the tabs are drawn on, and where a tab lies on it (empty while out of view).
    QWidget* tabBar() const;
    QRect tabRect(int tab) const;

Q_SIGNALS:
    void currentChanged(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    class BAR;
    friend class BAR;

    QStackedWidget* m_stack;
    BAR* m_bar;
    QStringList m_names;
    std::vector<QWidget*> m_pages;
    PAGE_MAKER m_maker;
    QIcon m_icons[2];
    int m_current = -1;
    int m_marked = -1;
};
