// The simulated device's trigger decision by content: one acquisition of 64 channels x 131072
// samples (trigger search and sample generation) under a 64-object advanced condition and under
// a 4-state flow, each against the same acquisition under a basic trigger on the same sample.
// Counters: basic_ms, advanced_ms and flow_ms as min / median / max over the rounds,
// advanced_ratio and flow_ratio (medians, target below 2), and the condition's object count.
#include "host/chi_private.h"
#include "host/sci.h"
#include "host/standin/project_control.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
const int SAMPLES = 131072;
const int CHANNELS = 64;
const int ROUNDS = 11;

std::string design()
{
    return R"({"project": {"top_entity": "top"}, "netlists": {"pre": {"instances": [
      {"path": "top|trig", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": {"kind": "counter"}},
      {"path": "top|c0", "flags": "0x80000040", "dims": [[15, 0]], "stimulus": {"kind": "counter", "step": 3}},
      {"path": "top|r1", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "random", "seed": 1, "every": 4}},
      {"path": "top|r2", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "random", "seed": 2, "every": 3}},
      {"path": "top|d0", "flags": "0x80000040", "dims": [[7, 0]], "stimulus": {"kind": "random", "seed": 3, "every": 8}},
      {"path": "top|p0", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 40, "width": 3, "phase": 1}},
      {"path": "top|p1", "flags": "0x80000040", "stimulus": {"kind": "pulse", "period": 57, "width": 5, "phase": 2}},
      {"path": "top|p2", "flags": "0x80000040", "stimulus": {"kind": "clock", "period": 6}}
    ]}}, "jtag": {"hardware": ["SimCable [SIM-0]"], "devices": ["@1: SIMDEV-A"]}})";
}

std::string bus(const std::string& name, int width)
{
    std::string text = "{";
    for (int bit = width - 1; bit >= 0; --bit)
        text += "'" + name + "[" + std::to_string(bit) + "]'" + (bit > 0 ? ", " : "");
    return text + "}";
}

// Objects: 19 for the trigger comparison, 9 for the detector, 21 for the bitwise comparison,
// 8 for the shift, 2 for the counter, 4 for the logical pair and the and with the result.
std::string equation(int trigger)
{
    return "and(compare(" + bus("trig", 16) + ", ==, " + std::to_string(trigger) + ", cc, uc), mbpm('XXXXXXXX', " +
           bus("d0", 8) + "), compare((" + bus("r1", 8) + " & " + bus("r2", 8) + "), <=, 255, cc, uc), " +
           "compare(shift(logical, left, 1, " + bus("c0", 4) + "), >=, 0, cc, uc), ec(8, 1, e, 1, 'p2'), " +
           "or('p0', !'p0'))";
}

const char* const FLOW =
    "state ST1:\nif (L1) goto ST2;\n"
    "state ST2:\nif (L2) goto ST3;\n"
    "state ST3:\nif (L3 && !L1) goto ST4;\n"
    "state ST4:\nif (L4) trigger;\nelse if (L1) increment counter1;\n";

class bench_device
{
public:
    bench_device()
    {
        std::string error;
        standin::project::load_json(QByteArray::fromStdString(design()), m_dir.path().toStdString(), &error);
    }

