// Keypoint-database stand-in: the line files of a compiled revision read into state machines,
// kept by name, and composed with the renames of a later stage.
#include "host/kpt.h"

#include "host/fio.h"

#include "host/standin/kpt_control.h"
#include "host/standin/standin.h"

#include <QFile>

#include <climits>
#include <map>
#include <sstream>
#include <unordered_map>

namespace
{
// Limits that keep a damaged file from asking for unbounded memory.
constexpr size_t MAX_REGISTERS = 4096;
constexpr size_t MAX_STATES = 65536;
constexpr qint64 MAX_FILE_SIZE = qint64(64) << 20;

struct kpt_state
{
    std::map<std::string, std::unique_ptr<KPT_KEYPOINTS_DB>> named;
    std::vector<std::unique_ptr<KPT_KEYPOINTS_DB>> anonymous;
    std::vector<std::string> order; // names in load order, "" for anonymous ones
    int loads = 0;
    std::string last_error;
};

kpt_state& state()
{
    static kpt_state s;
    return s;
}

void reset()
{
    state() = kpt_state();
}

const standin::reset_registrar registrar(&reset);

// Reads one keypoint file; false with the reason in `error`.
class kpt_reader
{
public:
    kpt_reader(KPT_KEYPOINTS_DB* db, std::string path) : m_db(db), m_path(std::move(path)) {}

    bool read(const QByteArray& text, std::string* error)
    {
        std::istringstream lines(text.toStdString());
        std::string line;
        for (m_line = 1; std::getline(lines, line); ++m_line)
        {
            if (!read_line(line))
            {
                *error = m_path + ":" + std::to_string(m_line) + ": " + m_error;
                return false;
            }
        }
        return true;
    }

private:
    bool fail(const std::string& what)
    {
        m_error = what;
        return false;
    }

    bool read_line(const std::string& line)
    {
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            return true;
        if (keyword == "fsm")
            return read_fsm(words);
        if (keyword == "reg")
            return read_register(words);
        if (keyword == "state")
            return read_state(words);
        if (keyword == "rename")
            return read_rename(words);
        return fail("unknown item \"" + keyword + "\" (fsm, reg, state or rename)");
    }

    static bool only_one_name(std::istringstream& words, std::string* name)
    {
        std::string extra;
        return bool(words >> *name) && !(words >> extra);
    }

    bool read_fsm(std::istringstream& words)
    {
        auto machine = std::make_unique<KPT_REGISTER_TRANSFORMATION>();
        if (!only_one_name(words, &machine->m_state_table.m_fsm_name))
            return fail("\"fsm\" takes one name");
        m_current = machine.get();
        m_db->get_transformation_set()->m_transformations.push_back(std::move(machine));
        return true;
    }

    bool read_register(std::istringstream& words)
    {
        std::string name;
        if (m_current == nullptr)
            return fail("\"reg\" before any \"fsm\"");
        if (!m_current->m_state_table.m_states.empty())
            return fail("\"reg\" after the machine's first state");
        if (!only_one_name(words, &name))
            return fail("\"reg\" takes one name");
        if (m_current->m_registers.size() >= MAX_REGISTERS)
            return fail("more than " + std::to_string(MAX_REGISTERS) + " registers");
        m_current->m_registers.emplace_back(name);
        return true;
    }

    bool read_state(std::istringstream& words)
    {
        KPT_STATE_TABLE::STATE entry;
        if (m_current == nullptr)
            return fail("\"state\" before any \"fsm\"");
        if (!(words >> entry.name))
            return fail("\"state\" needs a name");
        long value = 0;
        while (words >> value)
        {
            if (value < INT_MIN || value > INT_MAX)
                return fail("entry out of range");
            entry.entries.push_back(int(value));
        }
        if (!words.eof())
            return fail("state entries must be integers");
        if (entry.entries.size() != m_current->m_registers.size())
            return fail("state \"" + entry.name + "\" has " + std::to_string(entry.entries.size()) +
                        " entries for " + std::to_string(m_current->m_registers.size()) + " registers");
        if (m_current->m_state_table.m_states.size() >= MAX_STATES)
            return fail("more than " + std::to_string(MAX_STATES) + " states");
        m_current->m_state_table.m_states.push_back(std::move(entry));
        return true;
    }

    bool read_rename(std::istringstream& words)
    {
        std::string from;
        std::string to;
        std::string extra;
        if (!(words >> from >> to) || (words >> extra))
            return fail("\"rename\" takes two names");
        m_db->m_renames.emplace_back(from, to);
        return true;
    }

    KPT_KEYPOINTS_DB* m_db;
    std::string m_path;
    KPT_REGISTER_TRANSFORMATION* m_current = nullptr;
    int m_line = 0;
    std::string m_error;
};

std::unique_ptr<KPT_KEYPOINTS_DB> read_file(const std::string& path, const std::string& name, std::string* error)
{
    std::string text;
    std::string reason;
    if (!fio_read_regular_file(path, MAX_FILE_SIZE, &text, &reason))
    {
        *error = path + ": cannot be read (" + reason + ")";
        return nullptr;
    }
    auto db = std::make_unique<KPT_KEYPOINTS_DB>(name);
    kpt_reader reader(db.get(), path);
    return reader.read(QByteArray::fromStdString(text), error) ? std::move(db) : nullptr;
}
} // namespace

