#pragma once
// Shared by the trigger editing tests: buses whose members carry a pattern, a right click on a
// trigger cell (which sets the view's trigger level and shows the condition menu), and the hook
// that acts on the next modal dialog of a type once its own event loop runs (support/).

#include "sedq_mnemonic_test_support.h"
#include "sedq_view_test_support.h"
#include "support/next_dialog.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_edit_scope.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>

// The condition a pattern character stands for.
inline SDR_DATA_TRIGGER_CONDITION condition_of(char symbol)
{
    switch (symbol)
    {
    case '1': return SDR_CTYPE_HIGH;
    case '0': return SDR_CTYPE_LOW;
    case 'R': return SDR_CTYPE_RISING;
    case 'F': return SDR_CTYPE_FALLING;
    case 'E': return SDR_CTYPE_EITHER_EDGE;
    default: return SDR_CTYPE_DONT_CARE;
    }
}

// Writes `pattern` (one character per member, from the first member down) at trigger level
// `level` on rows first + 1 ... of a list being built.
inline void set_member_pattern(SDR_DATA_TRIGGER* trigger, int group, const std::string& pattern, int level = 0)
{
    SDR_NODE_LIST& list = trigger->edit_transient().trigger_list;
    for (size_t k = 0; k < pattern.size(); ++k)
    {
        SDR_NODE_PATTERNS& patterns = list[group + 1 + int(k)].patterns[SDR_COPY_NORMAL];
        if (patterns.conditions.size() <= level)
            patterns.conditions.resize(level + 1);
        patterns.conditions[level] = condition_of(pattern[k]);
    }
}

// Leaves "top|<prefix><k>" grouped into bus `name` at the end of the list; the bus's row index.
inline int add_bus(SDR_DATA_TRIGGER* trigger, const std::string& name, int members,
                   SDR_DATA_GROUP_DISPLAY_TYPE radix = SDR_GTYPE_HEX)
{
    const int first = int(trigger->edit_transient().trigger_list.size());
    std::vector<std::string> leaves;
    for (int k = 0; k < members; ++k)
        leaves.push_back("top|" + name + "_" + std::to_string(k));
    add_leaves(trigger, leaves);
    return standin::sdr::add_group(trigger, first, first + members - 1, name, radix);
}

// Every hint the model sends from its construction on.
struct hint_log
{
    explicit hint_log(SEDQ_TX_MANAGER* tx)
    {
        QObject::connect(tx, &SEDQ_TX_MANAGER::updated, &receiver, [this](QObject*, int hint) { hints.push_back(hint); });
    }
    bool saw(unsigned hint) const
    {
        return std::find(hints.begin(), hints.end(), static_cast<int>(hint)) != hints.end();
    }
    QObject receiver;
    std::vector<int> hints;
};

class trigger_edit_test : public view_test
{
protected:
    void TearDown() override
    {
        for (QPointer<QObject>& hook : pending_dialog_hooks())
            delete hook.data();
        pending_dialog_hooks().clear();
        view_test::TearDown();
    }

    // A right click on the trigger cell of `node` at `level`; `look` sees the menu while it
    // shows, then it closes.
    void right_click_trigger_cell(int node, int level, std::function<void(QMenu*)> look = nullptr)
    {
        const QRect cell = inner_cell(node + 3, level + 12);
        QTimer::singleShot(0, [look] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (popup == nullptr)
                return;
            if (look)
                look(popup);
            popup->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), view()->mapToGlobal(cell.center()));
        QApplication::sendEvent(view(), &event);
    }

    QAction* action(int id) { return tx()->get_action(AFCQ_ACTION_ENUM(id), QVariant()); }

    void add_table(const char* name, int width, const std::vector<std::pair<const char*, const char*>>& entries)
    {
        add_mnemonic_table(tx(), name, width, entries);
    }

    // Writes conditions through the model, one edit.
    void set_conditions(int group, const std::string& pattern, int level = 0)
    {
        {
            const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_SKIP_COMPILATION_CHECK);
            for (size_t k = 0; k < pattern.size(); ++k)
                tx()->set_trigger(group + 1 + int(k), level, condition_of(pattern[k]), -1);
        }
    }

    // Every member's condition at the level, from the first member down.
    std::string member_pattern(int group, int members, int level = 0)
    {
        std::string pattern;
        for (int k = 1; k <= members; ++k)
        {
            SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DISABLED;
            tx()->get_node(group + k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, level,
                           &condition);
            const char symbols[] = "???10RFEX";
            pattern += condition >= 3 && condition <= 8 ? symbols[condition] : '?';
        }
        return pattern;
    }
};
