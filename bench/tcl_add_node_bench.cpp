// Adding design nodes to the demo's open window through the Tcl interpreter, one sedq_add_node
// call a node, at 256 and at 4,096 nodes in the same run, as a script does it. The demo's
// design is grown with 4,096 single-bit instances; each repetition opens the demo afresh in the
// host application, empties its node list with sedq_delete_all_node_in_view (not timed) and
// then adds the nodes. The whole command is timed, the panes' refresh included: the commands,
// then the event loop until it has nothing left to do (the panes refreshed and painted).
// Counters: us, microseconds per node of the whole; loop_us, of the commands alone; and
// whole_to_loop, the ratio of the two. Targets: the time per node the same at both sizes
// (within 1.5x: nothing costs more per node already in the list), and the whole within 3x the
// commands alone (the panes refresh once per turn of the event loop, not once per command).
// Each size is timed 9 times, the repetitions interleaved; min / median / max.
#include "bench_support.h"

#include "host/app/vantrel_host.h"
#include "host/atcl.h"
#include "host/qui.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
constexpr int SAMPLES = 9;
constexpr int MOST_NODES = 4096;

// A copy of the examples whose design holds MOST_NODES more single-bit instances; the path of
// the demo document in it.
QString grown_demo(const QTemporaryDir& dir)
{
    const QDir examples(SEDQ_EXAMPLES_DIR);
    QDirIterator files(examples.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
    {
        const QString relative = examples.relativeFilePath(files.next());
        QDir(dir.path()).mkpath(QFileInfo(relative).path());
        QFile::copy(examples.filePath(relative), dir.filePath(relative));
    }
    QFile fixture(dir.filePath("standin_project.json"));
    fixture.open(QIODevice::ReadOnly);
    QJsonObject project = QJsonDocument::fromJson(fixture.readAll()).object();
    fixture.close();
    QJsonObject netlists = project["netlists"].toObject();
    for (const QString& stage : {QString("pre"), QString("post")})
    {
        QJsonObject netlist = netlists[stage].toObject();
        QJsonArray instances = netlist["instances"].toArray();
        for (int i = 0; i < MOST_NODES; ++i)
            instances.append(QJsonObject{{"path", QString("demo_top|bench|n%1").arg(i)}, {"flags", "0x80000040"}});
        netlist["instances"] = instances;
        netlists[stage] = netlist;
    }
    project["netlists"] = netlists;
    fixture.open(QIODevice::WriteOnly | QIODevice::Truncate);
    fixture.write(QJsonDocument(project).toJson());
    return dir.filePath("demo.vtl");
}

SEDQ_FRAME_WND* analyzer_window()
{
    for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
        if (auto* window = qobject_cast<SEDQ_FRAME_WND*>(frame))
            return window;
    return nullptr;
}

int node_count(SEDQ_FRAME_WND* window)
{
    const SDR_TX_SIGNAL_NODES* list = window->get_tx_manager()->get_signal_nodes(SEDQ_CURRENT);
    return list ? list->get_num_nodes() : -1;
}

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// Runs the event loop until it has nothing left to do.
void drain()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    while (dispatcher->processEvents(QEventLoop::AllEvents))
    {
    }
}

void add_nodes(benchmark::State& state)
{
    const int nodes = int(state.range(0));
    QTemporaryDir dir;
    const QString document = grown_demo(dir);
    std::vector<std::string> commands;
    for (int i = 0; i < nodes; ++i)
        commands.push_back("sedq_add_node -filename {" + QFileInfo(document).absoluteFilePath().toStdString() +
                           "} -nodename bench|n" + std::to_string(i));
    for (auto _ : state)
    {
        VANTREL_OPTIONS options;
        options.library = SEDQ_LIBRARY_PATH;
        options.batch = true;
        options.size = QSize(1280, 820);
        options.file = document;
        VANTREL_HOST host(options);
        QString error;
        if (!host.start(&error))
        {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
        settle();
        SEDQ_FRAME_WND* window = analyzer_window();
        Tcl_Interp* interp = atcl_get_interpreter();
        if (!window || Tcl_Eval(interp, "sedq_delete_all_node_in_view") != TCL_OK || node_count(window) != 0)
        {
            state.SkipWithError("the demo's node list could not be emptied");
            break;
        }
        settle();
        drain();
        QElapsedTimer timer;
        timer.start();
        for (const std::string& command : commands)
            Tcl_Eval(interp, command.c_str());
        const double loop = double(timer.nsecsElapsed()) / nodes;
        drain();
        const double whole = double(timer.nsecsElapsed()) / nodes;
        state.SetIterationTime(whole * nodes / 1e9);
        state.counters["us"] = whole / 1e3;
        state.counters["loop_us"] = loop / 1e3;
        state.counters["whole_to_loop"] = whole / loop;
        if (node_count(window) != nodes)
        {
            state.SkipWithError("not every node was added");
            break;
        }
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    sedq_bench_repeated(benchmark::RegisterBenchmark("add_node", add_nodes), SAMPLES)->Arg(256)->Arg(MOST_NODES);
    sedq_ratio_reporter reporter("us", "256", "4096", 1.5);
    sedq_run_interleaved(argc, argv, &reporter);
    reporter.print_summary("microseconds per node of the whole command, 256 -> 4096 nodes");
    std::printf("the whole against the commands alone: whole_to_loop above, min / median / max (within 3x)\n");
    return 0;
}
