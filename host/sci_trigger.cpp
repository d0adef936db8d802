// Parse-tree nodes of advanced trigger equations: connections, widths and latencies; the
// latency alignment of the levels and the generated hardware description of a level.
#include "host/sci.h"

#include "host/standin/standin.h"

#include <QDir>
#include <QSaveFile>
#include <QString>

#include <algorithm>

// ---- nodes --------------------------------------------------------------------------------------

SCI_ADVANCED_TRIGGER_BASE* SCI_ADVANCED_TRIGGER_BASE::get_input_connection_at(int index) const
{
    if (index < 0 || index >= get_input_count())
        return nullptr;
    return m_inputs[static_cast<size_t>(index)];
}

void SCI_ADVANCED_TRIGGER_BASE::add_input(SCI_ADVANCED_TRIGGER_BASE* input)
{
    if (input == nullptr)
        return;
    m_inputs.push_back(input);
    input->m_output = this;
}

// A tree's depth is bounded by the parser, so the recursion is too.
int SCI_ADVANCED_TRIGGER_BASE::get_path_delay() const
{
    int deepest = 0;
    for (const SCI_ADVANCED_TRIGGER_BASE* input : m_inputs)
        deepest = std::max(deepest, input->get_path_delay());
    return m_delay + own_latency() + deepest;
}

int SCI_ADVANCED_TRIGGER_BASE::get_pipeline_latency() const
{
    return get_path_delay();
}

// Bitwise operators, shifts and the complement are as wide as their widest input.
int SCI_ADVANCED_TRIGGER_BASE::get_bit_width() const
{
    int widest = 1;
    for (const SCI_ADVANCED_TRIGGER_BASE* input : m_inputs)
        widest = std::max(widest, input->get_bit_width());
    return widest;
}

// ---- numbers ------------------------------------------------------------------------------------

SCI_NUMBER SCI_NUMBER::of_magnitude(std::vector<std::uint64_t> magnitude, bool negative)
{
    SCI_NUMBER n;
    n.words = magnitude.empty() ? std::vector<std::uint64_t>{0} : std::move(magnitude);
    n.negative = negative && std::any_of(n.words.begin(), n.words.end(), [](std::uint64_t w) { return w != 0; });
    if (n.negative)
    {
        // Two's complement: every bit inverted (the zeros above the magnitude become the sign),
        // then one added.
        bool carry = true;
        for (std::uint64_t& w : n.words)
        {
            w = ~w + (carry ? 1 : 0);
            carry = carry && w == 0;
        }
    }
    // Words that only repeat the sign are left to it.
    const std::uint64_t sign = n.negative ? ~std::uint64_t(0) : 0;
    while (n.words.size() > 1 && n.words.back() == sign)
        n.words.pop_back();
    return n;
}

SCI_NUMBER SCI_NUMBER::of(std::int64_t value)
{
    SCI_NUMBER n;
    n.words = {static_cast<std::uint64_t>(value)};
    n.negative = value < 0;
    return n;
}

int SCI_NUMBER::bit_width() const
{
    // The highest bit that differs from the sign, one more for the sign of a negative number.
    const std::uint64_t sign = negative ? ~std::uint64_t(0) : 0;
    for (size_t w = words.size(); w-- > 0;)
    {
        const std::uint64_t differs = words[w] ^ sign;
        if (differs != 0)
            return int(w) * 64 + (64 - __builtin_clzll(differs)) + (negative ? 1 : 0);
    }
    return 1;
}

int SCI_ADVANCED_TRIGGER_CONCATENATE::get_bit_width() const
{
    int total = 0;
    for (const SCI_ADVANCED_TRIGGER_BASE* input : m_inputs)
        total += input->get_bit_width();
    return std::max(total, 1);
}

// ---- levels -------------------------------------------------------------------------------------

void SCI_ADVANCED_TRIGGER_UTILITY::set_coordinated_latency_delay(SCI_ADVANCED_TRIGGER_OUTPUT** roots,
                                                                 int* delays, int count)
{
    standin::record_call("sci:set_coordinated_latency_delay(" + std::to_string(count) + ")");
    if (roots == nullptr || delays == nullptr || count <= 0)
        return;
    const auto latency = [roots](int level)
    { return roots[level] ? roots[level]->get_pipeline_latency() : 1; };
    int slowest = 1;
    for (int level = 0; level < count; ++level)
        slowest = std::max(slowest, latency(level));
    for (int level = 0; level < count; ++level)
        delays[level] = slowest - latency(level);
}

// The stand-in's description names the level, its latency and its equation; an encrypted one
// says so and carries the equation hex-encoded, as an encrypted source would not be readable.
bool SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl(const char* name,
                                                               SCI_ADVANCED_TRIGGER_OUTPUT* root, bool,
                                                               bool encrypt, bool, const char* path)
{
    standin::record_call(std::string("sci:create_advanced_trigger_hdl(") + (name ? name : "") + "," +
                         (encrypt ? "1" : "0") + "," + (path ? path : "") + ")");
    if (name == nullptr || *name == '\0' || root == nullptr)
        return false;
    const QString folder = QString::fromLocal8Bit(path != nullptr ? path : "");
    QSaveFile file(QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                       .filePath(QString::fromLocal8Bit(name) + QStringLiteral(".hdl")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray equation(root->get_expression());
    QByteArray text = "-- advanced trigger " + QByteArray(name) + "\n";
    text += "-- pipeline latency " + QByteArray::number(root->get_pipeline_latency()) + "\n";
    text += "-- encrypted " + QByteArray(encrypt ? "yes" : "no") + "\n";
    text += (encrypt ? equation.toHex() : equation) + "\n";
    file.write(text);
    return file.commit();
}
