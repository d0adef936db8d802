// Application-framework stand-in: the host's icons. One table gives each icon id a name of
// the freedesktop icon naming scheme, served by the installed icon theme, with one of Qt's
// standard pictures where the theme lacks it; the glyphs of instances and trigger states are
// drawn; an id the table does not know is a numbered square.
#include "host/afcq.h"
#include "host/afcq_private.h"
#include "host/standin/afcq_control.h"
#include "host/standin/standin.h"

#include <QIconEngine>
#include <QList>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

#include <map>

namespace
{
// ---- glyphs ---------------------------------------------------------------------------------

enum class GLYPH
{
    NONE,
    INSTANCE,         // an analyzer instance, grey
    CURRENT_INSTANCE, // the current one: green, as the ready status
    TRIGGER,
    CURRENT_TRIGGER,
    HIGH,
    LOW,
    RISING,
    FALLING,
    EITHER_EDGE,
    DONT_CARE,
    ACTIVE_HIGH,
    ACTIVE_LOW,
    PRE_POSITION,
    CENTER_POSITION,
    POST_POSITION,
    START_STOP,
    LOCKED,
    UNLOCKED,
};

// The colours of the trigger condition names, the ready and error states and the power-up
// trigger, as the analyzer's own drawing uses them.
const QColor CONDITION_COLOUR(128, 0, 128);
const QColor READY_COLOUR(Qt::green);
const QColor IDLE_COLOUR(Qt::gray);
const QColor TRIGGER_MARK_COLOUR(Qt::red);
const QColor POWERUP_COLOUR(153, 204, 255);

void draw_chip(QPainter& p, int size, const QColor& light)
{
    const qreal unit = size / 16.0;
    p.setPen(QPen(Qt::darkGray, unit));
    for (int pin = 0; pin < 3; ++pin)
    {
        const qreal y = (4 + pin * 4) * unit;
        p.drawLine(QPointF(1 * unit, y), QPointF(15 * unit, y));
    }
    p.setPen(QPen(Qt::black, unit));
    p.setBrush(QColor(60, 60, 60));
    p.drawRoundedRect(QRectF(3 * unit, 2 * unit, 10 * unit, 12 * unit), unit, unit);
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawEllipse(QRectF(5.5 * unit, 4.5 * unit, 5 * unit, 5 * unit));
}

// A waveform over the icon: points in a 16 x 16 grid, low at 12, high at 4.
void draw_wave(QPainter& p, int size, std::initializer_list<QPointF> points, const QColor& colour)
{
    const qreal unit = size / 16.0;
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points)
    {
        const QPointF scaled(point.x() * unit, point.y() * unit);
        if (first)
            path.moveTo(scaled);
        else
            path.lineTo(scaled);
        first = false;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 1.6 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void draw_arrow(QPainter& p, int size, bool up, const QColor& colour)
{
    const qreal unit = size / 16.0;
    const qreal tip = up ? 3 : 13;
    const qreal base = up ? 6 : 10;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(8 * unit, tip * unit), QPointF(5.5 * unit, base * unit),
                             QPointF(10.5 * unit, base * unit)}));
}

// The acquisition window with the trigger mark at a share of its width.
void draw_position(QPainter& p, int size, qreal share)
{
    const qreal unit = size / 16.0;
    p.setPen(QPen(Qt::black, unit));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5 * unit, 4.5 * unit, 13 * unit, 7 * unit));
    p.setPen(QPen(TRIGGER_MARK_COLOUR, 1.6 * unit));
    const qreal x = (1.5 + 13 * share) * unit;
    p.drawLine(QPointF(x, 2 * unit), QPointF(x, 14 * unit));
}

void draw_padlock(QPainter& p, int size, bool locked)
{
    const qreal unit = size / 16.0;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::darkGray, 1.6 * unit));
    const QRectF shackle(4.5 * unit, 2 * unit, 7 * unit, 8 * unit);
    p.drawArc(locked ? shackle : shackle.translated(3 * unit, -1 * unit), 0, 180 * 16);
    p.setPen(QPen(Qt::black, unit));
    p.setBrush(locked ? QColor(230, 180, 40) : READY_COLOUR);
    p.drawRoundedRect(QRectF(3 * unit, 7 * unit, 10 * unit, 7.5 * unit), unit, unit);
}

// ---- node kinds: one picture per kind of tapped node; a bus or group shows two stacked ------

enum class NODE_KIND
{
    INPUT_PIN,
    OUTPUT_PIN,
    BIDIR_PIN,
    MEMORY,
    REGISTERED,
    COMBINATIONAL,
    STATE_MACHINE,
    OTHER
};

const QColor NODE_COLOUR(40, 90, 150);

void draw_pin_arrow(QPainter& p, qreal unit, qreal from, qreal to)
{
    const qreal dir = to > from ? 1 : -1;
    p.setPen(QPen(NODE_COLOUR, 1.4 * unit, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(from * unit, 8 * unit), QPointF(to * unit, 8 * unit));
    p.setPen(Qt::NoPen);
    p.setBrush(NODE_COLOUR);
    p.drawPolygon(QPolygonF({QPointF(to * unit, 8 * unit), QPointF((to - 3 * dir) * unit, 5.5 * unit),
                             QPointF((to - 3 * dir) * unit, 10.5 * unit)}));
}

void draw_pin_box(QPainter& p, qreal unit, qreal left)
{
    p.setPen(QPen(Qt::black, unit));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(left * unit, 4.5 * unit, 5 * unit, 7 * unit));
}

