// VANTREL_HOST: loading the analyzer library, the windows, the document, the script and the
// picture.
#include "host/app/vantrel_host.h"

#include "host/app/vantrel_script.h"

#include "host/atcl.h"
#include "host/tst.h"
#include "host/msg.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/standin/gen_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/project_control.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <tcl.h>

#include <cstdio>

namespace
{
// The longest wait for the window's paint before the picture is taken all the same (a
// platform that paints nothing offscreen).
constexpr int PAINT_WAIT_LIMIT_MS = 5000;

constexpr const char* PROJECT_VARIABLE = "CORVANE_STANDIN_PROJECT";
constexpr const char* PROJECT_FILE = "standin_project.json";

// What the editor told the user since the `first` message it showed, one line per message and
// per line of its details: in a batch run nobody saw them, and they say why a step failed.
QString shown_since(size_t first)
{
    QString text;
    const std::vector<standin::msg::message_record>& shown = standin::msg::shown();
    for (size_t i = first; i < shown.size(); ++i)
    {
        text += ":\n" + QString::fromLocal8Bit(shown[i].text.c_str());
        for (const standin::msg::message_record& detail : shown[i].children)
            text += "\n  " + QString::fromLocal8Bit(detail.text.c_str());
    }
    return text;
}

// The host opens the document's project first: the fixture beside the document (or the one
// CORVANE_STANDIN_PROJECT names) describes its design. Without one, or with a broken one, the
// document opens without a project; the returned note tells the user what was looked for.
QString open_project(const QString& document)
{
    std::string error;
    const QString path = document.isEmpty() ? QString() : QFileInfo(document).absoluteFilePath();
    if (!standin::project::load_for_document(path.toStdString(), &error))
        return QString::fromStdString(error) + "; the document opens without its project";
    if (standin::project::is_loaded() || !qgetenv(PROJECT_VARIABLE).isEmpty())
        return QString();
    if (path.isEmpty())
        return QString("No project is open: a new document takes its design from the %1 file that %2 names")
            .arg(PROJECT_FILE, PROJECT_VARIABLE);
    return QString("No project for %1: there is no %2 and %3 is not set; the document opens without its design")
        .arg(path, QFileInfo(path).absoluteDir().filePath(PROJECT_FILE), PROJECT_VARIABLE);
}

// The project file a document opened later names: the one CORVANE_STANDIN_PROJECT names, else
// the one beside it; empty when it has none.
QString project_file_of(const QString& document)
{
    const QString named = qEnvironmentVariable(PROJECT_VARIABLE);
    if (!named.isEmpty())
        return QFileInfo(named).absoluteFilePath();
    const QString beside = QFileInfo(document).absoluteDir().filePath(PROJECT_FILE);
    return QFileInfo::exists(beside) ? beside : QString();
}

bool same_file(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

void post_project_note(const QString& note)
{
    MSG_W message;
    message.fill_args("%1!s!/WVANTREL_NO_PROJECT", note.toLocal8Bit().constData());
    message.post();
}
} // namespace

VANTREL_HOST::VANTREL_HOST(const VANTREL_OPTIONS& options) : m_options(options)
{
    m_paint_wait.setSingleShot(true);
    connect(&m_paint_wait, &QTimer::timeout, this, &VANTREL_HOST::on_settled);
}

VANTREL_HOST::~VANTREL_HOST()
{
    delete m_frame.data();
    m_main_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_library.isLoaded())
    {
        forget_what_the_style_cached();
        m_library.unload();
    }
    if (!m_previous_directory.isEmpty())
        QDir::setCurrent(m_previous_directory);
}

// The application's style keeps the last item it drew (its text included) until the style is
// deleted, which happens after the library is gone; text of the library's own (a literal) would
// then be read from unmapped memory. A fresh style of the same kind replaces the old one, which
// goes with what it kept while the library is still loaded.
void VANTREL_HOST::forget_what_the_style_cached()
{
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    const QString kind = application != nullptr ? QApplication::style()->objectName() : QString();
    if (QStyle* fresh = kind.isEmpty() ? nullptr : QStyleFactory::create(kind))
        QApplication::setStyle(fresh);
}

// The host's modules (decoder plug-ins among them) sit beside its library folder, so the test
// programs of the build folder never load them.
std::string VANTREL_HOST::module_directory()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../modules").toStdString();
}

QString VANTREL_HOST::library_path() const
{
    if (!m_options.library.isEmpty())
        return m_options.library;
    return QDir(QCoreApplication::applicationDirPath()).filePath("../lib/libsld_sedq.so");
}

