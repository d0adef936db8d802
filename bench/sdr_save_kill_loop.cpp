// Kills saves of a hard-linked analyzer file (rewritten in place) at random moments with SIGKILL,
// as kill -9 would, and checks after each kill that the file opens under its other name holding
// the old or the new document whole, and that nothing is left beside it.
//
//   sdr_save_kill_loop [tries=50] [MiB=64] [folder]
//
// A document of the given size of samples (two versions that differ in every sample) is saved,
// a second hard link made, then each try saves the other version in a child process that is
// killed after a random delay within about one save's time. The open after each kill may report
// a save cut short (the old content restored, or the new one kept). Prints one line per try and
// a summary; exits 1 when any try left the file torn, unreadable or with leftovers.
#include "host/msg.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const int CHANNELS = 16;

std::unique_ptr<SDR_DATA_SESSION> make_document(qint64 mib, int seed)
{
    auto session = std::make_unique<SDR_DATA_SESSION>("kill_loop");
    auto instance = std::make_unique<SDR_DATA_INSTANCE>(session.get(), "auto_vantrel_0");
    auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_0");
    auto trigger = std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_0");
    auto payload = std::make_shared<SDR_LOG_PAYLOAD>();
    payload->depth = int((mib << 20) / CHANNELS * 8);
    payload->channel_count = CHANNELS;
    const int row = payload->row_bytes();
    payload->channel_bits = QByteArray(CHANNELS * row, char(seed));
    payload->valid_bits = QByteArray(row, char(0xff));
    payload->trigger_bits = QByteArray(row, '\0');
    payload->break_bits = QByteArray(row, '\0');
    payload->connected = QByteArray(CHANNELS, '\1');
    auto log = std::make_unique<SDR_DATA_LOG>(trigger.get(), "log_1");
    for (int c = 0; c < CHANNELS; ++c)
        log->m_wire_names.push_back("wire" + std::to_string(c));
    log->m_payload = payload;
    trigger->m_logs.push_back(std::move(log));
    trigger->m_active_log[0] = 0;
    set->m_triggers.push_back(std::move(trigger));
    instance->m_signal_sets.push_back(std::move(set));
    session->m_instances.push_back(std::move(instance));
    return session;
}

// The seed of the samples of a document read back; -1 when it is not one of ours whole.
int seed_of(const SDR_DATA_SESSION& session)
{
    if (session.m_instances.size() != 1)
        return -1;
    const SDR_DATA_TRIGGER* trigger = session.m_instances[0]->m_signal_sets[0]->m_triggers[0].get();
    const SDR_PAYLOAD_HANDLE payload = trigger->m_logs.empty() ? SDR_PAYLOAD_HANDLE() : trigger->m_logs[0]->m_payload;
    if (!payload || payload->channel_bits.isEmpty())
        return -1;
    const char first = payload->channel_bits.at(0);
    return payload->channel_bits.count(first) == payload->channel_bits.size() ? uchar(first) : -1;
}

qint64 save_time(const SDR_DATA_SESSION& session, const std::string& file)
{
    QElapsedTimer timer;
    timer.start();
    std::string error;
    if (!sdr_write_session_file(session, file, &error)) {
        std::fprintf(stderr, "save failed: %s\n", error.c_str());
        std::exit(2);
    }
    return timer.elapsed();
}
} // namespace

int main(int argc, char** argv)
{
    const int tries = argc > 1 ? std::atoi(argv[1]) : 50;
    const qint64 mib = argc > 2 ? std::atoll(argv[2]) : 64;
    QTemporaryDir scratch;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : scratch.path();
    const std::string file = QDir(folder).filePath("doc.vtl").toStdString();
    const std::string other = QDir(folder).filePath("link.vtl").toStdString();
    const std::unique_ptr<SDR_DATA_SESSION> versions[2] = {make_document(mib, 0x5a), make_document(mib, 0xa5)};
    ::unlink(file.c_str());
    ::unlink(other.c_str());
    save_time(*versions[0], file);
    if (::link(file.c_str(), other.c_str()) != 0) {
        std::perror("link");
        return 2;
    }
    const qint64 span = std::max<qint64>(1, save_time(*versions[1], file) * 3 / 2);
    std::string told;
    msg_add_post_listener([&told](const std::string&, unsigned, const std::string& text, int) { told = text; });
    int whole = 0, restored = 0, kept_new = 0, bad = 0;
    int current = 1;
    for (int i = 0; i < tries; ++i) {
        const int next = 1 - current;
        const pid_t child = ::fork();
        if (child == 0) {
            std::string error;
            sdr_write_session_file(*versions[next], file, &error);
            ::_exit(0);
        }
        const qint64 delay = qint64(QRandomGenerator::global()->bounded(double(span)));
        ::usleep(useconds_t(delay * 1000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        told.clear();
        std::string error;
        const std::unique_ptr<SDR_DATA_SESSION> back = sdr_read_session_file(other, &error);
        const int seed = back ? seed_of(*back) : -1;
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        const bool clean = left == QStringList({"doc.vtl", "link.vtl"});
        const bool ok = seed == 0x5a || seed == 0xa5;
        if (ok && clean)
            ++whole;
        else
            ++bad;
        restored += told.find("has been restored") != std::string::npos ? 1 : 0;
        kept_new += told.find("holds the saved content") != std::string::npos ? 1 : 0;
        current = seed == 0xa5 ? 1 : 0;
        std::printf("try %2d: killed after %4lld ms (%s)%s%s%s\n", i + 1, delay,
                    !WIFSIGNALED(status) ? "save had finished" : "save killed",
                    ok ? (current == next ? ", new content" : ", old content") : ", TORN OR UNREADABLE",
                    clean ? "" : ", LEFTOVERS", told.empty() ? "" : (", told: " + told).c_str());
        if (!ok)
            std::printf("        %s\n", error.c_str());
        std::fflush(stdout);
    }
    std::printf("%d tries on a %lld MiB hard-linked document: %d whole, %d torn or left over; %d restored to the "
                "old content, %d kept the new one after a cut-short save\n",
                tries, mib, whole, bad, restored, kept_new);
    return bad == 0 ? 0 : 1;
}
