// Samples left in the file at open: they are read when first asked for, a save still writes
// every one of them, and samples that can no longer be read are reported, never dropped.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_checksums.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace sdr_file_test;

namespace
{
class sdr_file_lazy : public ::testing::Test
{
protected:
    void SetUp() override { standin::msg::reset(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    static std::string s(const QString& text) { return text.toStdString(); }

    // The rich document saved as `name`, and opened again.
    std::unique_ptr<SDR_DATA_SESSION> saved_and_opened(const QString& name)
    {
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*make_rich_session("rich"), s(path(name)), &error)) << error;
        auto session = sdr_read_session_file(s(path(name)), &error);
        EXPECT_NE(session, nullptr) << error;
        return session;
    }

    // The payload entries of an archive.
    static QMap<QString, QByteArray> payloads(const QString& file)
    {
        QMap<QString, QByteArray> entries = read_archive(file);
        for (auto it = entries.begin(); it != entries.end();)
            it = it.key().startsWith("logs/") ? std::next(it) : entries.erase(it);
        return entries;
    }

    static std::vector<SDR_DATA_LOG*> logs(const SDR_DATA_SESSION& session)
    {
        std::vector<SDR_DATA_LOG*> all;
        for (const auto& instance : session.m_instances)
            for (const auto& set : instance->m_signal_sets)
                for (const auto& trigger : set->m_triggers)
                    for (const auto& log : trigger->m_logs)
                        all.push_back(log.get());
        return all;
    }

    // Six logs of a megabyte of samples each: enough for their checksums to be taken on a thread.
    static std::unique_ptr<SDR_DATA_SESSION> large_session()
    {
        auto session = make_small_session("large");
        SDR_DATA_TRIGGER* trigger = session->m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
        trigger->m_logs.clear();
        for (int l = 0; l < 6; ++l) {
            trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(l + 1)));
            trigger->m_logs.back()->m_payload = make_payload(1 << 20, 24, l);
        }
        return session;
    }

    static std::vector<std::string> posted_errors()
    {
        std::vector<std::string> texts;
        for (const auto& message : standin::msg::posted())
            if (message.kind == "E")
                texts.push_back(message.text);
        return texts;
    }

    QTemporaryDir m_dir;
};

// Opening answers a log's counts without reading its rows; saving writes the same bytes
// whether the samples were read, partly read or never read, into another file or over the
// one they are still read from.
TEST_F(sdr_file_lazy, saving_writes_every_payload_as_opened)
{
    struct save_case
    {
        const char* label;
        bool read_one_first;
        bool over_itself;
    };
    const save_case cases[] = {{"nothing read, another file", false, false},
                               {"nothing read, over itself", false, true},
                               {"one log read, another file", true, false},
                               {"one log read, over itself", true, true}};
    for (const save_case& c : cases) {
        SCOPED_TRACE(c.label);
        auto session = saved_and_opened("original.vtl");
        ASSERT_NE(session, nullptr);
        const QMap<QString, QByteArray> before = payloads(path("original.vtl"));
        ASSERT_FALSE(before.isEmpty());
        std::vector<SDR_DATA_LOG*> with_samples;
        for (SDR_DATA_LOG* log : logs(*session))
            if (log->m_payload.is_stored())
                with_samples.push_back(log);
        ASSERT_EQ(with_samples.size(), size_t(before.size()));
        EXPECT_GT(with_samples[0]->get_data_sample_depth(), 0);
        EXPECT_TRUE(with_samples[0]->is_data_available(false));
        EXPECT_TRUE(with_samples[0]->m_payload.is_stored()) << "the counts are answered without the rows";
        if (c.read_one_first) {
            const quint64 version = with_samples[0]->get_data_version();
            ASSERT_NE(with_samples[0]->m_payload.get(), nullptr);
            EXPECT_FALSE(with_samples[0]->m_payload.is_stored());
            EXPECT_EQ(with_samples[0]->get_data_version(), version) << "reading does not make the samples new";
            EXPECT_TRUE(with_samples[1]->m_payload.is_stored());
        }
        const QString target = c.over_itself ? path("original.vtl") : path("copy.vtl");
        std::string error;
        ASSERT_TRUE(sdr_write_session_file(*session, s(target), &error)) << error;
        EXPECT_EQ(payloads(target), before);
        EXPECT_TRUE(posted_errors().empty());
    }
}

