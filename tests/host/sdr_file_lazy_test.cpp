// Samples left in the file at open: they are read when first asked for, a save still writes
// every one of them, and samples that can no longer be read are reported, never dropped.
#include "sdr_file_test_support.h"

#include "host/sdr/sdr_file.h"
#include "host/standin/msg_control.h"

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

// The file under an open document is damaged, rewritten or replaced: damaged or rewritten
// samples are reported when first asked for (once, naming the file and the entry), the log
// then reads as empty, and a save fails with the same problem and leaves its target as it was;
// a file put in its place by name does not disturb the samples that were opened.
TEST_F(sdr_file_lazy, samples_that_cannot_be_read_are_reported_and_kept_from_a_save)
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
    const auto rewrite = [](const QString& file, QByteArray* bytes) {
        const int header = bytes->indexOf("VTLP");
        (*bytes)[header + 41] = char((*bytes)[header + 41] ^ 0x10);
        ASSERT_TRUE(write_file(file, *bytes + "x"));
    };
    const auto replace = [](const QString& file, QByteArray* bytes) {
        const QString other = file + ".other";
        ASSERT_TRUE(write_file(other, QByteArray("not an archive")));
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::rename(other, file));
        (void)bytes;
    };
    const damage_case cases[] = {
        {"a byte flipped before open", flip, true, "the data is corrupt: CRC error"},
        {"rewritten in place after open", rewrite, false, "the file has changed since it was opened"},
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
            continue;
        }
        EXPECT_EQ(log->get_data_sample_depth(), 8) << "the counts were read at open";
        EXPECT_FALSE(log->get_bit(0, 0));
        EXPECT_FALSE(log->m_payload);
        EXPECT_EQ(log->get_data_sample_depth(), 0) << "unreadable samples read as none";
        EXPECT_EQ(log->m_payload.get(), nullptr) << "and are not tried again";
        const std::vector<std::string> errors = posted_errors();
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
} // namespace
