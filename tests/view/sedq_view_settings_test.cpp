// The view's settings from the project: whether the project's device offers the hard
// processor system (HPS) trigger options, re-read when the settings change.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "host/standin/project_control.h"
#include "host/standin/standin.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

namespace
{
QByteArray project_with(const char* assignments, const char* parts)
{
    return QByteArray(R"({"project": {"top_entity": "top"}, "assignments": [)") + assignments +
           "], \"parts\": [" + parts + "]}";
}

// A project whose device is one part with the given resource counts.
void load_device(const char* resources)
{
    std::string error;
    const QByteArray part = QByteArray(R"({"name": "SIMPART-1", "resources": )") + resources + "}";
    ASSERT_TRUE(standin::project::load_json(project_with(R"({"var": 623, "value": "SIMPART-1"})", part),
                                            "/tmp", &error))
        << error;
}
} // namespace

TEST(sedq_view_settings, the_hps_options_follow_the_projects_device)
{
    const char* hps_parts = R"({"name": "SIMPART-HPS", "family": "SIMFAM-A", "resources": {"32": 2}},
                               {"name": "SIMPART-1", "family": "SIMFAM-A", "resources": {"32": 0, "7": 4}})";
    const struct
    {
        const char* label;
        const char* assignments; // null: no project at all
        bool hidden;
    } cases[] = {
        {"no project", nullptr, false},
        {"no device assigned", "", true},
        {"a device the host does not know", R"({"var": 623, "value": "NOSUCHPART"})", true},
        {"a device without HPS", R"({"var": 623, "value": "SIMPART-1"})", true},
        {"a device with HPS", R"({"var": 623, "value": "simpart-hps"})", false},
    };
    for (const auto& row : cases)
    {
        standin::reset_all();
        std::string error;
        if (row.assignments != nullptr)
        {
            ASSERT_TRUE(standin::project::load_json(project_with(row.assignments, hps_parts), "/tmp", &error))
                << error;
        }
        SEDQ_TX_MANAGER manager(nullptr);
        SEDQ_VIEW view(nullptr, &manager);
        EXPECT_FALSE(view.hide_hps_trigger())
            << row.label << ": the wizard's view reads no settings by itself";
        view.on_settings_changed();
        EXPECT_EQ(view.hide_hps_trigger(), row.hidden) << row.label;
        EXPECT_FALSE(ACF_MANAGER::get_acf_manager()->is_read_locked())
            << row.label << ": the lock taken is released";
    }
}

TEST(sedq_view_settings, a_turn_of_the_hps_flag_refreshes_the_configuration_pane_once)
{
    load_device(R"({"32": 0})");
    SEDQ_TX_MANAGER manager(nullptr);
    SEDQ_VIEW view(nullptr, &manager);
    QSignalSpy spy(&manager, SIGNAL(updated(QObject*, int)));
    view.on_settings_changed();
    view.on_settings_changed();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION));
}

TEST(sedq_view_settings, a_lock_held_elsewhere_is_used_and_left_alone)
{
    load_device(R"({"32": 1})");
    ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
    ASSERT_TRUE(acf->write_lock(false));
    standin::clear_calls();
    SEDQ_TX_MANAGER manager(nullptr);
    SEDQ_VIEW view(nullptr, &manager);
    view.on_settings_changed();
    EXPECT_FALSE(view.hide_hps_trigger());
    EXPECT_TRUE(acf->is_write_locked());
    const std::vector<std::string> calls = standin::calls("acf");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "acf:read_lock()"), 0);
    acf->write_unlock(false);
}
