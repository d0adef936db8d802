// Analyzer file save and open through the repository's editing session (the editor's path),
// against plain file I/O of the same bytes on the same disk in the same run, and the open time
// per instance of documents of 10^4 and 4x10^4 instances.
//
// BM_file_against_raw: a fixed-seed document of 4 instances with 192 to 320 nodes each and 8
// logs per instance of 65,536 to 196,608 samples (about 130 MiB of packed samples). Every
// iteration saves it (SDR_TX_SESSION::save_session: the file written, flushed and renamed, the
// folder flushed) and writes the payload bytes to a plain file with one fsync; then opens it
// (SDR_TX_SESSION::open_session, then every log's samples read: opening alone leaves them in
// the file) and reads the plain file into new buffers, each in a fresh
// process, first from the page cache (warm) and then after evicting the file from it (cold).
// Cold reads drop the whole page cache where this process may (/proc/sys/vm/drop_caches, as
// root outside a container); elsewhere they evict the one file (posix_fadvise DONTNEED),
// which the counter cold_by_drop_caches tells (1 or 0). Counters: min, median and max of
// each ratio (file / raw) over the iterations, and of the times, and the ratio of the medians
// (the headline); the plain write goes to a fresh file renamed over the old one, as the save
// writes. open_peak_ratio is the growth of a fresh process's peak memory while it opens the
// file, over the packed sample size.
// Targets: save_ratio at most 1.1, open_warm_ratio at most 1.3, open_peak_ratio at most 1.1.
//
// BM_open_time_per_instance: two fixed-seed documents of 10,000 and 40,000 instances (varied
// node counts, power-up views, levels, position data, logs without samples), opened in fresh
// processes; counters are the microseconds per instance (min, median, max) of each and the
// ratio of the medians. Target: at most 1.5 (time linear in the document).
//
// BM_document_xml_against_expat/D: the document XML of a fixed-seed document D:
//   0  3,000 instances (node counts 1 to 40, one to three levels, power-up views on every fifth)
//      whose triggers keep one to four logs each without samples, every log carrying the wire
//      names of its signal set as an acquisition stores them;
//   1  13,000 and 2  65,536 instances (the documented limit) as window_open_bench opens them
//      (node counts 1 to 12, one to three levels, one log without samples);
//   3  the 1 GiB document of window_open_bench (one instance of 256 nodes, logs of 131,072
//      samples, each naming its wires).
// Every iteration opens the file (sdr_read_session_file, in this process: the whole open, the
// archive, the document's inflation and the reading into a data session) and parses the same
// document.xml streamed from the same archive entry with libexpat (start, end and text
// callbacks that visit every attribute), one after the other. Counters: min, median and max of
// the ratio open / expat over the iterations, the ratio of the medians, the times and the
// document's size. Target: at most 2 for each document.
//
// Children run with LD_BIND_NOW, as in an editor that is already running: symbol binding is not
// part of an open. A case that cannot be done ends the benchmark with exit code 1.
#include "bench_documents.h"
#include "bench_support.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_session_object.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <random>
#include <unistd.h>

namespace
{
const int INSTANCES = 4;
const int LOGS = 8;
const int ITERATIONS = 7;

QByteArray noise(qint64 size, std::mt19937_64* random)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    for (qint64 i = 0; i + 8 <= size; i += 8) {
        const quint64 x = (*random)();
        std::memcpy(bytes.data() + i, &x, 8);
    }
    return bytes;
}

std::shared_ptr<SDR_LOG_PAYLOAD> make_payload(int nodes, int depth, std::mt19937_64* random)
{
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = depth;
    p->channel_count = nodes;
    p->channel_bits = noise(qint64(nodes) * p->row_bytes(), random);
    p->valid_bits = QByteArray(p->row_bytes(), char(0xff));
    p->trigger_bits = QByteArray(p->row_bytes(), '\0');
    p->break_bits = QByteArray(p->row_bytes(), '\0');
    p->connected = QByteArray(nodes, '\1');
    p->trigger_position = depth / 8;
    return p;
}

