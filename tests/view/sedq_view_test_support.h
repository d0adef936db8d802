#pragma once
// Fixture of the node view tests: a document built in the repository (rows, groups, levels,
// storage qualifier, logs) and written to a temporary folder, an editor window opened on it and
// shown offscreen at a fixed size, its one node view, refreshes delivered, the view painted into
// an image, and helpers that compare what was drawn with what a cell should show.

#include "host/sdr.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class view_test : public ::testing::Test
{
protected:
    using PREPARE = std::function<void(SDR_DATA_SESSION&)>;

    void SetUp() override
    {
        SEDQ_TX_MANAGER::m_cfg_inter_line_spacing = 0;
        SEDQ_TX_MANAGER::m_cfg_show_horz_grid = true;
        SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons = true;
        SEDQ_BLOCK::m_blocked = false;
        ASSERT_TRUE(m_dir.isValid());
    }

    void TearDown() override
    {
        m_frames.clear();
        SEDQ_TX_MANAGER::m_cfg_inter_line_spacing = 0;
    }

    // The first trigger of instance `instance` of a session being built.
    static SDR_DATA_TRIGGER* trigger_of(SDR_DATA_SESSION& session, int instance = 0)
    {
        return session.m_instances[size_t(instance)]->get_active_trigger();
    }

    // Writes a document of `instances` default instances, shaped by `prepare`.
    QString write_document(const PREPARE& prepare, int instances = 1, const QString& name = "view.vtl")
    {
        const QString path = m_dir.filePath(name);
        auto session = standin::sdr::make_session(path.toStdString(), instances);
        if (prepare)
            prepare(*session);
        session->clear_modified();
        std::string error;
        EXPECT_TRUE(sdr_write_session_file(*session, path.toStdString(), &error)) << error;
        return path;
    }

    // A window on the document, shown offscreen and settled; its view is the one under test.
    SEDQ_FRAME_WND* open(const QString& path, QSize size = QSize(1200, 800))
    {
        m_frames.push_back(std::make_unique<SEDQ_FRAME_WND>(&m_info, QUI_FW_STATE_ATTACHED));
        SEDQ_FRAME_WND* frame = m_frames.back().get();
        EXPECT_TRUE(frame->open_file(path));
        frame->resize(size);
        frame->show();
        settle();
        return frame;
    }

    // A window without a document.
    SEDQ_FRAME_WND* open_empty(QSize size = QSize(1200, 800))
    {
        m_frames.push_back(std::make_unique<SEDQ_FRAME_WND>(&m_info, QUI_FW_STATE_ATTACHED));
        SEDQ_FRAME_WND* frame = m_frames.back().get();
        frame->resize(size);
        frame->show();
        settle();
        return frame;
    }

    SEDQ_FRAME_WND* frame() { return m_frames.back().get(); }
    SEDQ_TX_MANAGER* tx() { return frame()->get_tx_manager(); }
    SEDQ_VIEW* view() { return frame()->get_layout_widget()->get_view(); }
    QTabWidget* tabs() { return frame()->get_layout_widget()->get_data_setup_tab_widget(-1); }

    // Delivers queued refreshes and zero-delay timers.
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }

    void refresh(unsigned hint = SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW)
    {
        tx()->update_all_views(nullptr, static_cast<int>(hint));
        settle();
    }

    // A window on a document of the one node "top|a" whose trigger level 0 is advanced, with the
    // level's page on show and the canvas following its condition.
    void open_advanced_level();

    void show_data_tab(bool data)
    {
        tabs()->setCurrentIndex(data ? 0 : 1);
        settle();
    }

    // Gives the view the keyboard focus inside an active window.
    void focus_view()
    {
        QApplication::setActiveWindow(frame());
        view()->setFocus(Qt::OtherFocusReason);
        settle();
    }

    void select_only(int node)
    {
        tx()->select_node_range(0, tx()->get_node_count(-1) - 1, false);
        tx()->set_node_selection_status(node, true);
    }

    // The view painted into an image of its size.
    QImage render()
    {
        QImage image(view()->size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        view()->paint(&painter, nullptr, view(), view()->rect(), true);
        painter.end();
        return image;
    }

    // The cell's inner rectangle, where its contents are drawn.
    QRect inner_cell(int row, int column)
    {
        QRect cell;
        EXPECT_TRUE(view()->get_item_rect(row, column, &cell)) << "row " << row << " column " << column;
        return cell.adjusted(2, 2, -2, -2);
    }

    // The pixels of exactly `colour` inside `area`, as a mask of the area's size.
    static QImage ink(const QImage& image, const QRect& area, const QColor& colour)
    {
        QImage mask(area.size(), QImage::Format_Mono);
        mask.fill(0);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                if (image.pixelColor(area.left() + x, area.top() + y).rgb() == colour.rgb())
                    mask.setPixel(x, y, 1);
        return mask;
    }

    // Whether `text` stands in `rect` of the image, drawn in `font` and `colour` with `flags`:
    // the pixels fully inked in that colour match those of the text drawn alone.
    // The text is drawn alone over the colour most pixels of the area have in the image, so
    // that its smoothed edges blend exactly as they did there.
    static bool shows_text(const QImage& image, const QRect& rect, const QString& text, const QFont& font,
                           const QColor& colour, int flags = Qt::AlignCenter)
    {
        QImage alone(image.size(), QImage::Format_ARGB32);
        alone.fill(background_of(image, rect.intersected(image.rect())));
        QPainter painter(&alone);
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(rect, flags, text);
        painter.end();
        const QImage expected = ink(alone, rect, colour);
        return !text.isEmpty() && expected == ink(image, rect, colour);
    }

    static QColor colour_at(const QImage& image, QPoint point) { return image.pixelColor(point); }

    // The tooltip the view shows for the point, empty when it shows none.
    QString tooltip_at(QPoint point)
    {
        QToolTip::hideText();
        settle();
        QHelpEvent help(QEvent::ToolTip, point, view()->mapToGlobal(point));
        QApplication::sendEvent(view(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    static QRgb background_of(const QImage& image, const QRect& area)
    {
        std::map<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ++counts[image.pixel(x, y)];
        QRgb most = 0;
        int best = -1;
        for (const auto& entry : counts)
            if (entry.second > best)
            {
                best = entry.second;
                most = entry.first;
            }
        return most;
    }

    static std::vector<std::string> internal_errors()
    {
        std::vector<std::string> expressions;
        for (const auto& error : standin::msg::internal_errors())
            expressions.push_back(error.expression);
        return expressions;
    }

    QTemporaryDir m_dir;
    QUI_FRAME_INFO m_info;
    std::vector<std::unique_ptr<SEDQ_FRAME_WND>> m_frames;
};

// Rows for a trigger: plain leaves named after `names`.
inline void add_leaves(SDR_DATA_TRIGGER* trigger, const std::vector<std::string>& names,
                       SDR_DATA_WIRE_CAPTURE_TYPE capture = SDR_WTYPE_DATA_AND_TRIGGER,
                       SDR_DATA_SIGNAL_TYPE type = SDR_STYPE_REGISTERED)
{
    for (const std::string& name : names)
    {
        standin::sdr::node_spec node;
        node.name = name;
        node.capture = capture;
        node.signal_type = type;
        standin::sdr::add_node(trigger, node);
    }
}

inline void view_test::open_advanced_level()
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            add_leaves(trigger_of(s), {"top|a"});
            trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
        }));
    tabs()->setCurrentIndex(2);
    settle();
    refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_TRIGGER_CANVAS);
}