// ---- state tables and transformations --------------------------------------------------------

const char* KPT_STATE_TABLE::get_state_name(int s) const
{
    if (s < 1 || s > int(m_states.size()))
        return nullptr;
    return m_states[size_t(s - 1)].name.c_str();
}

int KPT_STATE_TABLE::get_transformed_entry(int s, int k) const
{
    if (s < 1 || s > int(m_states.size()))
        return -1;
    const std::vector<int>& entries = m_states[size_t(s - 1)].entries;
    return k >= 1 && k <= int(entries.size()) ? entries[size_t(k - 1)] : -1;
}

KPT_REGISTER_KEYPOINT* KPT_REGISTER_TRANSFORMATION::get_transformed(int k)
{
    if (k < 1 || k > int(m_registers.size()))
        return nullptr;
    return &m_registers[size_t(k - 1)];
}

KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::KPT_TRANSFORMATION_SET_REGISTER_ITERATOR(KPT_TRANSFORMATION_SET* set,
                                                                                   unsigned kind)
    : m_set(set), m_kind(kind)
{
    first();
}

void KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::first()
{
    m_index = 0;
    skip_other_kinds();
}

bool KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::done() const
{
    return m_set == nullptr || m_index >= m_set->m_transformations.size();
}

void KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::next()
{
    if (done())
        return;
    ++m_index;
    skip_other_kinds();
}

KPT_REGISTER_TRANSFORMATION* KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::item() const
{
    return done() ? nullptr : m_set->m_transformations[m_index].get();
}

void KPT_TRANSFORMATION_SET_REGISTER_ITERATOR::skip_other_kinds()
{
    while (!done() && (m_set->m_transformations[m_index]->m_kind & m_kind) == 0)
        ++m_index;
}

// ---- databases -------------------------------------------------------------------------------

void KPT_KEYPOINTS_DB::compose_on_transformed(KPT_KEYPOINTS_DB* other, const std::string& name)
{
    standin::record_call("kpt:compose_on_transformed(\"" + (other ? other->get_name() : std::string("null")) +
                         "\",\"" + name + "\")");
    if (other == nullptr || other == this)
        return;
    // A name renamed twice keeps the last new name.
    std::unordered_map<std::string, std::string> renames;
    for (const auto& rename : other->m_renames)
        renames[rename.first] = rename.second;
    auto renamed = [&renames](const std::string& old_name) {
        const auto it = renames.find(old_name);
        return it == renames.end() ? old_name : it->second;
    };
    for (auto& machine : m_set.m_transformations)
    {
        machine->m_state_table.m_fsm_name = renamed(machine->m_state_table.m_fsm_name);
        for (KPT_REGISTER_KEYPOINT& reg : machine->m_registers)
            reg.set_name(renamed(reg.get_name()));
    }
}

KPT_KEYPOINTS_MANAGER* KPT_KEYPOINTS_MANAGER::get_instance()
{
    static KPT_KEYPOINTS_MANAGER manager;
    return &manager;
}

KPT_KEYPOINTS_DB* KPT_KEYPOINTS_MANAGER::load_keypoints_db(const std::string& path, const std::string& name)
{
    standin::record_call("kpt:load_keypoints_db(\"" + path + "\",\"" + name + "\")");
    kpt_state& s = state();
    if (!name.empty() && s.named.count(name) != 0)
    {
        s.last_error = "a database named \"" + name + "\" is loaded already";
        return nullptr;
    }
    std::string error;
    std::unique_ptr<KPT_KEYPOINTS_DB> db = read_file(path, name, &error);
    s.last_error = error;
    if (db == nullptr)
        return nullptr;
    ++s.loads;
    s.order.push_back(name);
    KPT_KEYPOINTS_DB* raw = db.get();
    if (name.empty())
        s.anonymous.push_back(std::move(db));
    else
        s.named[name] = std::move(db);
    return raw;
}

bool KPT_KEYPOINTS_MANAGER::destroy_keypoints_db(const std::string& name)
{
    standin::record_call("kpt:destroy_keypoints_db(\"" + name + "\")");
    kpt_state& s = state();
    if (name.empty() || s.named.erase(name) == 0)
        return false;
    for (auto it = s.order.begin(); it != s.order.end(); ++it)
    {
        if (*it == name)
        {
            s.order.erase(it);
            break;
        }
    }
    return true;
}

namespace standin::kpt
{
int load_count()
{
    return state().loads;
}

std::vector<std::string> loaded_names()
{
    return state().order;
}

std::string last_error()
{
    return state().last_error;
}
} // namespace standin::kpt
