// Shared helpers: combo boxes, separators, checked connections, palettes, lock-mode names
// and the load-time text-to-message map with its garbage collector.
#include "sedq/model/sedq_util.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_verify.h"

#include "host/msg.h"

#include <QAction>
#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QIcon>
#include <QMetaObject>
#include <QObject>

#include <cstdarg>

void sedq_add_combo_box_items(QComboBox* box, QStringList const& items, QIcon const& icon)
{
    if (!SEDQ_VERIFY(box != NULL))
        return;
    if (box->count() > 0)
        box->clear();
    box->insertItems(box->count(), items);
    for (int index = 0; index < box->count(); ++index)
        box->setItemIcon(index, icon);
}

QAction* sedq_get_separator_action()
{
    QAction* action = new QAction(nullptr);
    action->setSeparator(true);
    return action;
}

bool sedq_connect(QObject const* sender, char const* signal, QObject const* receiver, char const* slot)
{
    // The first character of a slot text is Qt's method-kind code; a null or empty slot
    // has nothing after it to look up.
    if (slot == NULL || slot[0] == '\0' || signal == NULL)
        return false;
    if (!SEDQ_VERIFY(sender != NULL) || !SEDQ_VERIFY(receiver != NULL))
        return false;
    const QByteArray normalised = QMetaObject::normalizedSignature(slot + 1);
    if (receiver->metaObject()->indexOfSlot(normalised.constData()) == -1)
        return false;
    return static_cast<bool>(QObject::connect(sender, signal, receiver, slot, Qt::AutoConnection));
}

SEDQ_COMBO_TEXT_SIGNAL sedq_combo_text_changed()
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return qOverload<const QString&>(&QComboBox::currentIndexChanged);
    QT_WARNING_POP
}

void sedq_reverse_string(QString* text)
{
    if (!SEDQ_VERIFY(text != NULL))
        return;
    QString reversed;
    reversed.reserve(text->size());
    for (int index = text->size() - 1; index >= 0; --index)
        reversed.append(text->at(index));
    *text = reversed;
}

QString sedq_msg_to_text(MSG_BASE* msg)
{
    if (!SEDQ_VERIFY(msg != NULL))
        return QString();
    const QString return_value = QString::fromLatin1(msg->text());
    if (return_value.isEmpty())
        SEDQ_REPORT("return_value != \"\"");
    // A second message under a text already kept would replace (and leak) the first, and
    // the text could no longer tell the two apart: keep the first and free the newcomer.
    const auto existing = SEDQ_TEXT_TO_MSG_MAP.constFind(return_value);
    if (existing != SEDQ_TEXT_TO_MSG_MAP.constEnd() && existing.value() != msg)
    {
        SEDQ_REPORT("!SEDQ_TEXT_TO_MSG_MAP.contains(return_value)");
        delete msg;
        return return_value;
    }
    SEDQ_TEXT_TO_MSG_MAP.insert(return_value, msg);
    return return_value;
}

MSG_BASE* sedq_text_to_msg(QString const& text)
{
    // value() rather than operator[]: a failed lookup must not add a null entry.
    if (!SEDQ_VERIFY(SEDQ_TEXT_TO_MSG_MAP.contains(text)))
        return nullptr;
    return SEDQ_TEXT_TO_MSG_MAP.value(text, nullptr);
}

int sedq_show_message(MSG_BASE* message)
{
    if (message == nullptr)
        return 0;
    const int answer = message->show();
    delete message;
    return answer;
}

int sedq_show_message(MSG_BASE* message, const std::string& reason)
{
    if (message != nullptr && !reason.empty())
        message->add_child(MSG_SEDQ::detail(reason));
    return sedq_show_message(message);
}

void sedq_msg_debug(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    msg_local_vdebug("SEDQ", MSG_D_LEVEL_2, format, args);
    va_end(args);
}

QPalette sedq_get_palette(QPalette::ColorRole role, QColor const& color)
{
    QPalette palette;
    palette.setBrush(QPalette::All, role, QBrush(color, Qt::SolidPattern));
    return palette;
}

QMap<QString, SEDQ_LOCK_MODE> sedq_get_lock_mode_map()
{
    QMap<QString, SEDQ_LOCK_MODE> map;
    map.insert(SEDQ_LOCK_MODE_ALLOW_ALL_STRING, SEDQ_LOCK_MODE_ALLOW_ALL);
    map.insert(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
    map.insert(SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING, SEDQ_LOCK_MODE_ALLOW_TRIGGER);
    return map;
}

SEDQ_GARBAGE_COLLECTOR::~SEDQ_GARBAGE_COLLECTOR()
{
    // The map is destroyed right after this; emptying it first means nothing can reach a
    // freed message in between.
    const QList<MSG_BASE*> messages = SEDQ_TEXT_TO_MSG_MAP.values();
    SEDQ_TEXT_TO_MSG_MAP.clear();
    for (MSG_BASE* message : messages)
        delete message;
}
