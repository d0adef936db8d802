#pragma once
// Test seams of the application-framework stand-in.

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>

class QAction;
class QDrag;
class QMimeData;
class AFCQ_INSTANCE_NAME;
typedef QList<AFCQ_INSTANCE_NAME> AFCQ_INSTANCE_NAME_LIST;

namespace standin::afcq
{
// The last action created for the id that is still alive, else null.
QAction* created_action(int id);
// Number of actions created for the id since the last reset.
int created_count(int id);

// Scripted answers of AFCQ_FILE_DLG::exec(), consumed in order: accepted with that file
// selected, or cancelled.
void push_file_dialog_result(bool accepted, const QString& file = QString());
int pending_file_dialog_results();
// Titles of the file dialogs run since the last reset, in order.
QStringList file_dialog_titles();
// What the last file dialog run offered when it opened: its name filters, whether it named a
// file to write, the folder it showed and the file it proposed (the folder joined with the
// name).
struct file_dialog_settings
{
    QStringList name_filters;
    bool save = false;
    QString directory;
    QString proposed;
};
file_dialog_settings last_file_dialog();

// AFCQ_DIALOGs built and help requests made since the last reset; each request is the title of
// the dialog that asked.
int dialogs_constructed();
QStringList help_requests();
// Texts handed to afcq_message_box since the last reset, in order.
QStringList message_box_texts();

// The drag data the host's views make of a list of design names (MIME type
// "application/x-corvane_instance_name_list_data", plus the names as text); the caller owns it.
QMimeData* instance_name_list_mime(const AFCQ_INSTANCE_NAME_LIST& list);

// The host icons asked for and painted while recording is on (off after a reset): each paint
// with its id and the rectangle in the painter's coordinates, so tests check pictures by id
// and place, not by pixels.
struct icon_paint
{
    int id = 0;
    QRect rect;
};
void record_icons(bool on);
QList<int> asked_icons();
QList<icon_paint> painted_icons();

// Drags handed to afcq_exec_drag run through the handler while one is set: it stands for the
// nested event loop of a real drag (a test delivers constructed drag events from it) and
// answers the drop action; while it runs, afcq_drop_source answers the drag's source for the
// constructed events. The drag is deleted after it returns. Off after a reset.
using drag_handler = std::function<Qt::DropAction(QDrag* drag, Qt::DropActions actions)>;
void set_drag_handler(drag_handler handler);
// Drags run since the last reset, and the formats the last one carried.
int drags_run();
QStringList last_drag_formats();
} // namespace standin::afcq
