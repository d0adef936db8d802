// The separation of the trees of a canvas after a layout.
#include "sedq/advanced_trigger/sedq_tree_separation.h"

#include <QHash>

#include <map>
#include <vector>

namespace
{
// The cells of the plane that index the placed rectangles; a side across more of them is looked
// at by every query instead.
constexpr int BUCKET_WIDTH = 256;
constexpr int MAX_BUCKETS_PER_SIDE = 64;

// One side of a rectangle as QRect::intersects reads it: from the smaller coordinate, so a
// width of zero reads as an empty side whose end lies before its start.
struct SIDE
{
    int low;
    int high;
};

SIDE horizontal(const QRect& rect)
{
    return rect.width() < 0 ? SIDE{rect.right(), rect.left()} : SIDE{rect.left(), rect.right()};
}

SIDE vertical(const QRect& rect)
{
    return rect.height() < 0 ? SIDE{rect.bottom(), rect.top()} : SIDE{rect.top(), rect.bottom()};
}

bool meets(SIDE a, SIDE b)
{
    return a.low <= b.high && b.low <= a.high;
}

int bucket_of(int x)
{
    return x >= 0 ? x / BUCKET_WIDTH : -((-(x + 1)) / BUCKET_WIDTH) - 1;
}

// The first and last bucket of a side, on either axis; false when it spans too many to list.
bool buckets_of(SIDE x, int* first, int* last)
{
    *first = bucket_of(qMin(x.low, x.high));
    *last = bucket_of(qMax(x.low, x.high));
    return qint64(*last) - *first < MAX_BUCKETS_PER_SIDE;
}

// The placed rectangles, widened by the gap, grouped by their horizontal side: rectangles of one
// side are kept as the union of their vertical sides, merged where they share a row, so a pile
// of like boxes is passed in one step instead of box after box. Merging only what overlaps
// keeps the union exact: a side meets the union when it meets one of its members. Each cell of
// the plane lists the sides that have a rectangle in it.
class PLACED
{
public:
    // The least move down, from `shift`, at which `rect` meets nothing placed; `shift` when it
    // meets nothing there.
    int clear(const QRect& rect, int shift);
    void add(const QRect& widened);

private:
    struct COLUMN
    {
        SIDE x;
        std::map<int, int> spans; // top -> bottom, disjoint
        std::vector<SIDE> empty;  // sides of no height, kept apart
    };
    int column_of(SIDE x);
    static quint64 cell_key(int x, int y) { return (quint64(quint32(x)) << 32) | quint32(y); }
    void clear_column(const COLUMN& column, const QRect& rect, int* shift) const;
    void visit(int index, SIDE x, const QRect& rect, int* shift);

