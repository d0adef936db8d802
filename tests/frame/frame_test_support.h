#pragma once
// Fixture of the window tests: documents written through the repository's fixture API to a
// temporary folder, editor windows built over them, and the queued refreshes delivered.

#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_state_text_edit.h"
#include "sedq/state_flow/sedq_state_widget.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QTest>
#include <QCoreApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// What one instance of a test document holds.
struct instance_spec
{
    instance_spec(std::string name_, int nodes_ = 2, int levels_ = 1, std::vector<int> advanced_levels_ = {},
                  bool state_based_ = false, bool powerup_ = false, int log_segment_size_ = -1)
        : name(std::move(name_)), nodes(nodes_), levels(levels_),
          advanced_levels(std::move(advanced_levels_)), state_based(state_based_), powerup(powerup_),
          log_segment_size(log_segment_size_)
    {
    }

    std::string name;
    int nodes = 2;
    int levels = 1;
    std::vector<int> advanced_levels;
    bool state_based = false;
    bool powerup = false;
    int log_segment_size = -1; // -1: no acquired data
    int log_state_value = -1;  // the state the acquired data reports; -1: none
    // Full names of the nodes; empty: `nodes` names "top|<name>_node<n>".
    std::vector<std::string> node_names;
};

class frame_test : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_frames.clear();
        m_main_window.reset();
    }

    // Writes a document with these instances and returns its path.
    QString write_document(const std::vector<instance_spec>& instances, const QString& name = "doc.vtl")
    {
        const QString path = m_dir.filePath(name);
        auto session = standin::sdr::make_session(path.toStdString(), static_cast<int>(instances.size()));
        for (size_t i = 0; i < instances.size(); ++i)
            build_instance(session->m_instances[i].get(), instances[i]);
        session->clear_modified();
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*session, path.toStdString(), &error)) << error;
        return path;
    }

    SEDQ_FRAME_WND* make_frame(QUI_FW_STATE_ENUM state = QUI_FW_STATE_ATTACHED)
    {
        m_frames.push_back(std::make_unique<SEDQ_FRAME_WND>(&m_info, state));
        return m_frames.back().get();
    }

    // A window opened on a document, shown offscreen at a fixed size and settled.
    SEDQ_FRAME_WND* open_frame(const QString& path, QUI_FW_STATE_ENUM state = QUI_FW_STATE_ATTACHED)
    {
        SEDQ_FRAME_WND* frame = make_frame(state);
        EXPECT_TRUE(frame->open_file(path));
        frame->resize(1200, 800);
        frame->show();
        settle();
        return frame;
    }

    // The host closes a window before the file it showed can be opened again.
    void close_frame(SEDQ_FRAME_WND* frame)
    {
        for (auto it = m_frames.begin(); it != m_frames.end(); ++it)
            if (it->get() == frame)
            {
                m_frames.erase(it);
                return;
            }
    }

    // A host main window, so that child frames have one (with its Relayne entry).
    QUI_FRAME_WND* make_host_main_window()
    {
        m_main_window = std::make_unique<QUI_FRAME_WND>(&m_host_info, QUI_FW_STATE_MAIN_WINDOW);
        return m_main_window.get();
    }

    // The host may close its main window while a child window still lives.
    void destroy_host_main_window() { m_main_window.reset(); }

    // Delivers queued refreshes and zero-delay timers.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static QAction* action(SEDQ_FRAME_WND* frame, int id)
    {
        return frame->get_tx_manager()->get_action(AFCQ_ACTION_ENUM(id), QVariant());
    }

    // Brings the tabs that hold `widget` to the front (the instance's tab, then the page's), as
    // clicks on them would.
    static void bring_to_front(QWidget* widget)
    {
        for (QWidget* w = widget; w != nullptr; w = w->parentWidget())
        {
            QWidget* holder = w->parentWidget() != nullptr ? w->parentWidget()->parentWidget() : nullptr;
            if (auto* tabs = qobject_cast<QTabWidget*>(holder))
                tabs->setCurrentWidget(w);
            else if (auto* instances = qobject_cast<SEDQ_INSTANCE_TABS*>(holder))
                instances->setCurrentWidget(w);
        }
        settle();
    }

    // The titles of a tab widget's tabs (Qt's, or the window's instance tabs).
    template <class TABS>
    static QStringList tab_titles(TABS* tabs)
    {
        QStringList titles;
        for (int i = 0; tabs != nullptr && i < tabs->count(); ++i)
            titles << tabs->tabText(i);
        return titles;
    }

    // The text of a state (the first by default) on a flow page selected and typed over, the
    // completion popup closed afterwards as Escape would.
    static void type_state(SEDQ_STATE_WIDGET* page, const QString& text, int state = 0)
    {
        SEDQ_STATE_TEXT_EDIT* editor = nullptr;
        for (SEDQ_STATE_TEXT_EDIT* each : page->findChildren<SEDQ_STATE_TEXT_EDIT*>())
            editor = each->get_state() == state ? each : editor;
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
        editor->get_completer()->popup()->hide();
        settle();
    }

    // Makes `instance` current and shows the advanced trigger page of its trigger `level`
    // (counted from 0) as the user reaches it: from the first page, a click on the level's tab
    // (a reopened document may show that page already). The window's canvas.
    static SEDQ_OBJECT_WIDGET* show_trigger_level(SEDQ_FRAME_WND* frame, int instance, int level)
    {
        frame->get_tx_manager()->set_instance(instance);
        frame->get_layout_widget()->update_instance_tabs();
        settle();
        return show_level_page(frame, level);
    }

    // The advanced trigger page of `level` of the trigger the window shows (the run-time or the
    // power-up one), reached by a click on its tab from the first page. The window's canvas.
    static SEDQ_OBJECT_WIDGET* show_level_page(SEDQ_FRAME_WND* frame, int level)
    {
        SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
        QTabWidget* tabs = layout->get_data_setup_tab_widget(SEDQ_CURRENT);
        if (tabs == nullptr)
            return nullptr;
        tabs->setCurrentIndex(0);
        settle();
        for (int page = 0; page < tabs->count(); ++page)
            if (tabs->widget(page)->property("trigger level").isValid() &&
                tabs->widget(page)->property("trigger level").toInt() == level)
                tabs->setCurrentIndex(page);
        settle();
        return layout->get_object_widget();
    }

    QTemporaryDir m_dir;
    QUI_FRAME_INFO m_info;
    QUI_FRAME_INFO m_host_info{"Corvane", ""};