// The file under an open document, damaged before it opened or changed by another program
// while it is open. Samples whose checksum fails at open are damaged: known at once (nothing is
// posted when the log is shown), read as empty, and a save copies them byte for byte, so that
// the saved file holds the same damaged entry. Samples the file no longer holds as it did at
// open are reported when first asked for (once, naming the file and the entry), read as empty,
// and a save fails with the same problem and leaves its target as it was; samples whose bytes
// are still there (the same content written over the file, or a file put in its place by
// name) read as opened.
TEST_F(sdr_file_lazy, damaged_and_changed_samples_are_kept_or_reported_never_dropped)
{
    struct damage_case
    {
        const char* label;
        std::function<void(const QString& file, QByteArray* bytes)> damage;
        bool before_open;
        const char* problem; // empty: the samples still read as opened
    };
    const auto flip = [](const QString& file, QByteArray* bytes) {
        const int header = bytes->indexOf("VTLP");
        (*bytes)[header + 41] = char((*bytes)[header + 41] ^ 0x10);
        ASSERT_TRUE(write_file(file, *bytes));
    };
    const auto append = [](const QString& file, QByteArray* bytes) { ASSERT_TRUE(write_file(file, *bytes + "x")); };
    const auto cut = [](const QString& file, QByteArray* bytes) {
        ASSERT_TRUE(write_file(file, bytes->left(bytes->indexOf("VTLP") + 20)));
    };
    const auto same = [](const QString& file, QByteArray* bytes) { ASSERT_TRUE(write_file(file, *bytes)); };
    const auto replace = [](const QString& file, QByteArray* bytes) {
        const QString other = file + ".other";
        ASSERT_TRUE(write_file(other, QByteArray("not an archive")));
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::rename(other, file));
        (void)bytes;
    };
    const damage_case cases[] = {
        {"a byte flipped before open", flip, true, "the data is corrupt: CRC error"},
        {"a byte flipped in place after open", flip, false, "the file has changed since it was opened"},
        {"cut short in place after open", cut, false, "the file has changed since it was opened"},
        {"the same bytes written over it after open", same, false, ""},
        {"grown in place after open", append, false, ""},
        {"another file put under its name", replace, false, ""},
    };
    for (const damage_case& c : cases) {
        SCOPED_TRACE(c.label);
        standin::msg::reset();
        std::string error;
        ASSERT_TRUE(sdr_write_session_file(*make_small_session("small"), s(path("data.vtl")), &error)) << error;
        auto expected = sdr_read_session_file(s(path("data.vtl")), &error);
        ASSERT_NE(expected, nullptr) << error;
        ASSERT_NE(logs(*expected)[0]->m_payload.get(), nullptr);
        QByteArray bytes = file_bytes(path("data.vtl"));
        if (c.before_open)
            c.damage(path("data.vtl"), &bytes);
        auto session = sdr_read_session_file(s(path("data.vtl")), &error);
        ASSERT_NE(session, nullptr) << error;
        if (!c.before_open)
            c.damage(path("data.vtl"), &bytes);
        SDR_DATA_LOG* log = logs(*session)[0];
        if (*c.problem == '\0') {
            ASSERT_NE(log->m_payload.get(), nullptr);
            EXPECT_EQ(log->m_payload->channel_bits, logs(*expected)[0]->m_payload->channel_bits);
            EXPECT_TRUE(posted_errors().empty());
            ASSERT_TRUE(sdr_write_session_file(*session, s(path("target.vtl")), &error)) << error;
            continue;
        }
        EXPECT_EQ(log->m_payload.is_damaged(), c.before_open);
        if (!c.before_open) {
            EXPECT_EQ(log->get_data_sample_depth(), 8) << "the counts were read at open";
        }
        EXPECT_FALSE(log->get_bit(0, 0));
        EXPECT_FALSE(log->m_payload);
        EXPECT_EQ(log->get_data_sample_depth(), 0) << "unreadable samples read as none";
        EXPECT_EQ(log->m_payload.get(), nullptr) << "and are not tried again";
        EXPECT_NE(log->m_payload.problem().toStdString().find(c.problem), std::string::npos);
        const std::vector<std::string> errors = posted_errors();
        if (c.before_open) {
            EXPECT_TRUE(errors.empty()) << "damage found at open is the opener's to report";
            // Saved byte for byte: the copy holds the damaged entry and opens damaged alike.
            ASSERT_TRUE(sdr_write_session_file(*session, s(path("target.vtl")), &error)) << error;
            // The entry's bytes alone: the central directory after them holds times of the save.
            const int header = bytes.indexOf("VTLP");
            const QByteArray entry = bytes.mid(header, bytes.indexOf("PK\x01\x02", header) - header);
            ASSERT_GT(entry.size(), 41);
            EXPECT_TRUE(file_bytes(path("target.vtl")).contains(entry));
            auto again = sdr_read_session_file(s(path("target.vtl")), &error);
            ASSERT_NE(again, nullptr) << error;
            EXPECT_TRUE(logs(*again)[0]->m_payload.is_damaged());
            again->m_name = session->m_name;
            EXPECT_EQ(standin::sdr::compare_documents(*session, *again), "");
            continue;
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(s(path("data.vtl")) + ": logs/", 0), 0u) << errors[0];
        EXPECT_NE(errors[0].find(c.problem), std::string::npos) << errors[0];

        ASSERT_TRUE(write_file(path("target.vtl"), "kept"));
        EXPECT_FALSE(sdr_write_session_file(*session, s(path("target.vtl")), &error));
        EXPECT_NE(error.find("the samples of data log"), std::string::npos) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        EXPECT_EQ(file_bytes(path("target.vtl")), QByteArray("kept"));
    }
}

