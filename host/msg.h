#pragma once
// Host message system: message objects of every kind, the suppression index, the id
// registrar, the internal-error report and the debug log.

#include <cstdarg>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MSG_REPORT;
struct Tcl_Interp;

enum MSG_POST_TYPE
{
    MSG_POST_TYPE_ERROR = 0,
    MSG_POST_TYPE_INFO = 1,
    MSG_POST_TYPE_WARNING = 2
};

enum MSG_D_LEVEL
{
    MSG_D_LEVEL_0 = 0,
    MSG_D_LEVEL_1 = 1,
    MSG_D_LEVEL_2 = 2,
    MSG_D_LEVEL_3 = 3
};

// A message: a text with "%N!s!" / "%N!d!" placeholders, its values, an identifier and
// child messages. The rendered text is the sentence before the last "/", filled in one pass.
class MSG_BASE
{
public:
    virtual ~MSG_BASE();

    // Stores the text and reads one value per placeholder number, in number order:
    // a `char const*` for "!s!", an `int` for "!d!".
    void fill_args(char const* text, ...);
    void set_id(unsigned int id) { m_id = id; }
    unsigned int get_id() const { return m_id; }
    // The answer of a question that nobody sees (a batch run): for a question whose Yes or OK
    // loses data, the answer that keeps it. 0, the default, takes the kind's usual answer.
    void set_unattended_answer(int answer) { m_unattended_answer = answer; }

    // A question or note (O, OC, YN, YNC) is a box the user answers; an error, warning or
    // information (E, W, I) goes to the message list as post() puts it there.
    int show();
    int show(void* parent);
    char const* text();
    char const* help_key();
    void add_child(MSG_BASE* child);
    void post();

    // The kind's letters ("O", "OC", "YN", "YNC", "E", "I", "W"); empty for null messages.
    virtual char const* kind() const = 0;
    virtual bool is_null() const { return false; }
    const std::vector<std::unique_ptr<MSG_BASE>>& children() const { return m_children; }

protected:
    MSG_BASE() = default;

private:
    std::string m_raw_text;
    std::vector<std::string> m_args;
    std::string m_rendered;
    std::string m_help_key;
    unsigned int m_id = 0;
    int m_unattended_answer = 0;
    std::vector<std::unique_ptr<MSG_BASE>> m_children;
};

#define SEDQ_HOST_MSG_KIND(CLASS, LETTERS)                                                               \
    class CLASS : public MSG_BASE                                                                        \
    {                                                                                                    \
    public:                                                                                              \
        explicit CLASS(MSG_REPORT* report = nullptr) { (void)report; }                                  \
        char const* kind() const override { return LETTERS; }                                           \
    };

SEDQ_HOST_MSG_KIND(MSG_O, "O")
SEDQ_HOST_MSG_KIND(MSG_OC, "OC")
SEDQ_HOST_MSG_KIND(MSG_YN, "YN")
SEDQ_HOST_MSG_KIND(MSG_YNC, "YNC")
SEDQ_HOST_MSG_KIND(MSG_E, "E")
SEDQ_HOST_MSG_KIND(MSG_I, "I")
SEDQ_HOST_MSG_KIND(MSG_W, "W")
#undef SEDQ_HOST_MSG_KIND

// Stand-ins for a suppressed information or warning message: no text, no id, showing and
// posting do nothing, children handed to them are deleted.
class MSG_I_NULL : public MSG_I
{
public:
    MSG_I_NULL() = default;
    bool is_null() const override { return true; }
};

class MSG_W_NULL : public MSG_W
{
public:
    MSG_W_NULL() = default;
    bool is_null() const override { return true; }
};

// The user's suppression choices.
class MSG_INDEX
{
public:
    static MSG_INDEX* get_default_index();
    bool is_suppressed(unsigned int id) const;
};

// Registers message ids and their post types with the host; lives as long as the library.
class MSG_ID_REGISTRAR
{
public:
    MSG_ID_REGISTRAR(const unsigned int* ids, const MSG_POST_TYPE* types, int count);
    ~MSG_ID_REGISTRAR();

private:
    std::vector<unsigned int> m_ids;
};