private:
    static void build_instance(SDR_DATA_INSTANCE* instance, const instance_spec& desc)
    {
        instance->set_name(desc.name.c_str());
        instance->m_state.powerup_enabled = desc.powerup;
        SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
        standin::sdr::set_levels(trigger, desc.levels);
        for (int level : desc.advanced_levels)
            trigger->edit_transient().levels[level].type = SDR_LTYPE_ADVANCED;
        trigger->edit_transient().state_based = desc.state_based;
        const int nodes = desc.node_names.empty() ? desc.nodes : static_cast<int>(desc.node_names.size());
        for (int n = 0; n < nodes; ++n)
        {
            standin::sdr::node_spec node;
            node.name = desc.node_names.empty() ? "top|" + desc.name + "_node" + std::to_string(n) : desc.node_names[n];
            standin::sdr::add_node(trigger, node);
        }
        if (desc.log_segment_size < 0)
            return;
        standin::sdr::log_spec log;
        log.depth = 16;
        log.channels.assign(nodes, "0101010101010101");
        log.segment_size = desc.log_segment_size;
        log.trigger_position = 4;
        log.state_value = desc.log_state_value;
        standin::sdr::make_log(trigger, log);
    }

    std::unique_ptr<QUI_FRAME_WND> m_main_window;
    std::vector<std::unique_ptr<SEDQ_FRAME_WND>> m_frames;
};