// Samples nothing asked for before a save, changed in the file since it opened: the save is the
// first to ask for them, and fails as it does for samples read before; it wrote the log without
// them and answered success.
TEST_F(sdr_file_lazy, samples_a_save_is_the_first_to_ask_for_fail_it_when_they_cannot_be_read)
{
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*make_small_session("small"), s(path("data.vtl")), &error)) << error;
    auto session = sdr_read_session_file(s(path("data.vtl")), &error);
    ASSERT_NE(session, nullptr) << error;
    QByteArray bytes = file_bytes(path("data.vtl"));
    const int header = bytes.indexOf("VTLP");
    bytes[header + 41] = char(bytes[header + 41] ^ 0x10);
    ASSERT_TRUE(write_file(path("data.vtl"), bytes));
    ASSERT_TRUE(logs(*session)[0]->m_payload.is_stored()) << "nothing asked for the samples yet";
    ASSERT_TRUE(write_file(path("target.vtl"), "kept"));
    EXPECT_FALSE(sdr_write_session_file(*session, s(path("target.vtl")), &error));
    EXPECT_NE(error.find("the samples of data log"), std::string::npos) << error;
    EXPECT_NE(error.find("the file has changed since it was opened"), std::string::npos) << error;
    EXPECT_EQ(file_bytes(path("target.vtl")), QByteArray("kept"));
}

// A damaged entry whose file then changes can no longer be copied as it was stored: a save
// names it instead of writing other bytes in its place.
TEST_F(sdr_file_lazy, damaged_samples_whose_file_changed_fail_a_save)
{
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*make_small_session("small"), s(path("data.vtl")), &error)) << error;
    QByteArray bytes = file_bytes(path("data.vtl"));
    const int header = bytes.indexOf("VTLP");
    bytes[header + 41] = char(bytes[header + 41] ^ 0x10);
    ASSERT_TRUE(write_file(path("data.vtl"), bytes));
    auto session = sdr_read_session_file(s(path("data.vtl")), &error);
    ASSERT_NE(session, nullptr) << error;
    bytes[header + 42] = char(bytes[header + 42] ^ 0x01);
    ASSERT_TRUE(write_file(path("data.vtl"), bytes));
    EXPECT_FALSE(sdr_write_session_file(*session, s(path("target.vtl")), &error));
    EXPECT_NE(error.find("the file has changed since it was opened"), std::string::npos) << error;
    EXPECT_FALSE(QFile::exists(path("target.vtl")));
}
} // namespace

