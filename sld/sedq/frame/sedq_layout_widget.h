#pragma once
// The central widget of the editor window: the instance list beside the JTAG pane on top, one
// tab per instance below, and in each instance tab the Data, Setup, advanced-trigger and
// state-flow pages above the hierarchy and data log panes. There is one node view and one
// advanced trigger canvas per window; the page on show adopts them through its containers.
// Splitter sizes, pane visibility and the chosen tab of every instance live in the document.
// An update of the document makes anew only the pages whose tabs it changed (and all of them
// when the instances changed): an edit of what a page's panes show costs no page.

#include <QHash>
#include <QIcon>
#include <QMap>
#include <QSplitter>

#include <vector>

class QTabWidget;
class QWidget;
class SEDQ_DIAGRAM_WIDGET;
class SEDQ_FRAME_WND;
class SEDQ_HIERARCHY_WIDGET;
class SEDQ_INSTANCE_TABS;
class SEDQ_INSTANCE_WIDGET;
class SEDQ_JTAG_WIDGET;
class SEDQ_OBJECT_WIDGET;
class SEDQ_RESOURCES_WIDGET;
class SEDQ_SPLITTER;
class SEDQ_STATE_WIDGET;
class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

class SEDQ_LAYOUT_WIDGET : public QSplitter
{
    Q_OBJECT
public:
    explicit SEDQ_LAYOUT_WIDGET(SEDQ_FRAME_WND* frame);
    ~SEDQ_LAYOUT_WIDGET() override;
    SEDQ_LAYOUT_WIDGET(const SEDQ_LAYOUT_WIDGET&) = delete;
    SEDQ_LAYOUT_WIDGET& operator=(const SEDQ_LAYOUT_WIDGET&) = delete;

    // The hierarchy pane of the current instance (of its normal instance when the power-up
    // trigger is current); null when there is none.
    SEDQ_HIERARCHY_WIDGET* get_hierarchy_widget();
    // The Data/Setup tabs of an instance; -1 is the instance of the current instance tab.
    QTabWidget* get_data_setup_tab_widget(int instance);
    // Restores the window layout after a document was opened; always true.
    bool load_window_position();
    // Stores the window layout into the document before it is written; always true.
    bool save_window_position();
    // Set by callers that have just saved the view's scroll position themselves.
    void set_scroll_flag(bool flag);

    SEDQ_VIEW* get_view() const { return m_view; }
    // Keeps where the node view is scrolled (the document model asks before an acquisition
    // and before a save), so that the model needs no view of its own.
    void save_view_scroll_pos();
    SEDQ_OBJECT_WIDGET* get_object_widget() const { return m_object_widget; }
    SEDQ_INSTANCE_WIDGET* get_instance_widget() const { return m_instance_widget; }
    SEDQ_JTAG_WIDGET* get_jtag_widget() const { return m_jtag_widget; }
    SEDQ_INSTANCE_TABS* get_instance_tab_widget() const { return m_instance_tab_widget; }
    // The hub that relays moves between the splitters of one kind; null before the first.
    SEDQ_SPLITTER* get_splitter_hub(int id) const { return m_splitter_map.value(id, nullptr); }

