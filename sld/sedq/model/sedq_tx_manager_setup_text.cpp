// SEDQ_TX_MANAGER: the display texts of the acquisition setup that the panes' combo boxes show
// (sample depths, trigger levels, trigger conditions and positions) and their values.
#include "sedq/model/sedq_tx_manager.h"

#include "sedq/model/sedq_verify.h"

#include <QRegularExpression>

#include <climits>

namespace
{
// Indexed by SDR_DATA_TRIGGER_CONDITION; the slots past "Don't Care" have no text.
constexpr int CONDITION_SLOTS = 24;
const char* const CONDITION_TEXTS[CONDITION_SLOTS] = {"Disabled",     "Active High", "Active Low",
                                                      "High",         "Low",         "Rising Edge",
                                                      "Falling Edge", "Either Edge", "Don't Care"};

// Indexed by SDR_DATA_TRIGGER_POSITION.
constexpr int POSITION_COUNT = 4;
const char* const POSITION_TEXTS[POSITION_COUNT] = {"Pre trigger position", "Center trigger position",
                                                    "Post trigger position", "Continuous trigger position"};

const QString THOUSANDS_SUFFIX = QStringLiteral(" K");
constexpr qint64 THOUSAND = 1024;
} // namespace

// ---- reading numbers from display texts --------------------------------------------------------

SEDQ_TX_MANAGER::NUMBER_TEXT SEDQ_TX_MANAGER::read_count_text(QString const& text, qint64 factor, int* value)
{
    static const QRegularExpression DECIMAL(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    *value = 0;
    if (!DECIMAL.match(text).hasMatch())
        return NOT_A_NUMBER;
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    // Digits that do not fit 64 bits are a number out of range, not "no number".
    if (!ok || number < 0 || number > INT_MAX / factor)
        return OUT_OF_RANGE;
    *value = int(number * factor);
    return IN_RANGE;
}

int SEDQ_TX_MANAGER::convert_to_sample_depth_int(QString const& text)
{
    const bool thousands = text.endsWith(THOUSANDS_SUFFIX);
    const QString digits = thousands ? text.left(text.size() - THOUSANDS_SUFFIX.size()) : text;
    int depth = 0;
    return read_count_text(digits, thousands ? THOUSAND : 1, &depth) == OUT_OF_RANGE ? -1 : depth;
}

QString SEDQ_TX_MANAGER::convert_to_sample_depth_str(int depth)
{
    if (depth != m_sample_depth_cache)
    {
        m_sample_depth_cache = depth;
        m_sample_depth_text = depth > int(THOUSAND) - 1 ? QString::number(depth / THOUSAND) + THOUSANDS_SUFFIX
                                                        : QString::number(depth);
    }
    return m_sample_depth_text;
}

int SEDQ_TX_MANAGER::convert_to_trigger_level_int(QString const& text)
{
    bool ok = false;
    const int level = text.toInt(&ok);
    return ok ? level : 0;
}

QString SEDQ_TX_MANAGER::convert_to_trigger_level_str(int level)
{
    if (level != m_trigger_level_cache)
    {
        m_trigger_level_cache = level;
        m_trigger_level_text = QString::number(level);
    }
    return m_trigger_level_text;
}

// ---- conditions and positions ------------------------------------------------------------------

QString SEDQ_TX_MANAGER::convert_to_trigger_condition_str(SDR_DATA_TRIGGER_CONDITION condition)
{
    if (int(condition) >= CONDITION_SLOTS || CONDITION_TEXTS[condition] == nullptr)
        return QString();
    return QString::fromLatin1(CONDITION_TEXTS[condition]);
}

SDR_DATA_TRIGGER_CONDITION SEDQ_TX_MANAGER::convert_to_trigger_condition_type(QString const& text)
{
    for (int slot = 0; slot < CONDITION_SLOTS && !text.isEmpty(); ++slot)
    {
        if (CONDITION_TEXTS[slot] != nullptr && text == QLatin1String(CONDITION_TEXTS[slot]))
            return SDR_DATA_TRIGGER_CONDITION(slot);
    }
    const bool found = false;
    SEDQ_VERIFY(found);
    return UNKNOWN_TRIGGER_CONDITION;
}

QString SEDQ_TX_MANAGER::convert_to_trigger_position_str(SDR_DATA_TRIGGER_POSITION position)
{
    if (position < 0 || position >= POSITION_COUNT)
        return QString();
    return QString::fromLatin1(POSITION_TEXTS[position]);
}

SDR_DATA_TRIGGER_POSITION SEDQ_TX_MANAGER::convert_to_trigger_position_type(QString const& text)
{
    for (int index = 0; index < POSITION_COUNT; ++index)
    {
        if (text == QLatin1String(POSITION_TEXTS[index]))
            return SDR_DATA_TRIGGER_POSITION(index);
    }
    const bool found = false;
    SEDQ_VERIFY(found);
    return UNKNOWN_TRIGGER_POSITION;
}