    std::shared_ptr<chi_detail::acquisition_plan> plan(int trigger, int kind, int* objects)
    {
        using namespace chi_detail;
        auto p = std::make_shared<acquisition_plan>();
        const char* names[] = {"trig", "c0", "r1", "r2"};
        for (const char* name : names)
            for (int bit = 15; bit >= 0 && int(p->channels.size()) < CHANNELS; --bit)
            {
                p->channels.push_back(p->bank.add_signal(std::string(name) + "[" + std::to_string(bit) + "]"));
                p->connected.push_back(1);
            }
        p->depth = SAMPLES;
        p->trigger_offset = SAMPLES / 8;
        level_plan on_count;
        compare_term term;
        for (int bit = 15; bit >= 0; --bit)
            term.sources.push_back(p->bank.add_signal("trig[" + std::to_string(bit) + "]"));
        term.op1 = SDR_CTYPE_COMPARE_EQUAL_TO;
        term.value1 = trigger;
        term.op2 = SDR_CTYPE_COMPARE_TRUE;
        p->bank.share_stimulus(&term);
        on_count.compares.push_back(term);
        if (kind == 0)
            p->trigger.levels.push_back(on_count);
        else if (kind == 1)
        {
            level_plan advanced;
            advanced.type = SDR_LTYPE_ADVANCED;
            std::string error;
            auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(equation(trigger).c_str(), &error);
            auto compiled = std::make_shared<advanced_level>();
            if (parsed == nullptr ||
                !compiled->compile(parsed->get_root(),
                                   [&p](const std::string& name) { return p->bank.add_signal(name); }, &error))
                return nullptr;
            *objects = compiled->step_count();
            advanced.advanced = compiled;
            p->trigger.levels.push_back(advanced);
        }
        else
        {
            auto edge = [&p](const char* name, SDR_DATA_TRIGGER_CONDITION condition) {
                level_plan level;
                level.terms.push_back({p->bank.add_signal(name), condition});
                return level;
            };
            p->trigger.levels = {edge("p0", SDR_CTYPE_RISING), edge("p1", SDR_CTYPE_RISING), edge("p2", SDR_CTYPE_HIGH),
                                 on_count};
            flow_program::resources names;
            names.levels = {"L1", "L2", "L3", "L4"};
            names.counters = {"counter1"};
            names.counter_width = {16};
            names.counter_initial = {0};
            auto flow = std::make_shared<flow_program>();
            std::string error;
            if (!flow->read(FLOW, names, &error))
                return nullptr;
            p->trigger.state_based = true;
            p->trigger.flow = flow;
        }
        return p;
    }

private:
    QTemporaryDir m_dir;
};

// One acquisition: the search from the start of the window and the samples around the trigger.
double acquire(const chi_detail::acquisition_plan& plan, int64_t* trigger)
{
    QElapsedTimer timer;
    timer.start();
    chi_detail::trigger_result found = chi_detail::trigger_search_from(plan.trigger_offset);
    chi_detail::search_trigger(plan.trigger, plan.bank, int64_t(1) << 24, nullptr, &found);
    const chi_detail::capture_result captured = chi_detail::capture_windows(plan, found, nullptr);
    benchmark::DoNotOptimize(captured.payload.get());
    *trigger = found.trigger;
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void spread(benchmark::State& state, const char* name, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    state.counters[std::string(name) + "_min"] = values.front();
    state.counters[std::string(name) + "_median"] = values[values.size() / 2];
    state.counters[std::string(name) + "_max"] = values.back();
}

void BM_conditions_against_basic(benchmark::State& state)
{
    bench_device device;
    std::vector<double> basic, advanced, flow;
    int objects = 0;
    for (auto _ : state)
    {
        for (int round = 0; round < ROUNDS; ++round)
        {
            // The trigger lies far into the run: the condition is evaluated over most of it.
            const int trigger = 60000 + round * 331;
            std::vector<double>* times[] = {&basic, &advanced, &flow};
            int64_t samples[3] = {-1, -1, -1};
            for (int kind = 0; kind < 3; ++kind)
            {
                auto plan = device.plan(trigger, kind, &objects);
                if (plan == nullptr)
                {
                    state.SkipWithError("the condition does not build");
                    return;
                }
                times[kind]->push_back(acquire(*plan, &samples[kind]));
            }
            if (samples[0] != trigger || samples[1] != trigger || samples[2] != trigger)
                state.SkipWithError("a condition triggered elsewhere");
        }
    }
    spread(state, "basic_ms", basic);
    spread(state, "advanced_ms", advanced);
    spread(state, "flow_ms", flow);
    state.counters["advanced_ratio"] = median(advanced) / median(basic);
    state.counters["flow_ratio"] = median(flow) / median(basic);
    state.counters["objects"] = objects;
    state.counters["samples"] = SAMPLES;
}
BENCHMARK(BM_conditions_against_basic)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
