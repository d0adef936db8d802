#pragma once
// Test seams of the application-framework stand-in.

#include <QString>
#include <QStringList>

class QAction;

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
} // namespace standin::afcq
