// Host find engine stand-in: the targets' base and the search over their texts, with the record
// of every search for tests.
#include "host/uib.h"

#include "host/standin/standin.h"
#include "host/standin/uib_control.h"

#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <climits>

namespace
{
std::vector<standin::uib::find_call>& find_log()
{
    static std::vector<standin::uib::find_call> log;
    return log;
}

void reset()
{
    find_log().clear();
}

const standin::reset_registrar registrar(&reset);

struct match
{
    int start = -1;
    int length = 0;
    bool found() const { return start >= 0; }
};

bool is_word_character(QChar c)
{
    const ushort code = c.unicode();
    return code < 128 && (std::isalnum(static_cast<unsigned char>(code)) != 0 || code == '_');
}

// What one search looks for, prepared once per call.
class matcher
{
public:
    matcher(const QString& text, unsigned int options)
        : m_needle(text), m_whole_words((options & UIB_FIND_ENGINE::WHOLE_WORDS) != 0),
          m_regular((options & UIB_FIND_ENGINE::REGULAR_EXPRESSIONS) != 0),
          m_case((options & UIB_FIND_ENGINE::MATCH_CASE) != 0 ? Qt::CaseSensitive : Qt::CaseInsensitive)
    {
        if (m_regular)
            m_expression = QRegularExpression(text, m_case == Qt::CaseSensitive
                                                        ? QRegularExpression::NoPatternOption
                                                        : QRegularExpression::CaseInsensitiveOption);
    }

    bool usable() const { return !m_needle.isEmpty() && (!m_regular || m_expression.isValid()); }

    // The first match starting at or after `from`.
    match first_from(const QString& text, int from) const
    {
        while (from <= text.size())
        {
            const match candidate = next_candidate(text, from);
            if (!candidate.found() || accepted(text, candidate))
                return candidate;
            from = candidate.start + 1;
        }
        return match();
    }

    // The last match starting at or before `upto`.
    match last_upto(const QString& text, int upto) const
    {
        match last;
        for (match m = first_from(text, 0); m.found() && m.start <= upto; m = first_from(text, m.start + 1))
            last = m;
        return last;
    }

private:
    match next_candidate(const QString& text, int from) const
    {
        match result;
        if (!m_regular)
        {
            result.start = text.indexOf(m_needle, from, m_case);
            result.length = m_needle.size();
            return result;
        }
        const QRegularExpressionMatch found = m_expression.match(text, from);
        if (found.hasMatch())
        {
            result.start = found.capturedStart();
            result.length = found.capturedLength();
        }
        return result;
    }

    bool accepted(const QString& text, const match& m) const
    {
        if (m.length == 0)
            return false;
        if (!m_whole_words)
            return true;
        const int end = m.start + m.length;
        return (m.start == 0 || !is_word_character(text.at(m.start - 1))) &&
               (end >= text.size() || !is_word_character(text.at(end)));
    }

    QString m_needle;
    bool m_whole_words;
    bool m_regular;
    Qt::CaseSensitivity m_case;
    QRegularExpression m_expression;
};

// Character positions beyond int's range lie past every text.
int clamp_position(unsigned long position)
{
    return static_cast<int>(std::min<unsigned long>(position, static_cast<unsigned long>(INT_MAX)));
}
} // namespace

namespace standin::uib
{
const std::vector<find_call>& find_calls()
{
    return find_log();
}
} // namespace standin::uib

// ---- targets ---------------------------------------------------------------------------------------

UIB_FIND_TARGET::~UIB_FIND_TARGET() = default;

const char* UIB_FIND_TARGET::get_text()
{
    return m_narrow_text.constData();
}

const char* UIB_FIND_TARGET::get_string()
{
    return get_text();
}

void UIB_FIND_TARGET::find_action(unsigned long, unsigned long) {}

const char* UIB_FIND_TARGET::get_replacement_string()
{
    return "";
}

void UIB_FIND_TARGET::replace_action(unsigned long, unsigned long, const char*) {}

const char* UIB_FIND_TARGET::cache_text(const QString& text)
{
    m_text = text;
    m_narrow_text = text.toLocal8Bit();
    return m_narrow_text.constData();
}

// ---- the engine ------------------------------------------------------------------------------------

UIB_FIND_ENGINE::UIB_FIND_ENGINE(std::vector<UIB_FIND_TARGET*>* targets) : m_targets(targets) {}

UIB_FIND_TARGET* UIB_FIND_ENGINE::find(const char* text, GEN_BITSET<unsigned int> find_in,
                                       GEN_ENUM_FLAG<UIB_FIND_ENGINE::OPTIONS, unsigned int> options,
                                       UIB_FIND_ENGINE::DIRECTION direction, unsigned long* target_index,
                                       unsigned long* position, unsigned long* length)
{
    if (text == nullptr || target_index == nullptr || position == nullptr || length == nullptr)
        return nullptr;
    find_log().push_back({text, find_in.value(), options.value(), int(direction), *target_index, *position});
    const matcher what(QString::fromLocal8Bit(text), options.value());
    if (m_targets == nullptr || !what.usable() || *target_index >= m_targets->size())
        return nullptr;
    const size_t start = *target_index;
    const int from = clamp_position(*position);
    // The text of target i when it takes part in this search, else null.
    const auto text_of = [&](size_t i) -> const char*
    {
        UIB_FIND_TARGET* target = (*m_targets)[i];
        if (target == nullptr || !find_in.test(target->get_type()))
            return nullptr;
        return target->get_text();
    };
    const auto hit = [&](size_t i, const match& m) -> UIB_FIND_TARGET*
    {
        *target_index = i;
        *position = static_cast<unsigned long>(m.start);
        *length = static_cast<unsigned long>(m.length);
        (*m_targets)[i]->find_action(*position, *length);
        return (*m_targets)[i];
    };
    if (direction == UP)
    {
        for (size_t i = start + 1; i-- > 0;)
            if (const char* searched = text_of(i))
            {
                const match m = what.last_upto(QString::fromLocal8Bit(searched), i == start ? from : INT_MAX);
                if (m.found())
                    return hit(i, m);
            }
        return nullptr;
    }
    for (size_t i = start; i < m_targets->size(); ++i)
        if (const char* searched = text_of(i))
        {
            const match m = what.first_from(QString::fromLocal8Bit(searched), i == start ? from : 0);
            if (m.found())
                return hit(i, m);
        }
    if (direction != ALL)
        return nullptr;
    for (size_t i = 0; i <= start; ++i)
        if (const char* searched = text_of(i))
        {
            const match m = what.first_from(QString::fromLocal8Bit(searched), 0);
            if (m.found() && (i < start || m.start < from))
                return hit(i, m);
        }
    return nullptr;
}
