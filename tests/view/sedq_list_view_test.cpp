// The text list: its exact layout (legend, keys and their padding, failed connections, the
// table of samples, segment labels), which rows get keys, the data list read whatever tab is
// shown, the file opened through the host only once written, and the refusals.
#include "sedq_view_test_support.h"

#include "host/standin/qui_control.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

namespace
{
class list_view_test : public view_test
{
protected:
    // Leaves named top|n0.. over a log of `depth` samples; `connected` per leaf (all by default).
    void open_leaves(int count, int depth, const std::vector<bool>& connected = {}, int segment_size = 0,
                     const std::function<void(SDR_DATA_TRIGGER*)>& shape = nullptr)
    {
        open(write_document(
            [&](SDR_DATA_SESSION& s)
            {
                SDR_DATA_TRIGGER* trigger = trigger_of(s);
                standin::sdr::log_spec log;
                log.depth = depth;
                for (int i = 0; i < count; ++i)
                {
                    add_leaves(trigger, {"top|n" + std::to_string(i)});
                    std::string bits;
                    for (int sample = 0; sample < depth; ++sample)
                        bits += ((sample >> i) & 1) != 0 ? '1' : '0';
                    log.channels.push_back(bits);
                }
                log.connected = connected;
                log.segment_size = segment_size;
                log.trigger_position = 1;
                if (shape)
                    shape(trigger);
                standin::sdr::make_log(trigger, log);
            }));
        show_data_tab(true);
    }

    std::string list_text(const QString& name = "list.txt")
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(view()->create_list_file(path));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    }

    static std::vector<std::string> lines_of(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start))
        {
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
};
} // namespace

TEST_F(list_view_test, exact_layout_of_a_small_list)
{
    open_leaves(2, 3, {true, false});
    EXPECT_EQ(list_text(), "Signal Legend:\n"
                           "\n"
                           "Key        Signal Name\n"
                           "\n"
                           "0        = top|n0\n"
                           "1        = top|n1 [failed connection]\n"
                           "\n"
                           "Data Table:\n"
                           "\n"
                           "Signals-> 0 1 \n"
                           "\n"
                           "sample\n"
                           "\n"
                           "-1        0 x \n"
                           "0         1 x \n"
                           "1         0 x \n");
    EXPECT_TRUE(standin::msg::shown().empty());
}

TEST_F(list_view_test, keys_of_ten_and_more_and_bus_columns)
{
    open_leaves(12, 4, {}, 0,
                [](SDR_DATA_TRIGGER* trigger) { standin::sdr::add_group(trigger, 0, 3, "bus", SDR_GTYPE_BINARY); });
    const std::vector<std::string> lines = lines_of(list_text());
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[4], "0        = bus") << "the parent first";
    EXPECT_EQ(lines[5], "1        = top|n0") << "then its members, each with its own key";
    EXPECT_EQ(lines[8], "4        = top|n3");
    EXPECT_EQ(lines[14], "10       = top|n9") << "two digits: six spaces";
    EXPECT_EQ(lines[16], "12       = top|n11");
    EXPECT_EQ(lines[20], "Signals-> 0     1 2 3 4 5 6 7 8 9 10 11 12 ") << "the bus column is as wide as its values";
    EXPECT_EQ(lines[24], "-1        0000b 0 0 0 0 0 0 0 0 0 0  0  0  ");
    EXPECT_EQ(lines[25], "0         1000b 1 0 0 0 0 0 0 0 0 0  0  0  ")
        << "sample 1: the first member is the bus's first bit";
    EXPECT_EQ(lines[26], "1         0100b 0 1 0 0 0 0 0 0 0 0  0  0  ");
}

TEST_F(list_view_test, a_bus_with_a_failed_member_shows_x)
{
    open_leaves(2, 2, {true, false}, 0,
                [](SDR_DATA_TRIGGER* trigger) { standin::sdr::add_group(trigger, 0, 1, "bus", SDR_GTYPE_HEX); });
    const std::vector<std::string> lines = lines_of(list_text());
    EXPECT_EQ(lines[4], "0        = bus");
    EXPECT_EQ(lines[6], "2        = top|n1 [failed connection]");
    EXPECT_EQ(lines[14], "-1        x 0 x ");
}

TEST_F(list_view_test, segmented_samples_are_labelled_segment_and_index)
{
    open_leaves(1, 1024, {}, 512);
    const std::vector<std::string> lines = lines_of(list_text());
    ASSERT_EQ(lines.size(), 13u + 1024u);
    EXPECT_EQ(lines[10], "segment/");
    EXPECT_EQ(lines[11], "sample");
    EXPECT_EQ(lines[13], "0/0       0 ");
    EXPECT_EQ(lines[13 + 1000], "1/488     0 ");
}

