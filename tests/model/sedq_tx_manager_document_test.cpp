// Document life cycle: new, open (versions, stripped files, incremental routing), adopt, save
// (refusals, warnings, project assignments), close, and UI state through a save and an open.
#include "sedq_tx_manager_test_support.h"

#include "host/acf.h"
#include "host/standin/acf_control.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/standin/dev_control.h"
#include "host/standin/sdr_file_control.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_pages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include "sedq/model/sedq_repository.h"

namespace
{
const std::vector<int> OPEN_HINTS = {H(0x20000070), H(0x20000001), H(0x100), H(0x10000020)};
const std::vector<int> SAVE_HINTS = {H(0x2000000d), H(0x20000009)};

void newer_second_instance(SDR_DATA_SESSION& session)
{
    standin::sdr::set_instance_version_state(session.m_instances[1].get(), true, false);
}

void older_first_newer_second(SDR_DATA_SESSION& session)
{
    standin::sdr::set_instance_version_state(session.m_instances[0].get(), false, true);
    standin::sdr::set_instance_version_state(session.m_instances[1].get(), true, false);
}

void older_instance(SDR_DATA_SESSION& session)
{
    standin::sdr::set_instance_version_state(session.m_instances[0].get(), false, true);
}

void older_instance_with_incremental_route(SDR_DATA_SESSION& session)
{
    older_instance(session);
    standin::sdr::set_incremental_route(session.m_instances[0].get(), true, true);
}

void lock_mode_five(SDR_DATA_SESSION& session)
{
    session.m_global_data["lock mode"] = {5};
}

// One node on a clock, and two logs of eight samples: "first" and "second".
void two_logs(SDR_DATA_SESSION& session)
{
    SDR_DATA_INSTANCE* instance = session.m_instances[0].get();
    instance->get_global_signal_set()->edit_transient().clock_name = "clk";
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::add_node(trigger, {"a"});
    standin::sdr::make_log(trigger, {"first", 8, {"10100101"}});
    standin::sdr::make_log(trigger, {"second", 8, {"01011010"}});
}

// Flips a bit in the samples of the log whose payload is the `which`-th of the file (from 0).
void flip_samples(const std::string& file, int which)
{
    QFile data(QString::fromStdString(file));
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    const QByteArray bytes = data.readAll();
    int at = -1;
    for (int i = 0; i <= which; ++i)
        at = bytes.indexOf("VTLP", at + 1);
    ASSERT_GE(at, 0);
    ASSERT_TRUE(data.seek(at + 40));
    ASSERT_TRUE(data.write(QByteArray(1, char(bytes[at + 40] ^ 0x04))) == 1);
}

// One node on a clock and six logs of 3 MiB of samples: their checksums are taken on another
// thread, which goes on after the open.
void six_large_logs(SDR_DATA_SESSION& session)
{
    SDR_DATA_INSTANCE* instance = session.m_instances[0].get();
    instance->get_global_signal_set()->edit_transient().clock_name = "clk";
    SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
    standin::sdr::add_node(trigger, {"a"});
    for (int l = 0; l < 6; ++l) {
        SDR_DATA_LOG* log = standin::sdr::make_log(trigger, {"log_" + std::to_string(l + 1), 8, {"10100101"}});
        auto payload = std::make_shared<SDR_LOG_PAYLOAD>();
        payload->depth = 1 << 20;
        payload->channel_count = 24;
        const int row = payload->row_bytes();
        payload->channel_bits = QByteArray(24 * row, '\0');
        for (int i = 0; i < payload->channel_bits.size(); ++i)
            payload->channel_bits[i] = char((i * 37 + l) & 0xff);
        payload->valid_bits = QByteArray(row, char(0xff));
        payload->trigger_bits = QByteArray(row, '\0');
        payload->break_bits = QByteArray(row, '\0');
        payload->connected = QByteArray(24, '\1');
        log->m_payload = payload;
    }
}

std::vector<std::string> log_names(SEDQ_TX_MANAGER* manager)
{
    std::vector<std::string> names;
    const SDR_DATA_TRIGGER* trigger = manager->get_tx_session()->get_trigger_at(0, false)->get_data_trigger();
    for (int i = 0; i < trigger->get_num_logs(); ++i)
        names.push_back(trigger->get_log_at(i)->get_name());
    return names;
}

std::string absolute(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}
} // namespace

// ---- new -----------------------------------------------------------------------------------------

