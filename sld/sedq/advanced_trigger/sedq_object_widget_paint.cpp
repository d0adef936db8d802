// SEDQ_OBJECT_WIDGET: painting the condition on show: the title band, the equation listing,
// the last validation error, the objects and their lines, and the rubber band. The picture is
// painted at the widget's size through a scale, whatever the zoom level.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/afcq.h"
#include "host/cfg.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOption>

#include <algorithm>

namespace
{
// The title band covers the canvas's top strip; the drawing area starts below it.
constexpr int TITLE_BOTTOM = 22;
constexpr int DRAWING_TOP = 23;
constexpr int ERROR_MARGIN = 7;
// The listing takes at most this share of the drawing's height, with this much room above and
// below its lines.
constexpr int LISTING_SHARE = 3;
constexpr int LISTING_PADDING = 2;
constexpr int LISTING_BOLD = 75;
// How far an object's picture reaches beyond its box: the selection frame, the width marks
// and their numbers, the stubs and junction dots of its inputs and its output stub.
const QMargins PAINT_MARGINS(30, 10, 60, 25);
// A line to the parent bends this far left of the parent's box.
constexpr int BEND_ROOM = 20;

// The stored condition's numbering: conditions count from 1; the storage qualifiers are
// written as the first.
int condition_number(int index)
{
    return index >= 0 ? index + 1 : 1;
}

QBrush background_brush(const SEDQ_OBJECT_WIDGET& canvas, SEDQ_TX_MANAGER* tx)
{
    if (canvas.is_disabled())
        return AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush();
    if (canvas.is_powerup_trigger())
        return tx->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL ? AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush()
                                                                    : SEDQ_POWERUP_BRUSH;
    return QBrush(AFCQ_COLOR(AFCQ_COLOR_IDLE).get_color());
}

// The red band round the box of the object in error: a rounded red shape with the box's
// inside cleared to white.
void paint_error_ring(QPainter* painter, const SEDQ_OBJECT& object)
{
    const QRect box = object.get_rect().adjusted(0, 0, -2, -2);
    const bool selected = object.get_property()[SEDQ_PROPERTY::SELECTED] == 1;
    const int grow = selected ? 6 : 3;
    painter->setPen(Qt::red);
    painter->setBrush(Qt::red);
    painter->drawRoundedRect(box.adjusted(-grow, -grow, grow, grow), selected ? 7 : 5, selected ? 7 : 5);
    painter->setPen(Qt::white);
    painter->setBrush(Qt::white);
    painter->drawRoundedRect(box.adjusted(3, 3, -3, -3), selected ? 6 : 5, selected ? 6 : 5);
    painter->setBrush(Qt::NoBrush);
}

// Where the object's picture and lines may paint, in canvas coordinates: its box with what
// reaches beyond it and the line to its parent. While a connection is drawn from the object,
// its line to the mouse reaches further.
QRect paint_extent(const SEDQ_OBJECT& object)
{
    QRect extent = object.get_rect().marginsAdded(PAINT_MARGINS);
    if (object.get_parent() != nullptr)
        extent |= object.get_parent()->get_rect().adjusted(-BEND_ROOM, 0, 0, 0);
    return extent;
}

// The largest n in [0, count] that `fits`, where `fits` holds up to some n and fails beyond it
// and 0 always counts as fitting: a binary search that starts from a guess, so that a good
// guess settles it in two or three calls.
template <class FITS> int last_fitting(int count, int guess, FITS fits)
{
    int low = 0;
    int high = count;
    guess = qBound(0, guess, count);
    if (guess > 0 && fits(guess))
    {
        low = guess;
        for (int step = 1; low < high; step *= 2)
        {
            const int next = qMin(high, low + step);
            if (!fits(next))
            {
                high = next - 1;
                break;
            }
            low = next;
        }
    }
    else if (guess > 0)
    {
        high = guess - 1;
        for (int step = 1; low < high; step *= 2)
        {
            const int next = qMax(low + 1, high - step + 1);
            if (fits(next))
            {
                low = next;
                break;
            }
            high = next - 1;
        }
    }
    while (low < high)
    {
        const int middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}
} // namespace

bool SEDQ_OBJECT_WIDGET::show_equation()
{
    static const bool on = cfg_is_on("sed_show_equation", false);
    return on;
}

QString SEDQ_OBJECT_WIDGET::get_title() const
{
    int index = 0;
    if (m_tx != nullptr)
        m_tx->is_advanced_mode(&index);
    switch (index)
    {
    case -3:
        return QStringLiteral("   Advanced Trigger Condition Editor: Conditional Storage Qualifier");
    case -2:
        return QStringLiteral("   Advanced Trigger Condition Editor: Start Storage Qualifier");
    case -1:
        return QStringLiteral("   Advanced Trigger Condition Editor: Stop Storage Qualifier");
    default:
        return QStringLiteral("   Advanced Trigger Condition Editor: Condition %1").arg(index + 1);
    }
}

// Checks the condition from its Result and keeps the last problem met and its object.
void SEDQ_OBJECT_WIDGET::validate(const SEDQ_OBJECT* result)
{
    m_error = SEDQ_OBJECT::ERROR_NONE;
    m_error_object = nullptr;
    m_equation.clear();
    if (result == nullptr)
        return;
    int index = 0;
    m_tx->is_advanced_mode(&index);
    const SDR_TX_SESSION* session = m_tx->get_tx_session();
    const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    const SDR_DATA_MNEMONICS* mnemonics = data != nullptr ? data->get_mnemonics() : nullptr;
    SEDQ_OBJECT::SEDQ_ERROR_TYPE error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* error_object = nullptr;
    result->get_equation(&m_equation, mnemonics, m_tx->get_trigger_nodes(-1), &error, &error_object,
                         condition_number(index), m_powerup);
    if (error != SEDQ_OBJECT::ERROR_NONE)
    {
        m_error = error;
        m_error_object = error_object;
    }
}

QString SEDQ_OBJECT_WIDGET::fit_listing(const QFontMetrics& metrics, const QString& text, int label_width,
                                        int area_width, int position, int maximum, int* x)
{
    const int text_width = metrics.horizontalAdvance(text);
    const int total = label_width + text_width;
    int shift = 0;
    if (total > area_width && maximum > 0 && position > maximum / 2)
        shift = int((2.0 * position / maximum - 1.0) * (total - area_width));
    QString fitted = text;
    const QString dots = QStringLiteral("...");
    // The text's mean advance guesses where the cuts fall; the measurements then settle them.
    const double advance = text.isEmpty() ? 1.0 : qMax(1.0, double(text_width) / text.size());
    if (total - shift > area_width)
    {
        // The longest prefix that fits.
        const int guess = int((area_width - label_width + shift) / advance) - int(dots.size());
        const int kept = last_fitting(int(text.size()), guess, [&](int length) {
            return metrics.horizontalAdvance(text.left(length) + dots) + label_width - shift <= area_width;
        });
        fitted = text.left(kept) + dots;
    }
    if (shift > 0)
    {
        // The fewest blanks as wide as the shift.
        const int narrower = last_fitting(16 * shift + 16, int(shift / advance), [&](int blanks) {
            return metrics.horizontalAdvance(QString(blanks, QLatin1Char(' '))) < shift;
        });
        const int blanks = narrower + 1;
        fitted = QString(blanks, QLatin1Char(' ')) + dots + fitted.mid(blanks + 3);
    }
    *x = label_width - shift;
    return fitted;
}


QFont SEDQ_OBJECT_WIDGET::listing_font()
{
    // The family is built at run time: the font cache keeps it for the application's life, past
    // the unloading of this library, which takes a literal's text with it.
    return QFont(QString::fromLatin1("Courier"), 12);
}

// Both passes step by the same height, so that the bold pass overprints its own line. The
// fonts are fixed, so the height is measured once for the screen resolution the metrics use:
// layouts and every paint ask for it.
int SEDQ_OBJECT_WIDGET::listing_line_height()
{
    static int measured_dpi = -1;
    static int height = 0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : 0;
    if (dpi != measured_dpi)
    {
        QFont bold = listing_font();
        bold.setWeight(LISTING_BOLD);
        height = qMax(QFontMetrics(listing_font()).height(), QFontMetrics(bold).height());
        measured_dpi = dpi;
    }
    return height;
}

// The Result's line and one line for every other root, as many as a third of the drawing
// holds (at least the Result's): the rest of the roots stay in the diagram only.
int SEDQ_OBJECT_WIDGET::get_listing_lines() const
{
    if (m_object_list == nullptr)
        return 0;
    int roots = 0;
    for (const SEDQ_OBJECT* object : *m_object_list)
        roots += object->is_root() ? 1 : 0;
    return listing_lines_for(roots, sedq_get_object_index(m_object_list, SEDQ_OBJECT::LEVEL_RESULT) >= 0);
}

int SEDQ_OBJECT_WIDGET::listing_lines_for(int roots, bool has_result) const
{
    if (!has_result)
        return 0;
    const int line = listing_line_height();
    const int room = (height() - DRAWING_TOP - m_hscroll->sizeHint().height()) / LISTING_SHARE / line;
    return qBound(1, roots, qMax(1, room));
}

int SEDQ_OBJECT_WIDGET::get_header_height() const
{
    return header_height_for(get_listing_lines());
}

int SEDQ_OBJECT_WIDGET::header_height_for(int lines)
{
    // The bold pass stands one pixel lower than the plain one.
    return DRAWING_TOP + (lines > 0 ? lines * listing_line_height() + 2 * LISTING_PADDING + 1 : 0);
}

// The expression listing in two passes over the same lines: the plain text, then the selected
// parts bold and coloured. Each pass writes the other pass's parts as blanks, so with the
// fixed-width font the second pass overprints exactly the selected parts. It is drawn in
// widget pixels in its own band under the title, so it reads the same at every zoom and
// never lies over the diagram.
void SEDQ_OBJECT_WIDGET::paint_listing(QPainter* painter, QRect const& band, int lines, const SEDQ_OBJECT* object)
{
    if (object == nullptr || lines < 1)
        return;
    refresh_listing(lines, object);
    painter->save();
    painter->fillRect(band, m_background);
    painter->fillRect(QRect(band.left(), band.bottom(), band.width(), 1), AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush());
    painter->setClipRect(band.adjusted(0, 0, 0, -1));
    const int line_height = listing_line_height();
    for (int pass = 0; pass < 2; ++pass)
    {
        const bool selected = pass == 1;
        painter->save();
        QFont font = listing_font();
        if (selected)
        {
            font.setWeight(LISTING_BOLD);
            painter->setPen(AFCQ_COLOR(AFCQ_COLOR_SELECTION).get_color());
        }
        painter->setFont(font);
        const QFontMetrics metrics = painter->fontMetrics();
        const int left = band.left() + 5;
        int y = band.top() + LISTING_PADDING + pass;
        if (selected)
            painter->drawText(QPoint(left, y + metrics.ascent()), m_listing.label);
        if (m_listing.has_input)
        {
            const LISTING_FIT& fit = fit_first_line(painter, pass, band.width());
            painter->drawText(QPoint(left + fit.x, y + metrics.ascent()), fit.text);
        }
        for (const QString& root : m_listing.roots[pass])
        {
            y += line_height;
            painter->drawText(QPoint(left, y + metrics.ascent()), root);
        }
        painter->restore();
    }
    painter->restore();
}

// The Result's line and, from the end of the list, every other root until the lines are full.
void SEDQ_OBJECT_WIDGET::refresh_listing(int lines, const SEDQ_OBJECT* result)
{
    if (m_listing.written && m_listing.lines == lines && m_listing.result == result)
        return;
    m_listing = LISTING();
    m_listing.written = true;
    m_listing.lines = lines;
    m_listing.result = result;
    m_listing.label =
        (result->get_alias().isEmpty() ? QStringLiteral("Result") : result->get_alias()) + QStringLiteral(": ");
    m_listing.has_input = !result->get_children().isEmpty();
    if (m_listing.has_input)
        result->get_children().first()->get_equation_layers(&m_listing.first[0], &m_listing.first[1], 0);
    int shown = 1;
    for (int i = m_object_list->size() - 1; i >= 0 && shown < lines; --i)
    {
        const SEDQ_OBJECT* root = m_object_list->at(i);
        if (root == result || !root->is_root())
            continue;
        ++shown;
        QString layers[2];
        root->get_equation_layers(&layers[0], &layers[1], 0);
        m_listing.roots[0].append(layers[0]);
        m_listing.roots[1].append(layers[1]);
    }
}

SEDQ_OBJECT_WIDGET::MEASURED_WITH SEDQ_OBJECT_WIDGET::MEASURED_WITH::of(const QPainter& painter)
{
    MEASURED_WITH measured;
    measured.font = painter.font();
    measured.dpi_x = painter.device()->logicalDpiX();
    measured.dpi_y = painter.device()->logicalDpiY();
    return measured;
}

const SEDQ_OBJECT_WIDGET::LISTING_FIT& SEDQ_OBJECT_WIDGET::fit_first_line(QPainter* painter, int pass, int area_width)
{
    LISTING_FIT& fit = m_listing_fits[pass];
    const QString& source = m_listing.first[pass];
    const MEASURED_WITH measured = MEASURED_WITH::of(*painter);
    const int position = m_hscroll->value();
    const int maximum = m_hscroll->maximum();
    if (fit.fitted && fit.area_width == area_width && fit.position == position && fit.maximum == maximum &&
        fit.measured == measured && fit.source == source && fit.label == m_listing.label)
        return fit;
    const QFontMetrics metrics = painter->fontMetrics();
    fit.text = fit_listing(metrics, source, metrics.horizontalAdvance(m_listing.label), area_width, position, maximum,
                           &fit.x);
    fit.fitted = true;
    fit.label = m_listing.label;
    fit.source = source;
    fit.measured = measured;
    fit.area_width = area_width;
    fit.position = position;
    fit.maximum = maximum;
    return fit;
}

// The message stands at the bottom left of the drawing area, in widget pixels, whatever the
// zoom, on the canvas's background so that boxes behind it do not blur it; the ring is part of
// the diagram. Where its background goes is measured once for each text, area and font.
void SEDQ_OBJECT_WIDGET::paint_error_message(QPainter* painter, QRect const& area, QRect const& exposed)
{
    painter->save();
    painter->setFont(AFCQ_FONT(AFCQ_FONT_MESSAGE).get_font());
    painter->setPen(Qt::red);
    const QRect text_area = area.adjusted(ERROR_MARGIN, 0, 0, -(m_hscroll->height() + ERROR_MARGIN));
    const QString text = QString::fromLatin1(SEDQ_OBJECT::ERROR_STRING[m_error]);
    const int flags = Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine;
    ERROR_PLACE& place = m_error_place;
    const MEASURED_WITH measured = MEASURED_WITH::of(*painter);
    if (place.text != text || place.area != text_area || !(place.measured == measured))
    {
        place.text = text;
        place.area = text_area;
        place.measured = measured;
        place.fill = painter->boundingRect(text_area, flags, text).adjusted(-2, 0, 2, 0);
    }
    // The text is clipped to its area.
    if (exposed.intersects(place.fill) || exposed.intersects(text_area))
    {
        painter->fillRect(place.fill, m_background);
        painter->drawText(text_area, flags, text);
    }
    painter->restore();
}

// An error inside a collapsed subtree is opened up so that the next paint shows its ring. It
// records no undo step: a paint after an Undo must not drop the Redo steps.
void SEDQ_OBJECT_WIDGET::reveal_error_object()
{
    if (m_error_object == nullptr || !m_error_object->is_hidden() || m_moving)
        return;
    m_error_object->ensure_visible();
    arrange_objects();
}

// Only the objects whose picture or lines meet the exposed part of the drawing are drawn: a
// repaint costs what is on show, plus one cheap pass over the list.
void SEDQ_OBJECT_WIDGET::paint_diagram(QPainter* painter, QRect const& exposed)
{
    painter->save();
    painter->setClipRect(exposed);
    const qreal scale = 10.0 / m_zoom_level;
    painter->scale(scale, scale);
    QRect visible = exposed;
    client_to_zoom(&visible);
    visible.adjust(-1, -1, 1, 1);
    QPoint mouse = mapFromGlobal(QCursor::pos());
    client_to_zoom(&mouse);
    // In list order, the drawing order: those that meet the view, and those being dragged whose
    // line to the mouse does.
    QVector<int> shown;
    shown.reserve(64);
    const QVector<QRect>& extents = m_paint_cache.extents;
    for (int i = 0; i < extents.size(); ++i)
        if (extents.at(i).intersects(visible))
            shown.append(i);
    const QRect at_mouse(mouse, QSize(1, 1));
    for (int i : m_paint_cache.dragging)
        if (!extents.at(i).intersects(visible) && (extents.at(i) | at_mouse).intersects(visible))
            shown.insert(std::lower_bound(shown.begin(), shown.end(), i), i);
    if (m_error != SEDQ_OBJECT::ERROR_NONE && m_error_object != nullptr && !m_error_object->is_hidden())
        paint_error_ring(painter, *m_error_object);
    const bool focused = hasFocus();
    const bool incremental = m_tx->is_incremental_compile();
    for (int i : shown)
        m_object_list->at(i)->draw(painter, m_multiple_input, m_show_bitmaps, focused, incremental);
    for (int i : shown)
        m_object_list->at(i)->draw_lines(painter, m_angled, m_multiple_input, mouse);
    const QRect band = m_rubber_band.normalized();
    if (focused && !m_moving && (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0 &&
        band.left() <= band.right() && band.top() <= band.bottom())
    {
        painter->setPen(SEDQ_DOTTED_PEN);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(band);
    }
    painter->restore();
}

void SEDQ_OBJECT_WIDGET::paint_title(QPainter* painter)
{
    const int w = width();
    const QRect title(QPoint(0, 0), QPoint(w - 1, TITLE_BOTTOM));
    painter->fillRect(title, AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush());
    painter->fillRect(QRect(QPoint(0, 0), QPoint(w - 1, TITLE_BOTTOM - 1)),
                      AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    const QString text = get_title();
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter, text);
    if (!show_equation() || m_equation.isEmpty())
        return;
    // The equation follows the title, measured in the title's own font: the message font is
    // smaller, and measured in it the equation would overprint the title's end.
    QRect rest = title;
    rest.setLeft(rest.left() + painter->fontMetrics().horizontalAdvance(text + QLatin1Char(' ')));
    painter->setFont(AFCQ_FONT(AFCQ_FONT_MESSAGE).get_font());
    painter->setPen(m_error != SEDQ_OBJECT::ERROR_NONE ? QPen(Qt::red) : AFCQ_PEN(AFCQ_PEN_TEXT).get_pen());
    painter->drawText(rest, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                      painter->fontMetrics().elidedText(m_equation, Qt::ElideRight, rest.width()));
}

// Two numbers for the objects and their links, read without any setting: `ordered` also
// follows the list's order (the drawing order), `linked` only who feeds whom, so that bringing
// an object to the front keeps it. An input's place among its parent's inputs changes only
// with an edit that ends in a snapshot (which rewrites settings, so the bags count it) or with
// a connection drag, which counts it itself. Only while a gesture moves objects are the
// objects being dragged looked for.
void SEDQ_OBJECT_WIDGET::structure_fingerprint(STRUCTURE* structure) const
{
    const auto mix = [](quint64 hash, quint64 value) {
        hash = (hash ^ value) * 0x100000001b3ull;
        return hash ^ (hash >> 29);
    };
    quint64 ordered = mix(mix(0xcbf29ce484222325ull, quintptr(m_object_list)), quint64(m_object_list->size()));
    quint64 linked = ordered;
    structure->roots = 0;
    structure->dragging.clear();
    for (const SEDQ_OBJECT* object : *m_object_list)
    {
        const quint64 own = mix(mix(0xcbf29ce484222325ull, quintptr(object)), quintptr(object->get_parent()));
        ordered = mix(ordered, own);
        linked += own;
        structure->roots += object->is_root() ? 1 : 0;
    }
    if (m_moving)
        for (int i = 0; i < m_object_list->size(); ++i)
            if (m_object_list->at(i)->is_dragging())
                structure->dragging.append(i);
    structure->ordered = ordered;
    structure->linked = linked;
}

// A repaint with nothing changed draws what is on show and reads no object it does not draw.
// A validation depends on what the objects mean and how they are linked, on the model (read
// anew after each of its updates) and on the view shown; where an object paints depends on
// any of its settings and links. Every change of a setting is counted by the property bags.
void SEDQ_OBJECT_WIDGET::refresh_paint_cache()
{
    PAINT_CACHE& cache = m_paint_cache;
    STRUCTURE structure;
    structure_fingerprint(&structure);
    cache.roots = structure.roots;
    cache.dragging = structure.dragging;
    int condition = 0;
    m_tx->is_advanced_mode(&condition);
    if (!cache.validated || cache.content_changes != SEDQ_PROPERTY::content_change_count() ||
        cache.validated_structure != structure.linked || cache.validated_updates != m_updates ||
        cache.validated_powerup != m_powerup || cache.validated_condition != condition)
    {
        const int result = sedq_get_object_index(m_object_list, SEDQ_OBJECT::LEVEL_RESULT);
        cache.result = result >= 0 ? m_object_list->at(result) : nullptr;
        validate(cache.result);
        cache.validated = true;
        cache.content_changes = SEDQ_PROPERTY::content_change_count();
        cache.validated_structure = structure.linked;
        cache.validated_updates = m_updates;
        cache.validated_powerup = m_powerup;
        cache.validated_condition = condition;
    }
    if (cache.placed && cache.changes == SEDQ_PROPERTY::change_count() &&
        cache.placed_structure == structure.ordered && cache.placed_powerup == m_powerup)
        return;
    cache.extents.resize(m_object_list->size());
    for (int i = 0; i < m_object_list->size(); ++i)
        cache.extents[i] = paint_extent(*m_object_list->at(i));
    // The listing's texts follow the same settings and links.
    m_listing.written = false;
    cache.placed = true;
    cache.changes = SEDQ_PROPERTY::change_count();
    cache.placed_structure = structure.ordered;
    cache.placed_powerup = m_powerup;
}

// The canvas paints every pixel it is asked for (its paint events are opaque), but draws only
// the parts that meet the exposed rectangle: a scroll bar repainting over the canvas costs the
// strip under it.
void SEDQ_OBJECT_WIDGET::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (m_object_list == nullptr)
    {
        painter.fillRect(exposed, palette().brush(backgroundRole()));
        return;
    }
    m_powerup = m_tx->is_powerup_trigger(-1);
    m_painting = true;
    m_background = background_brush(*this, m_tx);
    painter.fillRect(exposed, m_background);
    refresh_paint_cache();
    const int lines = listing_lines_for(m_paint_cache.roots, m_paint_cache.result != nullptr);
    const int header = header_height_for(lines);
    const QRect drawing(QPoint(0, header), QPoint(width() - 1 - m_vscroll->width(), height() - 1));
    const QRect exposed_drawing = exposed & drawing;
    if (!exposed_drawing.isEmpty())
        paint_diagram(&painter, exposed_drawing);
    const QRect band(QPoint(0, DRAWING_TOP), QPoint(drawing.right(), header - 1));
    if (band.intersects(exposed))
        paint_listing(&painter, band, lines, m_paint_cache.result);
    if (m_error != SEDQ_OBJECT::ERROR_NONE && m_error_object != nullptr)
        paint_error_message(&painter, drawing, exposed);
    // The equation after the title is not clipped to the band: with it on, the title always paints.
    if (exposed.top() <= TITLE_BOTTOM || show_equation())
    {
        painter.save();
        paint_title(&painter);
        painter.restore();
    }
    painter.end();
    m_painting = false;
    reveal_error_object();
}

void SEDQ_OBJECT_WIDGET::update_picture()
{
    // A canvas that cannot paint now (hidden on another page, its updates held) would have its
    // request dropped by update(): the region is not worked out for nothing.
    if (!isVisible() || !updatesEnabled())
        return;
    QRegion picture(rect());
    for (const QScrollBar* bar : {m_hscroll, m_vscroll})
        if (bar->isVisible())
            picture -= bar->geometry();
    update(picture);
}
