// Mnemonic tables under the undo histories of two instances, checked against a small reference
// model: every interleaving of two edits, two undos and two redos per instance (on different
// tables and on one shared table, with a save and a fresh read after every step), and a long
// random run with history clears and the step limit.

#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/standin/standin.h"
#include "sdr_fake_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{
// ---- the reference model ---------------------------------------------------------------------
// Tables by name; per instance a list of steps and a position; per table the ids of the applied
// steps that wrote it, oldest first. A step undoes its part of a table only as its last writer,
// and waits while a later writer can still be undone; a later writer that is gone for good
// keeps the table, and the step gives its part up. Redo mirrors it from the state the step was
// made on. Id 0 is "nobody since the document was made"; ids of removed steps are not live.

using ENTRIES = std::vector<std::pair<std::string, std::string>>;
using TABLES = std::map<std::string, ENTRIES>; // every table has width 2
using STATE = std::optional<ENTRIES>;

struct ref_change
{
    STATE before;
    STATE after;
    long below = 0;
};

struct ref_step
{
    long id = 0;
    int size_before = 0;
    int size_after = 0;
    std::map<std::string, ref_change> changes;
};

struct ref_history
{
    std::vector<ref_step> steps;
    size_t position = 0;
    int size = 0; // the instance's own data: its trigger's segment size
};

class reference
{
public:
    explicit reference(size_t max_steps) : m_max_steps(max_steps) {}

    void edit(int instance, int size, const std::map<std::string, STATE>& writes)
    {
        ref_history& h = m_histories[instance];
        ref_step step{m_next_id++, h.size, size, {}};
        for (const auto& [name, state] : writes) {
            step.changes[name] = {current(name), state, top(name)};
            m_writers[name].push_back(step.id);
            put(name, state);
        }
        h.size = size;
        for (size_t k = h.position; k < h.steps.size(); ++k)
            m_live.erase(h.steps[k].id);
        h.steps.resize(h.position);
        h.steps.push_back(step);
        m_live.insert(step.id);
        h.position = h.steps.size();
        while (h.steps.size() > m_max_steps) {
            m_live.erase(h.steps.front().id);
            h.steps.erase(h.steps.begin());
            --h.position;
        }
    }

    bool undo(int instance)
    {
        ref_history& h = m_histories[instance];
        if (h.position == 0)
            return false;
        ref_step& step = h.steps[h.position - 1];
        for (const auto& [name, change] : step.changes) {
            const std::vector<long>& stack = m_writers[name];
            for (size_t k = position_in(stack, step.id) + 1; k < stack.size(); ++k)
                if (m_live.count(stack[k]) != 0)
                    return false;
        }
        for (auto it = step.changes.begin(); it != step.changes.end();) {
            std::vector<long>& stack = m_writers[it->first];
            const size_t at = position_in(stack, step.id);
            if (at + 1 == stack.size() && current(it->first) == it->second.after) {
                stack.pop_back();
                put(it->first, it->second.before);
                ++it;
                continue;
            }
            if (at < stack.size())
                stack[at] = m_next_id++; // a writer nobody can undo any more
            it = step.changes.erase(it);
        }
        h.size = step.size_before;
        --h.position;
        return true;
    }

    bool redo(int instance)
    {
        ref_history& h = m_histories[instance];
        if (h.position == h.steps.size())
            return false;
        ref_step& step = h.steps[h.position];
        for (const auto& [name, change] : step.changes) {
            const long now = top(name);
            if (now != change.below && (m_live.count(now) != 0 || (now == 0 && m_live.count(change.below) != 0)))
                return false;
        }
        for (auto it = step.changes.begin(); it != step.changes.end();) {
            if (top(it->first) == it->second.below && current(it->first) == it->second.before) {
                m_writers[it->first].push_back(step.id);
                put(it->first, it->second.after);
                ++it;
            } else {
                it = step.changes.erase(it);
            }
        }
        h.size = step.size_after;
        ++h.position;
        return true;
    }

    void clear(int instance)
    {
        for (const ref_step& step : m_histories[instance].steps)
            m_live.erase(step.id);
        m_histories[instance].steps.clear();
        m_histories[instance].position = 0;
    }

    STATE current(const std::string& name) const
    {
        auto it = m_tables.find(name);
        return it != m_tables.end() ? STATE(it->second) : std::nullopt;
    }
    const TABLES& tables() const { return m_tables; }
    int size(int instance) const { return m_histories[instance].size; }

private:
    static size_t position_in(const std::vector<long>& stack, long id)
    {
        for (size_t k = stack.size(); k-- > 0;)
            if (stack[k] == id)
                return k;
        return stack.size();
    }
    long top(const std::string& name) const
    {
        auto it = m_writers.find(name);
        return it == m_writers.end() || it->second.empty() ? 0 : it->second.back();
    }
    void put(const std::string& name, const STATE& state)
    {
        if (state)
            m_tables[name] = *state;
        else
            m_tables.erase(name);
    }