TEST_F(sedq_tx_manager_test, new_document_makes_instance_zero_current_with_logging_off)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x20000070), H(0x20000001), H(0x10000020)}));
    EXPECT_EQ(current_index(), 0);
    EXPECT_FALSE(manager->is_empty());
    EXPECT_FALSE(manager->get_logging());
    EXPECT_EQ(manager->get_num_instances(), 1);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_test, new_document_fails_and_stays_empty_when_the_repository_refuses)
{
    SEDQ_TX_MANAGER* holder = make_manager(true);
    ASSERT_TRUE(holder->new_document(path("a.vtl").c_str()));
    SEDQ_TX_MANAGER other(nullptr);
    EXPECT_FALSE(other.new_document(path("a.vtl").c_str())) << "the path is another document's";
    EXPECT_EQ(other.get_tx_session(), nullptr);
    EXPECT_TRUE(other.is_empty());
    EXPECT_EQ(other.get_num_instances(), 0);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"this->m_tx_session->create_session(lpszPathName)"});
}

// ---- open ----------------------------------------------------------------------------------------

TEST_F(sedq_tx_manager_test, opening_a_current_file_sends_the_four_open_hints)
{
    const std::string file = write_document("a.vtl", 2);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    bool renamed = true;
    std::string new_name = "unchanged";
    ASSERT_TRUE(manager->open_document(file.c_str(), &renamed, &new_name));
    EXPECT_FALSE(renamed);
    EXPECT_EQ(new_name, "unchanged");
    EXPECT_EQ(take_hints(), OPEN_HINTS);
    EXPECT_TRUE(shown_keys().empty());
    EXPECT_EQ(current_index(), 0);
    EXPECT_EQ(manager->get_num_instances(), 2);
}

TEST_F(sedq_tx_manager_test, a_newer_instance_refuses_the_file_and_leaves_it_untouched)
{
    struct row
    {
        const char* name;
        void (*prepare)(SDR_DATA_SESSION&);
    };
    const row rows[] = {{"current then newer",
                         [](SDR_DATA_SESSION& session) {
                             newer_second_instance(session);
                             session.m_global_data["lock mode"] = {1};
                         }},
                        {"older then newer", &older_first_newer_second}};
    for (const row& r : rows)
    {
        standin::msg::reset();
        const std::string file = write_document(std::string(r.name) + ".vtl", 2, r.prepare);
        SEDQ_TX_MANAGER* manager = make_manager(true, QUI_FW_STATE_MAIN_WINDOW);
        EXPECT_FALSE(manager->open_document(file.c_str(), nullptr, nullptr)) << r.name;
        EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_NEWER_VERSION"}) << r.name;
        EXPECT_TRUE(manager->is_empty()) << r.name;
        EXPECT_EQ(manager->get_tx_session(), nullptr) << r.name << ": nothing was held, nothing is";
        EXPECT_TRUE(take_hints().empty()) << r.name;
        EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER) << r.name << ": the refused file's is not taken";
        EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(file.c_str()), nullptr) << r.name;
    }
}

// A file that cannot be opened, or is refused, leaves the document that was open as it was:
// its session, its edits, its modified state, its lock mode and its current instance; the
// document still saves, and the file it failed to open can be opened again later.
TEST_F(sedq_tx_manager_test, a_file_that_does_not_open_leaves_the_open_document_and_its_edits)
{
    static std::string original;
    original = path("original.vtl");
    const std::string damaged = path("damaged.vtl");
    {
        QFile file(QString::fromStdString(damaged));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("plain words, not an archive");
    }
    struct row
    {
        const char* label;
        std::string file;
        std::vector<std::string> keys;
    };
    const std::string held = path("held.vtl");
    const row rows[] = {
        {"missing", path("missing.vtl"), {"OSEDQ_FILE_NOT_FOUND"}},
        {"a folder", path(""), {"OSEDQ_INVALID_VTL_FILE_STRUCTURE"}},
        {"a device", "/dev/null", {"OSEDQ_INVALID_VTL_FILE_STRUCTURE"}},
        {"not an archive", damaged, {"OSEDQ_INVALID_VTL_FILE_STRUCTURE"}},
        {"a newer instance", write_document("newer.vtl", 2, &newer_second_instance), {"OSEDQ_NEWER_VERSION"}},
        {"a stripped file that cannot be renamed",
         write_document("stripped.vtl", 1, [](SDR_DATA_SESSION& session) { standin::sdr::set_stripped(&session, original); }),
         {"OSEDQ_AUTO_RENAME_STRIPPED", "OSEDQ_AUTO_RENAME_STRIPPED_ERR"}},
        {"the open document's own file, damaged since", held, {"OSEDQ_INVALID_VTL_FILE_STRUCTURE"}},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.label);
        standin::msg::reset();
        standin::sdr::fail_rename_stripped(true);
        write_document("held.vtl", 2, [](SDR_DATA_SESSION& session) { session.m_global_data["lock mode"] = {1}; });
        SEDQ_TX_MANAGER* manager = make_manager(true);
        ASSERT_TRUE(manager->open_document(held.c_str(), nullptr, nullptr));
        manager->set_instance(1);
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
            ASSERT_TRUE(manager->insert_node(QStringLiteral("top|edited"), SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
        }
        const int nodes = manager->get_node_count(SEDQ_CURRENT);
        const SDR_TX_SESSION* session = manager->get_tx_session();
        ASSERT_TRUE(session->is_modified());
        if (r.file == held)
            QFile::resize(QString::fromStdString(held), 10);
        standin::msg::reset();
        take_hints();

        EXPECT_FALSE(manager->open_document(r.file.c_str(), nullptr, nullptr));
        EXPECT_EQ(shown_keys(), r.keys);
        EXPECT_EQ(manager->get_tx_session(), session);
        EXPECT_TRUE(session->is_modified());
        EXPECT_EQ(current_index(), 1);
        EXPECT_EQ(manager->get_node_count(SEDQ_CURRENT), nodes);
        EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
        EXPECT_TRUE(take_hints().empty());
        EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(held.c_str()),
                  session->get_data_session()) << "the document still holds its file";

        standin::msg::reset();
        ASSERT_TRUE(manager->save_document(held.c_str()));
        manager->close_document();
        ASSERT_TRUE(manager->open_document(held.c_str(), nullptr, nullptr));
        manager->set_instance(1);
        EXPECT_EQ(manager->get_node_count(SEDQ_CURRENT), nodes) << "the edit was saved";
    }
    standin::sdr::fail_rename_stripped(false);
}

