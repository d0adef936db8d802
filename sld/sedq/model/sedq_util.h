#pragma once
// Small helpers every pane shares: combo boxes, separators, checked signal connections,
// palettes, the lock-mode names and the load-time text-to-message lookup.

#include "host/sdr/sdr_enums.h"
#include "sedq/model/sedq_lock_mode.h"

#include <QMap>
#include <QPalette>
#include <QString>
#include <QStringList>

#include <string>

class MSG_BASE;
class QAction;
class QColor;
class QComboBox;
class QIcon;
class QObject;

// Replaces the box's items by `items`, each with the same icon.
void sedq_add_combo_box_items(QComboBox* box, QStringList const& items, QIcon const& icon);

// A new parentless separator action; the caller adds it to a menu or toolbar and owns it.
QAction* sedq_get_separator_action();

// Connects `signal` to `slot` (both signature texts with Qt's code character first) only when
// the receiver has the slot, so a missing slot costs no Qt warning; true when a connection was
// made. For callers that hold only a signature; code that names its slot connects with
// pointers to members instead, so the compiler checks both ends.
bool sedq_connect(QObject const* sender, char const* signal, QObject const* receiver, char const* slot);

// QComboBox's text-carrying currentIndexChanged, deprecated in Qt 5.15 and kept because
// nothing replaces it exactly: it carries the new item's text, and its slots run after every
// slot of the index-carrying signal of the same box.
using SEDQ_COMBO_TEXT_SIGNAL = void (QComboBox::*)(const QString&);
SEDQ_COMBO_TEXT_SIGNAL sedq_combo_text_changed();

// Reverses the UTF-16 code units of the text in place.
void sedq_reverse_string(QString* text);

// The message's visible text; the message is kept (and owned) by the text-to-message map
// under that text until the library unloads. For load-time status texts only.
QString sedq_msg_to_text(MSG_BASE* msg);

// The message kept for a status text, or null (with an internal-error report) for any
// other text. Never adds to the map.
MSG_BASE* sedq_text_to_msg(QString const& text);

// Shows a catalogue message, deletes it and returns the user's answer (0 for no message).
int sedq_show_message(MSG_BASE* message);
// The same, with `reason` (when not empty) shown below the message as its detail.
int sedq_show_message(MSG_BASE* message, const std::string& reason);

// A debug line of the module "SEDQ" at level 2, printf-style.
void sedq_msg_debug(char const* format, ...);

// The default palette with `role` set to a solid brush of `color` in every colour group.
QPalette sedq_get_palette(QPalette::ColorRole role, QColor const& color);

// The three lock-mode display texts mapped to their modes.
QMap<QString, SEDQ_LOCK_MODE> sedq_get_lock_mode_map();

// Frees the messages of the text-to-message map at unload. It holds no data; its one
// instance is defined right after the map, so it runs just before the map is destroyed.
class SEDQ_GARBAGE_COLLECTOR
{
public:
    SEDQ_GARBAGE_COLLECTOR() = default;
    ~SEDQ_GARBAGE_COLLECTOR();

    SEDQ_GARBAGE_COLLECTOR(const SEDQ_GARBAGE_COLLECTOR&) = delete;
    SEDQ_GARBAGE_COLLECTOR& operator=(const SEDQ_GARBAGE_COLLECTOR&) = delete;
};

// A group row, expanded or collapsed: a parent item wherever the list is read.
inline bool sedq_is_group_display(int display_type)
{
    return display_type == SDR_NTYPE_GROUP || display_type == SDR_NTYPE_GROUP_ALT;
}
