#pragma once
// What the document model asks of the window that shows it, and nothing more. The editor window
// implements it; a manager without a window (the wizard's) keeps a SEDQ_NO_WINDOW, which does
// nothing and answers "no", so the model never tests for a missing window before it asks.

class QAction;
class QTabWidget;
class QWidget;

// The title of the state flow page among an instance's Data/Setup tabs: the model tells that
// page from the advanced trigger pages by it.
constexpr const char* SEDQ_STATE_FLOW_TAB_TITLE = "State-Based Trigger Flow";

class SEDQ_WINDOW_IF
{
public:
    SEDQ_WINDOW_IF() = default;
    virtual ~SEDQ_WINDOW_IF() = default;
    SEDQ_WINDOW_IF(const SEDQ_WINDOW_IF&) = delete;
    SEDQ_WINDOW_IF& operator=(const SEDQ_WINDOW_IF&) = delete;

    // The widget the model's dialogs and questions sit on; null without a window.
    virtual QWidget* dialog_parent() = 0;
    // The application's only window (the analyzer runs on its own), not a child of the host.
    virtual bool is_standalone_window() const = 0;
    // Shows or clears the unsaved-changes mark.
    virtual void show_modified(bool modified) = 0;
    // Lists a pane's show/hide toggle in the window's View menu.
    virtual void add_pane_toggle(QAction* action) = 0;

    // The Data/Setup tabs of an instance (-1: the current one); null before the panes exist.
    virtual QTabWidget* get_data_setup_tab_widget(int instance) = 0;
    // Keeps the node view's scroll position; with `restore_after_run`, the view returns to it
    // when the run's data arrives.
    virtual void save_view_scroll_position(bool restore_after_run) = 0;
    // Before the document is saved: ends a programming run that lent the document's
    // programming file name to a temporary file, and puts the pane layout into the document.
    virtual void prepare_save() = 0;

    // The compile flow: whether one may start now; asking to save the modified document first
    // (false: not saved, or the user cancelled); starting the recompile of the design.
    virtual bool can_compile_now() = 0;
    virtual bool ask_to_save() = 0;
    virtual void start_recompile() = 0;
};

// The window of a manager that has none.
class SEDQ_NO_WINDOW final : public SEDQ_WINDOW_IF
{
public:
    QWidget* dialog_parent() override { return nullptr; }
    bool is_standalone_window() const override { return false; }
    void show_modified(bool) override {}
    void add_pane_toggle(QAction*) override {}
    QTabWidget* get_data_setup_tab_widget(int) override { return nullptr; }
    void save_view_scroll_position(bool) override {}
    void prepare_save() override {}
    bool can_compile_now() override { return false; }
    bool ask_to_save() override { return false; }
    void start_recompile() override {}
};