// Damaged samples are named at open, and every save keeps them as stored: the saved file opens
// with the same damaged log, named again.
TEST_F(sedq_tx_manager_test, damaged_logs_are_named_at_open_and_kept_by_every_save)
{
    const std::string file = write_document("damaged.vtl", 1, &two_logs);
    flip_samples(file, 1);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    for (const std::string& name : {file, path("saved as.vtl")})
    {
        SCOPED_TRACE(name);
        standin::msg::reset();
        ASSERT_TRUE(manager->open_document(name.c_str(), nullptr, nullptr));
        ASSERT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_DAMAGED_LOGS"});
        const standin::msg::message_record& shown = standin::msg::shown().front();
        ASSERT_EQ(shown.children.size(), 1u);
        EXPECT_EQ(shown.children[0].text.rfind("Instance \"auto_vantrel_0\", log \"second\": " + name + ": logs/", 0),
                  0u) << shown.children[0].text;
        EXPECT_NE(shown.children[0].text.find("CRC error"), std::string::npos) << shown.children[0].text;
        EXPECT_EQ(log_names(manager), (std::vector<std::string>{"first", "second"}));
        standin::msg::reset();
        ASSERT_TRUE(manager->save_document(path("saved as.vtl").c_str()));
        EXPECT_TRUE(shown_keys().empty());
    }
}