bool VANTREL_HOST::start(QString* error)
{
    m_internal_errors_at_start = standin::msg::internal_errors().size();
    standin::gen::set_module_path(module_directory());
    atcl_get_interpreter();
    m_project_note = open_project(m_options.file);
    if (!m_project_note.isEmpty())
        std::fprintf(stderr, "vantrel: %s\n", m_project_note.toLocal8Bit().constData());
    enter_project_directory();
    CREATE_FRAME_WND create = nullptr;
    if (!load_library(&create, error))
        return false;
    if (!make_windows(create, error))
        return false;
    if (!open_document(error))
        return false;
    QTimer::singleShot(0, this, &VANTREL_HOST::on_window_up);
    return true;
}

// The suite works in its project's folder: names a document keeps relative to it (its
// programming file, which the compile flow writes into the project) are found from there. The
// names given on the command line are made absolute first.
void VANTREL_HOST::enter_project_directory()
{
    QUI_PRJ_UI_MGR* projects = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    if (projects == nullptr || !projects->project_is_open() || *projects->get_project_dir() == '\0')
        return;
    for (QString* path : {&m_options.file, &m_options.script, &m_options.screenshot, &m_options.save_as, &m_options.library})
        if (!path->isEmpty())
            *path = QFileInfo(*path).absoluteFilePath();
    const QString previous = QDir::currentPath();
    if (QDir::setCurrent(QString::fromLocal8Bit(projects->get_project_dir())) && m_previous_directory.isEmpty())
        m_previous_directory = previous;
}

// A document opened later that has a project of its own opens in it, as the first one did: its
// design, its compile record and a simulated device that holds nothing yet, in the project's
// folder; a document without one opens in the project that is open, as in the suite. The answer
// goes back to the project before, for a document that did not open.
QUI_FRAME_WND::PROJECT_RETURN VANTREL_HOST::open_project_of(const QString& document)
{
    const QString fixture = project_file_of(document);
    const std::string before = standin::project::fixture_path();
    if (fixture.isEmpty() || same_file(fixture, QString::fromStdString(before)))
        return {};
    const QString directory_before = QDir::currentPath();
    std::string error;
    if (!standin::project::load(fixture.toStdString(), &error))
        post_project_note(QString::fromStdString(error) + "; the document opens without its project");
    enter_project_directory();
    return [before, directory_before]
    {
        std::string ignored;
        if (before.empty())
            standin::project::unload();
        else
            standin::project::load(before, &ignored);
        QDir::setCurrent(directory_before);
    };
}

// The host loads the library by path and looks the factory up by its unmangled name.
bool VANTREL_HOST::load_library(CREATE_FRAME_WND* create, QString* error)
{
    m_library.setFileName(QFileInfo(library_path()).absoluteFilePath());
    if (!m_library.load())
    {
        *error = "Cannot load the analyzer library: " + m_library.errorString();
        return false;
    }
    *create = reinterpret_cast<CREATE_FRAME_WND>(m_library.resolve("sld_sedq_create_frame_wnd"));
    if (*create == nullptr)
    {
        *error = "The analyzer library has no sld_sedq_create_frame_wnd: " + m_library.errorString();
        return false;
    }
    return true;
}

// In child mode the editor is a window of the host main window's document area, maximised;
// in main-window mode it is the application's only window.
// A library that cannot build its window answers null: that is an error, not a crash.
bool VANTREL_HOST::make_windows(CREATE_FRAME_WND create, QString* error)
{
    if (m_options.main_window)
    {
        m_frame = create(QUI_FW_STATE_MAIN_WINDOW, &m_editor_info);
        if (m_frame.isNull())
        {
            *error = "The analyzer library did not create an editor window.";
            return false;
        }
        m_frame->resize(m_options.size);
        m_frame->set_project_opener([this](const QString& document) { return open_project_of(document); });
        m_frame->show();
        return true;
    }
    m_main_window = std::make_unique<QUI_FRAME_WND>(&m_host_info, QUI_FW_STATE_MAIN_WINDOW);
    m_main_window->setWindowTitle("Corvane");
    m_main_window->create_mdi_area();
    m_main_window->resize(m_options.size);
    // File > New and Open of the main window, once the editor window was closed, open a new one.
    m_main_window->set_document_window_maker([this, create] { return make_editor_window(create); });
    m_main_window->set_project_opener([this](const QString& document) { return open_project_of(document); });
    m_frame = create(QUI_FW_STATE_ATTACHED, &m_editor_info);
    if (m_frame.isNull())
    {
        *error = "The analyzer library did not create an editor window.";
        return false;
    }
    m_main_window->show();
    show_editor_window(m_frame);
    return true;
}

