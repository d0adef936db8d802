// Message stand-in: rendering, answers (scripted or a real message box), posting,
// suppression, id registration, internal-error and debug records.
#include "host/msg.h"

#include "host/atcl.h"

#include "host/standin/msg_control.h"
#include "host/standin/standin.h"
#include "host/tst.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>

namespace
{
struct msg_state
{
    std::vector<standin::msg::message_record> shown;
    std::vector<standin::msg::message_record> posted;
    std::vector<standin::msg::message_record> unexpected;
    std::deque<int> answers;
    bool strict = false;
    bool interactive = false;
    std::set<unsigned int> suppressed;
    std::vector<standin::msg::internal_error> internal_errors;
    std::vector<std::string> debug_log;
    std::vector<std::pair<unsigned int, int>> registered;
};

msg_state& state()
{
    static msg_state s;
    return s;
}

const standin::reset_registrar registrar(&standin::msg::reset);

// One placeholder of a message text: its number and whether it takes a string.
struct placeholder
{
    size_t begin = 0;
    size_t end = 0;
    int number = 0;
    bool is_string = false;
};

// Scans "%N!s!" and "%N!d!" placeholders; anything else is literal text.
std::vector<placeholder> find_placeholders(const std::string& text)
{
    std::vector<placeholder> result;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '%')
            continue;
        size_t j = i + 1;
        int number = 0;
        while (j < text.size() && isdigit(static_cast<unsigned char>(text[j])) && number < 1000)
            number = number * 10 + (text[j++] - '0');
        if (number == 0 || j + 2 >= text.size() || text[j] != '!' || text[j + 2] != '!')
            continue;
        const char type = text[j + 1];
        if (type != 's' && type != 'd')
            continue;
        result.push_back({i, j + 3, number, type == 's'});
        i = j + 2;
    }
    return result;
}

int default_answer(const std::string& kind)
{
    return kind == "YN" || kind == "YNC" ? 6 : 1;
}

// The kinds the suite lists in its message window rather than asking about in a box.
bool is_listed(const std::string& kind)
{
    return kind == "E" || kind == "W" || kind == "I";
}

bool is_question(const std::string& kind)
{
    return kind == "YN" || kind == "YNC" || kind == "OC";
}

int show_box(MSG_BASE* message)
{
    const std::string kind = message->kind();
    const QString text = QString::fromLocal8Bit(message->text());
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (kind == "OC")
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
    else if (kind == "YN")
        buttons = QMessageBox::Yes | QMessageBox::No;
    else if (kind == "YNC")
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(is_question(kind) ? QMessageBox::Question : QMessageBox::Information, "Vantrel", text,
                    buttons, QApplication::activeWindow());
    // Child messages (such as the reason a file was refused) are shown below the text.
    QStringList details;
    for (const auto& child : message->children())
        details << QString::fromLocal8Bit(child->text());
    if (!details.isEmpty())
        box.setInformativeText(details.join(QLatin1Char('\n')));
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return 6;
    case QMessageBox::No:
        return 7;
    case QMessageBox::Cancel:
        return 2;
    default:
        return 1;
    }
}

bool use_real_box()
{
    return state().interactive && !tst_is_regtest_mode() && qobject_cast<QApplication*>(QCoreApplication::instance());
}
} // namespace

MSG_BASE::~MSG_BASE() = default;

void MSG_BASE::fill_args(char const* text, ...)
{
    m_raw_text = text ? text : "";
    m_args.clear();
    m_rendered.clear();
    const size_t slash = m_raw_text.rfind('/');
    m_help_key = slash == std::string::npos ? std::string() : m_raw_text.substr(slash + 1);

    // Values arrive in placeholder-number order; each number's type comes from the text.
    std::map<int, bool> types;
    for (const auto& p : find_placeholders(m_raw_text))
        types.emplace(p.number, p.is_string);
    int expected = 1;
    va_list args;
    va_start(args, text);
    for (const auto& [number, is_string] : types)
    {
        if (number != expected++)
            break; // a gap in the numbering: later values cannot be located
        if (is_string)
        {
            const char* value = va_arg(args, const char*);
            m_args.emplace_back(value ? value : "");
        }
        else
            m_args.push_back(std::to_string(va_arg(args, int)));
    }
    va_end(args);
}