// The samples of a large document are checked after the open: the damaged log is named once
// they are, from the event loop, and a save keeps it as stored. A document closed before its
// check ends is never reported afterwards.
TEST_F(sedq_tx_manager_test, damaged_logs_of_a_large_document_are_named_once_checked)
{
    const std::string file = write_document("large.vtl", 1, &six_large_logs);
    flip_samples(file, 2);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    standin::msg::reset();
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    QElapsedTimer waited;
    waited.start();
    while (standin::msg::shown().empty() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_DAMAGED_LOGS"});
    const standin::msg::message_record& shown = standin::msg::shown().front();
    ASSERT_EQ(shown.children.size(), 1u);
    EXPECT_EQ(shown.children[0].text.rfind("Instance \"auto_vantrel_0\", log \"log_3\": " + file, 0), 0u)
        << shown.children[0].text;
    EXPECT_NE(shown.children[0].text.find("CRC error"), std::string::npos) << shown.children[0].text;
    QCoreApplication::processEvents();
    EXPECT_EQ(standin::msg::shown().size(), 1u) << "named once";

    standin::msg::reset();
    ASSERT_TRUE(manager->save_document(path("saved.vtl").c_str()));
    EXPECT_TRUE(shown_keys().empty());
    manager->close_document();
    for (const std::string& name : {file, path("saved.vtl")}) {
        SCOPED_TRACE(name);
        standin::msg::reset();
        ASSERT_TRUE(manager->open_document(name.c_str(), nullptr, nullptr));
        const size_t at_open = standin::msg::shown().size();
        manager->close_document();
        QCoreApplication::processEvents();
        EXPECT_EQ(standin::msg::shown().size(), at_open) << "nothing named after the close";
    }
}

// Samples the opened file no longer holds (another program changed it in place) never block a
// save: the user is asked, Cancel saves nothing and keeps the document as it is, OK saves it
// without those logs and keeps every other log with its samples. A question nobody sees (a
// batch run) is never answered OK for the user.
TEST_F(sedq_tx_manager_test, logs_a_changed_file_no_longer_holds_are_left_out_only_when_the_user_agrees)
{
    const std::string file = write_document("changed.vtl", 1, &two_logs);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    flip_samples(file, 0);
    QFile changed(QString::fromStdString(file));
    ASSERT_TRUE(changed.open(QIODevice::ReadOnly));
    const QByteArray bytes = changed.readAll();
    const struct
    {
        std::string target;
        bool cancel; // false: nobody answers
    } refusals[] = {{file, true}, {path("other.vtl"), true}, {file, false}};
    for (const auto& [target, cancel] : refusals)
    {
        SCOPED_TRACE(target + (cancel ? ", Cancel" : ", nobody answers"));
        standin::msg::reset();
        if (cancel)
            standin::msg::push_answer(2);
        EXPECT_FALSE(manager->save_document(target.c_str()));
        ASSERT_EQ(shown_keys(), std::vector<std::string>{"OCSEDQ_SAVE_WITHOUT_UNREADABLE_LOGS"});
        ASSERT_EQ(standin::msg::shown().front().children.size(), 1u);
        EXPECT_NE(standin::msg::shown().front().children[0].text.find(
                      "log \"first\": " + file + ": logs/0.bin: the file has changed since it was opened"),
                  std::string::npos) << standin::msg::shown().front().children[0].text;
        EXPECT_EQ(log_names(manager), (std::vector<std::string>{"first", "second"}));
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("other.vtl"))));
    changed.seek(0);
    EXPECT_EQ(changed.readAll(), bytes) << "nothing was written";

    standin::msg::reset();
    standin::msg::push_answer(1);
    ASSERT_TRUE(manager->save_document(file.c_str()));
    EXPECT_EQ(log_names(manager), std::vector<std::string>{"second"});
    manager->close_document();
    standin::msg::reset();
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_TRUE(shown_keys().empty());
    ASSERT_EQ(log_names(manager), std::vector<std::string>{"second"});
    const SDR_DATA_LOG* second = manager->get_tx_session()->get_trigger_at(0, false)->get_data_trigger()->get_log_at(0);
    EXPECT_TRUE(second->get_bit(0, 1));
    EXPECT_FALSE(second->get_bit(0, 0));
}

// Opening the file the window holds reads it anew in place of the edited document.
TEST_F(sedq_tx_manager_test, opening_the_held_file_again_reads_it_anew)
{
    const std::string held = write_document("held.vtl", 2);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(held.c_str(), nullptr, nullptr));
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        ASSERT_TRUE(manager->insert_node(QStringLiteral("top|edited"), SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    }
    const int edited = manager->get_node_count(SEDQ_CURRENT);
    take_hints();
    ASSERT_TRUE(manager->open_document(held.c_str(), nullptr, nullptr));
    EXPECT_EQ(take_hints(), OPEN_HINTS);
    EXPECT_EQ(manager->get_node_count(SEDQ_CURRENT), edited - 1);
    EXPECT_FALSE(manager->get_tx_session()->is_modified());
    EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_session_opened(held.c_str()),
              manager->get_tx_session()->get_data_session());
}

// The repository's reason for refusing a file or a save reaches the user as the detail of the
// message, and the host application can report it too.
TEST_F(sedq_tx_manager_test, a_refused_open_or_save_shows_the_reason)
{
    struct row
    {
        const char* label;
        std::string file;
        const char* key;
        std::string text;
        const char* reason;
    };
    const std::string damaged = path("damaged.vtl");
    {
        QFile file(QString::fromStdString(damaged));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("plain words, not an archive");
    }
    const std::string missing = path("missing.vtl");
    const row rows[] = {
        {"damaged", damaged, "OSEDQ_INVALID_VTL_FILE_STRUCTURE", "Invalid Vantrel File \"" + damaged + "\"",
         "not a ZIP archive"},
        {"missing", missing, "OSEDQ_FILE_NOT_FOUND", "Cannot find Vantrel File \"" + missing + "\"",
         "the file does not exist"},
    };
    for (const row& r : rows)
    {
        standin::msg::reset();
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_FALSE(manager->open_document(r.file.c_str(), nullptr, nullptr)) << r.label;
        ASSERT_EQ(standin::msg::shown().size(), 1u) << r.label;
        const standin::msg::message_record& shown = standin::msg::shown().front();
        EXPECT_EQ(shown.help_key, r.key);
        EXPECT_EQ(shown.text, r.text);
        ASSERT_EQ(shown.children.size(), 1u) << r.label;
        EXPECT_EQ(shown.children[0].text.rfind(r.file + ": ", 0), 0u) << shown.children[0].text;
        EXPECT_NE(shown.children[0].text.find(r.reason), std::string::npos) << shown.children[0].text;
        EXPECT_EQ(SDR_DATA_MANAGER::get_data_repository_manager()->get_last_error(), shown.children[0].text);
    }

    standin::msg::reset();
    const std::string file = write_document("good.vtl");
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_TRUE(SDR_DATA_MANAGER::get_data_repository_manager()->get_last_error().empty());
    standin::sdr_file::fail_next_save(standin::sdr_file::save_fault::rename);
    EXPECT_FALSE(manager->save_document(file.c_str()));
    ASSERT_EQ(shown_keys().back(), "OSEDQ_CANNOT_SAVE");
    ASSERT_EQ(standin::msg::shown().back().children.size(), 1u);
    EXPECT_EQ(standin::msg::shown().back().children[0].text, file + ": cannot replace the file: refused");
}

