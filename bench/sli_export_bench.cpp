// Data export: a data log of 256 nodes (in buses) x 131072 samples written as csv and as a value
// change dump through the editor's export request (SEDQ_WAVEFORM_EXPORT_DATA: the exporter's
// snapshot, the file written beside its target, flushed to disk and renamed over it), against
// writing the same bytes raw (open, write in 1 MiB pieces, fsync, close) to the same folder in
// the same round. Every round acquires new samples from its own seed: clocks of varied
// periods, counter bits, slow control lines, noise and constants, a wire in 32 unconnected, and
// in every other round invalid stretches as a storage qualifier leaves them.
//
// Cases: csv and vcd, on the disk (the system's temporary folder) and in memory (/dev/shm,
// where the flush costs nothing and the formatting shows whole). Counters: export_ms, raw_ms
// and ratio (export / raw of the same round) as min / median / max over the rounds, and the
// file size. The headline, printed last, is the in-memory ratio of each format: on the disk
// both sides wait for the same flush, which hides what the formatting costs. Target: the
// in-memory ratio at most 2.
#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/standin/sdr_control.h"
#include "sedq/view/sedq_waveform_export_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const int NODES = 256;
const int SAMPLES = 131072;
const int ROUNDS = 9;

void set_bit(QByteArray& row, qint64 offset, int sample)
{
    row.data()[offset + sample / 8] |= char(1 << (sample % 8));
}

// One channel's samples of the kind its index picks.
void fill_channel(QByteArray& bits, int channel, std::mt19937_64* random)
{
    const qint64 offset = qint64(channel) * (SAMPLES / 8);
    const int kind = channel % 5;
    if (kind == 3) {                                              // noise
        for (int b = 0; b < SAMPLES / 8; b += 8) {
            const quint64 word = (*random)();
            std::memcpy(bits.data() + offset + b, &word, 8);
        }
        return;
    }
    const int period = 1 + int((*random)() % 64);
    bool level = (*random)() % 2 != 0;
    for (int s = 0; s < SAMPLES; ++s) {
        bool bit = false;
        if (kind == 0)                                            // clock
            bit = (s / period) % 2 != 0;
        else if (kind == 1)                                       // counter bit
            bit = ((s >> (channel % 12)) & 1) != 0;
        else if (kind == 2)                                       // slow control line
            bit = level = (*random)() % 200 == 0 ? !level : level;
        else                                                      // constant
            bit = level;
        if (bit)
            set_bit(bits, offset, s);
    }
}

std::shared_ptr<SDR_LOG_PAYLOAD> make_payload(unsigned seed)
{
    std::mt19937_64 random(seed);
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = SAMPLES;
    p->channel_count = NODES;
    p->channel_bits = QByteArray(NODES * p->row_bytes(), '\0');
    for (int c = 0; c < NODES; ++c)
        fill_channel(p->channel_bits, c, &random);
    p->valid_bits = QByteArray(p->row_bytes(), char(0xff));
    for (int stretch = 0; seed % 2 == 1 && stretch < 40; ++stretch) {
        const int first = int(random() % SAMPLES);
        for (int s = first; s < std::min(SAMPLES, first + int(random() % 100)); ++s)
            p->valid_bits.data()[s / 8] &= char(~(1 << (s % 8)));
    }
    p->trigger_bits = QByteArray(p->row_bytes(), '\0');
    p->break_bits = QByteArray(p->row_bytes(), '\0');
    p->connected = QByteArray(NODES, '\1');
    for (int c = 17; c < NODES; c += 32)
        p->connected[c] = '\0';
    p->trigger_position = int(random() % SAMPLES);
    return p;
}

