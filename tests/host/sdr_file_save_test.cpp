// Saving the analyzer file the way the file system sees it: leftovers of crashed saves, saves
// killed half-way, durable renames, symbolic and hard links, other owners' files, names at the
// length limit and names the local encoding cannot carry.
#include "sdr_file_test_support.h"
#include "support/special_files.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_file_control.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sdr_file_test;

namespace
{
class sdr_file_save : public ::testing::Test
{
protected:
    void SetUp() override
    {
        standin::reset_all();
        m_small = make_small_session("small");
        m_rich = make_rich_session("rich");
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    static std::string s(const QString& text) { return QFile::encodeName(text).toStdString(); }

    void save(const SDR_DATA_SESSION& session, const QString& file)
    {
        std::string error;
        ASSERT_TRUE(sdr_write_session_file(session, s(file), &error)) << error;
    }

    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden); }

    // Saves `session` in a child process that dies (SIGKILL, as kill -9 would) at `stage`.
    bool save_and_die_at(standin::sdr_file::save_stage stage, const SDR_DATA_SESSION& session, const QString& file)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            standin::sdr_file::crash_at(stage);
            std::string error;
            sdr_write_session_file(session, s(file), &error);
            ::_exit(3); // only when the crash did not fire
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    std::unique_ptr<SDR_DATA_SESSION> m_small;
    std::unique_ptr<SDR_DATA_SESSION> m_rich;
    QTemporaryDir m_dir;
};

// Whether files can be created without a name in `folder` (most local file systems).
bool unnamed_files_in(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

struct stat_of
{
    explicit stat_of(const QString& file) { ok = ::stat(QFile::encodeName(file).constData(), &st) == 0; }
    struct stat st;
    bool ok;
};
} // namespace

// Temporaries of a file nobody holds locked, still empty or holding an analyzer archive, are
// leftovers: the next save of that file and the next open of it remove them. A live save's,
// another file's, and anything else under such a name (the user's own ZIP archive) stay.
TEST_F(sdr_file_save, leftovers_of_crashed_saves_of_the_file_are_removed_by_its_next_save_and_open)
{
    const QByteArray analyzer_head = QByteArray("PK\x03\x04", 4) + QByteArray(22, '\0') +
                                     QByteArray("\x0c\0\0\0", 4) + "document.xml";
    const QByteArray other_zip = QByteArray("PK\x03\x04", 4) + QByteArray(22, '\0') +
                                 QByteArray("\x09\0\0\0", 4) + "photo.jpg";
    ASSERT_TRUE(write_file(path("doc.vtl.saving-abc123"), analyzer_head + QByteArray(100000, 'x')));
    ASSERT_TRUE(write_file(path("doc.vtl.saving-Empty0"), QByteArray()));
    ASSERT_TRUE(write_file(path("doc.vtl.saving-backup"), other_zip));
    ASSERT_TRUE(write_file(path("other.vtl.saving-ZZZZ99"), QByteArray()));
    ASSERT_TRUE(write_file(path("doc.vtl.saving-Lock01"), analyzer_head));
    ASSERT_TRUE(write_file(path("notes.txt.saving-qwerty"), "the user's own notes"));
    ASSERT_TRUE(write_file(path("doc.vtl.saving-12345"), analyzer_head));
    ASSERT_TRUE(write_file(path("doc.vtl.saving-abc12!"), analyzer_head));
    ASSERT_TRUE(write_file(path("xdoc.vtl.saving-abc123"), analyzer_head));
    const int held = ::open(QFile::encodeName(path("doc.vtl.saving-Lock01")).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0); // a save still running in another process

    save(*m_small, path("doc.vtl"));
    const QStringList others = {"doc.vtl.saving-12345", "doc.vtl.saving-abc12!", "doc.vtl.saving-backup",
                                "notes.txt.saving-qwerty", "other.vtl.saving-ZZZZ99", "xdoc.vtl.saving-abc123"};
    QStringList kept = others + QStringList{"doc.vtl", "doc.vtl.saving-Lock01"};
    kept.sort(Qt::CaseInsensitive); // the order of the folder listing
    EXPECT_EQ(files(), kept);

    ::close(held); // that process has died
    ASSERT_TRUE(write_file(path("doc.vtl.saving-x0Y1z2"), analyzer_head));
    std::string error;
    EXPECT_NE(sdr_read_session_file(s(path("doc.vtl")), &error), nullptr) << error;
    kept.removeOne("doc.vtl.saving-Lock01");
    EXPECT_EQ(files(), kept);
}