TEST_F(sedq_tx_manager_test, a_stripped_file_is_renamed_to_its_original_name)
{
    static std::string original;
    original = path("original.vtl");
    const std::string file = write_document("stripped.vtl", 1, [](SDR_DATA_SESSION& session) {
        standin::sdr::set_stripped(&session, original);
    });
    SEDQ_TX_MANAGER* manager = make_manager(true);
    bool renamed = false;
    std::string new_name;
    ASSERT_TRUE(manager->open_document(file.c_str(), &renamed, &new_name));
    EXPECT_TRUE(renamed);
    EXPECT_EQ(absolute(new_name), absolute(original));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_AUTO_RENAME_STRIPPED"});
    EXPECT_EQ(take_hints(), OPEN_HINTS);
}

TEST_F(sedq_tx_manager_test, a_stripped_file_that_cannot_be_renamed_is_refused)
{
    static std::string original;
    original = path("original.vtl");
    const std::string file = write_document("stripped.vtl", 1, [](SDR_DATA_SESSION& session) {
        standin::sdr::set_stripped(&session, original);
    });
    standin::sdr::fail_rename_stripped(true);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    bool renamed = true;
    EXPECT_FALSE(manager->open_document(file.c_str(), &renamed, nullptr));
    EXPECT_FALSE(renamed);
    EXPECT_EQ(shown_keys(), (std::vector<std::string>{"OSEDQ_AUTO_RENAME_STRIPPED", "OSEDQ_AUTO_RENAME_STRIPPED_ERR"}));
    EXPECT_TRUE(manager->is_empty());
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(sedq_tx_manager_test, a_stripped_file_with_a_newer_instance_is_renamed_then_refused)
{
    static std::string original;
    original = path("original.vtl");
    const std::string file = write_document("stripped.vtl", 2, [](SDR_DATA_SESSION& session) {
        standin::sdr::set_stripped(&session, original);
        newer_second_instance(session);
    });
    SEDQ_TX_MANAGER* manager = make_manager(true);
    bool renamed = false;
    EXPECT_FALSE(manager->open_document(file.c_str(), &renamed, nullptr));
    EXPECT_TRUE(renamed);
    EXPECT_EQ(shown_keys(), (std::vector<std::string>{"OSEDQ_AUTO_RENAME_STRIPPED", "OSEDQ_NEWER_VERSION"}));
    EXPECT_TRUE(manager->is_empty());
}

TEST_F(sedq_tx_manager_test, an_old_file_answered_yes_is_upgraded_and_marked_modified)
{
    const std::string file = write_document("old.vtl", 1, &older_instance);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    standin::msg::push_answer(6);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"YNSEDQ_UPDATE_VERSION"});
    EXPECT_TRUE(manager->get_tx_instance()->is_current_version());
    std::vector<int> expected = {H(0x80000020)};
    expected.insert(expected.end(), OPEN_HINTS.begin(), OPEN_HINTS.end());
    EXPECT_EQ(take_hints(), expected);
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_TRUE(standin::msg::posted().empty());
}

TEST_F(sedq_tx_manager_test, an_old_file_answered_no_opens_unchanged)
{
    const std::string file = write_document("old.vtl", 1, &older_instance);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    standin::msg::push_answer(7);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_FALSE(manager->get_tx_instance()->is_current_version());
    EXPECT_EQ(take_hints(), OPEN_HINTS);
    EXPECT_FALSE(m_frame->isWindowModified());
}