// A document with one instance of 256 data nodes in buses of 32 and a log of them: seven buses
// of a design's bits ("top|core_0|bus[31..0]"), which a dump names as they are, and a state
// register of named states, whose bits a dump gives again under the bus's name.
struct bench_document
{
    bench_document()
    {
        session.create_session("/tmp/sli_export_bench.vtl");
        SDR_DATA_TRIGGER* trigger = session.get_trigger_at(0, false)->get_data_trigger();
        for (int n = 0; n < NODES; ++n)
            standin::sdr::add_node(trigger, {n < NODES - 32 ? "top|core_" + std::to_string(n / 32) + "|bus[" +
                                                                  std::to_string(31 - n % 32) + "]"
                                                            : "top|fsm|state.s" + std::to_string(n % 32)});
        for (int bus = NODES / 32 - 1; bus >= 0; --bus)
            standin::sdr::add_group(trigger, bus * 32, bus * 32 + 31,
                                    bus < NODES / 32 - 1 ? "top|core_" + std::to_string(bus) + "|bus[31..0]"
                                                         : "top|fsm|state");
        SDR_TX_SIGNAL_SET::sync_data_list(trigger->m_signal_set, trigger, false);
        standin::sdr::log_spec desc;
        desc.depth = 1;
        log = standin::sdr::make_log(trigger, desc);
    }
    SDR_TX_SESSION session{nullptr, false};
    SDR_DATA_LOG* log = nullptr;
};

double raw_write(const QByteArray& bytes, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    for (qint64 at = 0; ok && at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(std::min<qint64>(1 << 20, bytes.size() - at)));
        ok = n > 0;
        at += n;
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok ? double(timer.nsecsElapsed()) / 1e6 : -1;
}

// The in-memory ratios of each format, min / median / max, for the headline.
std::map<std::string, std::vector<double>>& headline()
{
    static std::map<std::string, std::vector<double>> ratios;
    return ratios;
}

void spread(benchmark::State& state, const std::string& name, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    state.counters[name + "_min"] = values.front();
    state.counters[name + "_median"] = values[values.size() / 2];
    state.counters[name + "_max"] = values.back();
}

void BM_export_against_raw(benchmark::State& state)
{
    const auto format = SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT(state.range(0));
    const bool memory = state.range(1) != 0;
    if (memory && !QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        state.SkipWithError("no writable /dev/shm");
        return;
    }
    QTemporaryDir dir(memory ? QStringLiteral("/dev/shm/sli_export_bench-XXXXXX") : QDir::tempPath() + "/sli_export_bench-XXXXXX");
    bench_document document;
    SEDQ_WAVEFORM_EXPORT_DATA request;
    const QString target = dir.filePath(format == SLI_OUTPUT_FORMAT_CSV ? "export.csv" : "export.vcd");
    request.set_filename(QFile::encodeName(target).constData());
    request.set_type(format);
    request.set_clock_interval(10000);
    std::vector<double> exported, raw, ratio;
    qint64 size = 0;
    for (auto _ : state) {
        for (int round = 0; round < ROUNDS; ++round) {
            document.log->m_payload = make_payload(unsigned(round + 1));
            QElapsedTimer timer;
            timer.start();
            if (!request.create_vector_database(document.log)) {
                state.SkipWithError("the export failed");
                return;
            }
            exported.push_back(double(timer.nsecsElapsed()) / 1e6);
            QFile file(target);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            size = bytes.size();
            raw.push_back(raw_write(bytes, dir.filePath("raw")));
            ratio.push_back(exported.back() / raw.back());
        }
    }
    spread(state, "export_ms", exported);
    spread(state, "raw_ms", raw);
    spread(state, "ratio", ratio);
    state.counters["file_MiB"] = double(size) / (1 << 20);
    if (memory) {
        std::sort(ratio.begin(), ratio.end());
        headline()[format == SLI_OUTPUT_FORMAT_CSV ? "csv" : "vcd"] = {ratio.front(), ratio[ratio.size() / 2],
                                                                       ratio.back(), double(size) / (1 << 20)};
    }
}
BENCHMARK(BM_export_against_raw)
    ->ArgNames({"format", "memory"})
    ->Args({SLI_OUTPUT_FORMAT_CSV, 0})
    ->Args({SLI_OUTPUT_FORMAT_VCD, 0})
    ->Args({SLI_OUTPUT_FORMAT_CSV, 1})
    ->Args({SLI_OUTPUT_FORMAT_VCD, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nexport / raw write in memory, %d nodes x %d samples, min / median / max (target at most 2)\n",
                NODES, SAMPLES);
    for (const auto& entry : headline())
        std::printf("  %s  %6.2f / %6.2f / %6.2f  (%.1f MiB)\n", entry.first.c_str(), entry.second[0],
                    entry.second[1], entry.second[2], entry.second[3]);
    return 0;
}