    std::vector<COLUMN> m_columns;
    QHash<QPair<int, int>, int> m_column_index;
    QHash<quint64, std::vector<int>> m_cells;
    std::vector<int> m_wide; // columns with a rectangle in too many cells
    std::vector<bool> m_is_wide;
    std::vector<unsigned> m_seen;
    unsigned m_stamp = 0;
};

int PLACED::column_of(SIDE x)
{
    const QPair<int, int> key(x.low, x.high);
    const auto found = m_column_index.constFind(key);
    if (found != m_column_index.constEnd())
        return found.value();
    const int index = int(m_columns.size());
    m_columns.push_back(COLUMN{x, {}, {}});
    m_seen.push_back(0);
    m_is_wide.push_back(false);
    m_column_index.insert(key, index);
    return index;
}

void PLACED::add(const QRect& widened)
{
    if (widened.isNull())
        return;
    const int index = column_of(horizontal(widened));
    COLUMN& column = m_columns[size_t(index)];
    int first_x = 0;
    int last_x = 0;
    int first_y = 0;
    int last_y = 0;
    if (!buckets_of(column.x, &first_x, &last_x) || !buckets_of(vertical(widened), &first_y, &last_y))
    {
        if (!m_is_wide[size_t(index)])
            m_wide.push_back(index);
        m_is_wide[size_t(index)] = true;
    }
    else
        for (int x = first_x; x <= last_x; ++x)
            for (int y = first_y; y <= last_y; ++y)
            {
                std::vector<int>& cell = m_cells[cell_key(x, y)];
                if (cell.empty() || cell.back() != index)
                    cell.push_back(index);
            }
    SIDE y = vertical(widened);
    if (y.high < y.low)
    {
        column.empty.push_back(y);
        return;
    }
    auto it = column.spans.upper_bound(y.high);
    while (it != column.spans.begin())
    {
        auto before = std::prev(it);
        if (before->second < y.low)
            break;
        y.low = qMin(y.low, before->first);
        y.high = qMax(y.high, before->second);
        it = column.spans.erase(before);
    }
    column.spans.emplace(y.low, y.high);
}

// Moves `shift` down past what of `column` the rectangle meets.
void PLACED::clear_column(const COLUMN& column, const QRect& rect, int* shift) const
{
    for (bool again = true; again;)
    {
        again = false;
        const SIDE y = vertical(rect.translated(0, *shift));
        auto it = column.spans.upper_bound(y.high);
        if (it != column.spans.begin() && std::prev(it)->second >= y.low)
        {
            *shift += std::prev(it)->second + 1 - y.low;
            again = true;
        }
        for (const SIDE& empty : column.empty)
            if (meets(vertical(rect.translated(0, *shift)), empty))
            {
                *shift += empty.high + 1 - vertical(rect.translated(0, *shift)).low;
                again = true;
            }
    }
}

void PLACED::visit(int index, SIDE x, const QRect& rect, int* shift)
{
    if (m_seen[size_t(index)] == m_stamp)
        return;
    m_seen[size_t(index)] = m_stamp;
    if (meets(x, m_columns[size_t(index)].x))
        clear_column(m_columns[size_t(index)], rect, shift);
}

int PLACED::clear(const QRect& rect, int shift)
{
    if (rect.isNull())
        return shift;
    const SIDE x = horizontal(rect);
    ++m_stamp;
    for (int index : m_wide)
        visit(index, x, rect, &shift);
    int first_x = 0;
    int last_x = 0;
    int first_y = 0;
    int last_y = 0;
    if (!buckets_of(x, &first_x, &last_x) || !buckets_of(vertical(rect.translated(0, shift)), &first_y, &last_y))
    {
        for (int index = 0; index < int(m_columns.size()); ++index)
            visit(index, x, rect, &shift);
        return shift;
    }
    // A move past a side may carry the rectangle into cells below: those are looked at in the
    // next round of the caller.
    for (int bx = first_x; bx <= last_x; ++bx)
        for (int by = first_y; by <= last_y; ++by)
        {
            const auto cell = m_cells.constFind(cell_key(bx, by));
            if (cell != m_cells.constEnd())
                for (int index : cell.value())
                    visit(index, x, rect, &shift);
        }
    return shift;
}
} // namespace

// Every move only goes down, and a rectangle that meets a placed one keeps meeting it until it
// has passed it: the least move is found by passing whatever is met, until a round over the
// tree's rectangles meets nothing.
QVector<int> sedq_separate_trees(const QVector<QVector<QRect>>& trees, int gap, int fixed)
{
    PLACED placed;
    QVector<int> shifts;
    shifts.reserve(trees.size());
    for (const QVector<QRect>& tree : trees)
    {
        int shift = 0;
        for (bool moved = shifts.size() >= fixed; moved;)
        {
            const int before = shift;
            for (const QRect& rect : tree)
                shift = placed.clear(rect, shift);
            moved = shift != before;
        }
        shifts.append(shift);
        // Only the trees after it meet what it places.
        if (shifts.size() == trees.size())
            break;
        for (const QRect& rect : tree)
            placed.add(rect.translated(0, shift).adjusted(0, -gap, 0, gap));
    }
    return shifts;
}