std::unique_ptr<SDR_DATA_INSTANCE> make_instance(SDR_DATA_SESSION* session, int index, int nodes, int levels)
{
    auto instance = std::make_unique<SDR_DATA_INSTANCE>(session, "auto_vantrel_" + std::to_string(index));
    auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_0");
    auto trigger = std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0");
    trigger->m_state->levels.resize(size_t(levels));
    set->m_state->data_list = sedq_bench_rows(nodes, levels);
    trigger->m_state->trigger_list = set->m_state->data_list;
    set->m_triggers.push_back(std::move(trigger));
    instance->m_signal_sets.push_back(std::move(set));
    return instance;
}

// 4 instances of varied width, 8 logs each of varied depth.
std::unique_ptr<SDR_DATA_SESSION> make_large_document(const std::string& name)
{
    std::mt19937_64 random(20240611);
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    for (int i = 0; i < INSTANCES; ++i) {
        const int nodes = 192 + int(random() % 129);
        auto instance = make_instance(session.get(), i, nodes, 1 + i % 3);
        SDR_DATA_TRIGGER* trigger = instance->m_signal_sets[0]->m_triggers[0].get();
        for (int l = 0; l < LOGS; ++l) {
            auto log = std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(l + 1));
            log->m_payload = make_payload(nodes, 65536 + 8192 * int(random() % 17), &random);
            trigger->m_logs.push_back(std::move(log));
        }
        session->m_instances.push_back(std::move(instance));
    }
    return session;
}

// Many small instances: node counts 1 to 12, one to three levels, every fifth with its power-up
// view, position data, one log without samples.
std::unique_ptr<SDR_DATA_SESSION> make_wide_document(const std::string& name, int instances)
{
    std::mt19937_64 random(7 + quint64(instances));
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    for (int i = 0; i < instances; ++i) {
        auto instance = make_instance(session.get(), i, 1 + int(random() % 12), 1 + int(random() % 3));
        instance->m_state.powerup_enabled = i % 5 == 0;
        instance->m_node_info.m_field2 = i;
        instance->m_position_data[0]["active tab"] = {int(random() % 3)};
        instance->m_position_data[0]["zoom"] = {1, int(random() % 100), 4};
        SDR_DATA_TRIGGER* trigger = instance->m_signal_sets[0]->m_triggers[0].get();
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, "log_1"));
        session->m_instances.push_back(std::move(instance));
    }
    return session;
}