void draw_node_kind(QPainter& p, NODE_KIND kind, qreal unit)
{
    p.setPen(QPen(Qt::black, unit));
    p.setBrush(QColor(235, 240, 250));
    switch (kind)
    {
    case NODE_KIND::INPUT_PIN:
        draw_pin_box(p, unit, 9.5);
        return draw_pin_arrow(p, unit, 1, 9);
    case NODE_KIND::OUTPUT_PIN:
        draw_pin_box(p, unit, 1.5);
        return draw_pin_arrow(p, unit, 7, 15);
    case NODE_KIND::BIDIR_PIN:
        draw_pin_arrow(p, unit, 8, 15);
        draw_pin_arrow(p, unit, 8, 1);
        return draw_pin_box(p, unit, 5.5);
    case NODE_KIND::MEMORY:
        p.drawRect(QRectF(2.5 * unit, 2.5 * unit, 11 * unit, 11 * unit));
        for (qreal y : {5.5, 8.0, 10.5})
            p.drawLine(QPointF(2.5 * unit, y * unit), QPointF(13.5 * unit, y * unit));
        return;
    case NODE_KIND::REGISTERED:
        p.drawRect(QRectF(3.5 * unit, 1.5 * unit, 9 * unit, 13 * unit));
        p.drawPolyline(QPolygonF({QPointF(3.5 * unit, 10 * unit), QPointF(6.5 * unit, 12 * unit),
                                  QPointF(3.5 * unit, 14 * unit)}));
        return;
    case NODE_KIND::COMBINATIONAL:
    {
        QPainterPath gate;
        gate.moveTo(2.5 * unit, 2.5 * unit);
        gate.lineTo(8 * unit, 2.5 * unit);
        gate.arcTo(QRectF(2.5 * unit, 2.5 * unit, 11 * unit, 11 * unit), 90, -180);
        gate.lineTo(2.5 * unit, 13.5 * unit);
        gate.closeSubpath();
        return p.drawPath(gate);
    }
    case NODE_KIND::STATE_MACHINE:
        p.drawEllipse(QRectF(1.5 * unit, 1.5 * unit, 6 * unit, 6 * unit));
        p.drawEllipse(QRectF(8.5 * unit, 8.5 * unit, 6 * unit, 6 * unit));
        p.setPen(QPen(NODE_COLOUR, 1.2 * unit));
        p.drawLine(QPointF(6.5 * unit, 6.5 * unit), QPointF(9.5 * unit, 9.5 * unit));
        return;
    case NODE_KIND::OTHER:
        p.setBrush(NODE_COLOUR);
        p.drawEllipse(QRectF(4.5 * unit, 4.5 * unit, 7 * unit, 7 * unit));
        return;
    }
}

