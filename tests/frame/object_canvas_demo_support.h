#pragma once
// Fixtures of the canvas tests on the demo: the serial instance's second trigger level, whose
// preset condition the canvas shows in the window, driven by the mouse, the keys, the host's
// drags and the window's commands as a user drives it.
#include "canvas_user_steps.h"
#include "frame_test_support.h"
#include "support/demo_files.h"

#include "host/afcq.h"
#include "host/afcq_drag.h"
#include "host/standin/afcq_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

namespace
{
constexpr int SERIAL_INSTANCE = 1;
constexpr int PRESET_LEVEL = 1; // the second advanced level, counted from 0

class object_canvas_demo_test : public frame_test
{
protected:
    void SetUp() override
    {
        const QString path = m_dir.filePath("demo.vtl");
        ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
        m_frame = open_frame(path);
        m_canvas = show_trigger_level(m_frame, SERIAL_INSTANCE, PRESET_LEVEL);
        ASSERT_TRUE(m_canvas != nullptr && m_canvas->get_object_list() != nullptr);
        ASSERT_TRUE(m_canvas->isVisible());
    }

    QList<SEDQ_OBJECT*> visible_objects() const
    {
        QList<SEDQ_OBJECT*> shown;
        for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
            if (!object->is_hidden())
                shown.append(object);
        return shown;
    }

    SEDQ_OBJECT* result() const
    {
        QList<SEDQ_OBJECT*>* list = m_canvas->get_object_list();
        const int index = sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT);
        return index >= 0 ? list->at(index) : nullptr;
    }

    // The top of the drawing on show, in canvas units.
    int visible_top() const
    {
        int top = INT_MAX;
        for (SEDQ_OBJECT* object : visible_objects())
            top = qMin(top, object->get_rect().top());
        return top;
    }

    bool enabled(AFCQ_ACTION_ENUM id) { return action(m_frame, id)->isEnabled(); }

    SEDQ_FRAME_WND* m_frame = nullptr;
    SEDQ_OBJECT_WIDGET* m_canvas = nullptr;
};

// The listing's font: the plain text pass draws the formula, the bold pass the label.
QFontMetrics listing_metrics()
{
    return QFontMetrics(QFont(QStringLiteral("Courier"), 12));
}

// Whether the pixel is drawn on (darker than the white drawing area).
bool inked(const QImage& picture, int x, int y)
{
    return qGray(picture.pixel(x, y)) < 160;
}
} // namespace

namespace
{
// The canvas as a user drives it: drags delivered from inside the host's drag, and the mouse.
class object_canvas_building_test : public object_canvas_demo_test
{
protected:
    canvas_user_steps user() const { return canvas_user_steps(m_frame, m_canvas); }
    void drop_from(QObject* source, QMimeData* data, QPoint at) { user().drop_from(source, data, at); }
    QPoint to_widget(QPoint point) const { return user().to_widget(point); }
    // Drags from the object's output port onto the target, dropping at its middle or at
    // `inside` (canvas coordinates).
    void connect_output(SEDQ_OBJECT* from, SEDQ_OBJECT* to) { user().connect_output(from, to); }
    void connect_output(SEDQ_OBJECT* from, QPoint inside) { user().connect_output(from, inside); }

    SEDQ_OBJECT* first_of(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type) const
    {
        QList<SEDQ_OBJECT*>* list = m_canvas->get_object_list();
        const int index = sedq_get_object_index(list, type);
        return index >= 0 ? list->at(index) : nullptr;
    }
};
} // namespace