TEST_F(sedq_tx_manager_test, upgrading_a_file_that_uses_incremental_routing_warns_per_trigger)
{
    const std::string file = write_document("old.vtl", 1, &older_instance_with_incremental_route);
    SEDQ_TX_MANAGER* manager = make_manager(true);
    standin::msg::push_answer(6);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_EQ(shown_keys(), (std::vector<std::string>{"YNSEDQ_UPDATE_VERSION", "OSEDQ_OLD_INCREMENTAL_ROUTE_USED"}));
    ASSERT_EQ(standin::msg::posted().size(), 1u);
    EXPECT_EQ(standin::msg::posted()[0].help_key, "WSEDQ_OLD_INCREMENTAL_ROUTE_USED_SYS");
    EXPECT_FALSE(data_trigger(0)->is_using_incremental_route()) << "the upgrade clears the feature";
}

TEST_F(sedq_tx_manager_test, stored_lock_mode_replaces_the_managers_one_and_bad_values_mean_all_changes)
{
    const std::string plain = write_document("plain.vtl");
    SEDQ_TX_MANAGER* manager = make_manager(true, QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_TRUE(manager->open_document(plain.c_str(), nullptr, nullptr));
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER);

    const std::string five = write_document("five.vtl", 1, &lock_mode_five);
    ASSERT_TRUE(manager->open_document(five.c_str(), nullptr, nullptr));
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
}

TEST_F(sedq_tx_manager_test, adopting_a_wizard_session_never_owns_it)
{
    SDR_TX_SESSION* session = new SDR_TX_SESSION(new SEDQ_SESSION_OBJECT, true);
    ASSERT_TRUE(session->create_session(path("wizard.vtl").c_str()));
    {
        SEDQ_TX_MANAGER wizard(nullptr);
        ASSERT_TRUE(wizard.open_document(session));
        EXPECT_EQ(wizard.get_tx_session(), session);
        EXPECT_FALSE(wizard.is_empty());
        wizard.close_document();
        EXPECT_EQ(wizard.get_tx_session(), nullptr);
    }
    EXPECT_EQ(session->get_num_instances(), 1) << "the session survives its adopter";
    session->close_session();
    delete session;
}

TEST_F(sedq_tx_manager_test, adopting_a_session_closes_the_managers_own_document)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    ASSERT_TRUE(manager->new_document(path("own.vtl").c_str()));
    SDR_DATA_MANAGER* repository = SDR_DATA_MANAGER::get_data_repository_manager();
    ASSERT_NE(repository->get_session_opened(path("own.vtl").c_str()), nullptr);

    SDR_TX_SESSION* session = new SDR_TX_SESSION(new SEDQ_SESSION_OBJECT, true);
    ASSERT_TRUE(session->create_session(path("wizard.vtl").c_str()));
    ASSERT_TRUE(manager->open_document(session));
    EXPECT_EQ(repository->get_session_opened(path("own.vtl").c_str()), nullptr) << "the own document is closed";
    EXPECT_EQ(manager->get_tx_session(), session);
    EXPECT_EQ(current_index(), 0);
    manager->close_document();
    session->close_session();
    delete session;
}

// ---- save ----------------------------------------------------------------------------------------

TEST_F(sedq_tx_manager_test, save_without_a_document_returns_false)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    EXPECT_FALSE(manager->save_document(path("a.vtl").c_str()));
    EXPECT_TRUE(internal_errors().empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("a.vtl"))));
}

TEST_F(sedq_tx_manager_test, save_while_acquiring_writes_nothing)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->set_instance_acq_state(0, SEDQ_ACQ_STATE_WAITING_FOR_CLOCK);
    take_hints();
    EXPECT_FALSE(manager->save_document(path("a.vtl").c_str()));
    EXPECT_FALSE(manager->save_modified());
    EXPECT_EQ(shown_keys(), (std::vector<std::string>{"OSEDQ_CANT_CLOSE_VTL_FILE", "OSEDQ_CANT_CLOSE_VTL_FILE"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("a.vtl"))));
    EXPECT_TRUE(take_hints().empty());
    manager->set_instance_acq_state(0, SEDQ_ACQ_STATE_NOT_RUNNING | SEDQ_ACQ_STATE_POWERUP);
    EXPECT_TRUE(manager->save_modified());
}