// An icon of the three sizes the host offers, each drawn by `draw(painter, size)`.
template <typename DRAW>
QIcon drawn_icon(DRAW draw)
{
    QIcon icon;
    for (int size : {16, 24, 32})
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon node_icon(NODE_KIND kind, bool group)
{
    return drawn_icon([kind, group](QPainter& painter, int size) {
        const qreal unit = size / 16.0;
        if (group)
        {
            // A second copy behind and below: many nodes of this kind.
            painter.setOpacity(0.45);
            painter.translate(2 * unit, 2 * unit);
            painter.scale(0.8, 0.8);
            draw_node_kind(painter, kind, unit);
            painter.resetTransform();
            painter.setOpacity(1.0);
            painter.scale(0.8, 0.8);
        }
        draw_node_kind(painter, kind, unit);
    });
}

// Icon ids of the node kinds: single node, then bus or group.
const std::map<int, std::pair<NODE_KIND, bool>>& node_icon_table()
{
    static const std::map<int, std::pair<NODE_KIND, bool>> table = {
        {AFCQ_ICON_INPUT_PIN, {NODE_KIND::INPUT_PIN, false}},
        {AFCQ_ICON_INPUT_PIN_GROUP, {NODE_KIND::INPUT_PIN, true}},
        {AFCQ_ICON_OUTPUT_PIN, {NODE_KIND::OUTPUT_PIN, false}},
        {AFCQ_ICON_OUTPUT_PIN_GROUP, {NODE_KIND::OUTPUT_PIN, true}},
        {AFCQ_ICON_BIDIR_PIN, {NODE_KIND::BIDIR_PIN, false}},
        {AFCQ_ICON_BIDIR_PIN_GROUP, {NODE_KIND::BIDIR_PIN, true}},
        {AFCQ_ICON_MEMORY, {NODE_KIND::MEMORY, false}},
        {AFCQ_ICON_MEMORY_GROUP, {NODE_KIND::MEMORY, true}},
        {AFCQ_ICON_REGISTERED, {NODE_KIND::REGISTERED, false}},
        {AFCQ_ICON_REGISTERED_GROUP, {NODE_KIND::REGISTERED, true}},
        {AFCQ_ICON_COMBINATIONAL, {NODE_KIND::COMBINATIONAL, false}},
        {AFCQ_ICON_COMBINATIONAL_GROUP, {NODE_KIND::COMBINATIONAL, true}},
        {AFCQ_ICON_STATE_MACHINE, {NODE_KIND::STATE_MACHINE, false}},
        {AFCQ_ICON_STATE_MACHINE_GROUP, {NODE_KIND::STATE_MACHINE, true}},
        {AFCQ_ICON_OTHER_NODE, {NODE_KIND::OTHER, false}},
        {AFCQ_ICON_OTHER_NODE_GROUP, {NODE_KIND::OTHER, true}},
    };
    return table;
}

void draw_glyph(QPainter& p, GLYPH glyph, int size)
{
    switch (glyph)
    {
    case GLYPH::INSTANCE:
        return draw_chip(p, size, IDLE_COLOUR);
    case GLYPH::CURRENT_INSTANCE:
        return draw_chip(p, size, READY_COLOUR);
    case GLYPH::TRIGGER:
    case GLYPH::CURRENT_TRIGGER:
        draw_wave(p, size, {{1, 12}, {8, 12}, {8, 4}, {15, 4}},
                  glyph == GLYPH::CURRENT_TRIGGER ? QColor(Qt::darkGreen) : CONDITION_COLOUR);
        return draw_arrow(p, size, true, TRIGGER_MARK_COLOUR);
    case GLYPH::HIGH:
        return draw_wave(p, size, {{1, 4}, {15, 4}}, CONDITION_COLOUR);
    case GLYPH::LOW:
        return draw_wave(p, size, {{1, 12}, {15, 12}}, CONDITION_COLOUR);
    case GLYPH::RISING:
        draw_wave(p, size, {{1, 12}, {8, 12}, {8, 4}, {15, 4}}, CONDITION_COLOUR);
        return draw_arrow(p, size, true, CONDITION_COLOUR);
    case GLYPH::FALLING:
        draw_wave(p, size, {{1, 4}, {8, 4}, {8, 12}, {15, 12}}, CONDITION_COLOUR);
        return draw_arrow(p, size, false, CONDITION_COLOUR);
    case GLYPH::EITHER_EDGE:
        return draw_wave(p, size, {{1, 12}, {5, 12}, {5, 4}, {11, 4}, {11, 12}, {15, 12}}, CONDITION_COLOUR);
    case GLYPH::DONT_CARE:
        draw_wave(p, size, {{1, 4}, {15, 12}}, CONDITION_COLOUR);
        return draw_wave(p, size, {{1, 12}, {15, 4}}, CONDITION_COLOUR);
    case GLYPH::ACTIVE_HIGH:
        return draw_wave(p, size, {{1, 12}, {5, 12}, {5, 4}, {11, 4}, {11, 12}, {15, 12}}, Qt::darkGreen);
    case GLYPH::ACTIVE_LOW:
        return draw_wave(p, size, {{1, 4}, {5, 4}, {5, 12}, {11, 12}, {11, 4}, {15, 4}}, Qt::darkGreen);
    case GLYPH::PRE_POSITION:
        return draw_position(p, size, 0.125);
    case GLYPH::CENTER_POSITION:
        return draw_position(p, size, 0.5);
    case GLYPH::POST_POSITION:
        return draw_position(p, size, 0.875);
    case GLYPH::START_STOP:
        draw_position(p, size, 0.25);
        p.setPen(QPen(POWERUP_COLOUR.darker(150), 1.6 * size / 16.0));
        p.drawLine(QPointF(size * 0.78, size * 0.125), QPointF(size * 0.78, size * 0.875));
        return;
    case GLYPH::LOCKED:
        return draw_padlock(p, size, true);
    case GLYPH::UNLOCKED:
        return draw_padlock(p, size, false);
    case GLYPH::NONE:
        return;
    }
}

// ---- the table --------------------------------------------------------------------------------

struct ICON_ENTRY
{
    const char* name;               // freedesktop icon name; null for a drawn glyph
    QStyle::StandardPixmap fallback; // when the theme has no such icon
    GLYPH glyph;
};

constexpr QStyle::StandardPixmap NO_PIXMAP = QStyle::SP_CustomBase;

const std::map<int, ICON_ENTRY>& icon_table()
{
    static const std::map<int, ICON_ENTRY> table = {
        {AFCQ_ICON_GO_PREVIOUS, {"go-previous", QStyle::SP_ArrowBack, GLYPH::NONE}},
        {AFCQ_ICON_GO_NEXT, {"go-next", QStyle::SP_ArrowForward, GLYPH::NONE}},
        {AFCQ_ICON_AUTORUN, {"media-playlist-repeat", QStyle::SP_BrowserReload, GLYPH::NONE}}, // autorun
        {AFCQ_ICON_CLOSE_PANE, {"window-close", QStyle::SP_TitleBarCloseButton, GLYPH::NONE}}, // close a pane
        {AFCQ_ICON_LOG_INSTANCE, {nullptr, NO_PIXMAP, GLYPH::INSTANCE}},          // instance of the log tree
        {AFCQ_ICON_LOG, {"text-x-generic", QStyle::SP_FileIcon, GLYPH::NONE}},    // data log
        {AFCQ_ICON_LOG + 1, {"document-open", QStyle::SP_FileIcon, GLYPH::NONE}}, // the current data log
        {AFCQ_ICON_LOG_SIGNAL_SET, {"folder", QStyle::SP_DirIcon, GLYPH::NONE}},  // signal set
        {AFCQ_ICON_LOG_SIGNAL_SET + 1,
         {"folder-open", QStyle::SP_DirOpenIcon, GLYPH::NONE}}, // the current signal set
        {AFCQ_ICON_LOG_TRIGGER, {nullptr, NO_PIXMAP, GLYPH::TRIGGER}},
        {AFCQ_ICON_LOG_TRIGGER + 1, {nullptr, NO_PIXMAP, GLYPH::CURRENT_TRIGGER}},
        {AFCQ_ICON_ATTACH, {"mail-attachment", QStyle::SP_FileLinkIcon, GLYPH::NONE}}, // attach a SOF file
        {AFCQ_ICON_HIERARCHY_LEVEL,
         {"folder", QStyle::SP_DirIcon, GLYPH::NONE}}, // hierarchy level, palette entry
        {AFCQ_ICON_OTHER_INSTANCE, {nullptr, NO_PIXMAP, GLYPH::INSTANCE}},
        {AFCQ_ICON_CURRENT_INSTANCE, {nullptr, NO_PIXMAP, GLYPH::CURRENT_INSTANCE}},
        {AFCQ_ICON_LOCKED, {nullptr, NO_PIXMAP, GLYPH::LOCKED}},               // a restricting lock mode
        {AFCQ_ICON_UNLOCKED, {nullptr, NO_PIXMAP, GLYPH::UNLOCKED}},           // all changes allowed
        {AFCQ_ICON_READ_DATA, {"go-down", QStyle::SP_ArrowDown, GLYPH::NONE}}, // read data
        {AFCQ_ICON_RUN, {"media-playback-start", QStyle::SP_MediaPlay, GLYPH::NONE}}, // run
        {AFCQ_ICON_SAVE_TO_LOG,
         {"document-save", QStyle::SP_DialogSaveButton, GLYPH::NONE}},                // save to the data log
        {AFCQ_ICON_STOP, {"media-playback-stop", QStyle::SP_MediaStop, GLYPH::NONE}}, // stop
        {AFCQ_ICON_ADVANCED_TRIGGER_PAGE,
         {"preferences-other", QStyle::SP_FileDialogDetailedView, GLYPH::NONE}}, // advanced trigger page
        {AFCQ_ICON_DATA_PAGE,
         {"utilities-system-monitor", QStyle::SP_ComputerIcon, GLYPH::NONE}}, // Data page
        {AFCQ_ICON_SETUP_PAGE,
         {"preferences-system", QStyle::SP_FileDialogListView, GLYPH::NONE}}, // Setup page
        {AFCQ_ICON_STATE_FLOW_PAGE,
         {"text-x-script", QStyle::SP_FileIcon, GLYPH::NONE}}, // state-based flow page
        {AFCQ_ICON_DONT_CARE, {nullptr, NO_PIXMAP, GLYPH::DONT_CARE}},
        {AFCQ_ICON_EITHER_EDGE, {nullptr, NO_PIXMAP, GLYPH::EITHER_EDGE}},
        {AFCQ_ICON_FALLING_EDGE, {nullptr, NO_PIXMAP, GLYPH::FALLING}},
        {AFCQ_ICON_HIGH, {nullptr, NO_PIXMAP, GLYPH::HIGH}},
        {AFCQ_ICON_LOW, {nullptr, NO_PIXMAP, GLYPH::LOW}},
        {AFCQ_ICON_RISING_EDGE, {nullptr, NO_PIXMAP, GLYPH::RISING}},
        {AFCQ_ICON_ACTIVE_HIGH, {nullptr, NO_PIXMAP, GLYPH::ACTIVE_HIGH}},
        {AFCQ_ICON_ACTIVE_LOW, {nullptr, NO_PIXMAP, GLYPH::ACTIVE_LOW}},
        {AFCQ_ICON_CENTER_POSITION, {nullptr, NO_PIXMAP, GLYPH::CENTER_POSITION}},
        {AFCQ_ICON_START_STOP, {nullptr, NO_PIXMAP, GLYPH::START_STOP}},
        {AFCQ_ICON_POST_POSITION, {nullptr, NO_PIXMAP, GLYPH::POST_POSITION}},
        {AFCQ_ICON_PRE_POSITION, {nullptr, NO_PIXMAP, GLYPH::PRE_POSITION}},
    };
    return table;
}

// Host commands by object name: the host's own entries carry their button name, shared
// commands "AFCQ_<id>".
const std::map<QString, ICON_ENTRY>& action_table()
{
    const auto named = [](const char* name, QStyle::StandardPixmap fallback) {
        return ICON_ENTRY{name, fallback, GLYPH::NONE};
    };
    static const std::map<QString, ICON_ENTRY> table = {
        {"AFCQ_NEW_ACTION", named("document-new", QStyle::SP_FileIcon)},
        {"AFCQ_OPEN_ACTION", named("document-open", QStyle::SP_DialogOpenButton)},
        {"AFCQ_CLOSE_ACTION", named("window-close", QStyle::SP_DialogCloseButton)},
        {"AFCQ_SAVE_ACTION", named("document-save", QStyle::SP_DialogSaveButton)},
        {"AFCQ_SAVE_AS_ACTION", named("document-save-as", QStyle::SP_DialogSaveButton)},
        {"AFCQ_PAGE_SETUP_ACTION", named("document-page-setup", NO_PIXMAP)},
        {"AFCQ_PRINT_PREVIEW_ACTION", named("document-print-preview", NO_PIXMAP)},
        {"AFCQ_PRINT_ACTION", named("document-print", NO_PIXMAP)},
        {"AFCQ_EXIT_ACTION", named("application-exit", QStyle::SP_DialogCloseButton)},
        {"AFCQ_MSWQ_ACTION", named("dialog-information", QStyle::SP_MessageBoxInformation)},
        {"AFCQ_TCL_CONSOLE_ACTION", named("utilities-terminal", QStyle::SP_ComputerIcon)},
        {"AFCQ_FULL_SCREEN_ACTION", named("view-fullscreen", QStyle::SP_TitleBarMaxButton)},
        {"AFCQ_STOP_PROCESSING_ACTION", named("process-stop", QStyle::SP_BrowserStop)},
        {"AFCQ_START_COMPILATION_ACTION", named("system-run", QStyle::SP_MediaPlay)},
        {"AFCQ_RELAYNE_ACTION", named("view-refresh", QStyle::SP_BrowserReload)},
        {"AFCQ_PROGRAMMER_ACTION", named("media-flash", QStyle::SP_DriveFDIcon)},
        {"AFCQ_DETACH_ACTION", named("window-new", QStyle::SP_TitleBarNormalButton)},
        {"AFCQ_ATTACH_ACTION", named("view-restore", QStyle::SP_TitleBarMinButton)},
        {"AFCQ_CORVANE_HELP_ACTION", named("help-contents", QStyle::SP_DialogHelpButton)},
        {"AFCQ_ABOUT_ACTION", named("help-about", QStyle::SP_MessageBoxInformation)},
        {"AFCQ_7", named("edit-table-insert-column-right", NO_PIXMAP)},
        {"AFCQ_8", named("distribute-graph-directed", NO_PIXMAP)},
        {"AFCQ_9", named("arrow-right", QStyle::SP_ArrowRight)},
        {"AFCQ_10", named("object-ungroup", NO_PIXMAP)},
        {"AFCQ_11", named("arrow-left", QStyle::SP_ArrowLeft)},
        {"AFCQ_12", named("edit-table-insert-column-left", NO_PIXMAP)},
        {"AFCQ_13", named("go-down", QStyle::SP_ArrowDown)},
        {"AFCQ_14", named("go-up", QStyle::SP_ArrowUp)},
        {"AFCQ_15", named("document-properties", NO_PIXMAP)},
        {"AFCQ_16", named("list-remove", NO_PIXMAP)},
        {"AFCQ_17", named("edit-rename", NO_PIXMAP)},
        {"AFCQ_19", named("media-playlist-repeat", QStyle::SP_BrowserReload)},
        {"AFCQ_21", named("go-down", QStyle::SP_ArrowDown)},
        {"AFCQ_22", named("media-playback-start", QStyle::SP_MediaPlay)},
        {"AFCQ_23", named("media-playback-stop", QStyle::SP_MediaStop)},
        {"AFCQ_75", named("edit-copy", NO_PIXMAP)},
        {"AFCQ_112", named("edit-cut", NO_PIXMAP)},
        {"AFCQ_113", named("edit-delete", QStyle::SP_TrashIcon)},
        {"AFCQ_116", named("edit-rename", NO_PIXMAP)},
        {"AFCQ_117", named("document-save", QStyle::SP_DialogSaveButton)},
        {"AFCQ_118", named("edit-select-all", NO_PIXMAP)},
        {"AFCQ_120", named("edit-delete", QStyle::SP_TrashIcon)},
        {"AFCQ_154", named("document-save-as", QStyle::SP_DialogSaveButton)},
        {"AFCQ_178", named("edit-find", QStyle::SP_FileDialogContentsView)},
        {"AFCQ_218", named("go-jump", NO_PIXMAP)},
        {"AFCQ_257", named("list-add", NO_PIXMAP)},
        {"AFCQ_258", named("list-remove", NO_PIXMAP)},
        {"AFCQ_408", named("edit-paste", NO_PIXMAP)},
        {"AFCQ_459", named("edit-redo", QStyle::SP_ArrowForward)},
        {"AFCQ_474", named("edit-find-replace", NO_PIXMAP)},
        {"AFCQ_506", named("edit-find", QStyle::SP_FileDialogContentsView)},
        {"AFCQ_507", named("system-run", QStyle::SP_MediaPlay)},
        {"AFCQ_508", named("view-refresh", QStyle::SP_BrowserReload)},
        {"AFCQ_509", named("go-jump", NO_PIXMAP)},
        {"AFCQ_513", named("edit-select-all", NO_PIXMAP)},
        {"AFCQ_614", named("mail-attachment", NO_PIXMAP)},
        {"AFCQ_615", named("edit-delete", QStyle::SP_TrashIcon)},
        {"AFCQ_616", named("document-save-as", QStyle::SP_DialogSaveButton)},
        {"AFCQ_617", named("media-flash", QStyle::SP_DriveFDIcon)},
        {"AFCQ_618", named("edit-rename", NO_PIXMAP)},
        {"AFCQ_694", named("edit-undo", QStyle::SP_ArrowBack)},
        {"AFCQ_708", named("go-jump", NO_PIXMAP)},
        {"AFCQ_728", named("zoom-fit-best", NO_PIXMAP)},
        {"AFCQ_729", named("zoom-in", NO_PIXMAP)},
        {"AFCQ_730", named("zoom-out", NO_PIXMAP)},
    };
    return table;
}

// ---- pictures -----------------------------------------------------------------------------

// Hues spread by the golden angle so that neighbouring ids look different; soft colours so
// that a window full of them stays readable.
QColor numbered_colour(int id)
{
    const int hue = static_cast<int>((static_cast<unsigned>(id) * 137u) % 360u);
    return QColor::fromHsv(hue, 110, 215);
}

QPixmap draw_numbered(int id, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = numbered_colour(id);
    painter.setPen(colour.darker(160));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(size * 7 / 16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour.darker(260));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(id % 1000));
    return pixmap;
}

