#pragma once
// Fixture of the data log pane tests: documents whose instances hold the signal sets,
// triggers and logs a test names, the pane of an instance, its tree read back as paths, the
// keyboard focus the pane's commands need, and the instance manager's acquisitions.

#include "instance_widget_test_support.h"

#include "sedq/frame/sedq_log_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

namespace log_widget_test
{
struct trigger_tree
{
    std::string name;
    std::vector<std::string> logs;
    std::vector<std::string> powerup_logs;
    bool expanded = false;
};

struct set_tree
{
    std::string name;
    std::vector<trigger_tree> triggers;
    bool expanded = false;
};

struct instance_tree
{
    std::string name;
    std::vector<set_tree> sets;
    bool expanded = true;
    bool powerup = false;
};

class log_widget_fixture : public instance_widget_test::instance_widget_fixture
{
protected:
    static constexpr int ACTION_DELETE = AFCQ_SEDQ_LOG_DELETE_ACTION;
    static constexpr int ACTION_LOGGING = AFCQ_SEDQ_LOGGING_ACTION;
    static constexpr int ACTION_LOG_RENAME = AFCQ_SEDQ_LOG_RENAME_ACTION;
    static constexpr int ACTION_SAVE_TO_LOG = AFCQ_SEDQ_SAVE_TO_LOG_ACTION;
    static constexpr int ACTION_SELECT_ALL = AFCQ_SEDQ_LOG_SELECT_ALL_ACTION;

    // A window over instances with these trees (each also taps the counter design).
    void open_trees(const std::vector<instance_tree>& instances)
    {
        m_frame = open_frame(write_session("logs.vtl", instances, &build_tree));
        tx()->set_jtag_hardware(instance_widget_test::CABLE, false);
        tx()->set_jtag_device(instance_widget_test::DEVICE, false);
        refresh();
    }

    SEDQ_LOG_WIDGET* log_pane(int instance) const
    {
        for (SEDQ_LOG_WIDGET* pane : m_frame->findChildren<SEDQ_LOG_WIDGET*>())
            if (pane->get_instance() == instance)
                return pane;
        return nullptr;
    }

    // Every item of the instance pane's tree as its path of names joined by "/", depth first.
    // Panes are looked up each time: a refresh may rebuild the window's pages.
    QStringList tree_paths(int instance) const
    {
        QStringList paths;
        collect(log_pane(instance)->get_tree_model()->invisibleRootItem(), &paths);
        return paths;
    }

    QStandardItem* item_at(int instance, const QString& joined_path) const
    {
        return find(log_pane(instance)->get_tree_model()->invisibleRootItem(), joined_path);
    }

    // Gives the window and the pane's tree the keyboard focus.
    void focus(int instance) const
    {
        QApplication::setActiveWindow(m_frame->window());
        log_pane(instance)->get_tree()->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }

    void select_items(int instance, const QStringList& joined_paths) const
    {
        QItemSelectionModel* selection = log_pane(instance)->get_tree()->selectionModel();
        selection->clearSelection();
        for (const QString& joined : joined_paths)
        {
            QStandardItem* item = item_at(instance, joined);
            ASSERT_NE(item, nullptr) << joined.toStdString();
            selection->select(item->index(), QItemSelectionModel::Select);
        }
    }

    SDR_DATA_INSTANCE* data_instance(int index) const { return data()->m_instances[index].get(); }

private:
    static void collect(QStandardItem* parent, QStringList* paths)
    {
        for (int row = 0; row < parent->rowCount(); ++row)
        {
            QStandardItem* item = parent->child(row);
            paths->append(item->data(SEDQ_LOG_WIDGET::PATH_ROLE).toStringList().join('/'));
            collect(item, paths);
        }
    }

    static QStandardItem* find(QStandardItem* parent, const QString& joined_path)
    {
        for (int row = 0; row < parent->rowCount(); ++row)
        {
            QStandardItem* item = parent->child(row);
            if (item->data(SEDQ_LOG_WIDGET::PATH_ROLE).toStringList().join('/') == joined_path)
                return item;
            if (QStandardItem* found = find(item, joined_path))
                return found;
        }
        return nullptr;
    }

    static void add_logs(SDR_DATA_TRIGGER* trigger, const trigger_tree& desc)
    {
        for (const auto& [names, power_up] : {std::make_pair(desc.logs, false), std::make_pair(desc.powerup_logs, true)})
            for (const std::string& name : names)
            {
                standin::sdr::log_spec log;
                log.name = name;
                log.depth = 16;
                log.channels.assign(9, "0101010101010101");
                log.power_up = power_up;
                standin::sdr::make_log(trigger, log);
            }
    }

    static void build_tree(SDR_DATA_INSTANCE* instance, const instance_tree& desc)
    {
        build_probe(instance, {desc.name, desc.powerup});
        instance->set_expanded_status(desc.expanded);
        for (size_t s = 0; s < desc.sets.size(); ++s)
        {
            if (s >= instance->m_signal_sets.size())
                instance->m_signal_sets.push_back(
                    std::make_unique<SDR_DATA_SIGNAL_SET>(instance, desc.sets[s].name));
            SDR_DATA_SIGNAL_SET* set = instance->m_signal_sets[s].get();
            set->set_name(desc.sets[s].name.c_str());
            set->set_expanded_status(desc.sets[s].expanded);
            for (size_t t = 0; t < desc.sets[s].triggers.size(); ++t)
            {
                const trigger_tree& trigger_desc = desc.sets[s].triggers[t];
                if (t >= set->m_triggers.size())
                    set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(set, trigger_desc.name));
                SDR_DATA_TRIGGER* trigger = set->m_triggers[t].get();
                trigger->set_name(trigger_desc.name.c_str());
                trigger->set_expanded_status(trigger_desc.expanded);
                add_logs(trigger, trigger_desc);
            }
        }
    }
};
} // namespace log_widget_test