TEST_F(sedq_tx_manager_test, save_warns_about_empty_inputs_and_still_writes)
{
    struct row
    {
        const char* name;
        std::vector<SDR_DATA_WIRE_CAPTURE_TYPE> nodes;
        std::string text; // "" = no warning
    };
    const row rows[] = {
        {"no nodes", {}, "Input \"Data and Trigger\" is empty"},
        {"data only", {SDR_WTYPE_DATA_ONLY}, "Input \"Trigger\" is empty"},
        {"trigger only", {SDR_WTYPE_TRIGGER_ONLY}, "Input \"Data\" is empty"},
        {"both", {SDR_WTYPE_DATA_ONLY, SDR_WTYPE_TRIGGER_ONLY}, ""},
    };
    int n = 0;
    for (const row& r : rows)
    {
        standin::msg::reset();
        SEDQ_TX_MANAGER* manager = make_manager(true);
        const std::string file = path("save" + std::to_string(n++) + ".vtl");
        ASSERT_TRUE(manager->new_document(file.c_str()));
        SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("clk", false);
        int k = 0;
        for (SDR_DATA_WIRE_CAPTURE_TYPE capture : r.nodes)
            standin::sdr::add_node(data_trigger(), {"n" + std::to_string(k++), SDR_STYPE_PLAIN, capture});
        manager->refresh_tx_cache();
        take_hints();
        EXPECT_TRUE(manager->save_document(file.c_str())) << r.name;
        std::vector<std::string> texts;
        for (const auto& record : standin::msg::shown())
            texts.push_back(record.text);
        EXPECT_EQ(texts, r.text.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.text}) << r.name;
        EXPECT_EQ(take_hints(), SAVE_HINTS) << r.name;
        EXPECT_TRUE(QFile::exists(QString::fromStdString(file))) << r.name;
    }
}

TEST_F(sedq_tx_manager_test, save_asks_for_a_clock_when_nodes_are_used_without_one)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    standin::sdr::add_node(data_trigger(), {"n0"});
    EXPECT_TRUE(manager->save_document(path("a.vtl").c_str()));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM"});
}

TEST_F(sedq_tx_manager_test, save_to_a_path_open_in_another_document_is_refused)
{
    SEDQ_TX_MANAGER other(nullptr);
    ASSERT_TRUE(other.new_document(path("b.vtl").c_str()));
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    EXPECT_FALSE(manager->save_document(path("b.vtl").c_str()));
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_SAVE_TO_OPEN_FILE"});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("b.vtl"))));
}

TEST_F(sedq_tx_manager_test, a_failed_write_keeps_the_document_modified)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->set_instance_enabled(-1, false);
    standin::sdr::fail_next_save();
    standin::msg::reset();
    take_hints();
    EXPECT_FALSE(manager->save_document(path("a.vtl").c_str()));
    EXPECT_EQ(shown_keys(), (std::vector<std::string>{"OSEDQ_ZERO_INPUT", "OSEDQ_CANNOT_SAVE"}));
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_TRUE(manager->get_tx_session()->is_modified());
    EXPECT_EQ(take_hints(), SAVE_HINTS);
}

TEST_F(sedq_tx_manager_test, a_successful_save_clears_the_window_mark)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->set_instance_enabled(-1, false);
    ASSERT_TRUE(m_frame->isWindowModified());
    EXPECT_TRUE(manager->save_document(path("a.vtl").c_str()));
    EXPECT_FALSE(m_frame->isWindowModified());
    EXPECT_FALSE(manager->get_tx_session()->is_modified());
}

class sedq_tx_manager_project_test : public sedq_tx_manager_test
{
protected:
    void SetUp() override
    {
        sedq_tx_manager_test::SetUp();
        standin::acf::set_project(true, m_dir.path().toStdString());
        standin::acf::set_assignment(ACF_DEVICE_FAMILY, "Halcyte");
        make_manager(true);
        ASSERT_TRUE(m_manager->new_document(path("a.vtl").c_str()));
        // A clock and a node, so that the only message a save shows is the project's.
        SEDQ_REPOSITORY::signal_nodes(m_manager.get(), -1)->set_clock("clk", false);
        standin::sdr::add_node(data_trigger(), {"n0"});
        m_manager->refresh_tx_cache();
        standin::msg::reset();
    }

    // Saves the document to the path it was created under.
    bool save() { return m_manager->save_document(path("a.vtl").c_str()); }

};

TEST_F(sedq_tx_manager_project_test, yes_enables_the_file_for_the_project_keeping_arguments)
{
    standin::acf::set_assignment(ACF_VTL_FILE, "other.vtl", {{0, "rev"}, {14, "x"}});
    standin::msg::push_answer(6);
    EXPECT_TRUE(save());
    EXPECT_EQ(shown_keys(), std::vector<std::string>{"YNCSEDQ_ENABLE_CURRENT_VANTREL_FILE_ON_SAVE"});
    EXPECT_EQ(standin::msg::shown().back().text,
              "Do you want to enable Vantrel File \"a.vtl\" for the current project?");
    EXPECT_EQ(standin::acf::assignment_value(ACF_ENABLE_VANTREL), "On");
    EXPECT_EQ(standin::acf::assignment_value(ACF_VTL_FILE), "a.vtl");
    EXPECT_EQ(standin::acf::assignment_value(ACF_VTL_FILE_NAME), "a.vtl");
    EXPECT_EQ(standin::acf::assignment_arguments(ACF_VTL_FILE), (std::map<int, std::string>{{0, "rev"}, {14, "x"}}));
    EXPECT_EQ(standin::acf::commit_count(), 1);
    EXPECT_FALSE(ACF_MANAGER::get_acf_manager()->is_write_locked());
    EXPECT_FALSE(ACF_MANAGER::get_acf_manager()->is_read_locked());
    EXPECT_FALSE(m_frame->isWindowModified()) << "the project's change does not mark the saved document";
}