QIcon numbered_icon(int id)
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(draw_numbered(id, size));
    return icon;
}

QIcon glyph_icon(GLYPH glyph)
{
    return drawn_icon([glyph](QPainter& painter, int size) { draw_glyph(painter, glyph, size); });
}

// The theme's picture, else Qt's standard one; null when neither exists.
QIcon named_icon(const ICON_ENTRY& entry)
{
    afcq_detail::use_host_icon_theme();
    if (entry.glyph != GLYPH::NONE)
        return glyph_icon(entry.glyph);
    const QString name = QString::fromLatin1(entry.name);
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    if (entry.fallback != NO_PIXMAP && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        return QApplication::style()->standardIcon(entry.fallback);
    return QIcon();
}
} // namespace

namespace afcq_detail
{
// No desktop session tells Qt which theme to use under a virtual or offscreen display: the
// host sets the one its icons are named for, where the machine has it.
void use_host_icon_theme()
{
    static bool done = false;
    if (done || QCoreApplication::instance() == nullptr)
        return;
    done = true;
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& system : {QStringLiteral("/usr/share/icons"), QStringLiteral("/usr/local/share/icons")})
        if (!paths.contains(system))
            paths << system;
    QIcon::setThemeSearchPaths(paths);
    for (const QString& theme : {QStringLiteral("breeze"), QStringLiteral("Adwaita")})
        for (const QString& path : paths)
            if (QFileInfo::exists(QDir(path).filePath(theme + "/index.theme")))
            {
                QIcon::setThemeName(theme);
                return;
            }
}

