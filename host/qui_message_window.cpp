// The host's message window: a dock that lists the posted messages, and the frame's commands
// that show it.
#include "host/msg.h"
#include "host/qui.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>

namespace
{
// The words and pictures of the message kinds; questions and plain notes read as information.
struct kind_look
{
    const char* word;
    QStyle::StandardPixmap icon;
};

constexpr int MESSAGE_WINDOW_HEIGHT = 110;

kind_look look_of(const std::string& kind)
{
    if (kind == "E")
        return {"Error", QStyle::SP_MessageBoxCritical};
    if (kind == "W")
        return {"Warning", QStyle::SP_MessageBoxWarning};
    return {"Info", QStyle::SP_MessageBoxInformation};
}

bool is_problem(const std::string& kind)
{
    return kind == "E" || kind == "W";
}

// Hears the posts of the messages after it was made (the window lists the earlier ones) and
// shows each one on a later turn of the event loop, on the GUI thread whichever thread posted
// it: every message stands in the status bar, and a problem brings the message window forward
// too. The items of a list stay in the list. A post while the window goes is dropped with the
// watcher.
class post_watcher : public QObject
{
public:
    explicit post_watcher(QUI_FRAME_WND* main) : QObject(main), m_main(main)
    {
        auto hearing = std::make_shared<bool>(false);
        const QPointer<post_watcher> self(this);
        m_listener = msg_add_post_listener(
            [self, hearing](const std::string& kind, unsigned int, const std::string& text, int depth)
            {
                if (!*hearing || depth > 0 || self.isNull())
                    return;
                const QString line = QStringLiteral("%1: %2").arg(QLatin1String(look_of(kind).word),
                                                                 QString::fromLocal8Bit(text.c_str()));
                const bool problem = is_problem(kind);
                QMetaObject::invokeMethod(
                    self.data(), [self, line, problem] { self->show(line, problem); }, Qt::QueuedConnection);
            });
        *hearing = true;
    }
    ~post_watcher() override { msg_remove_post_listener(m_listener); }
    post_watcher(const post_watcher&) = delete;
    post_watcher& operator=(const post_watcher&) = delete;

private:
    void show(const QString& line, bool problem)
    {
        if (problem && !m_main->is_message_window_shown())
            m_main->on_message_window_action();
        m_main->statusBar()->showMessage(line);
    }

    QUI_FRAME_WND* m_main;
    int m_listener = 0;
};
} // namespace

namespace qui_detail
{
message_window::message_window(QWidget* parent) : QDockWidget(QObject::tr("Messages"), parent)
{
    setObjectName(QStringLiteral("QUI_MESSAGE_WINDOW"));
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("QUI_MESSAGE_LIST"));
    list->setUniformItemSizes(true);
    setWidget(list);
    // A message posted while the window is being built lands after the earlier ones.
    const QPointer<message_window> self(this);
    m_listener = msg_add_post_listener(
        [self](const std::string& kind, unsigned int id, const std::string& text, int depth)
        {
            if (!self.isNull())
                self->add_row(kind, id, text, depth);
        });
}

message_window::~message_window()
{
    msg_remove_post_listener(m_listener);
}

// An item of a list message stands below it, indented.
void message_window::add_row(const std::string& kind, unsigned int id, const std::string& text, int depth)
{
    constexpr int INDENT = 4;
    auto* list = static_cast<QListWidget*>(widget());
    const kind_look look = look_of(kind);
    auto* row = new QListWidgetItem(QApplication::style()->standardIcon(look.icon),
                                    QString(depth * INDENT, QLatin1Char(' ')) +
                                        QStringLiteral("%1 (%2): %3")
                                            .arg(QLatin1String(look.word))
                                            .arg(id)
                                            .arg(QString::fromLocal8Bit(text.c_str())),
                                    list);
    list->scrollToItem(row);
}

void watch_posted_messages(QUI_FRAME_WND* main)
{
    new post_watcher(main);
}
} // namespace qui_detail

// A child window shares the host main window's message window.
QUI_FRAME_WND* QUI_FRAME_WND::message_window_owner() const
{
    if (is_main_window())
        return const_cast<QUI_FRAME_WND*>(this);
    QUI_FRAME_WND* main = get_main_window();
    return main != nullptr ? main : const_cast<QUI_FRAME_WND*>(this);
}

QDockWidget* QUI_FRAME_WND::get_message_window()
{
    QUI_FRAME_WND* owner = message_window_owner();
    if (owner != this)
        return owner->get_message_window();
    if (m_message_window == nullptr)
    {
        m_message_window = new qui_detail::message_window(this);
        addDockWidget(Qt::BottomDockWidgetArea, m_message_window);
        m_message_window->hide();
        // Its own close button hides it too: the "Messages" entries follow.
        connect(m_message_window, &QDockWidget::visibilityChanged, this, [this] { sync_message_actions(); });
    }
    return m_message_window;
}

bool QUI_FRAME_WND::is_message_window_shown() const
{
    const QUI_FRAME_WND* owner = message_window_owner();
    return owner->m_message_window != nullptr && !owner->m_message_window->isHidden();
}

void QUI_FRAME_WND::on_message_window_action()
{
    standin::record_call("qui:on_message_window_action()");
    QDockWidget* dock = get_message_window();
    QUI_FRAME_WND* owner = message_window_owner();
    const bool first_show = dock->isHidden() && !dock->property("qui_sized").toBool();
    dock->setVisible(dock->isHidden());
    // A few rows to begin with: the document area keeps most of the window.
    if (first_show)
    {
        owner->resizeDocks({dock}, {MESSAGE_WINDOW_HEIGHT}, Qt::Vertical);
        dock->setProperty("qui_sized", true);
    }
    owner->sync_message_actions();
}

// Every "Messages" entry that shows this window's dock says whether it is shown.
void QUI_FRAME_WND::sync_message_actions()
{
    const bool shown = is_message_window_shown();
    for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
        if (frame->message_window_owner() == this && frame->m_menu->view_menu != nullptr)
            frame->m_menu->view_menu->message_window_action->setChecked(shown);
    if (m_menu->view_menu != nullptr)
        m_menu->view_menu->message_window_action->setChecked(shown);
}
