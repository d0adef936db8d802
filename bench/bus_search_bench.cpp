// Find Next over a 64-bit bus of acquired data, at 8192 and at 131072 samples, through the
// view's own command: the bars reset, then on_find_next_bus_value() walks every sample from the
// first to the last, where the one match lies (every other sample is random). The search reads
// each member's samples once and compares member bits, so the time per sample must be the same
// at both sizes (within 1.5x). The value is set once through the Find Bus Value dialog, as a
// user sets it. Each case is timed 15 times, the repetitions of both sizes interleaved; the
// counter is nanoseconds per sample, min / median / max.
#include "bench_editor.h"
#include "bench_support.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/sdr_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_trigger_value_dlg.h"
#include "sedq/view/sedq_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <memory>
#include <random>
#include <string>

namespace
{
constexpr int SAMPLES = 15;
constexpr int BUS_WIDTH = 64;
const char* const VALUE = "0123456789ABCDEF";

// Presses Find Next with `value` in the next Find Bus Value dialog, then closes it.
class dialog_hook : public QObject
{
public:
    explicit dialog_hook(QString value) : m_value(std::move(value)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<SEDQ_TRIGGER_VALUE_DLG*>(watched);
        if (event->type() != QEvent::Show || dialog == nullptr || m_used)
            return false;
        m_used = true;
        const QString value = m_value;
        QTimer::singleShot(0, dialog,
                           [dialog, value]
                           {
                               dialog->get_value_edit()->setText(value);
                               dialog->on_ok_button();
                               dialog->reject();
                           });
        return false;
    }

private:
    QString m_value;
    bool m_used = false;
};

// One 64-bit bus whose log holds random samples and VALUE at its last sample only.
void add_bus(SDR_DATA_TRIGGER* trigger, int depth)
{
    standin::sdr::log_spec log;
    log.depth = depth;
    std::mt19937_64 random{uint64_t(depth)};
    std::vector<uint64_t> values(static_cast<size_t>(depth));
    for (uint64_t& value : values)
        value = random();
    values.back() = 0x0123456789ABCDEFull;
    for (int member = 0; member < BUS_WIDTH; ++member)
    {
        standin::sdr::node_spec node;
        node.name = "top|core|q[" + std::to_string(BUS_WIDTH - 1 - member) + "]";
        node.signal_type = SDR_STYPE_REGISTERED;
        standin::sdr::add_node(trigger, node);
        std::string channel(size_t(depth), '0');
        for (int s = 0; s < depth; ++s)
            channel[size_t(s)] = (values[size_t(s)] >> (BUS_WIDTH - 1 - member)) & 1 ? '1' : '0';
        log.channels.push_back(std::move(channel));
    }
    standin::sdr::add_group(trigger, 0, BUS_WIDTH - 1, "q", SDR_GTYPE_HEX);
    standin::sdr::make_log(trigger, log);
}

// An editor window in data mode over that bus, with VALUE searched for once.
struct EDITOR : SEDQ_BENCH_EDITOR
{
    explicit EDITOR(int depth)
        : SEDQ_BENCH_EDITOR([depth](SDR_DATA_TRIGGER* trigger) { add_bus(trigger, depth); }, true),
          depth(depth)
    {
        view->repaint();
        set_search_value();
    }

    void set_search_value()
    {
        manager->set_node_selection_status(0, true);
        auto* hook = new dialog_hook(QString::fromLatin1(VALUE));
        QCoreApplication::instance()->installEventFilter(hook);
        view->on_find_bus_value();
        delete hook;
    }

    int depth;
};

std::map<int, std::unique_ptr<EDITOR>>& editors()
{
    static std::map<int, std::unique_ptr<EDITOR>> built;
    return built;
}

EDITOR& editor(int depth)
{
    auto& slot = editors()[depth];
    if (!slot)
        slot = std::make_unique<EDITOR>(depth);
    return *slot;
}

void find_next_over_every_sample(benchmark::State& state)
{
    EDITOR& e = editor(int(state.range(0)));
    if (e.view->get_search_value() != VALUE || e.view->get_timebar(0) != e.depth - 1)
        state.SkipWithError("the dialog's search did not find the value at the last sample");
    for (auto _ : state)
    {
        e.view->reset_timebars();
        QElapsedTimer timer;
        timer.start();
        e.view->on_find_next_bus_value();
        const double elapsed = double(timer.nsecsElapsed());
        state.SetIterationTime(elapsed / 1e9);
        state.counters["ns_per_sample"] = elapsed / e.depth;
        if (e.view->get_timebar(0) != e.depth - 1)
            state.SkipWithError("Find Next did not reach the last sample");
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("find_next_64_bit_bus", find_next_over_every_sample)
                            ->Arg(8192)
                            ->Arg(131072),
                        SAMPLES);
    sedq_ratio_reporter reporter("ns_per_sample", "8192", "131072", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("nanoseconds per sample, 8192 -> 131072 samples");
    editors().clear();
    return 0;
}
