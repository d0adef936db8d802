#pragma once
// Whether the hierarchy pane hides a node, asked of a list of nodes in order. The answer depends
// only on the levels above the node (its name up to the last "|"), which the members of a bus and
// the nodes of a module share: the pane is asked once per run of such names, not once per node,
// since each question walks the pane's tree. Without a pane every node is hidden, as the node
// table shows no rows then.

#include "sedq/frame/sedq_hierarchy_widget.h"

#include <QString>

#include <cstring>
#include <string>

class SEDQ_HIDDEN_BY_HIERARCHY
{
public:
    explicit SEDQ_HIDDEN_BY_HIERARCHY(SEDQ_HIERARCHY_WIDGET* hierarchy) : m_hierarchy(hierarchy) {}

    // `name` in the local 8-bit encoding; null reads as empty.
    bool operator()(const char* name)
    {
        if (m_hierarchy == nullptr)
            return true;
        const char* full = name != nullptr ? name : "";
        const char* bar = std::strrchr(full, '|');
        const size_t length = bar != nullptr ? size_t(bar - full) : 0;
        if (!m_asked || m_levels.compare(0, std::string::npos, full, length) != 0)
        {
            m_levels.assign(full, length);
            m_hidden = m_hierarchy->is_hidden(QString::fromLocal8Bit(full), nullptr);
            m_asked = true;
        }
        return m_hidden;
    }

private:
    SEDQ_HIERARCHY_WIDGET* m_hierarchy;
    std::string m_levels;
    bool m_asked = false;
    bool m_hidden = false;
};
