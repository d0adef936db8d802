// Limits of an analyzer file and the count a reading keeps against them.
#include "host/sdr/sdr_file_limits.h"

#include "host/standin/sdr_file_control.h"

#include <new>

namespace
{
struct LIMIT_ROW
{
    SDR_FILE_ELEMENT element;
    qint64 per_document;
    const char* description;
};

constexpr qint64 MANY = qint64(1) << 20;

// One row per element, in enum order (checked below).
constexpr LIMIT_ROW LIMITS[] = {
    {SDR_FILE_ELEMENT::INSTANCE, 1 << 16, "<instance> elements"},
    {SDR_FILE_ELEMENT::SIGNAL_SET, 1 << 17, "<signal_set> elements"},
    {SDR_FILE_ELEMENT::TRIGGER, 1 << 17, "<trigger> elements"},
    {SDR_FILE_ELEMENT::LEVEL, 1 << 18, "<level> elements"},
    {SDR_FILE_ELEMENT::ROW, MANY, "<row> elements"},
    {SDR_FILE_ELEMENT::LOG, 1 << 17, "<log> elements"},
    {SDR_FILE_ELEMENT::WIRE, MANY, "<wire> elements"},
    {SDR_FILE_ELEMENT::TABLE, 1 << 16, "mnemonic tables"},
    {SDR_FILE_ELEMENT::TABLE_ENTRY, MANY, "mnemonic table entries"},
    {SDR_FILE_ELEMENT::TREE_OBJECT, MANY, "<object> elements"},
    {SDR_FILE_ELEMENT::TREE_ATTRIBUTE, MANY, "<attribute> elements"},
    {SDR_FILE_ELEMENT::PLUGIN_GROUP, 1 << 16, "<plugin_group> elements"},
    {SDR_FILE_ELEMENT::PLUGIN_OPTION, MANY, "plug-in options and symbols"},
    {SDR_FILE_ELEMENT::FLAG, 1 << 17, "<flag> elements"},
    {SDR_FILE_ELEMENT::COUNTER, 1 << 17, "<counter> elements"},
    {SDR_FILE_ELEMENT::INT_LIST, MANY, "<data> elements"},
    {SDR_FILE_ELEMENT::NUMBER, qint64(1) << 24, "numbers in lists"},
    {SDR_FILE_ELEMENT::EMBEDDED_FILE, 1 << 12, "embedded files"},
};
static_assert(sizeof(LIMITS) / sizeof(LIMITS[0]) == size_t(SDR_FILE_ELEMENT::COUNT), "one limit per element");

constexpr bool in_enum_order(size_t i = 0)
{
    return i == size_t(SDR_FILE_ELEMENT::COUNT) || (size_t(LIMITS[i].element) == i && in_enum_order(i + 1));
}
static_assert(in_enum_order(), "limits are listed in enum order");
} // namespace

qint64 SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT element)
{
    return LIMITS[size_t(element)].per_document;
}

QString SDR_FILE_LIMITS::describe(SDR_FILE_ELEMENT element)
{
    return QString::fromLatin1(LIMITS[size_t(element)].description);
}

bool SDR_FILE_BUDGET::take(SDR_FILE_ELEMENT element, qint64 count, QString* problem)
{
    // Stands for the allocation of the element failing, so that tests reach that path.
    if (standin::sdr_file::take_allocation_fault())
        throw std::bad_alloc();
    qint64& taken = m_taken[size_t(element)];
    const qint64 limit = SDR_FILE_LIMITS::per_document(element);
    if (count < 0 || count > limit - taken) {
        *problem = QStringLiteral("the document holds more than %1 %2, the limit of an analyzer file")
                       .arg(limit)
                       .arg(SDR_FILE_LIMITS::describe(element));
        return false;
    }
    taken += count;
    return true;
}