char const* MSG_BASE::text()
{
    if (is_null())
        return "";
    const size_t slash = m_raw_text.rfind('/');
    const std::string sentence = slash == std::string::npos ? m_raw_text : m_raw_text.substr(0, slash);
    std::string out;
    size_t pos = 0;
    for (const auto& p : find_placeholders(sentence))
    {
        out.append(sentence, pos, p.begin - pos);
        if (p.number >= 1 && p.number <= static_cast<int>(m_args.size()))
            out += m_args[p.number - 1];
        else
            out.append(sentence, p.begin, p.end - p.begin);
        pos = p.end;
    }
    out.append(sentence, pos, std::string::npos);
    m_rendered = out;
    return m_rendered.c_str();
}

char const* MSG_BASE::help_key()
{
    return m_help_key.c_str();
}

int MSG_BASE::show()
{
    return show(nullptr);
}

int MSG_BASE::show(void*)
{
    if (is_null())
        return 0;
    auto& s = state();
    s.shown.push_back(standin::msg::record_of(this));
    if (is_listed(kind()))
    {
        post();
        return default_answer(kind());
    }
    if (use_real_box())
        return show_box(this);
    if (!s.answers.empty())
    {
        const int answer = s.answers.front();
        s.answers.pop_front();
        return answer;
    }
    if (s.strict && is_question(kind()))
        s.unexpected.push_back(s.shown.back());
    return m_unattended_answer != 0 ? m_unattended_answer : default_answer(kind());
}

void MSG_BASE::add_child(MSG_BASE* child)
{
    if (!child)
        return;
    if (is_null())
    {
        delete child;
        return;
    }
    m_children.emplace_back(child);
}

namespace
{
// Owned by the windows that listen, not by a test: resets leave them.
std::map<int, MSG_POST_LISTENER>& post_listeners()
{
    static std::map<int, MSG_POST_LISTENER> listeners;
    return listeners;
}

void tell(const MSG_POST_LISTENER& listener, const standin::msg::message_record& record, int depth)
{
    listener(record.kind, record.id, record.text, depth);
    for (const standin::msg::message_record& child : record.children)
        tell(listener, child, depth + 1);
}
} // namespace

void MSG_BASE::post()
{
    if (is_null())
        return;
    state().posted.push_back(standin::msg::record_of(this));
    // A copy: a listener may remove itself while it runs, and one may post.
    const standin::msg::message_record record = state().posted.back();
    const std::map<int, MSG_POST_LISTENER> listeners = post_listeners();
    for (const auto& [handle, listener] : listeners)
        tell(listener, record, 0);
}

int msg_add_post_listener(MSG_POST_LISTENER listener)
{
    static int next_handle = 0;
    for (const standin::msg::message_record& record : state().posted)
        tell(listener, record, 0);
    post_listeners().emplace(++next_handle, std::move(listener));
    return next_handle;
}

void msg_remove_post_listener(int handle)
{
    post_listeners().erase(handle);
}

MSG_INDEX* MSG_INDEX::get_default_index()
{
    static MSG_INDEX index;
    return &index;
}

bool MSG_INDEX::is_suppressed(unsigned int id) const
{
    return state().suppressed.count(id) != 0;
}

MSG_ID_REGISTRAR::MSG_ID_REGISTRAR(const unsigned int* ids, const MSG_POST_TYPE* types, int count)
{
    for (int i = 0; ids && types && i < count; ++i)
    {
        m_ids.push_back(ids[i]);
        state().registered.emplace_back(ids[i], static_cast<int>(types[i]));
    }
}

MSG_ID_REGISTRAR::~MSG_ID_REGISTRAR() = default;

