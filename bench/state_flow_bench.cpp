// The flow editor's two per-key costs as the flow grows. Completion: the proposals at the end of
// a unified flow of 2 and of 20 states (the text up to the cursor is read once, so the time per
// character of it should stay flat). Highlighting: one pass over 100 and over 1,000 lines with
// 40 names (the rules are built once per pass, so the time per line should stay flat). Size 1
// is the small case, size 10 the large one; the summary prints the ratio of the medians.
// Each case is timed 15 times, the repetitions of both sizes interleaved; the counters are
// nanoseconds per character (completion) and per line (highlighting), min / median / max.
#include "bench_support.h"
#include "sedq/state_flow/sedq_flow_language.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSyntaxHighlighter>
#include <QTextDocument>

namespace
{
constexpr int SAMPLES = 15;
constexpr int NAMES_PER_KIND = 10;

SEDQ_FLOW_NAMES names_of(int states)
{
    SEDQ_FLOW_NAMES names;
    for (int i = 1; i <= NAMES_PER_KIND; ++i)
    {
        names.conditions << QString("condition%1").arg(i);
        names.flags << QString("flag%1").arg(i);
        names.counters << QString("counter%1").arg(i);
    }
    for (int i = 1; i <= states; ++i)
        names.states << QString("ST%1").arg(i);
    return names;
}

// Seven lines of one state's body, using names of every kind.
QString body(int state, int states)
{
    const int n = state % NAMES_PER_KIND + 1;
    return QString("if (condition%1 && !flag%1) begin\n"
                   "    increment counter%1;\n"
                   "    goto ST%2;\n"
                   "end\n"
                   "else if (counter%1 >= 5 || flag%3) set flag%1;\n"
                   "start_store;\n"
                   "trigger;\n")
        .arg(n)
        .arg((state + 1) % states + 1)
        .arg(NAMES_PER_KIND - n + 1);
}

void completion_at_the_end(benchmark::State& state)
{
    const int states = 2 * int(state.range(0));
    const SEDQ_FLOW_NAMES names = names_of(states);
    QString text;
    for (int s = 0; s < states; ++s)
        text += QString("state ST%1:\n").arg(s + 1) + body(s, states) + "\n";
    text += "if (cond";
    constexpr int KEYS = 50;
    int proposed = 0;
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < KEYS; ++i)
            proposed += sedq_get_proposals(text, text, names, SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW,
                                           SEDQ_TOOLTIPS_TYPE_BOTH)
                            .size();
        const double elapsed = double(timer.nsecsElapsed()) / KEYS;
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns"] = elapsed / text.size();
    }
    benchmark::DoNotOptimize(proposed);
}

// Applies the editor's rules as its highlighter does: built once at the first block of a pass.
class BENCH_HIGHLIGHTER : public QSyntaxHighlighter
{
public:
    BENCH_HIGHLIGHTER(QTextDocument* document, SEDQ_FLOW_NAMES names)
        : QSyntaxHighlighter(document), m_names(std::move(names))
    {
    }

protected:
    void highlightBlock(QString const& text) override
    {
        if (currentBlock().blockNumber() == 0)
            m_rules = sedq_highlight_rules(m_names, SEDQ_HIGHLIGHT_LOCK());
        for (const QTextLayout::FormatRange& range : sedq_highlight_line(text, m_rules))
            setFormat(range.start, range.length, range.format);
    }

private:
    SEDQ_FLOW_NAMES m_names;
    QVector<SEDQ_HIGHLIGHT_RULE> m_rules;
};

void rehighlighting(benchmark::State& state)
{
    const int lines = 100 * int(state.range(0));
    QString text;
    for (int s = 0; text.count(QLatin1Char('\n')) < lines; ++s)
        text += QString("state ST%1:\n").arg(s % NAMES_PER_KIND + 1) + body(s, NAMES_PER_KIND) + "\n";
    text = text.section(QLatin1Char('\n'), 0, lines - 1);
    QTextDocument document;
    document.setPlainText(text);
    BENCH_HIGHLIGHTER highlighter(&document, names_of(NAMES_PER_KIND));
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        highlighter.rehighlight();
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns"] = elapsed / document.blockCount();
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("completion_at_the_end", completion_at_the_end)->Arg(1)->Arg(10),
                        SAMPLES);
    sedq_bench_repeated(benchmark::RegisterBenchmark("rehighlighting", rehighlighting)->Arg(1)->Arg(10), SAMPLES);
    sedq_ratio_reporter reporter("ns", "1", "10", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("nanoseconds per character before the cursor (completion) and per line (highlighting), "
                           "2 -> 20 states and 100 -> 1,000 lines");
    return 0;
}
