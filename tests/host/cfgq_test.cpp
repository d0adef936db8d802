// User-registry stand-in: presence versus defaults, read counting and the settings file.
#include "host/cfgq.h"
#include "host/standin/cfgq_control.h"
#include "host/standin/standin.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(cfgq, absent_values_are_reported_absent_and_present_ones_read_back)
{
    const CFGQ_REGISTRY_KEY key(32);
    QVariant value(QStringLiteral("untouched"));
    EXPECT_FALSE(key.get_value(CFGQ_SEDQ_SHOW_TIME_BARS_STR, &value));
    EXPECT_EQ(value.toString(), "untouched");

    standin::cfgq::set(32, CFGQ_SEDQ_SHOW_TIME_BARS_STR, false);
    standin::cfgq::set(32, CFGQ_SEDQ_NAME_WIDTH_STR, 140);
    ASSERT_TRUE(key.get_value(CFGQ_SEDQ_SHOW_TIME_BARS_STR, &value));
    EXPECT_FALSE(value.toBool());
    ASSERT_TRUE(key.get_value(CFGQ_SEDQ_NAME_WIDTH_STR, &value));
    EXPECT_EQ(value.toInt(), 140);
    EXPECT_FALSE(CFGQ_REGISTRY_KEY(33).get_value(CFGQ_SEDQ_NAME_WIDTH_STR, &value)) << "keys are separate";
    EXPECT_EQ(standin::cfgq::read_count(), 4);

    standin::cfgq::clear(32, CFGQ_SEDQ_NAME_WIDTH_STR);
    EXPECT_FALSE(key.get_value(CFGQ_SEDQ_NAME_WIDTH_STR, &value));
}

TEST(cfgq, key_names_are_their_own_names)
{
    EXPECT_STREQ(CFGQ_SEDQ_DISPLAY_MODE_STR, "CFGQ_SEDQ_DISPLAY_MODE_STR");
    EXPECT_STREQ(CFGQ_SEDQ_SHOW_DUPLICATE_BUTTONS_STR, "CFGQ_SEDQ_SHOW_DUPLICATE_BUTTONS_STR");
}

TEST(cfgq, stored_values_survive_in_the_settings_file)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("registry.ini");
    standin::cfgq::use_file(path);
    CFGQ_REGISTRY_KEY(32).set_value(CFGQ_SEDQ_ROWPP_STR, 57);
    CFGQ_REGISTRY_KEY(32).set_value(CFGQ_SEDQ_FIT_DATA_STR, true);

    standin::cfgq::clear_all();
    QVariant value;
    EXPECT_FALSE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_ROWPP_STR, &value));
    standin::cfgq::use_file(path); // as a new process would read it
    ASSERT_TRUE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_ROWPP_STR, &value));
    EXPECT_EQ(value.toInt(), 57);
    ASSERT_TRUE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_FIT_DATA_STR, &value));
    EXPECT_TRUE(value.toBool());
    standin::cfgq::use_file(QString());
}

TEST(cfgq, the_environment_names_the_file_of_a_fresh_registry)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("env.ini");
    standin::cfgq::use_file(path);
    CFGQ_REGISTRY_KEY(32).set_value(CFGQ_SEDQ_ALIGN_LEFT_STR, true);
    standin::cfgq::use_file(QString());

    setenv("CORVANE_STANDIN_REGISTRY", path.toLocal8Bit().constData(), 1);
    standin::reset_all();
    QVariant value;
    EXPECT_TRUE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_ALIGN_LEFT_STR, &value));
    EXPECT_EQ(standin::cfgq::file(), path);
    unsetenv("CORVANE_STANDIN_REGISTRY");
    standin::reset_all();
    EXPECT_FALSE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_ALIGN_LEFT_STR, &value));
}

// The file is the user's whole registry: storing a value rewrites this registry's key groups
// and leaves every other group and key of the file alone.
TEST(cfgq, storing_a_value_keeps_what_else_the_settings_file_holds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.ini");
    {
        QSettings other(path, QSettings::IniFormat);
        other.setValue("recent/project", "/work/top.qpf");
        other.setValue("key007/kept", 3); // not this registry's spelling of key 7
        other.setValue("key32/CFGQ_SEDQ_ROWPP_STR", 12);
        other.setValue("toplevel", "yes");
    }
    standin::cfgq::use_file(path);
    QVariant value;
    ASSERT_TRUE(CFGQ_REGISTRY_KEY(32).get_value(CFGQ_SEDQ_ROWPP_STR, &value));
    EXPECT_EQ(value.toInt(), 12);
    EXPECT_FALSE(CFGQ_REGISTRY_KEY(7).get_value("kept", &value));
    CFGQ_REGISTRY_KEY(32).set_value(CFGQ_SEDQ_FIT_DATA_STR, true);
    standin::cfgq::use_file(QString());

    const QSettings after(path, QSettings::IniFormat);
    EXPECT_EQ(after.value("recent/project").toString(), "/work/top.qpf");
    EXPECT_EQ(after.value("key007/kept").toInt(), 3);
    EXPECT_EQ(after.value("toplevel").toString(), "yes");
    EXPECT_EQ(after.value("key32/CFGQ_SEDQ_ROWPP_STR").toInt(), 12);
    EXPECT_TRUE(after.value("key32/CFGQ_SEDQ_FIT_DATA_STR").toBool());
}