QUI_FRAME_WND* VANTREL_HOST::make_editor_window(CREATE_FRAME_WND create)
{
    QUI_FRAME_WND* frame = create(QUI_FW_STATE_ATTACHED, &m_editor_info);
    if (frame != nullptr)
        show_editor_window(frame);
    return frame;
}

// An editor window of the document area fills it.
void VANTREL_HOST::show_editor_window(QUI_FRAME_WND* frame)
{
    if (auto* sub_window = qobject_cast<QMdiSubWindow*>(frame->parentWidget()))
        sub_window->showMaximized();
    else
        frame->show();
}

bool VANTREL_HOST::open_document(QString* error)
{
    if (m_options.file.isEmpty())
    {
        if (m_frame->new_file())
            return true;
        *error = "Cannot create a new document.";
        return false;
    }
    const QString path = QFileInfo(m_options.file).absoluteFilePath();
    if (!QFileInfo::exists(path))
    {
        *error = "No such file: " + path;
        return false;
    }
    if (!m_frame->open_file(path))
    {
        // The repository's reason: the file, the entry, what is wrong with it.
        const std::string& reason = SDR_DATA_MANAGER::get_data_repository_manager()->get_last_error();
        *error = "Cannot open " + path;
        if (!reason.empty())
            *error += ":\n" + QString::fromLocal8Bit(reason.c_str());
        return false;
    }
    return true;
}

void VANTREL_HOST::on_window_up()
{
    // Told in the window too, where the user looks when nodes cannot be added.
    if (!m_project_note.isEmpty())
        post_project_note(m_project_note);
    QString error;
    const bool script_ran = m_options.script.isEmpty() || run_script(&error);
    if (!script_ran)
        fail(error);
    // A script that stopped half-way leaves a document nobody asked for: it is not saved.
    if (!m_options.save_as.isEmpty())
    {
        const QString path = QFileInfo(m_options.save_as).absoluteFilePath();
        const size_t shown_before = standin::msg::shown().size();
        if (script_ran && (m_frame.isNull() || !m_frame->save_file(path)))
            fail("Cannot save the document to " + path + shown_since(shown_before));
        if (m_options.screenshot.isEmpty())
            QTimer::singleShot(0, this, [this] { QCoreApplication::exit(m_exit_code); });
    }
    if (!m_options.screenshot.isEmpty())
        QTimer::singleShot(0, this, &VANTREL_HOST::on_idle);
}

// A zero timer runs once the queued events (refreshes, layout passes) are all handled; the
// window is then asked to paint, and the picture follows its first paint.
void VANTREL_HOST::on_idle()
{
    QWidget* window = top_window();
    if (window == nullptr)
    {
        on_settled();
        return;
    }
    m_idle_seen = true;
    window->installEventFilter(this);
    window->update();
    m_paint_wait.start(PAINT_WAIT_LIMIT_MS);
}

bool VANTREL_HOST::eventFilter(QObject* watched, QEvent* event)
{
    if (m_idle_seen && event->type() == QEvent::Paint && watched == top_window())
    {
        m_idle_seen = false;
        watched->removeEventFilter(this);
        // After the paint has finished.
        QTimer::singleShot(0, this, &VANTREL_HOST::on_settled);
    }
    return QObject::eventFilter(watched, event);
}

bool VANTREL_HOST::run_script(QString* error)
{
    Tcl_Interp* interpreter = atcl_get_interpreter();
    // The package's test steps answer the modal dialogs they open.
    tst_set_regtest_mode(true);
    return vantrel_run_script(interpreter, QFileInfo(m_options.script).absoluteFilePath(), VANTREL_MAX_SCRIPT_SIZE,
                              error);
}

void VANTREL_HOST::on_settled()
{
    m_paint_wait.stop();
    m_idle_seen = false;
    QWidget* window = top_window();
    const QPixmap picture = window ? window->grab() : QPixmap();
    if (picture.isNull() || !picture.save(m_options.screenshot, "PNG"))
        fail("Cannot write the picture " + m_options.screenshot);
    QCoreApplication::exit(m_exit_code);
}

QWidget* VANTREL_HOST::top_window() const
{
    return m_main_window ? static_cast<QWidget*>(m_main_window.get()) : static_cast<QWidget*>(m_frame.data());
}

// An internal error is a broken precondition inside the editor: the window may look right,
// but a batch run that met one has not succeeded.
int VANTREL_HOST::exit_code() const
{
    if (m_exit_code != 0)
        return m_exit_code;
    return standin::msg::internal_errors().size() > m_internal_errors_at_start ? 1 : 0;
}

void VANTREL_HOST::fail(const QString& message)
{
    std::fprintf(stderr, "vantrel: %s\n", message.toLocal8Bit().constData());
    m_exit_code = 1;
}