// A save killed while writing leaves nothing (its temporary file has no name yet); one killed
// after naming it, just before the rename, leaves a file the next open clears. The target
// keeps its previous bytes either way.
TEST_F(sdr_file_save, a_save_killed_half_way_leaves_the_file_and_nothing_that_lasts)
{
    save(*m_small, path("doc.vtl"));
    const QByteArray before = file_bytes(path("doc.vtl"));
    ASSERT_TRUE(save_and_die_at(standin::sdr_file::save_stage::written, *m_rich, path("doc.vtl")));
    EXPECT_EQ(file_bytes(path("doc.vtl")), before);
    if (unnamed_files_in(m_dir.path())) {
        EXPECT_EQ(files(), QStringList{"doc.vtl"});
    }
    save(*m_small, path("doc.vtl"));
    EXPECT_EQ(files(), QStringList{"doc.vtl"});
    // The save above may fall in a later second: its archive carries another time.
    const QByteArray saved_again = file_bytes(path("doc.vtl"));

    ASSERT_TRUE(save_and_die_at(standin::sdr_file::save_stage::named, *m_rich, path("doc.vtl")));
    EXPECT_EQ(file_bytes(path("doc.vtl")), saved_again);
    ASSERT_EQ(files().size(), 2);
    EXPECT_TRUE(files().at(1).startsWith("doc.vtl.saving-")) << files().join(' ').toStdString();
    std::string error;
    EXPECT_NE(sdr_read_session_file(s(path("doc.vtl")), &error), nullptr) << error;
    EXPECT_EQ(files(), QStringList{"doc.vtl"});
}

TEST_F(sdr_file_save, the_folder_is_flushed_after_the_rename)
{
    standin::clear_calls();
    save(*m_small, path("doc.vtl"));
    const std::vector<std::string> calls = standin::calls("sdr");
    const std::vector<std::string> expected = {"sdr:rename(doc.vtl)", "sdr:sync_folder(" + s(m_dir.path()) + ")"};
    EXPECT_EQ(calls, expected);
}

TEST_F(sdr_file_save, a_save_through_symbolic_links_writes_the_file_they_end_at)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("real"));
    save(*m_small, path("real/doc.vtl"));
    ASSERT_TRUE(QFile::link("real/doc.vtl", path("relative.vtl")));
    ASSERT_TRUE(QFile::link(path("relative.vtl"), path("chain.vtl")));
    ASSERT_TRUE(QFile::link("real/new.vtl", path("dangling.vtl")));
    for (const char* link : {"relative.vtl", "chain.vtl"}) {
        SCOPED_TRACE(link);
        save(*m_rich, path(link));
        EXPECT_TRUE(QFileInfo(path(link)).isSymLink());
        EXPECT_EQ(file_bytes(path("real/doc.vtl")), file_bytes(path(link)));
        std::string error;
        auto back = sdr_read_session_file(s(path("real/doc.vtl")), &error);
        ASSERT_NE(back, nullptr) << error;
        EXPECT_EQ(back->m_instances.size(), 2u);
        save(*m_small, path("real/doc.vtl"));
    }
    save(*m_rich, path("dangling.vtl"));
    EXPECT_TRUE(QFileInfo(path("dangling.vtl")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(path("real/new.vtl")));
    EXPECT_EQ(QDir(path("real")).entryList(QDir::Files), (QStringList{"doc.vtl", "new.vtl"}));

    ASSERT_TRUE(QFile::link(path("loop_b.vtl"), path("loop_a.vtl")));
    ASSERT_TRUE(QFile::link(path("loop_a.vtl"), path("loop_b.vtl")));
    std::string error;
    EXPECT_FALSE(sdr_write_session_file(*m_small, s(path("loop_a.vtl")), &error));
    EXPECT_NE(error.find("symbolic links form a loop"), std::string::npos) << error;
}

