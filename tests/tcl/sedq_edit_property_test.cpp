// A property of every edit of the demo document: random sequences of edits, through the Tcl
// package's commands and the document model's setters, with texts and counts at and past the
// limits of an analyzer file. After each sequence the document saves and opens again exactly as
// it was saved; each edit either took effect or was refused with its reason (a Tcl error, or the
// message the editor shows) and then changed nothing. The sequences are drawn from fixed seeds,
// so a failure names its seed and step and repeats.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/atcl.h"
#include "host/qui.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/standin/atcl_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "support/demo_files.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#include "sedq/model/sedq_repository.h"

namespace
{
const int TEXT = int(SDR_FILE_LIMITS::MAX_XML_VALUE);

// The document as text, without the marks that say a condition stores no tree (the same as
// storing none).
std::string dump(const SDR_DATA_SESSION& session)
{
    std::istringstream in(standin::sdr::dump_document(session));
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.find(".tree.present: false") == std::string::npos)
            kept += line + "\n";
    return kept;
}

// The first line where two dumps differ, "" when none does.
std::string first_difference(const std::string& a, const std::string& b)
{
    std::istringstream left(a), right(b);
    std::string l, r;
    for (int line = 1;; ++line)
    {
        const bool has_l = bool(std::getline(left, l)), has_r = bool(std::getline(right, r));
        if (!has_l && !has_r)
            return "";
        if (!has_l || !has_r || l != r)
            return "line " + std::to_string(line) + ": " + l.substr(0, 120) + " <> " + r.substr(0, 120);
    }
}

class edit_property : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_document = sedq_copy_demo_project(m_dir);
        VANTREL_OPTIONS options;
        options.library = SEDQ_LIBRARY_PATH;
        options.batch = true;
        options.size = QSize(640, 480);
        options.file = m_document;
        m_host = std::make_unique<VANTREL_HOST>(options);
        QString error;
        ASSERT_TRUE(m_host->start(&error)) << error.toStdString();
        for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
            if (auto* window = qobject_cast<SEDQ_FRAME_WND*>(frame))
                m_window = window;
        ASSERT_NE(m_window, nullptr);
    }

    SEDQ_TX_MANAGER* model() { return m_window->get_tx_manager(); }
    SDR_DATA_SESSION& data() { return *SEDQ_REPOSITORY::session(model())->get_data_session(); }

    // A text for an edit: mostly short, now and then as long as a file stores, or one byte more.
    std::string text(const char* stem)
    {
        switch (std::uniform_int_distribution<int>(0, 19)(m_random))
        {
        case 0:
            return std::string(size_t(TEXT), 'l');
        case 1:
            return std::string(size_t(TEXT) + 1, 'p');
        default:
            return stem + std::to_string(std::uniform_int_distribution<int>(0, 999)(m_random));
        }
    }
    int pick(int below) { return below > 0 ? std::uniform_int_distribution<int>(0, below - 1)(m_random) : 0; }
    int rows() { return model()->get_node_count(SEDQ_CURRENT); }

    // One edit as the user or a script makes it; false when it was refused, with `reason` set.
    struct EDIT
    {
        const char* name;
        std::function<bool(edit_property&, std::string* reason)> make;
    };
    static std::vector<EDIT> edits();

    // An edit through the model as a pane makes it: inside one edit scope, unless the setter
    // brackets itself. The reason of a refusal is the message the editor shows.
    bool model_edit(const std::function<void()>& change, std::string* reason, bool scoped = true)
    {
        const size_t shown = standin::msg::shown().size();
        if (scoped)
        {
            const SEDQ_EDIT_SCOPE edit(model(), SEDQ_CHECK_COMPILATION);
            change();
        }
        else
        {
            change();
        }
        for (size_t i = shown; i < standin::msg::shown().size(); ++i)
            if (standin::msg::shown()[i].help_key == "OSEDQ_PAST_FILE_LIMIT")
            {
                *reason = standin::msg::shown()[i].text;
                return false;
            }
        return true;
    }

    bool tcl(const std::string& script, std::string* reason)
    {
        std::string result;
        if (standin::atcl::eval(script, &result) == TCL_OK)
            return true;
        *reason = result;
        return false;
    }

    std::string document_path() const { return QFile::encodeName(m_document).toStdString(); }

    QTemporaryDir m_dir;
    QString m_document;
    std::unique_ptr<VANTREL_HOST> m_host;
    SEDQ_FRAME_WND* m_window = nullptr;
    std::mt19937 m_random;
};