// Instances of 1 to 40 nodes whose triggers keep one to four logs without samples, each log
// naming the wires of its signal set as an acquisition does.
std::unique_ptr<SDR_DATA_SESSION> make_logged_document(const std::string& name, int instances)
{
    std::mt19937_64 random(31 + quint64(instances));
    auto session = std::make_unique<SDR_DATA_SESSION>(name);
    for (int i = 0; i < instances; ++i) {
        auto instance = make_instance(session.get(), i, 1 + int(random() % 40), 1 + int(random() % 3));
        instance->m_state.powerup_enabled = i % 5 == 0;
        instance->m_node_info.m_field2 = i;
        SDR_DATA_SIGNAL_SET* set = instance->m_signal_sets[0].get();
        SDR_DATA_TRIGGER* trigger = set->m_triggers[0].get();
        std::vector<std::string> wires;
        for (const SDR_NODE_ROW& row : set->m_state->data_list)
            wires.push_back(row.name);
        const int logs = 1 + int(random() % 4);
        for (int l = 0; l < logs; ++l) {
            auto log = std::make_unique<SDR_DATA_LOG>(trigger, "log_" + std::to_string(l + 1));
            log->m_signal_set = set;
            log->m_wire_names = wires;
            trigger->m_logs.push_back(std::move(log));
        }
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

// The plain side of a save, written as the save writes: a fresh file beside the old one (no
// truncation of a file whose pages are still being written back), flushed, renamed over the old
// one, the folder flushed.
double raw_write(const QString& path, const std::vector<QByteArray>& blocks)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray fresh = target + ".new";
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    ::unlink(fresh.constData());
    QElapsedTimer timer;
    timer.start();
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    for (const QByteArray& block : blocks)
        for (qint64 done = 0; fd >= 0 && done < block.size();) {
            const ssize_t n = ::write(fd, block.constData() + done, size_t(block.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
    ::fsync(fd);
    ::close(fd);
    ::rename(fresh.constData(), target.constData());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(dir);
    ::close(dir);
    return double(timer.nsecsElapsed());
}

// Drops the page cache where this process may; otherwise evicts the one file. True for the
// first.
bool evict(const QString& path)
{
    ::sync();
    FILE* drop = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (drop) {
        const bool written = std::fputs("1\n", drop) >= 0;
        if (std::fclose(drop) == 0 && written)
            return true;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    return false;
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

// Opening leaves the samples in the file until they are asked for; the raw side reads every
// byte, so the file side reads every log's samples too.
bool read_every_log(SDR_TX_SESSION* session)
{
    SDR_DATA_SESSION* data = session->get_data_session();
    if (data == nullptr)
        return false;
    for (const auto& instance : data->m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
                for (const auto& log : trigger->m_logs)
                    if (!log->m_payload && !log->m_payload.problem().isEmpty())
                        return false;
    return true;
}

// Child modes, each in a fresh process so that both sides pay for new memory alike.
int open_and_report(const char* path)
{
    const long before = status_kb("VmRSS:");
    SDR_TX_SESSION session(new SEDQ_SESSION_OBJECT, true);
    const bool opened = session.open_session(path) && read_every_log(&session);
    std::printf("%ld\n", opened ? status_kb("VmHWM:") - before : -1);
    return opened ? 0 : 1;
}

int time_open(const char* path)
{
    QElapsedTimer timer;
    timer.start();
    SDR_TX_SESSION session(new SEDQ_SESSION_OBJECT, true);
    const bool opened = session.open_session(path) && read_every_log(&session);
    std::printf("%lld\n", opened ? timer.nsecsElapsed() : -1ll);
    if (!opened)
        std::fprintf(stderr, "%s\n", session.get_last_error().c_str());
    return opened ? 0 : 1;
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

const char* g_self = nullptr;

double run_child(const QStringList& arguments)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_BIND_NOW"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QString::fromLocal8Bit(g_self), arguments);
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toDouble();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// min, median and max of `values` as three counters.
void report(benchmark::State& state, const std::string& name, const std::vector<double>& values)
{
    state.counters[name + "_min"] = *std::min_element(values.begin(), values.end());
    state.counters[name + "_median"] = median(values);
    state.counters[name + "_max"] = *std::max_element(values.begin(), values.end());
}

std::vector<double> ratios(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        r.push_back(a[i] / b[i]);
    return r;
}

void BM_file_against_raw(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/sdr_file_bench-XXXXXX"));
    const QString vtl = dir.filePath(QStringLiteral("big.vtl"));
    const QString raw = dir.filePath(QStringLiteral("big.raw"));
    const std::string file = vtl.toStdString();
    std::vector<QByteArray> blocks;
    double packed = 0;
    {
        auto document = make_large_document(file);
        blocks = packed_blocks(*document);
        std::string error;
        if (!sdr_write_session_file(*document, file, &error))
            state.SkipWithError(error.c_str());
    }
    for (const QByteArray& block : blocks)
        packed += block.size();
    SDR_TX_SESSION session(new SEDQ_SESSION_OBJECT, true);
    if (!session.open_session(file.c_str()))
        state.SkipWithError(session.get_last_error().c_str());
    const QString block = QString::number(blocks.front().size());
    std::map<std::string, std::vector<double>> ms;
    bool dropped = false;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!session.save_session(file.c_str()))
            state.SkipWithError(session.get_last_error().c_str());
        ms["save"].push_back(double(timer.nsecsElapsed()) / 1e6);
        ms["raw_write"].push_back(raw_write(raw, blocks) / 1e6);
        ms["open_warm"].push_back(run_child({QStringLiteral("--time-open"), vtl}) / 1e6);
        ms["raw_read_warm"].push_back(run_child({QStringLiteral("--time-raw-read"), raw, block}) / 1e6);
        dropped = evict(vtl);
        ms["open_cold"].push_back(run_child({QStringLiteral("--time-open"), vtl}) / 1e6);
        evict(raw);
        ms["raw_read_cold"].push_back(run_child({QStringLiteral("--time-raw-read"), raw, block}) / 1e6);
    }
    // The headline: medians against medians, each side's own swings kept out of the ratio.
    state.counters["save_ratio_of_medians"] = median(ms["save"]) / median(ms["raw_write"]);
    state.counters["open_warm_ratio_of_medians"] = median(ms["open_warm"]) / median(ms["raw_read_warm"]);
    state.counters["open_cold_ratio_of_medians"] = median(ms["open_cold"]) / median(ms["raw_read_cold"]);
    report(state, "save_ratio", ratios(ms["save"], ms["raw_write"]));
    report(state, "open_warm_ratio", ratios(ms["open_warm"], ms["raw_read_warm"]));
    report(state, "open_cold_ratio", ratios(ms["open_cold"], ms["raw_read_cold"]));
    for (const auto& times : ms)
        report(state, times.first + "_ms", times.second);
    state.counters["open_peak_ratio"] = run_child({QStringLiteral("--open-and-report"), vtl}) * 1024.0 / packed;
    state.counters["packed_MiB"] = packed / (1 << 20);
    state.counters["cold_by_drop_caches"] = dropped ? 1 : 0;
}
BENCHMARK(BM_file_against_raw)->Iterations(ITERATIONS)->Unit(benchmark::kMillisecond);

// What a streaming parser's callbacks see of the document, so that none of it is skipped.
struct EXPAT_COUNTS
{
    qint64 elements = 0;
    qint64 attributes = 0;
    qint64 bytes = 0;
};

void XMLCALL expat_start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* counts = static_cast<EXPAT_COUNTS*>(data);
    ++counts->elements;
    counts->bytes += qint64(std::strlen(name));
    for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
        ++counts->attributes;
        counts->bytes += qint64(std::strlen(a[1]));
    }
}

void XMLCALL expat_end(void* data, const XML_Char*)
{
    ++static_cast<EXPAT_COUNTS*>(data)->elements;
}

void XMLCALL expat_text(void* data, const XML_Char*, int length)
{
    static_cast<EXPAT_COUNTS*>(data)->bytes += length;
}

// Nanoseconds of a streaming parse of the file's document.xml by libexpat, fed from the archive
// entry in the reader's piece size; -1 when the entry cannot be read or parsed.
double time_expat(const QString& file, qint64* document_size)
{
    QElapsedTimer timer;
    timer.start();
    SDR_FILE_ERROR error(file);
    SDR_FILE_ARCHIVE_READER archive(file);
    if (!archive.open(&error))
        return -1;
    SDR_FILE_ENTRY_READER entry(archive, QStringLiteral("document.xml"));
    if (!entry.open(&error))
        return -1;
    *document_size = entry.size();
    XML_Parser parser = XML_ParserCreate(nullptr);
    EXPAT_COUNTS counts;
    XML_SetUserData(parser, &counts);
    XML_SetElementHandler(parser, expat_start, expat_end);
    XML_SetCharacterDataHandler(parser, expat_text);
    bool parsed = true;
    const int piece = 16384;
    while (parsed && entry.remaining() > 0) {
        void* buffer = XML_GetBuffer(parser, piece);
        const qint64 n = std::min<qint64>(piece, entry.remaining());
        parsed = buffer != nullptr && entry.read_exact(static_cast<char*>(buffer), n, &error) &&
                 XML_ParseBuffer(parser, int(n), 0) == XML_STATUS_OK;
    }
    parsed = parsed && XML_ParseBuffer(parser, 0, 1) == XML_STATUS_OK && entry.finish(&error);
    XML_ParserFree(parser);
    benchmark::DoNotOptimize(counts);
    return parsed && counts.elements > 0 ? double(timer.nsecsElapsed()) : -1;
}

// The documents BM_document_xml_against_expat reads, by its argument.
std::unique_ptr<SDR_DATA_SESSION> xml_document(int which, const std::string& name)
{
    switch (which) {
    case 0:
        return make_logged_document(name, 3000);
    case 1:
        return sedq_bench_instances_document(name, 13000);
    case 2:
        return sedq_bench_instances_document(name, 65536);
    default:
        return sedq_bench_large_document(name, 1024);
    }
}
constexpr int XML_DOCUMENTS = 4;

void BM_document_xml_against_expat(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/sdr_file_bench-XXXXXX"));
    const QString vtl = dir.filePath(QStringLiteral("document.vtl"));
    std::string error;
    if (!sdr_write_session_file(*xml_document(int(state.range(0)), vtl.toStdString()), vtl.toStdString(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<double> open_ms, expat_ms;
    qint64 document_size = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<SDR_DATA_SESSION> session = sdr_read_session_file(vtl.toStdString(), &error);
        open_ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!session) {
            state.SkipWithError(error.c_str());
            break;
        }
        session.reset();
        const double expat = time_expat(vtl, &document_size);
        if (expat < 0) {
            state.SkipWithError("expat could not parse the document");
            break;
        }
        expat_ms.push_back(expat / 1e6);
    }
    state.counters["ratio_of_medians"] = median(open_ms) / median(expat_ms);
    report(state, "ratio", ratios(open_ms, expat_ms));
    report(state, "open_ms", open_ms);
    report(state, "expat_ms", expat_ms);
    state.counters["document_MiB"] = double(document_size) / (1 << 20);
}
BENCHMARK(BM_document_xml_against_expat)->DenseRange(0, XML_DOCUMENTS - 1)->Iterations(9)->Unit(benchmark::kMillisecond);

void BM_open_time_per_instance(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/sdr_file_bench-XXXXXX"));
    const int sizes[2] = {10000, 40000};
    QString files[2];
    for (int k = 0; k < 2; ++k) {
        files[k] = dir.filePath(QStringLiteral("wide_%1.vtl").arg(sizes[k]));
        std::string error;
        if (!sdr_write_session_file(*make_wide_document(files[k].toStdString(), sizes[k]), files[k].toStdString(), &error))
            state.SkipWithError(error.c_str());
    }
    std::vector<double> per_instance[2];
    for (auto _ : state)
        for (int k = 0; k < 2; ++k)
            per_instance[k].push_back(run_child({QStringLiteral("--time-open"), files[k]}) / 1e3 / sizes[k]);
    report(state, "us_per_instance_10k", per_instance[0]);
    report(state, "us_per_instance_40k", per_instance[1]);
    state.counters["ratio_40k_to_10k"] = median(per_instance[1]) / median(per_instance[0]);
}
BENCHMARK(BM_open_time_per_instance)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

// For a profiler run of the reading alone: reads `path` `times` times in this process.
int read_document(const char* path, int times)
{
    for (int i = 0; i < times; ++i) {
        std::string error;
        if (!sdr_read_session_file(path, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--read-document") == 0)
        return read_document(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--open-and-report") == 0)
        return open_and_report(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--time-open") == 0)
        return time_open(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--time-raw-read") == 0)
        return time_raw_read(argv[2], std::atoi(argv[3]));
    g_self = argv[0];
    benchmark::Initialize(&argc, argv);
    sedq_failing_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.exit_code();
}