QIcon action_icon(const QString& action_name)
{
    const auto it = action_table().find(action_name);
    return it == action_table().end() ? QIcon() : named_icon(it->second);
}
} // namespace afcq_detail

namespace
{
// What the canvas asked for and where it painted it, while a test records.
struct icon_record_state
{
    bool recording = false;
    QList<int> asked;
    QList<standin::afcq::icon_paint> painted;
};

icon_record_state& icon_record()
{
    static icon_record_state s;
    return s;
}

void reset_icon_record()
{
    icon_record() = icon_record_state();
}

const standin::reset_registrar icon_registrar(&reset_icon_record);

// Paints the picture it wraps and notes the id and the rectangle in the painter's coordinates.
class recording_engine : public QIconEngine
{
public:
    recording_engine(int id, const QIcon& inner) : m_id(id), m_inner(inner) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon_record().painted.append({m_id, rect});
        m_inner.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_inner.pixmap(size, mode, state);
    }
    QIconEngine* clone() const override { return new recording_engine(m_id, m_inner); }

private:
    int m_id;
    QIcon m_inner;
};

// The advanced trigger canvas paints its object pictures into whole boxes (100 wide, 20 or
// more high) and writes names, values and widths over them: the stand-in draws each picture to
// fill the rectangle it is given, a light body with the operator's sign (or a bit value's
// value) where the canvas writes none, so the texts stay readable.
enum class CANVAS_SHAPE
{
    BODY,
    FRAME,
    FOCUS_FRAME,
    EXPAND_BOX
};

