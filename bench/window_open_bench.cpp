// The editor window coming up on a document, measured from the document's open to the first
// completed paint of the window (1600 x 1000, offscreen), through the editor's own open
// (SEDQ_FRAME_WND::open_file), and the window closing again:
//   open_instances/N  a document of N instances (node counts 1 to 12, one to three trigger
//                     levels, every fifth with its power-up view, one log without samples):
//                     N = 62, 500, 4,096 and 65,536 (the documented limit). Every open runs in a
//                     fresh process, so that its peak memory is its own; counters: ms (to the
//                     first paint), close_ms (the window, once settled, destroyed and its
//                     deferred deletions done) and peak_MiB (the process's peak resident memory over what it held
//                     before the open). Targets: 4,096 against 500 within 10x in time to the
//                     first paint; 65,536 against 4,096 within 20x in time to the first paint,
//                     in peak memory and in closing (linear in the instances).
//   open_names/B      a document of 13,000 instances (as open_instances builds them) whose names
//                     take about B bytes each: B = 0, "auto_vantrel_<i>", against B = 3,072,
//                     hierarchy paths of generated blocks ending in the instance's own name,
//                     each opened in a fresh process, interleaved; ms, close_ms and peak_MiB
//                     as above. Target: long names within 3x of short names in time to the
//                     first paint.
//   open_large/M      a document of one instance of 256 nodes whose logs of 131,072 samples
//                     hold M MiB of samples in all (16, 130, 1,024), the last log shown; each
//                     log names its 256 wires, as an acquisition stores them; counters:
//                     milliseconds and the growth of the resident memory while it opens (MiB),
//                     and peak_MiB, the process's peak resident memory so far (getrusage): run
//                     one size per process (--benchmark_filter=open_large/1024) for the peak of
//                     that size alone. Target: 1 GiB within 2x of 16 MiB.
// Each size is opened 5 times (65,536, the named documents and 1 GiB 3 times), sizes
// interleaved; min / median / max. A case that cannot be done ends the benchmark with exit code 1.
#include "bench_documents.h"
#include "bench_support.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"
#include "sedq/frame/sedq_frame_wnd.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace
{
constexpr int REPETITIONS = 5;
constexpr int LIMIT_INSTANCES = 65536;
constexpr int LIMIT_REPETITIONS = 3;
constexpr int LARGE_REPETITIONS = 3;
constexpr int NAMED_INSTANCES = 13000;
constexpr int LONG_NAME_BYTES = 3072;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The document of `instances` instances with names of `name_bytes` (0: short), written once.
QString document(int instances, int name_bytes = 0)
{
    const QString path = folder().filePath(QStringLiteral("instances_%1_%2.vtl").arg(instances).arg(name_bytes));
    if (!QFile::exists(path))
    {
        std::string error;
        const auto session = sedq_bench_instances_document(path.toStdString(), instances, name_bytes);
        if (!sdr_write_session_file(*session, path.toStdString(), &error))
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
    }
    return path;
}

// The document of `mebibytes` MiB of samples, written once.
QString large_document(int mebibytes)
{
    const QString path = folder().filePath(QStringLiteral("large_%1.vtl").arg(mebibytes));
    if (!QFile::exists(path))
    {
        std::string error;
        if (!sdr_write_session_file(*sedq_bench_large_document(path.toStdString(), mebibytes), path.toStdString(),
                                    &error))
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
    }
    return path;
}

// Peak resident memory of this process so far in MiB.
double peak_mib()
{
    struct rusage usage;
    return getrusage(RUSAGE_SELF, &usage) == 0 ? double(usage.ru_maxrss) / 1024.0 : -1.0;
}

// Notes when its window has been painted.
class PAINT_WATCH : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Milliseconds from the open of `path` to the window's first completed paint; -1 when the
// document does not open. The window is closed afterwards, in `close_ms` milliseconds.
long status_kb(const char* field);

double open_to_first_paint(const QString& path, double* growth_mib = nullptr, double* close_ms = nullptr)
{
    const long before = status_kb("VmRSS:");
    QUI_FRAME_INFO info;
    auto frame = std::make_unique<SEDQ_FRAME_WND>(&info, QUI_FW_STATE_ATTACHED);
    PAINT_WATCH watch;
    frame->installEventFilter(&watch);
    frame->resize(1600, 1000);
    QElapsedTimer timer;
    timer.start();
    if (!frame->open_file(path))
        return -1;
    frame->show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (growth_mib != nullptr)
        *growth_mib = double(status_kb("VmRSS:") - before) / 1024.0;
    frame->removeEventFilter(&watch);
    // The window is closed once it has settled, as a user closes it: what the open left queued
    // (every new widget asks to be polished) has been delivered by then.
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents))
    {
    }
    timer.start();
    frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (close_ms != nullptr)
        *close_ms = double(timer.nsecsElapsed()) / 1e6;
    return ms;
}

// Resident memory fields of this process in KiB ("VmRSS:", "VmHWM:").
long status_kb(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, field, std::strlen(field)) == 0)
            value = std::atol(line + std::strlen(field));
    if (status != nullptr)
        std::fclose(status);
    return value;
}

// The child's side of open_instances: opens, paints and closes the window once and prints the
// milliseconds to the first paint, the milliseconds to close and the peak memory's growth.
int open_in_this_process(const QString& path)
{
    const long before = status_kb("VmRSS:");
    double close_ms = 0;
    const double ms = open_to_first_paint(path, nullptr, &close_ms);
    std::printf("%f %f %f\n", ms, close_ms, double(status_kb("VmHWM:") - before) / 1024.0);
    return ms < 0 ? 1 : 0;
}