    // The three panes of an instance's state-based flow page; the page builds the diagram,
    // then the state text, then the resources pane.
    SEDQ_STATE_WIDGET* add_state_widget(QWidget* parent, int instance);
    SEDQ_DIAGRAM_WIDGET* add_diagram_widget(QWidget* parent, int instance);
    SEDQ_RESOURCES_WIDGET* add_resources_widget(QWidget* parent, int instance);

    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    void on_update(QObject* sender, int hint);
    void on_jtag_widget_resized();
    // Makes every instance tab and page anew.
    void update_instance_tabs();
    void on_sel_change_data_setup_tab();
    void on_sel_change_instance_tab(int index);
    void on_resize_timer();
    void on_advanced_trigger_vertical_splitter_moved(int pos, int index);
    void on_advanced_trigger_horizontal_splitter_moved(int pos, int index);
    void on_instance_splitter_moved(int pos, int index);
    void on_hierarchy_log_splitter_moved(int pos, int index);

private:
    // Construction (sedq_layout_widget.cpp).
    QWidget* make_top_splitter();
    QWidget* make_bottom_part();
    // Instance pages (sedq_layout_widget_tabs.cpp).
    // What an instance page shows that its panes do not follow on their own: the instance, its
    // advanced trigger pages, its state-based flow page and the power-up colour.
    struct PAGE_SHAPE
    {
        const void* instance = nullptr;
        std::vector<int> advanced_levels;
        bool state_flow = false;
        bool powerup_colour = false;
        bool operator==(const PAGE_SHAPE& other) const;
    };
    // The instance tabs as the document has them now.
    struct TAB_LIST
    {
        std::vector<int> instances;
        std::vector<const void*> identities;
        QStringList names;
        int current_tab = -1;
        bool powerup = false;
    };
    TAB_LIST list_instance_tabs();
    PAGE_SHAPE shape_of(int instance, bool powerup_colour);
    void refresh_instance_tabs(int hint);
    void remake_changed_pages(const TAB_LIST& tabs, int hint);
    void refresh_kept_page(QWidget* page, int hint);
    void add_instance_pages();
    void add_instance_tabs(int* current_tab, bool* powerup);
    void remove_instance_pages();
    void release_instance_pages();
    QWidget* make_instance_page(int instance);
    void build_instance_page(int instance);
    void build_instance_page_at(int tab);
    QWidget* make_data_setup_part(int instance);
    QTabWidget* make_data_setup_tabs(int instance);
    QWidget* make_data_page();
    QWidget* make_setup_page(QTabWidget* tabs, int instance);
    void add_advanced_pages(QTabWidget* tabs, int instance);
    QWidget* make_advanced_page(QTabWidget* tabs, int level);
    void add_state_flow_page(QTabWidget* tabs, int instance);
    QWidget* make_hierarchy_log_part(int instance);
    void select_instance_tab(int tab, bool powerup);
    void mark_instance_tab(int current);
    void hide_if_toggle_unchecked(QWidget* pane, int action_id);
    // Tab changes and window state (sedq_layout_widget_state.cpp).
    void save_scroll_position();
    void switch_powerup_view(int hint);
    void restore_active_tab();
    void hide_parent_if_all_hidden(QWidget* pane);
    void apply_jtag_widget_size();
    // The instance of an instance page; 0 for a widget that is not one.
    int instance_of_page(const QWidget* page) const { return m_page_instances.value(page, 0); }
    // The tab of an instance; -1 for a power-up trigger view (it has no tab of its own).
    int tab_of_instance(int instance) const;

    SEDQ_INSTANCE_WIDGET* m_instance_widget = nullptr;
    SEDQ_JTAG_WIDGET* m_jtag_widget = nullptr;
    SEDQ_VIEW* m_view = nullptr;
    SEDQ_OBJECT_WIDGET* m_object_widget = nullptr;
    SEDQ_INSTANCE_TABS* m_instance_tab_widget = nullptr;
    // The instance of each tab, in ascending order, and the document's object of each.
    std::vector<int> m_tab_instances;
    std::vector<const void*> m_tab_identities;
    // The shape of each page built, by instance.
    QMap<int, PAGE_SHAPE> m_page_shapes;
    // The icons of an instance's tab and of the current instance's tab, each shared by the tabs.
    QIcon m_tab_icons[2];
    SEDQ_FRAME_WND* m_frame;
    SEDQ_TX_MANAGER* m_tx_manager;
    bool m_keep_current_tab = false;
    bool m_scroll_flag = true;
    QMap<int, QTabWidget*> m_data_setup_tab_widget_map;
    QMap<int, SEDQ_HIERARCHY_WIDGET*> m_hierarchy_widget_map;
    // The instance pages made but whose contents are still to be built (of a document with
    // many instances), by instance.
    QMap<int, SEDQ_SPLITTER*> m_unbuilt_pages;
    // The instance of each page, as its "instance index" property says: read on every node
    // query (through get_data_setup_tab_widget), where a property look-up by name would cost a
    // walk of the page's meta-objects. Pages are deleted only by remove_instance_pages().
    QHash<const QWidget*, int> m_page_instances;
    QMap<int, SEDQ_SPLITTER*> m_splitter_map;
};