std::vector<edit_property::EDIT> edit_property::edits()
{
    using T = edit_property;
    return {
        {"sedq_add_node",
         [](T& t, std::string* reason) {
             return t.tcl("sedq_add_node -filename [file normalize {" + t.document_path() + "}] -nodename {" +
                              t.text("top|added_") + "}",
                          reason);
         }},
        {"set_node_alias",
         [](T& t, std::string* reason) {
             const std::string alias = t.text("alias_");
             const int row = t.pick(t.rows());
             return t.model_edit([&] { t.model()->set_node_alias(row, QString::fromStdString(alias)); }, reason);
         }},
        {"rename_node",
         [](T& t, std::string* reason) {
             const std::string name = t.text("top|renamed_");
             const int row = t.pick(t.rows());
             return t.model_edit([&] { t.model()->rename_node(row, QString::fromStdString(name)); }, reason);
         }},
        {"set_trigger_level_name",
         [](T& t, std::string* reason) {
             const std::string name = t.text("condition_");
             return t.model_edit([&] { t.model()->set_trigger_level_name(QString::fromStdString(name), 0, -1); },
                                 reason);
         }},
        {"set_flag_count",
         [](T& t, std::string* reason) {
             const int count = std::vector<int>{0, 3, 255, 256, 257}[size_t(t.pick(5))];
             return t.model_edit([&] { t.model()->set_flag_count(count); }, reason, false);
         }},
        {"set_counter_count",
         [](T& t, std::string* reason) {
             const int count = std::vector<int>{0, 1, 256, 257}[size_t(t.pick(4))];
             return t.model_edit([&] { t.model()->set_counter_count(count); }, reason, false);
         }},
        {"set_sample_depth",
         [](T& t, std::string* reason) {
             const QString depth = QStringList{"128", "1 K", "4 K"}.at(t.pick(3));
             return t.model_edit([&] { t.model()->set_sample_depth(depth); }, reason, false);
         }},
        {"set_instance", [](T& t, std::string*) {
             t.model()->set_instance(t.pick(2));
             return true;
         }},
    };
}
} // namespace

TEST_F(edit_property, random_edits_save_and_open_again_as_saved_or_are_refused_with_their_reason)
{
    const std::vector<EDIT> all = edits();
    for (unsigned seed = 1; seed <= 5; ++seed)
    {
        m_random.seed(seed);
        for (int step = 0; step < 16; ++step)
        {
            const EDIT& edit = all[size_t(pick(int(all.size())))];
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + edit.name);
            const std::string before = dump(data());
            std::string reason;
            if (!edit.make(*this, &reason))
            {
                const bool text = reason.find("longer than the 8388608 bytes a text of an analyzer file may take") !=
                                  std::string::npos;
                const bool count = reason.find("at most 256") != std::string::npos;
                EXPECT_TRUE(text || count) << reason;
                EXPECT_EQ(first_difference(dump(data()), before), "") << "a refused edit changes nothing";
            }
            QCoreApplication::processEvents();
        }
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_TRUE(m_window->save_file(m_document));
        std::string error;
        std::unique_ptr<SDR_DATA_SESSION> again = sdr_read_session_file(document_path(), &error);
        ASSERT_NE(again, nullptr) << error;
        again->m_name = data().m_name;
        EXPECT_EQ(first_difference(dump(data()), dump(*again)), "");
        EXPECT_TRUE(standin::msg::internal_errors().empty());
    }
}
