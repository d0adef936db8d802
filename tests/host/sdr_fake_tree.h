#pragma once
// A small working tree of SDR_TX_TREE_OBJECT nodes for repository tests: a root that makes
// trigger and state-machine objects, objects that keep children and attributes, and a shared
// log of the calls the repository made.

#include "host/sdr.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sdr_test
{
struct tree_log
{
    std::vector<std::string> calls;
    int next_id = 0;
};

class fake_tree_object : public SDR_TX_TREE_OBJECT
{
public:
    fake_tree_object(std::shared_ptr<tree_log> log, int kind) : m_log(std::move(log)), m_kind(kind), m_id(m_log->next_id++) {}

    SDR_TX_TREE_OBJECT* get_child_object(int index) override
    {
        return index >= 0 && index < static_cast<int>(m_children.size()) ? m_children[index].get() : nullptr;
    }
    int get_child_count() const override { return static_cast<int>(m_children.size()); }
    SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) override
    {
        m_log->calls.push_back("create_child_object(" + std::to_string(type) + ")");
        m_children.push_back(std::make_unique<fake_tree_object>(m_log, type == CHILD_OBJECT_STATE_MACHINE ? 1 : 0));
        return m_children.back().get();
    }
    bool delete_child_object(SDR_TX_TREE_OBJECT* child) override
    {
        m_log->calls.push_back("delete_child_object");
        for (auto it = m_children.begin(); it != m_children.end(); ++it) {
            if (it->get() == child && (*it)->m_kind != 1) {
                m_children.erase(it);
                return true;
            }
        }
        return false;
    }
    bool get_equation(std::string* text, const SDR_DATA_MNEMONICS*, const SDR_TX_TRIGGER*, int level, bool) override
    {
        m_log->calls.push_back("get_equation(" + std::to_string(level) + ")");
        *text = "expr_" + std::to_string(m_id);
        return true;
    }
    bool duplicate_trigger(bool to_power_up) override
    {
        m_log->calls.push_back(std::string("duplicate_trigger(") + (to_power_up ? "true" : "false") + ")");
        return true;
    }
    void generate_tree(void*) override { m_log->calls.push_back("generate_tree"); }
    void set_attribute(char const* key, char const* value) override { m_attributes.emplace_back(key, value); }
    void get_attributes() override
    {
        for (const auto& attribute : m_attributes)
            add_attribute(attribute.first.c_str(), attribute.second.c_str());
    }

    int id() const { return m_id; }
    const std::vector<std::pair<std::string, std::string>>& attributes() const { return m_attributes; }

private:
    std::shared_ptr<tree_log> m_log;
    int m_kind;
    int m_id;
    std::vector<std::unique_ptr<fake_tree_object>> m_children;
    std::vector<std::pair<std::string, std::string>> m_attributes;
};

inline fake_tree_object* make_root(std::shared_ptr<tree_log> log)
{
    return new fake_tree_object(std::move(log), 2);
}
} // namespace sdr_test