// Logs of many megabytes have their checksums taken on another thread once the document has
// opened: a bit flipped in one log's samples (or in the header, which is checked against
// document.xml) still makes just that log damaged, whether its damage or another log's samples
// are asked for first; every other log reads as written, and a save keeps the damaged entry as
// stored, so that the saved file opens with the same log damaged.
TEST_F(sdr_file_lazy, checksums_taken_after_the_open_name_the_damaged_log)
{
    for (const int at : {41, 2 << 20}) {
        for (const bool samples_first : {false, true}) {
            SCOPED_TRACE(testing::Message() << "byte " << at << (samples_first ? ", samples first" : ""));
            auto written = large_session();
            SDR_DATA_TRIGGER* trigger = written->m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
            std::string error;
            ASSERT_TRUE(sdr_write_session_file(*written, s(path("large.vtl")), &error)) << error;
            QByteArray bytes = file_bytes(path("large.vtl"));
            int header = -1;
            for (int l = 0; l < 4; ++l)
                header = bytes.indexOf("VTLP", header + 1);
            ASSERT_GT(header, 0);
            bytes[header + at] = char(bytes[header + at] ^ 0x10);
            ASSERT_TRUE(write_file(path("large.vtl"), bytes));

            auto session = sdr_read_session_file(s(path("large.vtl")), &error);
            ASSERT_NE(session, nullptr) << error;
            EXPECT_NE(session->m_open_check, nullptr) << "the samples' checksums outlive the open";
            const std::vector<SDR_DATA_LOG*> opened = logs(*session);
            ASSERT_EQ(opened.size(), 6u);
            if (samples_first) {
                ASSERT_NE(opened[0]->m_payload.get(), nullptr);
                EXPECT_EQ(opened[0]->m_payload->channel_bits, trigger->m_logs[0]->m_payload->channel_bits);
            }
            std::vector<int> damaged;
            for (size_t l = 0; l < opened.size(); ++l) {
                if (opened[l]->m_payload.is_damaged()) {
                    damaged.push_back(int(l));
                    EXPECT_NE(opened[l]->m_payload.problem().toStdString().find("CRC error"), std::string::npos);
                    continue;
                }
                ASSERT_NE(opened[l]->m_payload.get(), nullptr) << l;
                EXPECT_EQ(opened[l]->m_payload->channel_bits, trigger->m_logs[l]->m_payload->channel_bits) << l;
            }
            EXPECT_EQ(damaged, std::vector<int>{3});
            EXPECT_TRUE(posted_errors().empty());

            ASSERT_TRUE(sdr_write_session_file(*session, s(path("saved.vtl")), &error)) << error;
            EXPECT_TRUE(file_bytes(path("saved.vtl")).contains(bytes.mid(header, 4096)));
            auto again = sdr_read_session_file(s(path("saved.vtl")), &error);
            ASSERT_NE(again, nullptr) << error;
            const std::vector<SDR_DATA_LOG*> reopened = logs(*again);
            ASSERT_EQ(reopened.size(), 6u);
            for (size_t l = 0; l < reopened.size(); ++l)
                EXPECT_EQ(reopened[l]->m_payload.is_damaged(), l == 3) << l;
        }
    }
}

// The checksums of large entries are taken once the document has opened; a result asked for
// before that starts the work and waits for it, so it is the checksum of the bytes, never the
// value of work not begun. A range that is not among the work is answered no.
TEST_F(sdr_file_lazy, entry_checksums_asked_for_before_they_start_are_those_of_the_bytes)
{
    std::string error;
    ASSERT_TRUE(sdr_write_session_file(*large_session(), s(path("large.vtl")), &error)) << error;
    const QByteArray bytes = file_bytes(path("large.vtl"));

    auto archive = std::make_shared<SDR_FILE_ARCHIVE_READER>(path("large.vtl"));
    SDR_FILE_ERROR problem(path("large.vtl"));
    ASSERT_TRUE(archive->open(&problem)) << problem.message().toStdString();
    for (const bool wait_first : {false, true}) {
        SCOPED_TRACE(wait_first ? "waited for first" : "result first");
        SDR_FILE_ENTRY_SUMS sums(archive, QStringLiteral("document.xml"), qint64(1) << 40);
        EXPECT_FALSE(sums.done()) << "work to do is not done before it starts";
        if (wait_first)
            sums.wait();
        int covered = 0;
        for (const QString& name : archive->entry_names()) {
            qint64 size = 0, offset = 0;
            quint32 stored_crc = 0;
            if (!name.startsWith("logs/") || !archive->entry_size(name, &size, nullptr) ||
                !archive->direct_location(name, size, &offset, &stored_crc) || !sums.covers(offset, size))
                continue;
            ++covered;
            quint32 crc = 0;
            ASSERT_TRUE(sums.result(offset, size, &crc)) << name.toStdString();
            EXPECT_EQ(crc, SDR_FILE_CRC::update(0, bytes.constData() + offset, size)) << name.toStdString();
            EXPECT_EQ(crc, stored_crc) << name.toStdString();
        }
        EXPECT_EQ(covered, 6);
        EXPECT_TRUE(sums.done());
        quint32 crc = 0;
        EXPECT_FALSE(sums.result(0, 16, &crc)) << "the archive's first bytes are not among the work";
    }
}