struct CANVAS_PICTURE
{
    CANVAS_SHAPE shape;
    const char* sign; // drawn centred in a body; empty where the canvas writes the text
    QColor fill;
};

const std::map<int, CANVAS_PICTURE>& canvas_pictures()
{
    static const std::map<int, CANVAS_PICTURE>* table = [] {
        const QColor logical(210, 230, 250), bitwise(220, 240, 215), compare(250, 235, 200), source(235, 235, 235),
            counter(240, 220, 245), special(250, 220, 220);
        auto* t = new std::map<int, CANVAS_PICTURE>{
            {AFCQ_ICON_SEDQ_LOGICAL_AND, {CANVAS_SHAPE::BODY, "&&", logical}},
            {AFCQ_ICON_SEDQ_LOGICAL_OR, {CANVAS_SHAPE::BODY, "||", logical}},
            {AFCQ_ICON_SEDQ_LOGICAL_XOR, {CANVAS_SHAPE::BODY, "^^", logical}},
            {AFCQ_ICON_SEDQ_LOGICAL_NOT, {CANVAS_SHAPE::BODY, "!", logical}},
            {AFCQ_ICON_SEDQ_BITWISE_AND, {CANVAS_SHAPE::BODY, "&", bitwise}},
            {AFCQ_ICON_SEDQ_BITWISE_OR, {CANVAS_SHAPE::BODY, "|", bitwise}},
            {AFCQ_ICON_SEDQ_BITWISE_XOR, {CANVAS_SHAPE::BODY, "^", bitwise}},
            {AFCQ_ICON_SEDQ_BITWISE_COMPLEMENT, {CANVAS_SHAPE::BODY, "~", bitwise}},
            {AFCQ_ICON_SEDQ_REDUCTION_AND, {CANVAS_SHAPE::BODY, "&(x)", bitwise}},
            {AFCQ_ICON_SEDQ_REDUCTION_OR, {CANVAS_SHAPE::BODY, "|(x)", bitwise}},
            {AFCQ_ICON_SEDQ_REDUCTION_XOR, {CANVAS_SHAPE::BODY, "^(x)", bitwise}},
            {AFCQ_ICON_SEDQ_ARITHMETIC_LEFT_SHIFT, {CANVAS_SHAPE::BODY, "<<<", bitwise}},
            {AFCQ_ICON_SEDQ_ARITHMETIC_RIGHT_SHIFT, {CANVAS_SHAPE::BODY, ">>>", bitwise}},
            {AFCQ_ICON_SEDQ_LOGICAL_LEFT_SHIFT, {CANVAS_SHAPE::BODY, "<<", bitwise}},
            {AFCQ_ICON_SEDQ_LOGICAL_RIGHT_SHIFT, {CANVAS_SHAPE::BODY, ">>", bitwise}},
            {AFCQ_ICON_SEDQ_ROTATE_LEFT_SHIFT, {CANVAS_SHAPE::BODY, "rol", bitwise}},
            {AFCQ_ICON_SEDQ_ROTATE_RIGHT_SHIFT, {CANVAS_SHAPE::BODY, "ror", bitwise}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN, {CANVAS_SHAPE::BODY, "<", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, "<=", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_EQUALITY, {CANVAS_SHAPE::BODY, "=", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_INEQUALITY, {CANVAS_SHAPE::BODY, "!=", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, ">=", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN, {CANVAS_SHAPE::BODY, ">", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_TRUE, {CANVAS_SHAPE::BODY, "true", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_FALSE, {CANVAS_SHAPE::BODY, "false", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN, {CANVAS_SHAPE::BODY, "< var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, "<= var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_EQUALITY, {CANVAS_SHAPE::BODY, "= var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_INEQUALITY, {CANVAS_SHAPE::BODY, "!= var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, ">= var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN, {CANVAS_SHAPE::BODY, "> var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_TRUE, {CANVAS_SHAPE::BODY, "true var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_FALSE, {CANVAS_SHAPE::BODY, "false var", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN, {CANVAS_SHAPE::BODY, "< s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, "<= s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_EQUALITY, {CANVAS_SHAPE::BODY, "= s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_INEQUALITY, {CANVAS_SHAPE::BODY, "!= s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, ">= s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN, {CANVAS_SHAPE::BODY, "> s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_TRUE, {CANVAS_SHAPE::BODY, "true s", compare}},
            {AFCQ_ICON_SEDQ_CONSTANT_SIGNED_FALSE, {CANVAS_SHAPE::BODY, "false s", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN, {CANVAS_SHAPE::BODY, "< s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, "<= s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_EQUALITY, {CANVAS_SHAPE::BODY, "= s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_INEQUALITY, {CANVAS_SHAPE::BODY, "!= s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN_OR_EQUAL_TO, {CANVAS_SHAPE::BODY, ">= s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN, {CANVAS_SHAPE::BODY, "> s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_TRUE, {CANVAS_SHAPE::BODY, "true s var", compare}},
            {AFCQ_ICON_SEDQ_VARIABLE_SIGNED_FALSE, {CANVAS_SHAPE::BODY, "false s var", compare}},
            {AFCQ_ICON_SEDQ_DYNAMIC_CONTINUOUS_COUNTER, {CANVAS_SHAPE::BODY, "# cont.", counter}},
            {AFCQ_ICON_SEDQ_DYNAMIC_EVENT_COUNTER, {CANVAS_SHAPE::BODY, "# event", counter}},
            {AFCQ_ICON_SEDQ_DYNAMIC_STATE_COUNTER, {CANVAS_SHAPE::BODY, "# state", counter}},
            {AFCQ_ICON_SEDQ_REGISTERED_CONTINUOUS_COUNTER, {CANVAS_SHAPE::BODY, "# cont. reg", counter}},
            {AFCQ_ICON_SEDQ_REGISTERED_EVENT_COUNTER, {CANVAS_SHAPE::BODY, "# event reg", counter}},
            {AFCQ_ICON_SEDQ_REGISTERED_STATE_COUNTER, {CANVAS_SHAPE::BODY, "# state reg", counter}},
            {AFCQ_ICON_SEDQ_EDGE_AND_LEVEL_DETECTOR, {CANVAS_SHAPE::BODY, "", special}},
            {AFCQ_ICON_SEDQ_CONDITION_FOR_INCREMENTALLY_ROUTED_NODES, {CANVAS_SHAPE::BODY, "", special}},
            {AFCQ_ICON_SEDQ_CUSTOM_TRIGGER_HDL, {CANVAS_SHAPE::BODY, "", special}},
            {AFCQ_ICON_SEDQ_ADVANCED_TRIGGER_LEVEL_RESULT, {CANVAS_SHAPE::BODY, "", special}},
            {AFCQ_ICON_SEDQ_RESULT_WITH_INPUT, {CANVAS_SHAPE::BODY, "", special}},
            {AFCQ_ICON_SEDQ_CONSTANT_HIGH, {CANVAS_SHAPE::BODY, "True", source}},
            {AFCQ_ICON_SEDQ_CONSTANT_LOW, {CANVAS_SHAPE::BODY, "False", source}},
            {AFCQ_ICON_SEDQ_VARIABLE_HIGH, {CANVAS_SHAPE::BODY, "True", source}},
            {AFCQ_ICON_SEDQ_VARIABLE_LOW, {CANVAS_SHAPE::BODY, "False", source}},
            {AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_VARIABLE_BUS_VALUE, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_NODE, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_BUS, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_DELAYED_BUS, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_DELAYED_PARENT, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_PLAIN_BOX, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_PLAIN_TWO_INPUT_BOX, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_UNKNOWN, {CANVAS_SHAPE::BODY, "", source}},
            {AFCQ_ICON_SEDQ_SELECTED_SHORT_FRAME, {CANVAS_SHAPE::FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_SELECTED_TALL_FRAME, {CANVAS_SHAPE::FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_SELECTED_DELAYED_FRAME, {CANVAS_SHAPE::FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_FOCUS_SHORT_FRAME, {CANVAS_SHAPE::FOCUS_FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_FOCUS_TALL_FRAME, {CANVAS_SHAPE::FOCUS_FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_FOCUS_DELAYED_FRAME, {CANVAS_SHAPE::FOCUS_FRAME, "", QColor()}},
            {AFCQ_ICON_SEDQ_COLLAPSED, {CANVAS_SHAPE::EXPAND_BOX, "+", QColor(Qt::white)}},
            {AFCQ_ICON_SEDQ_EXPANDED, {CANVAS_SHAPE::EXPAND_BOX, "-", QColor(Qt::white)}},
            {AFCQ_ICON_SEDQ_COLLAPSED_INVALID, {CANVAS_SHAPE::EXPAND_BOX, "+", QColor(255, 200, 200)}},
        };
        return t;
    }();
    return *table;
}

void paint_canvas_picture(QPainter* painter, const QRect& rect, const CANVAS_PICTURE& picture)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    switch (picture.shape)
    {
    case CANVAS_SHAPE::BODY:
    {
        painter->setPen(QPen(QColor(90, 90, 90), 1));
        painter->setBrush(picture.fill);
        painter->drawRoundedRect(box, 4, 4);
        if (*picture.sign != '\0')
        {
            QFont font(QStringLiteral("Sans Serif"));
            font.setPixelSize(qBound(8, rect.height() * 9 / 20, 14));
            font.setBold(true);
            painter->setFont(font);
            painter->setPen(QColor(40, 40, 40));
            painter->drawText(rect, Qt::AlignCenter, QString::fromLatin1(picture.sign));
        }
        break;
    }
    case CANVAS_SHAPE::FRAME:
    case CANVAS_SHAPE::FOCUS_FRAME:
        painter->setPen(QPen(QColor(0, 90, 200), 2, picture.shape == CANVAS_SHAPE::FRAME ? Qt::DotLine : Qt::SolidLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        break;
    case CANVAS_SHAPE::EXPAND_BOX:
    {
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(picture.fill);
        painter->drawRect(box);
        const QPointF centre = box.center();
        const qreal arm = box.width() / 4;
        painter->drawLine(QPointF(centre.x() - arm, centre.y()), QPointF(centre.x() + arm, centre.y()));
        if (picture.sign[0] == '+')
            painter->drawLine(QPointF(centre.x(), centre.y() - arm), QPointF(centre.x(), centre.y() + arm));
        break;
    }
    }
    painter->restore();
}

class canvas_engine : public QIconEngine
{
public:
    explicit canvas_engine(const CANVAS_PICTURE& picture) : m_picture(picture) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        paint_canvas_picture(painter, rect, m_picture);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new canvas_engine(m_picture); }

private:
    CANVAS_PICTURE m_picture;
};

QIcon host_icon(AFCQ_ICON_ENUM id)
{
    const auto canvas = canvas_pictures().find(id);
    if (canvas != canvas_pictures().end())
        return QIcon(new canvas_engine(canvas->second));
    const auto node = node_icon_table().find(id);
    if (node != node_icon_table().end())
        return node_icon(node->second.first, node->second.second);
    const auto it = icon_table().find(id);
    if (it == icon_table().end())
        return numbered_icon(id);
    const QIcon icon = named_icon(it->second);
    return icon.isNull() ? numbered_icon(id) : icon;
}
} // namespace

QIcon afcq_get_icon(AFCQ_ICON_ENUM id)
{
    const QIcon icon = host_icon(id);
    if (!icon_record().recording)
        return icon;
    icon_record().asked.append(id);
    return QIcon(new recording_engine(id, icon));
}

namespace standin::afcq
{
void record_icons(bool on)
{
    icon_record().recording = on;
}

QList<int> asked_icons()
{
    return icon_record().asked;
}

QList<icon_paint> painted_icons()
{
    return icon_record().painted;
}
} // namespace standin::afcq

// ---- cursors ----------------------------------------------------------------------------------

namespace
{
// A magnifier over a transparent 32-pixel square, hot spot in the lens's centre.
QCursor make_zoom_cursor(bool zoom_in)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QRectF(2, 2, 18, 18));
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(18, 18), QPointF(28, 28));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(7, 11), QPointF(15, 11));
    if (zoom_in)
        painter.drawLine(QPointF(11, 7), QPointF(11, 15));
    painter.end();
    return QCursor(pixmap, 11, 11);
}
} // namespace

QCursor afcq_get_cursor(int id)
{
    if (id != AFCQ_CURSOR_ZOOM_IN && id != AFCQ_CURSOR_ZOOM_OUT)
        return QCursor(Qt::ArrowCursor);
    // Kept for the life of the process and never destroyed: a pixmap must not outlive the
    // application object, and static objects are destroyed after it.
    static const QCursor* zoom_in = new QCursor(make_zoom_cursor(true));
    static const QCursor* zoom_out = new QCursor(make_zoom_cursor(false));
    return id == AFCQ_CURSOR_ZOOM_IN ? *zoom_in : *zoom_out;
}