    size_t m_max_steps;
    ref_history m_histories[2];
    std::map<std::string, std::vector<long>> m_writers;
    std::set<long> m_live;
    TABLES m_tables;
    long m_next_id = 1;
};

// The tables in order; on the way, every table is found by its name and the collection's count
// of entries is the sum of its tables' (both kept as the tables change, never walked for).
TABLES tables_of(const SDR_DATA_SESSION& session)
{
    TABLES tables;
    qint64 entry_count = 0;
    for (int i = 0; i < session.m_mnemonics.get_num_tables(); ++i) {
        const SDR_DATA_MNEMONICS_TABLE* table = session.m_mnemonics.get_table(i);
        EXPECT_EQ(session.m_mnemonics.find_table(table->get_name()), table) << table->get_name();
        ENTRIES& entries = tables[table->get_name()];
        for (int j = 0; j < table->get_num_entries(); ++j)
            entries.emplace_back(table->get_first_symbol(j), table->get_value(j));
        entry_count += table->get_num_entries();
    }
    EXPECT_EQ(session.m_mnemonics.get_num_entries(), entry_count);
    return tables;
}

std::string describe(const TABLES& tables)
{
    std::string text;
    for (const auto& [name, entries] : tables) {
        text += name + ":";
        for (const auto& entry : entries)
            text += " " + entry.first + "=" + entry.second;
        text += "; ";
    }
    return text;
}

// ---- the document under test ------------------------------------------------------------------

class document
{
public:
    document(const std::string& path, int max_steps, std::set<std::string>* checked)
        : m_path(path), m_checked(checked)
    {
        m_session = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        EXPECT_TRUE(m_session->create_session(path.c_str()));
        EXPECT_EQ(m_session->create_vantrel_instance(nullptr), 1);
        for (int i = 0; i < 2; ++i) {
            data(i)->history().clear();
            m_session->get_instance_at(i, false)->set_max_undo_steps(max_steps);
        }
    }

    SDR_DATA_INSTANCE* data(int i) { return m_session->get_instance_at(i, false)->get_data_instance(); }
    SDR_TX_INSTANCE* tx(int i) { return m_session->get_instance_at(i, false); }
    SDR_DATA_SESSION& session() { return *m_session->get_data_session(); }
    int size(int i) { return data(i)->get_active_trigger()->state().segment_size; }

    // One step: the instance's segment size and the given table writes in one bracket.
    void edit(int i, int size, const std::map<std::string, STATE>& writes)
    {
        tx(i)->begin_action();
        {
            SDR_EDIT_SCOPE scope(data(i));
            data(i)->get_active_trigger()->edit().segment_size = size;
        }
        SDR_DATA_MNEMONICS& tables = session().m_mnemonics;
        for (const auto& [name, state] : writes) {
            SDR_DATA_MNEMONICS_TABLE* table = tables.find_table(name.c_str());
            if (!state) {
                EXPECT_TRUE(tables.delete_table(table)) << name;
                continue;
            }
            if (table == nullptr)
                table = tables.create_table(name.c_str(), 2);
            ASSERT_NE(table, nullptr) << name;
            EXPECT_TRUE(table->add_entry(state->back().first.c_str(), state->back().second.c_str())) << name;
        }
        tx(i)->end_action();
    }

    // The file written now, read into a fresh session, holds exactly the tables of the model.
    // Writing is a function of the document's contents (and costs an fsync), so contents
    // already checked (in `checked`, shared by the documents of one test) are not written again.
    void check_saved(const TABLES& expected, const std::string& where)
    {
        std::string contents = std::to_string(size(0)) + "/" + std::to_string(size(1)) + "/";
        for (int i = 0; i < session().m_mnemonics.get_num_tables(); ++i)
            contents += std::string(session().m_mnemonics.get_table(i)->get_name()) + ",";
        contents += describe(tables_of(session()));
        if (!m_checked->insert(contents).second)
            return;
        std::string error;
        ASSERT_TRUE(m_session->save_session(m_path.c_str())) << where;
        std::unique_ptr<SDR_DATA_SESSION> read = sdr_read_session_file(m_path, &error);
        ASSERT_TRUE(read) << where << ": " << error;
        EXPECT_EQ(describe(tables_of(*read)), describe(expected)) << where;
    }

private:
    std::string m_path;
    std::set<std::string>* m_checked;
    std::shared_ptr<sdr_test::tree_log> m_log = std::make_shared<sdr_test::tree_log>();
    std::unique_ptr<SDR_TX_SESSION> m_session;
};

// The table writes of an edit as the reference sees them: append one entry to a table (made
// when missing) or, with `remove`, delete it.
std::map<std::string, STATE> writes_for(const reference& model, const std::vector<std::string>& names,
                                        const std::string& symbol, const std::string& pattern, bool remove)
{
    std::map<std::string, STATE> writes;
    for (const std::string& name : names) {
        STATE state = model.current(name);
        if (remove && state) {
            writes[name] = std::nullopt;
            continue;
        }
        ENTRIES entries = state ? *state : ENTRIES();
        entries.emplace_back(symbol, pattern);
        writes[name] = entries;
    }
    return writes;
}