TEST_F(sdr_file_save, a_save_over_a_hard_link_keeps_the_links_together)
{
    save(*m_small, path("a.vtl"));
    ASSERT_EQ(::link(QFile::encodeName(path("a.vtl")).constData(), QFile::encodeName(path("b.vtl")).constData()), 0);
    const stat_of before(path("a.vtl"));
    save(*m_rich, path("a.vtl"));
    const stat_of after(path("b.vtl"));
    EXPECT_EQ(after.st.st_ino, before.st.st_ino);
    EXPECT_EQ(after.st.st_nlink, 2u);
    EXPECT_EQ(file_bytes(path("b.vtl")), file_bytes(path("a.vtl")));
    std::string error;
    auto back = sdr_read_session_file(s(path("b.vtl")), &error);
    ASSERT_NE(back, nullptr) << error;
    EXPECT_EQ(back->m_instances.size(), 2u);
    EXPECT_EQ(files(), (QStringList{"a.vtl", "b.vtl"}));
}

// A save rewriting a hard-linked file in place keeps its old content beside it until the new
// content is on disk. Killed at any step, the file holds the old or the new content whole once
// it is opened again under either name, and the user is told which; the copy is gone.
TEST_F(sdr_file_save, a_rewrite_in_place_killed_at_any_step_leaves_the_old_or_the_new_content)
{
    using standin::sdr_file::save_stage;
    struct row
    {
        const char* name;
        save_stage stage;
        bool torn;               // the kill leaves the file neither old nor new
        size_t instances;        // read back: the rich document has 2, the small one 1
        const char* told;
    };
    const row rows[] = {
        {"copy not finished", save_stage::copy_unfinished, false, 2, "before it changed the file; the file is unchanged"},
        {"copy kept", save_stage::copy_kept, false, 2, "before it changed the file; the file is unchanged"},
        {"rewriting", save_stage::rewriting, true, 2, "its content from before that save has been restored"},
        {"rewritten", save_stage::rewritten, false, 1, "after it had rewritten the file; the file holds the saved"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        standin::reset_all();
        save(*m_rich, path("a.vtl"));
        ASSERT_EQ(::link(QFile::encodeName(path("a.vtl")).constData(), QFile::encodeName(path("b.vtl")).constData()), 0);
        const QByteArray before = file_bytes(path("a.vtl"));
        const stat_of identity(path("a.vtl"));
        ASSERT_TRUE(save_and_die_at(r.stage, *m_small, path("a.vtl")));
        EXPECT_TRUE(files().contains("a.vtl.restore")) << files().join(' ').toStdString();
        EXPECT_EQ(file_bytes(path("a.vtl")) != before, r.torn || r.instances == 1);
        std::string error;
        auto back = sdr_read_session_file(s(path("b.vtl")), &error); // the other name finds the copy too
        ASSERT_NE(back, nullptr) << error;
        EXPECT_EQ(back->m_instances.size(), r.instances);
        if (r.instances == 2) {
            EXPECT_EQ(file_bytes(path("a.vtl")), before);
        }
        ASSERT_EQ(standin::msg::posted().size(), 1u);
        EXPECT_EQ(standin::msg::posted()[0].kind, "W");
        EXPECT_NE(standin::msg::posted()[0].text.find(s(path("b.vtl")) + ": a save of this file was cut short"),
                  std::string::npos) << standin::msg::posted()[0].text;
        EXPECT_NE(standin::msg::posted()[0].text.find(r.told), std::string::npos) << standin::msg::posted()[0].text;
        const stat_of after(path("b.vtl"));
        EXPECT_EQ(after.st.st_ino, identity.st.st_ino);
        EXPECT_EQ(after.st.st_nlink, 2u);
        EXPECT_EQ(files(), (QStringList{"a.vtl", "b.vtl"}));
        QFile::remove(path("a.vtl"));
        QFile::remove(path("b.vtl"));
    }
}

// A copy left by a rewrite that died in one folder is used only while the file is still what
// that rewrite left: once the file has been written again (saved under its other name in
// another folder, or by another program), opening it under the first name keeps what it holds
// and drops the stale copy, with a word to the user.
TEST_F(sdr_file_save, a_stale_copy_never_puts_older_content_back_over_a_newer_save)
{
    struct row
    {
        const char* name;
        bool by_this_program; // saved under the other name, else written over by another program
    };
    const row rows[] = {{"saved under its other name", true}, {"written by another program", false}};
    const std::unique_ptr<SDR_DATA_SESSION> newer = make_rich_session("newer");
    newer->m_instances[0]->m_state.name = "newest";
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        standin::reset_all();
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("A") && QDir(m_dir.path()).mkpath("B"));
        save(*m_rich, path("A/T.vtl"));
        ASSERT_EQ(::link(QFile::encodeName(path("A/T.vtl")).constData(), QFile::encodeName(path("B/T.vtl")).constData()),
                  0);
        ASSERT_TRUE(save_and_die_at(standin::sdr_file::save_stage::rewriting, *m_small, path("A/T.vtl")));
        ASSERT_TRUE(QFileInfo::exists(path("A/T.vtl.restore")));
        if (r.by_this_program) {
            save(*newer, path("B/T.vtl"));
        } else {
            save(*newer, path("elsewhere.vtl"));
            QFile over(path("B/T.vtl"));
            ASSERT_TRUE(over.open(QIODevice::WriteOnly | QIODevice::Truncate));
            over.write(file_bytes(path("elsewhere.vtl")));
        }
        const QByteArray saved = file_bytes(path("B/T.vtl"));
        standin::msg::reset();
        std::string error;
        auto back = sdr_read_session_file(s(path("A/T.vtl")), &error);
        ASSERT_NE(back, nullptr) << error;
        EXPECT_EQ(back->m_instances[0]->m_state.name, "newest");
        EXPECT_EQ(file_bytes(path("A/T.vtl")), saved);
        EXPECT_FALSE(QFileInfo::exists(path("A/T.vtl.restore")));
        ASSERT_EQ(standin::msg::posted().size(), 1u);
        EXPECT_NE(standin::msg::posted()[0].text.find("the file has been written since; it is kept as it is"),
                  std::string::npos) << standin::msg::posted()[0].text;
        QDir(path("A")).removeRecursively();
        QDir(path("B")).removeRecursively();
    }
}