void MSG_INTERNAL_ERROR::report(char const* expression, char const* module, char const* file, int line)
{
    state().internal_errors.push_back({expression ? expression : "", module ? module : "", file ? file : "", line});
    std::fprintf(stderr, "Internal error: %s (%s, %s:%d)\n", expression ? expression : "", module ? module : "",
                 file ? file : "", line);
}

void msg_local_vdebug(char const* module, MSG_D_LEVEL level, char const* format, va_list args)
{
    char buffer[4096];
    std::vsnprintf(buffer, sizeof buffer, format ? format : "", args);
    state().debug_log.push_back(std::string(module ? module : "") + "[" + std::to_string(level) + "]: " + buffer);
}

void msg_local_debug(char const* module, MSG_D_LEVEL level, char const* format, ...)
{
    va_list args;
    va_start(args, format);
    msg_local_vdebug(module, level, format, args);
    va_end(args);
}

namespace standin::msg
{
message_record record_of(MSG_BASE* message)
{
    message_record r;
    if (!message)
        return r;
    r.kind = message->is_null() ? "" : message->kind();
    r.id = message->get_id();
    r.text = message->text();
    r.help_key = message->help_key();
    for (const auto& child : message->children())
        r.children.push_back(record_of(child.get()));
    return r;
}

const std::vector<message_record>& shown() { return state().shown; }
const std::vector<message_record>& posted() { return state().posted; }
void push_answer(int answer) { state().answers.push_back(answer); }
int pending_answers() { return static_cast<int>(state().answers.size()); }
void set_strict(bool strict) { state().strict = strict; }
const std::vector<message_record>& unexpected_questions() { return state().unexpected; }
void set_interactive(bool interactive) { state().interactive = interactive; }
bool is_interactive() { return state().interactive; }
void suppress(unsigned int id) { state().suppressed.insert(id); }
void unsuppress(unsigned int id) { state().suppressed.erase(id); }
const std::vector<internal_error>& internal_errors() { return state().internal_errors; }
void clear_internal_errors() { state().internal_errors.clear(); }
const std::vector<std::string>& debug_log() { return state().debug_log; }
const std::vector<std::pair<unsigned int, int>>& registered_ids() { return state().registered; }

void reset()
{
    auto& s = state();
    s.shown.clear();
    s.posted.clear();
    s.unexpected.clear();
    s.answers.clear();
    s.strict = false;
    s.suppressed.clear();
    s.internal_errors.clear();
    s.debug_log.clear();
    // Registered ids survive: the registrar runs once when the library loads.
}
} // namespace standin::msg

namespace
{
int& live_location_schema_count()
{
    static int count = 0;
    return count;
}

void release_location_schema(void* object)
{
    delete static_cast<MSG_LOCATION_SCHEMA*>(object);
    --live_location_schema_count();
}
} // namespace

namespace standin::msg
{
int live_location_schemas()
{
    return live_location_schema_count();
}
} // namespace standin::msg

int MSG_LOCATION_SCHEMA::from_tcl_string(void*, Tcl_Interp* interp, int argc, const char** argv)
{
    if (argc < 2 || argv == nullptr || argv[1] == nullptr || *argv[1] == 0)
    {
        if (interp)
            Tcl_SetObjResult(interp, Tcl_NewStringObj("a location schema needs its source", -1));
        return TCL_ERROR;
    }
    auto* schema = new MSG_GEN_LOCATION_SCHEMA;
    ++live_location_schema_count();
    schema->set_source(argv[1]);
    for (int i = 2; i < argc; ++i)
        schema->set_node_name(argv[i]);
    // The values that carry the handle own the schema: a script that makes one in a loop keeps
    // only those it still holds.
    atcl_set_owned_ptr_result(interp, static_cast<MSG_LOCATION_SCHEMA*>(schema), "loc_schema", &release_location_schema);
    return TCL_OK;
}

std::string MSG_GEN_LOCATION_SCHEMA::to_string() const
{
    std::string text;
    for (const auto& node : m_nodes)
        text += (text.empty() ? "" : " ") + node->get_name();
    return text;
}