class SdrSharedUndoModel : public ::testing::Test
{
protected:
    void SetUp() override { standin::reset_all(); }
    std::string path(const char* name) const { return m_dir.filePath(name).toLocal8Bit().toStdString(); }

    QTemporaryDir m_dir;
};

// Every interleaving of the two scripts "edit, edit, undo, undo, redo, redo".
std::vector<std::vector<int>> interleavings(int per_instance)
{
    std::vector<std::vector<int>> all;
    std::vector<int> order;
    std::function<void(int, int)> walk = [&](int left0, int left1) {
        if (left0 == 0 && left1 == 0) {
            all.push_back(order);
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if ((i == 0 ? left0 : left1) == 0)
                continue;
            order.push_back(i);
            walk(left0 - (i == 0), left1 - (i == 1));
            order.pop_back();
        }
    };
    walk(per_instance, per_instance);
    return all;
}
} // namespace

TEST_F(SdrSharedUndoModel, every_interleaving_of_two_instances_keeps_every_table)
{
    const struct
    {
        const char* name;
        const char* tables[2];
    } scenarios[] = {{"different tables", {"t0", "t1"}}, {"one shared table", {"shared", "shared"}}};
    const char* script[] = {"edit", "edit", "undo", "undo", "redo", "redo"};
    const std::vector<std::vector<int>> orders = interleavings(6);
    ASSERT_EQ(orders.size(), 924u);
    std::set<std::string> checked;
    for (const auto& scenario : scenarios) {
        for (size_t n = 0; n < orders.size(); ++n) {
            document doc(path("interleaved.vtl"), 100, &checked);
            reference model(100);
            int done[2] = {0, 0};
            std::string where = std::string(scenario.name) + ", order " + std::to_string(n) + ":";
            for (int i : orders[n]) {
                const std::string op = script[done[i]++];
                where += " " + op + std::to_string(i);
                if (op == "edit") {
                    const int size = 10 * (i + 1) + done[i];
                    auto writes = writes_for(model, {scenario.tables[i]}, "s" + std::to_string(size), "01", false);
                    doc.edit(i, size, writes);
                    model.edit(i, size, writes);
                } else {
                    const bool expected = op == "undo" ? model.undo(i) : model.redo(i);
                    ASSERT_EQ(op == "undo" ? doc.tx(i)->undo() : doc.tx(i)->redo(), expected) << where;
                }
                ASSERT_EQ(describe(tables_of(doc.session())), describe(model.tables())) << where;
                ASSERT_EQ(doc.size(0), model.size(0)) << where;
                ASSERT_EQ(doc.size(1), model.size(1)) << where;
                doc.check_saved(model.tables(), where);
                if (HasFatalFailure() || HasNonfatalFailure())
                    return;
            }
        }
    }
}

TEST_F(SdrSharedUndoModel, a_long_random_run_matches_the_reference_model)
{
    const int max_steps = 12;
    std::set<std::string> checked;
    document doc(path("random.vtl"), max_steps, &checked);
    reference model(max_steps);
    std::mt19937 random(26);
    const std::vector<std::string> names = {"alpha", "beta", "gamma"};
    const char* patterns[] = {"00", "01", "10", "11", "X1", "1X"};
    int refused = 0;
    for (int n = 0; n < 3000; ++n) {
        const int i = int(random() % 2);
        const unsigned op = random() % 100;
        const std::string where = "step " + std::to_string(n);
        if (op < 45) {
            std::vector<std::string> tables = {names[random() % 3]};
            if (random() % 3 == 0 && names[n % 3] != tables[0])
                tables.push_back(names[n % 3]);
            auto writes = writes_for(model, tables, "s" + std::to_string(n), patterns[random() % 6], random() % 5 == 0);
            doc.edit(i, n + 1, writes);
            model.edit(i, n + 1, writes);
        } else if (op < 95) {
            const bool undo = op < 70;
            const bool expected = undo ? model.undo(i) : model.redo(i);
            ASSERT_EQ(undo ? doc.tx(i)->undo() : doc.tx(i)->redo(), expected) << where;
            refused += (undo ? doc.tx(i)->is_undo_available() : doc.tx(i)->is_redo_available()) && !expected;
        } else if (op < 97) {
            ASSERT_NE(doc.session().m_tx_user->create_new_log(i), nullptr); // clears the instance's history
            model.clear(i);
        } else {
            doc.check_saved(model.tables(), where);
        }
        ASSERT_EQ(describe(tables_of(doc.session())), describe(model.tables())) << where;
        ASSERT_EQ(doc.size(0), model.size(0)) << where;
        ASSERT_EQ(doc.size(1), model.size(1)) << where;
    }
    EXPECT_GT(refused, 20) << "the run must reach steps that wait for another instance";
}