// The list is of the data nodes even while the setup tab shows the trigger list, and the view
// reads the trigger list again afterwards.
TEST_F(list_view_test, the_data_list_is_written_from_the_setup_tab)
{
    open_leaves(1, 2, {}, 0,
                [](SDR_DATA_TRIGGER* trigger) { add_leaves(trigger, {"top|trigger_only"}, SDR_WTYPE_TRIGGER_ONLY); });
    show_data_tab(false);
    ASSERT_EQ(tx()->get_node_count(-1), 2);
    const std::string text = list_text();
    EXPECT_EQ(text.find("trigger_only"), std::string::npos);
    EXPECT_NE(text.find("0        = top|n0\n\n"), std::string::npos);
    EXPECT_EQ(tx()->get_node_count(-1), 2) << "back to the trigger list";
}

TEST_F(list_view_test, the_command_writes_beside_the_analyzer_file_and_opens_it)
{
    open_leaves(1, 2);
    view()->show_list_view();
    const std::string expected = m_dir.filePath(QStringLiteral("view_%1.txt").arg(tx()->get_instance())).toStdString();
    EXPECT_EQ(standin::qui::opened_files(), std::vector<std::string>({expected}));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(expected)));
    view()->show_list_view(m_dir.filePath("named.txt"));
    EXPECT_EQ(standin::qui::opened_files().size(), 1u) << "a given name is written, not opened";
    EXPECT_TRUE(QFile::exists(m_dir.filePath("named.txt")));
}

TEST_F(list_view_test, refusals_are_reported_and_open_nothing)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); }));
    show_data_tab(true);
    view()->show_list_view();
    EXPECT_EQ(standin::msg::shown().back().text, "Cannot create List File") << "no data log";
    EXPECT_TRUE(standin::qui::opened_files().empty());
    m_frames.clear();
    standin::msg::reset();
    open_leaves(1, 2);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("view_%1.txt").arg(tx()->get_instance())));
    view()->show_list_view();
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_EQ(standin::msg::shown().back().text, "Cannot create List File") << "unwritable";
    EXPECT_TRUE(standin::qui::opened_files().empty());
    EXPECT_FALSE(view()->create_list_file(m_dir.filePath("missing/dir/list.txt")));
}

// A list written over a FIFO, a socket or a device replaced it with a plain file; one named with
// the replacement character went to another file. Each is refused with the reason, which the
// message shows and the caller (a Tcl step) gets.
TEST_F(list_view_test, a_list_is_not_written_where_no_file_belongs)
{
    open_leaves(2, 8);
    std::vector<sedq_special_file> targets = sedq_make_special_files(m_dir.path());
    const QString unreadable = m_dir.filePath(QStringLiteral("bad") + QChar(QChar::ReplacementCharacter) + ".txt");
    targets.push_back({"a name holding the replacement character", unreadable,
                       "the file name is not valid in the local character encoding", 0});
    for (const sedq_special_file& target : targets)
    {
        SCOPED_TRACE(target.label);
        standin::msg::reset();
        const std::string expected = target.path.toStdString() + ": " + target.reason;
        EXPECT_EQ(view()->show_list_view(target.path), expected);
        ASSERT_EQ(standin::msg::shown().size(), 1u);
        ASSERT_EQ(standin::msg::shown()[0].children.size(), 1u);
        EXPECT_EQ(standin::msg::shown()[0].children[0].text, expected);
        EXPECT_TRUE(target.type == 0 ? !QFile::exists(target.path) : sedq_is_unchanged(target));
    }
    EXPECT_EQ(view()->show_list_view(m_dir.filePath("list.txt")), "");
}

// A write that fails half way (here: past the largest file the process may write, as on a full
// disk) keeps the file the export would replace, and the export says it failed.
TEST_F(list_view_test, a_failed_list_or_picture_export_keeps_the_file_it_replaces)
{
    open_leaves(4, 64);
    const QByteArray before(40, 'o');
    struct row
    {
        const char* file;
        std::function<bool(const QString&)> export_to;
    };
    const row rows[] = {
        {"list.txt", [this](const QString& file) { return view()->create_list_file(file); }},
        {"picture.bmp", [this](const QString& file) { return view()->export_image(file); }},
    };
    for (const row& r : rows)
    {
        const QString file = m_dir.filePath(r.file);
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(before);
        old.close();
        rlimit limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit former = limit;
        limit.rlim_cur = 64;
        void (*former_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool exported = r.export_to(file);
        ::setrlimit(RLIMIT_FSIZE, &former);
        std::signal(SIGXFSZ, former_handler);
        EXPECT_FALSE(exported) << r.file;
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), before) << r.file;
        old.close();
        EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("%1*").arg(r.file)}, QDir::Files | QDir::Hidden),
                  QStringList{r.file})
            << "nothing is left beside it";
        EXPECT_TRUE(r.export_to(file)) << r.file << ": with room, the export replaces it";
        EXPECT_GT(QFile(file).size(), 64) << r.file;
    }
}