// Yes was written into the project before the file: a save that then failed left the project
// naming a file that was never written.
TEST_F(sedq_tx_manager_project_test, yes_to_a_file_that_cannot_be_written_leaves_the_project_as_it_was)
{
    standin::acf::set_assignment(ACF_ENABLE_VANTREL, "On");
    standin::acf::set_assignment(ACF_VTL_FILE, "other.vtl");
    standin::msg::push_answer(6);
    EXPECT_FALSE(m_manager->save_document(path("no_such_folder/a.vtl").c_str()));
    EXPECT_EQ(shown_keys(),
              (std::vector<std::string>{"YNCSEDQ_ENABLE_CURRENT_VANTREL_FILE_ON_SAVE", "OSEDQ_CANNOT_SAVE"}));
    EXPECT_EQ(standin::acf::assignment_value(ACF_VTL_FILE), "other.vtl");
    EXPECT_FALSE(standin::acf::has_assignment(ACF_VTL_FILE_NAME));
    EXPECT_EQ(standin::acf::commit_count(), 0);
}

TEST_F(sedq_tx_manager_project_test, no_saves_without_assignments_and_cancel_saves_nothing)
{
    standin::msg::push_answer(7);
    EXPECT_TRUE(save());
    EXPECT_FALSE(standin::acf::has_assignment(ACF_ENABLE_VANTREL));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("a.vtl"))));

    QFile::remove(QString::fromStdString(path("a.vtl")));
    standin::msg::push_answer(2);
    EXPECT_FALSE(save());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("a.vtl"))));
    EXPECT_EQ(standin::acf::commit_count(), 0);
}

TEST_F(sedq_tx_manager_project_test, a_project_that_already_uses_the_file_is_not_asked)
{
    standin::acf::set_assignment(ACF_ENABLE_VANTREL, "on");
    standin::acf::set_assignment(ACF_VTL_FILE, "a.vtl");
    standin::msg::set_strict(true);
    EXPECT_TRUE(save());
    EXPECT_TRUE(standin::msg::unexpected_questions().empty());
    EXPECT_TRUE(shown_keys().empty());
}

TEST_F(sedq_tx_manager_project_test, an_unsupported_device_is_told_and_the_file_saved)
{
    struct row
    {
        const char* name;
        const char* family; // null = no assignment
    };
    const row rows[] = {{"family without the analyzer", "Legacy"}, {"unknown family", "Nonesuch"}, {"none", nullptr}};
    for (const row& r : rows)
    {
        standin::msg::reset();
        if (r.family)
            standin::acf::set_assignment(ACF_DEVICE_FAMILY, r.family);
        else
            standin::acf::clear_assignment(ACF_DEVICE_FAMILY);
        EXPECT_TRUE(save()) << r.name;
        EXPECT_EQ(shown_keys(), std::vector<std::string>{"OSEDQ_VANTREL_NOT_SUPPORTED"}) << r.name;
    }
}

// ---- UI state through a save and an open ------------------------------------------------------

TEST_F(sedq_tx_manager_test, ui_state_lock_mode_and_current_instance_survive_save_and_open)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    const std::string file = path("state.vtl");
    ASSERT_TRUE(manager->new_document(file.c_str()));
    ASSERT_TRUE(manager->add_instance());
    // The window keeps its own size and panes in the document it shows when that is saved.
    m_frame->resize(800, 600);
    manager->get_action(AFCQ_SEDQ_JTAG_PANE_ACTION, QVariant())->setChecked(false);
    manager->set_int_state(1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
    manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    ASSERT_TRUE(manager->save_document(file.c_str()));
    manager->close_document();
    EXPECT_TRUE(manager->is_empty());

    manager = make_manager(true, QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    EXPECT_EQ(current_index(), 1);
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
    EXPECT_EQ(manager->get_size_state("frame size", QSize()), QSize(800, 600));
    EXPECT_FALSE(manager->get_visible_state("jtag widget visible", true));
    EXPECT_TRUE(manager->is_instance_data_mode());
    EXPECT_FALSE(manager->get_tx_session()->is_modified());
    EXPECT_TRUE(internal_errors().empty());
}