class MSG_INTERNAL_ERROR
{
public:
    // Records a violated precondition; never aborts.
    static void report(char const* expression, char const* module, char const* file, int line);
};

void msg_local_vdebug(char const* module, MSG_D_LEVEL level, char const* format, va_list args);
void msg_local_debug(char const* module, MSG_D_LEVEL level, char const* format, ...);

// The host's message list, which its message window shows: every posted message in order.
// A listener hears each message as it is posted: its kind letters, id and rendered text, then
// each of its child messages (the items of a list) at `depth` 1, theirs at 2, ...
using MSG_POST_LISTENER =
    std::function<void(const std::string& kind, unsigned int id, const std::string& text, int depth)>;
// Calls `listener` for every message posted so far, then for each one posted until it is
// removed; the handle removes it.
int msg_add_post_listener(MSG_POST_LISTENER listener);
void msg_remove_post_listener(int handle);

// ---- location schemas: where a host tool is asked to show something ---------------------------

// One named step of a location: a hierarchy instance, a design entity or a "file:line" place.
class MSG_GEN_LOC_INSTANCE
{
public:
    // An instance by its short hierarchy path.
    explicit MSG_GEN_LOC_INSTANCE(const std::string& short_path) : m_name(short_path) {}
    // An instance by the identifier the host's name manager gives it ("iname:<id>").
    explicit MSG_GEN_LOC_INSTANCE(unsigned int iname_id) : m_name("iname:" + std::to_string(iname_id)) {}
    const std::string& get_name() const { return m_name; }

private:
    std::string m_name;
};

// The name of the place a location comes from: a file path, or the untitled document's name.
class MSG_IDENTIFIER
{
public:
    explicit MSG_IDENTIFIER(std::string text = std::string()) : m_text(std::move(text)) {}
    const char* get_string() const { return m_text.c_str(); }

private:
    std::string m_text;
};

class MSG_LOCATION_SCHEMA
{
public:
    virtual ~MSG_LOCATION_SCHEMA() = default;
    // 10: a generic schema of named nodes.
    virtual int get_kind() const { return 10; }
    const MSG_IDENTIFIER& get_source() const { return m_source; }
    void set_source(const std::string& source) { m_source = MSG_IDENTIFIER(source); }

    // A Tcl command procedure: words are {command, source, node...}; at least the source. Makes a
    // generic schema, and puts its handle name (for atcl_get_ptr) into the interpreter's result,
    // whose value owns it (see atcl_set_owned_ptr_result); TCL_ERROR with a message when the
    // words name no source.
    static int from_tcl_string(void* client_data, Tcl_Interp* interp, int argc, const char** argv);

private:
    MSG_IDENTIFIER m_source;
};

// An ordered list of location nodes; owns them.
class MSG_GEN_LOCATION_SCHEMA : public MSG_LOCATION_SCHEMA
{
public:
    MSG_GEN_LOCATION_SCHEMA() = default;
    MSG_GEN_LOCATION_SCHEMA(const MSG_GEN_LOCATION_SCHEMA&) = delete;
    MSG_GEN_LOCATION_SCHEMA& operator=(const MSG_GEN_LOCATION_SCHEMA&) = delete;
    // Takes ownership; a null node is ignored.
    void add(MSG_GEN_LOC_INSTANCE* node)
    {
        if (node != nullptr)
            m_nodes.emplace_back(node);
    }
    // Appends a node by name (an entity, or a "file:line" place).
    void set_node_name(const char* name) { add(new MSG_GEN_LOC_INSTANCE(std::string(name ? name : ""))); }
    int get_node_count() const { return static_cast<int>(m_nodes.size()); }
    // Null out of range.
    const MSG_GEN_LOC_INSTANCE* get_node(int index) const
    {
        return index >= 0 && index < get_node_count() ? m_nodes[size_t(index)].get() : nullptr;
    }
    // The node names joined by " ", for messages and records.
    std::string to_string() const;

private:
    std::vector<std::unique_ptr<MSG_GEN_LOC_INSTANCE>> m_nodes;
};
