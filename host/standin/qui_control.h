#pragma once
// Test seams of the main-window framework stand-in: flows, project, file choices, the main
// frame, and the answers given to modal dialogs.

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QUI_FRAME_WND;

namespace standin::qui
{
// One flow the host started, and whether it ended; the stand-in keeps its flows in this form.
struct flow
{
    int flow = 0;
    std::string text;
    bool save_first = false;
    bool incremental = false;
    bool show_report = false;
    bool finished = false;
};

// Every start_flow accepted since the last reset, in order.
std::vector<flow> flows();
bool flow_running();
// Whether the host lets a flow start at all (default true).
void set_flow_allowed(bool allowed);

// Called when a flow ends, after the host's simulated compile of the frame's document and
// before the flow-finish notification. Resets keep it.
void set_flow_simulator(std::function<void(QUI_FRAME_WND* frame, int flow)> simulator);

// The project manager: absent by default; present with or without an open project.
void set_project(bool has_manager, bool open, const std::string& top_entity = "top",
                 const std::string& revision = "top", const std::string& project_dir = "");

// Scripted answers of the host's file chooser (open, save as), consumed in order.
void push_file_choice(const QString& path);
void push_file_cancel();
int pending_file_choices();

// Frames built after this call lack the named host toolbar (until the next reset).
void omit_toolbar(const QString& name);

// The frame that qui_get_main_frame_wnd() returns (null: the live main-window frame).
void set_main_frame_wnd(QUI_FRAME_WND* frame);

// Modal auto-responder: what is armed, and one record per dialog it answered.
struct response
{
    std::string command;
    int code = 0; // Tcl code of the command; -1 when the command was empty
    std::string result;
    std::string dialog_title;
    bool accepted = false;
    bool rejected = false;
};
bool responder_armed();
std::string armed_command();
int armed_delay_ms();
std::vector<response> responses();

// Answers for plain modal dialogs (message boxes of the library) shown while the responder
// is not armed, consumed in order: a dialog whose "<title>\n<text>" contains `pattern` (an
// empty pattern matches any) gets `result`: the QMessageBox::StandardButton to press for a
// message box, else the code for QDialog::done. While answers are queued, a modal dialog
// that does not match the next one is rejected and its title listed in unanswered_dialogs(),
// so no test waits on it; with none queued, dialogs are left to the user, except on a
// headless display (offscreen, minimal), where they are rejected and listed the same way.
void push_dialog_answer(const QString& pattern, int result);
int pending_dialog_answers();
std::vector<std::string> unanswered_dialogs();

// Files handed to QUI_FRAME_MGR::open_file, in order.
std::vector<std::string> opened_files();

void reset();
} // namespace standin::qui