// A copy left beside a file by a save that is still running (it holds the copy locked) or
// one of another file stays, and nothing is told.
TEST_F(sdr_file_save, copies_of_a_live_save_or_of_another_file_are_left_alone)
{
    save(*m_rich, path("a.vtl"));
    save(*m_rich, path("c.vtl"));
    ASSERT_EQ(::link(QFile::encodeName(path("c.vtl")).constData(), QFile::encodeName(path("d.vtl")).constData()), 0);
    ASSERT_TRUE(save_and_die_at(standin::sdr_file::save_stage::rewriting, *m_small, path("c.vtl")));
    const QByteArray torn = file_bytes(path("c.vtl"));
    std::string error;
    ASSERT_NE(sdr_read_session_file(s(path("a.vtl")), &error), nullptr) << error;
    EXPECT_TRUE(files().contains("c.vtl.restore"));
    const int held = ::open(QFile::encodeName(path("c.vtl.restore")).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    sdr_read_session_file(s(path("c.vtl")), &error); // the torn file, as it is
    EXPECT_EQ(file_bytes(path("c.vtl")), torn);
    EXPECT_TRUE(standin::msg::posted().empty());
    ::close(held);
    EXPECT_NE(sdr_read_session_file(s(path("c.vtl")), &error), nullptr) << error;
    EXPECT_EQ(files(), (QStringList{"a.vtl", "c.vtl", "d.vtl"}));
}

// Saved by root, the new file is given the old one's owner; saved by an ordinary user who
// may write the file but not give a new file its owner, the file is rewritten in place.
TEST_F(sdr_file_save, a_save_over_another_owners_file_keeps_its_owner_and_mode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another owner needs root";
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0777), 0);
    for (bool as_root : {true, false}) {
        SCOPED_TRACE(as_root ? "root" : "ordinary user");
        const QString file = path(as_root ? "root.vtl" : "user.vtl");
        save(*m_small, file);
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 1234, 2345), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), as_root ? 0640 : 0666), 0);
        const stat_of before(file);
        {
            std::unique_ptr<as_ordinary_user> user(as_root ? nullptr : new as_ordinary_user());
            save(*m_rich, file);
        }
        const stat_of after(file);
        EXPECT_EQ(after.st.st_uid, 1234u);
        EXPECT_EQ(after.st.st_gid, 2345u);
        EXPECT_EQ(after.st.st_mode & 07777, as_root ? 0640u : 0666u);
        EXPECT_EQ(after.st.st_ino == before.st.st_ino, !as_root) << "root renames, the user rewrites in place";
        std::string error;
        auto back = sdr_read_session_file(s(file), &error);
        ASSERT_NE(back, nullptr) << error;
        EXPECT_EQ(back->m_instances.size(), 2u);
    }
    EXPECT_EQ(files(), (QStringList{"root.vtl", "user.vtl"}));
}

