#pragma once
// The host side of the application: loads the analyzer library at run time, builds the host
// main window with its document area, has the library create an editor window in it, opens
// the document, and on request runs a Tcl script, saves the document and a picture of the window.

#include "host/app/vantrel_options.h"
#include "host/qui.h"

#include <QLibrary>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <string>

class QWidget;

class VANTREL_HOST : public QObject
{
    Q_OBJECT
public:
    explicit VANTREL_HOST(const VANTREL_OPTIONS& options);
    // The editor window goes before the library that built it is unloaded.
    ~VANTREL_HOST() override;

    // Loads the library and opens the editor window; false with the reason in `error`.
    bool start(QString* error);
    // 1 after a failure of the run or an internal error reported since start(), else 0.
    int exit_code() const;

private Q_SLOTS:
    void on_window_up();
    void on_idle();
    void on_settled();

private:
    using CREATE_FRAME_WND = QUI_FRAME_WND* (*)(QUI_FW_STATE_ENUM, QUI_FRAME_INFO*);

    QString library_path() const;
    // Where the host looks for its modules: build/<config>/modules beside bin/ and lib/.
    static std::string module_directory();
    bool load_library(CREATE_FRAME_WND* create, QString* error);
    bool make_windows(CREATE_FRAME_WND create, QString* error);
    QUI_FRAME_WND* make_editor_window(CREATE_FRAME_WND create);
    static void show_editor_window(QUI_FRAME_WND* frame);
    bool open_document(QString* error);
    bool run_script(QString* error);
    void enter_project_directory();
    QUI_FRAME_WND::PROJECT_RETURN open_project_of(const QString& document);
    QWidget* top_window() const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void fail(const QString& message);
    static void forget_what_the_style_cached();

    VANTREL_OPTIONS m_options;
    QLibrary m_library;
    QUI_FRAME_INFO m_host_info{"Corvane", ""};
    QUI_FRAME_INFO m_editor_info{"Untitled", "vtl"};
    std::unique_ptr<QUI_FRAME_WND> m_main_window;
    // Guarded: closing the editor's sub-window deletes the editor with it (the MDI area
    // deletes closed sub-windows), and the host must not delete or picture it again.
    QPointer<QUI_FRAME_WND> m_frame;
    int m_exit_code = 0;
    QString m_project_note; // why the document has no project; empty when it has one
    size_t m_internal_errors_at_start = 0;
    // The working folder before the host first moved into a project's; empty while it has not.
    QString m_previous_directory;
    // The picture waits for the event queue to run dry, then for the window's next paint.
    bool m_idle_seen = false;
    // The picture is taken after this long without the paint.
    QTimer m_paint_wait;
};
