// State of the main-window framework stand-in and its test seams.
#include "host/standin/qui_control.h"

#include "host/qui_private.h"
#include "host/standin/standin.h"

namespace
{
void reset_state()
{
    auto& s = qui_detail::state();
    const unsigned generation = s.generation + 1;
    s = qui_detail::qui_state();
    s.generation = generation;
    qui_detail::install_modal_filter();
}

const standin::reset_registrar registrar(&reset_state);
} // namespace

namespace qui_detail
{
qui_state& state()
{
    static qui_state s;
    return s;
}

std::function<void(QUI_FRAME_WND*, int)>& flow_simulator()
{
    static std::function<void(QUI_FRAME_WND*, int)> simulator;
    return simulator;
}
} // namespace qui_detail

namespace standin::qui
{
std::vector<flow> flows()
{
    return qui_detail::state().flows;
}

bool flow_running()
{
    return qui_detail::state().flow_running;
}

void set_flow_allowed(bool allowed)
{
    qui_detail::state().flow_allowed = allowed;
}

void set_flow_simulator(std::function<void(QUI_FRAME_WND*, int)> simulator)
{
    qui_detail::flow_simulator() = std::move(simulator);
}

void set_project(bool has_manager, bool open, const std::string& top_entity, const std::string& revision,
                 const std::string& project_dir)
{
    auto& s = qui_detail::state();
    s.has_project_manager = has_manager;
    s.project_open = has_manager && open;
    s.top_entity = top_entity;
    s.revision = revision;
    s.project_dir = project_dir;
}

void push_file_choice(const QString& path)
{
    qui_detail::state().file_choices.push_back({true, path});
}

void push_file_cancel()
{
    qui_detail::state().file_choices.push_back({false, QString()});
}

int pending_file_choices()
{
    return static_cast<int>(qui_detail::state().file_choices.size());
}

void set_main_frame_wnd(QUI_FRAME_WND* frame)
{
    qui_detail::state().main_frame_override = frame;
}

bool responder_armed()
{
    return qui_detail::state().responder_armed;
}

std::string armed_command()
{
    return qui_detail::state().responder_command.toStdString();
}

int armed_delay_ms()
{
    return qui_detail::state().responder_ms;
}

std::vector<response> responses()
{
    std::vector<response> result;
    for (const auto& r : qui_detail::state().responses)
        result.push_back({r.command, r.code, r.result, r.dialog_title, r.accepted, r.rejected});
    return result;
}

void push_dialog_answer(const QString& pattern, int result)
{
    qui_detail::install_modal_filter();
    qui_detail::state().dialog_answers.push_back({pattern, result});
}

int pending_dialog_answers()
{
    return static_cast<int>(qui_detail::state().dialog_answers.size());
}

std::vector<std::string> unanswered_dialogs()
{
    return qui_detail::state().unanswered_dialogs;
}

std::vector<std::string> opened_files()
{
    return qui_detail::state().opened_files;
}

void omit_toolbar(const QString& name)
{
    qui_detail::state().omitted_toolbars.push_back(name);
}

void reset()
{
    reset_state();
}
} // namespace standin::qui