// Names up to the folder's limit save: the temporary name is cut (on a character boundary) to
// fit beside them.
TEST_F(sdr_file_save, names_up_to_the_length_limit_save)
{
    const QString ascii = QString(251, 'n') + ".vtl";
    const QString wide = QString(125, QChar(0xE4)) + ".vtl"; // 254 bytes in UTF-8
    for (const QString& name : {ascii, wide}) {
        ASSERT_LE(QFile::encodeName(name).size(), 255);
        save(*m_small, path(name));
        save(*m_rich, path(name));
        ASSERT_TRUE(save_and_die_at(standin::sdr_file::save_stage::named, *m_small, path(name)));
        const QStringList left = files().filter(".saving-");
        ASSERT_EQ(left.size(), 1);
        const QByteArray temporary = QFile::encodeName(left.first());
        EXPECT_LE(temporary.size(), 255);
        EXPECT_EQ(QString::fromUtf8(temporary).toUtf8(), temporary) << "cut inside a character";
        std::string error;
        auto back = sdr_read_session_file(s(path(name)), &error);
        ASSERT_NE(back, nullptr) << error;
        EXPECT_EQ(back->m_instances.size(), 2u);
        EXPECT_TRUE(files().filter(".saving-").isEmpty());
    }
}

// Two names that differ only in bytes the local encoding cannot carry would land in one file;
// the replacement character is what such bytes became when a name was read (a folder listing, a
// command line), so a name holding it is another file's too.
TEST_F(sdr_file_save, names_the_local_encoding_cannot_carry_are_refused)
{
    const std::string folder = s(m_dir.path());
    for (const std::string& name : {std::string("bad\xff.vtl"), std::string("bad\xfe.vtl"), std::string("half\xc3.vtl"),
                                    std::string("bad\xef\xbf\xbd.vtl")}) {
        std::string error;
        EXPECT_FALSE(sdr_write_session_file(*m_small, folder + "/" + name, &error));
        EXPECT_NE(error.find("the file name is not valid in the local character encoding"), std::string::npos) << error;
        EXPECT_EQ(sdr_read_session_file(folder + "/" + name, &error), nullptr);
        EXPECT_NE(error.find("not valid in the local character encoding"), std::string::npos) << error;
    }
    EXPECT_TRUE(files().isEmpty());
}

// A save renamed its archive over a FIFO, a socket or a device (as root, over the system's null
// device): each is refused with what it is, and left as it is; opening one is refused alike.
TEST_F(sdr_file_save, what_is_not_a_regular_file_is_neither_replaced_nor_read)
{
    for (const sedq_special_file& special : sedq_make_special_files(m_dir.path())) {
        SCOPED_TRACE(special.label);
        std::string error;
        EXPECT_FALSE(sdr_write_session_file(*m_small, s(special.path), &error));
        EXPECT_EQ(error, s(special.path) + ": " + special.reason);
        EXPECT_TRUE(sedq_is_unchanged(special));
        EXPECT_EQ(sdr_read_session_file(s(special.path), &error), nullptr);
        EXPECT_EQ(error, s(special.path) + ": " + special.reason);
    }
    EXPECT_TRUE(files().filter(".saving-").isEmpty());
}

// The repository knows a document under every name of its file.
TEST_F(sdr_file_save, an_open_document_is_found_through_its_links)
{
    save(*m_small, path("doc.vtl"));
    ASSERT_TRUE(QFile::link(path("doc.vtl"), path("sym.vtl")));
    ASSERT_EQ(::link(QFile::encodeName(path("doc.vtl")).constData(), QFile::encodeName(path("hard.vtl")).constData()), 0);
    save(*m_small, path("other.vtl"));
    SDR_DATA_MANAGER* manager = SDR_DATA_MANAGER::get_data_repository_manager();
    SDR_DATA_SESSION* open = manager->open_session(s(path("doc.vtl")).c_str());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(manager->get_session_opened(s(path("sym.vtl")).c_str()), open);
    EXPECT_EQ(manager->get_session_opened(s(path("hard.vtl")).c_str()), open);
    EXPECT_EQ(manager->get_session_opened(s(path("other.vtl")).c_str()), nullptr);
    EXPECT_EQ(manager->get_session_opened(s(path("missing.vtl")).c_str()), nullptr);
    EXPECT_EQ(manager->open_session(s(path("hard.vtl")).c_str()), open);
    EXPECT_TRUE(manager->close_session(s(path("doc.vtl")).c_str()));
}
