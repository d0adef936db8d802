// Analyzer file save and open against plain file I/O of the same packed samples, on the same
// disk and in the same run: 4 instances x 256 nodes x 8 logs x 131072 samples (128 MiB of
// packed samples). Counters: save_ratio and open_ratio (file time / raw time, target below 3)
// and open_peak_ratio (extra peak RSS of a fresh process that opens the file, divided by the
// packed sample size; target below 2). Both writes are flushed to disk; both reads run in a
// fresh child process each, into new buffers.
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{
const int INSTANCES = 4;
const int NODES = 256;
const int LOGS = 8;
const int SAMPLES = 131072;

QByteArray noise(int size, quint64 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint64 x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (int i = 0; i + 8 <= size; i += 8) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        std::memcpy(bytes.data() + i, &x, 8);
    }
    return bytes;
}

std::shared_ptr<SDR_LOG_PAYLOAD> make_payload(quint64 seed)
{
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = SAMPLES;
    p->channel_count = NODES;
    p->channel_bits = noise(NODES * p->row_bytes(), seed);
    p->valid_bits = QByteArray(p->row_bytes(), char(0xff));
    p->trigger_bits = QByteArray(p->row_bytes(), '\0');
    p->break_bits = QByteArray(p->row_bytes(), '\0');
    p->connected = QByteArray(NODES, '\1');
    p->trigger_position = SAMPLES / 8;
    return p;
}

SDR_NODE_LIST make_rows()
{
    SDR_NODE_LIST rows;
    for (int n = 0; n < NODES; ++n) {
        SDR_NODE_ROW row;
        row.link_id = n + 1;
        row.name = "top|core|data_bus[" + std::to_string(n) + "]";
        row.subtree_end = n;
        for (SDR_NODE_PATTERNS& p : row.patterns) {
            p.conditions = {SDR_CTYPE_DONT_CARE};
            p.comparisons = QVector<SDR_NODE_COMPARISON>(1);
        }
        rows.append(row);
    }
    return rows;
}

std::unique_ptr<SDR_DATA_SESSION> make_document(const std::string& name)
{
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    const SDR_NODE_LIST rows = make_rows();
    for (int i = 0; i < INSTANCES; ++i) {
        auto instance = std::make_unique<SDR_DATA_INSTANCE>(session.get(), "auto_vantrel_" + std::to_string(i));
        auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_0");
        auto trigger = std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0");
        set->m_state->data_list = rows;
        trigger->m_state->trigger_list = rows;
        for (int l = 0; l < LOGS; ++l) {
            auto log = std::make_unique<SDR_DATA_LOG>(trigger.get(), "log_" + std::to_string(l + 1));
            log->m_payload = make_payload(quint64(i * LOGS + l + 1));
            trigger->m_logs.push_back(std::move(log));
        }
        set->m_triggers.push_back(std::move(trigger));
        instance->m_signal_sets.push_back(std::move(set));
        session->m_instances.push_back(std::move(instance));
    }
    return session;
}

// The same packed bytes as the file's payloads, log by log.
std::vector<QByteArray> packed_blocks(const SDR_DATA_SESSION& session)
{
    std::vector<QByteArray> blocks;
    for (const auto& instance : session.m_instances)
        for (const auto& log : instance->m_signal_sets[0]->m_triggers[0]->m_logs) {
            const SDR_LOG_PAYLOAD& p = *log->m_payload;
            blocks.push_back(p.channel_bits + p.valid_bits + p.trigger_bits + p.break_bits);
        }
    return blocks;
}

void flush(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

double raw_write(const QString& path, const std::vector<QByteArray>& blocks)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QByteArray& block : blocks)
        file.write(block);
    file.close();
    flush(path);
    return double(timer.nsecsElapsed());
}

// Resident and peak resident size of this process in KiB. The peak comes from VmHWM, which
// starts afresh with the process image; getrusage's maximum would still hold the parent's
// size after the fork and exec that started this child.
long status_kb(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, std::strlen(field)) == 0)
            value = std::atol(line + std::strlen(field));
    if (status)
        std::fclose(status);
    return value;
}

// Child mode: open the file in this fresh process and print the growth of its peak RSS.
int open_and_report(const char* path)
{
    const long before = status_kb("VmRSS:");
    std::string error;
    auto session = sdr_read_session_file(path, &error);
    std::printf("%ld\n", session ? status_kb("VmHWM:") - before : -1);
    return session ? 0 : 1;
}

// Child modes that time one read in a fresh process, so that both sides pay for new memory
// alike instead of one reusing what the other just freed.
int time_open(const char* path)
{
    QElapsedTimer timer;
    timer.start();
    std::string error;
    auto session = sdr_read_session_file(path, &error);
    std::printf("%lld\n", session ? timer.nsecsElapsed() : -1ll);
    return session ? 0 : 1;
}

int time_raw_read(const char* path, int block)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(QString::fromLocal8Bit(path));
    file.open(QIODevice::ReadOnly);
    std::vector<QByteArray> read;
    for (qint64 left = file.size(); left > 0; left -= block) {
        QByteArray bytes(int(std::min<qint64>(block, left)), Qt::Uninitialized);
        file.read(bytes.data(), bytes.size());
        read.push_back(bytes);
    }
    std::printf("%lld\n", timer.nsecsElapsed());
    return 0;
}

double run_child(const char* self, const QStringList& arguments)
{
    QProcess child;
    child.start(QString::fromLocal8Bit(self), arguments);
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toDouble();
}

const char* g_self = nullptr;

void BM_file_against_raw(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/sdr_file_bench-XXXXXX"));
    const QString vtl = dir.filePath(QStringLiteral("big.vtl"));
    const QString raw = dir.filePath(QStringLiteral("big.raw"));
    auto document = make_document(vtl.toStdString());
    const std::vector<QByteArray> blocks = packed_blocks(*document);
    double packed = 0;
    for (const QByteArray& block : blocks)
        packed += block.size();
    const QString block = QString::number(blocks.front().size());
    double save = 0, open = 0, raw_save = 0, raw_open = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::string error;
        if (!sdr_write_session_file(*document, vtl.toStdString(), &error))
            state.SkipWithError(error.c_str());
        save += double(timer.nsecsElapsed());
        raw_save += raw_write(raw, blocks);
        open += run_child(g_self, {QStringLiteral("--time-open"), vtl});
        raw_open += run_child(g_self, {QStringLiteral("--time-raw-read"), raw, block});
    }
    const double n = double(state.iterations());
    state.counters["save_ratio"] = save / raw_save;
    state.counters["open_ratio"] = open / raw_open;
    state.counters["save_ms"] = save / 1e6 / n;
    state.counters["open_ms"] = open / 1e6 / n;
    state.counters["raw_write_ms"] = raw_save / 1e6 / n;
    state.counters["raw_read_ms"] = raw_open / 1e6 / n;
    state.counters["open_peak_ratio"] = run_child(g_self, {QStringLiteral("--open-and-report"), vtl}) * 1024.0 / packed;
    state.counters["packed_MiB"] = packed / (1 << 20);
}
BENCHMARK(BM_file_against_raw)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--open-and-report") == 0)
        return open_and_report(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--time-open") == 0)
        return time_open(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--time-raw-read") == 0)
        return time_raw_read(argv[2], std::atoi(argv[3]));
    g_self = argv[0];
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