const char* g_self = nullptr;

void open_in_child(benchmark::State& state, const QString& path)
{
    for (auto _ : state)
    {
        QProcess child;
        child.start(QString::fromLocal8Bit(g_self), {QStringLiteral("--open-in-this-process"), path});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        const double ms = figures.value(0).toDouble();
        if (child.exitCode() != 0 || figures.size() != 3 || ms <= 0)
        {
            state.SkipWithError("the document did not open");
            break;
        }
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["close_ms"] = figures[1].toDouble();
        state.counters["peak_MiB"] = figures[2].toDouble();
    }
}

void open_instances(benchmark::State& state)
{
    open_in_child(state, document(int(state.range(0))));
}

// NAMED_INSTANCES instances whose names take about range(0) bytes each (0: "auto_vantrel_<i>").
void open_names(benchmark::State& state)
{
    open_in_child(state, document(NAMED_INSTANCES, int(state.range(0))));
}

void open_large(benchmark::State& state)
{
    const QString path = large_document(int(state.range(0)));
    for (auto _ : state)
    {
        double growth = 0;
        const double ms = open_to_first_paint(path, &growth);
        if (ms < 0)
            state.SkipWithError("the document did not open");
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
        state.counters["rss_growth_MiB"] = growth;
        state.counters["peak_MiB"] = peak_mib();
    }
}
// What Qt's own tab widget would cost for the instance tabs alone: a hidden QTabWidget given one
// empty splitter page per instance, named as the window names them. Each tab added walks every
// tab before it (and every page before it in the stack), which is why the window's instance
// tabs are a widget of their own; kept as the reference that open_instances is compared with.
void qt_tab_widget(benchmark::State& state)
{
    const int tabs = int(state.range(0));
    for (auto _ : state)
    {
        QElapsedTimer timer;
        timer.start();
        {
            QTabWidget widget;
            widget.hide();
            for (int i = 0; i < tabs; ++i)
                widget.addTab(new QSplitter(Qt::Vertical), QStringLiteral("auto_vantrel_%1").arg(i));
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1e3);
        state.counters["ms"] = ms;
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--open-in-this-process") == 0)
        return open_in_this_process(QString::fromLocal8Bit(argv[2]));
    // The benchmark's documents written to a file, for a profiler run of one open
    // (--open-in-this-process): --write-instances N file [name bytes], --write-large M file.
    if ((argc == 4 || argc == 5) &&
        (std::strcmp(argv[1], "--write-instances") == 0 || std::strcmp(argv[1], "--write-large") == 0))
    {
        const int size = std::atoi(argv[2]);
        const int name_bytes = argc == 5 ? std::atoi(argv[4]) : 0;
        const auto session = std::strcmp(argv[1], "--write-large") == 0
                                 ? sedq_bench_large_document(argv[3], size)
                                 : sedq_bench_instances_document(argv[3], size, name_bytes);
        std::string error;
        if (sdr_write_session_file(*session, argv[3], &error))
            return 0;
        std::fprintf(stderr, "cannot write %s: %s\n", argv[3], error.c_str());
        return 1;
    }
    g_self = argv[0];
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_instances", open_instances), REPETITIONS)
        ->Arg(62)
        ->Arg(500)
        ->Arg(4096)
        ->Unit(benchmark::kMillisecond);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_instances", open_instances), LIMIT_REPETITIONS)
        ->Arg(LIMIT_INSTANCES)
        ->Unit(benchmark::kMillisecond);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_names", open_names), LIMIT_REPETITIONS)
        ->Arg(0)
        ->Arg(LONG_NAME_BYTES)
        ->Unit(benchmark::kMillisecond);
    sedq_bench_repeated(benchmark::RegisterBenchmark("open_large", open_large), LARGE_REPETITIONS)
        ->Arg(16)
        ->Arg(130)
        ->Arg(1024)
        ->Unit(benchmark::kMillisecond);
    sedq_bench_repeated(benchmark::RegisterBenchmark("qt_tab_widget", qt_tab_widget), LIMIT_REPETITIONS)
        ->Arg(4096)
        ->Arg(LIMIT_INSTANCES)
        ->Unit(benchmark::kMillisecond);
    sedq_counter_reporter counters;
    sedq_run_interleaved(argc, argv, &counters);
    std::printf("\nmin / median / max, smaller -> larger, ratio of the medians\n");
    counters.print_growth("first paint, 500 -> 4096 instances (ms)", "open_instances/500:ms",
                          "open_instances/4096:ms", 10);
    const std::string limit = "open_instances/" + std::to_string(LIMIT_INSTANCES);
    counters.print_growth("first paint, 4096 -> 65536 instances (ms)", "open_instances/4096:ms", limit + ":ms", 20);
    counters.print_growth("peak memory, 4096 -> 65536 instances (MiB)", "open_instances/4096:peak_MiB", limit + ":peak_MiB",
                   20);
    counters.print_growth("closing, 4096 -> 65536 instances (ms)", "open_instances/4096:close_ms", limit + ":close_ms", 20);
    counters.print_growth("Qt's tab widget alone, 4096 -> 65536 tabs (ms)", "qt_tab_widget/4096:ms",
                          "qt_tab_widget/" + std::to_string(LIMIT_INSTANCES) + ":ms", 20);
    counters.print_growth("first paint, 13000 instances, short -> 3 KB names (ms)", "open_names/0:ms",
                          "open_names/" + std::to_string(LONG_NAME_BYTES) + ":ms", 3);
    counters.print_growth("open_large 16 -> 1024 MiB (ms)", "open_large/16:ms", "open_large/1024:ms", 2);
    return counters.exit_code();
}
