// Fuzz target of the analyzer file reader. The first byte picks what the rest is: an odd byte
// makes it document.xml, archived with one small valid payload entry (so that mutations reach
// the XML reader instead of dying at the archive's checksums); an even byte makes it the whole
// file. Whatever reads must save, read back again and hold the same document: the writer never
// writes what the reader refuses, and the reader never accepts what the writer cannot keep.
// Every advanced condition read is also rebuilt as its objects, laid out by both layouts and
// hit-tested (odd positions, kinds and collapsed parents come straight from the file).
#include "fuzz_run_support.h"
#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_archive_writer.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/standin/sdr_control.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
std::string scratch_path(const char* suffix)
{
    const QString dir = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return QStringLiteral("%1/fuzz_sdr_file_%2%3").arg(dir).arg(getpid()).arg(QLatin1String(suffix)).toStdString();
}

bool write_file(const std::string& path, const uint8_t* data, size_t size)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}
// The payload of an 8-sample, 2-channel log with one trigger position, as "logs/0.bin".
QByteArray small_payload()
{
    SDR_FILE_PAYLOAD_HEADER header;
    header.depth = 8;
    header.channels = 2;
    header.trigger_positions = 1;
    QByteArray bytes = SDR_FILE_PAYLOAD::encode_header(header);
    bytes += QByteArray::fromHex("a5 3c ff 01 00 03 ffffffff");
    return bytes;
}

bool write_document_archive(const std::string& path, const uint8_t* data, size_t size)
{
    SDR_FILE_ARCHIVE_WRITER writer(QString::fromStdString(path));
    SDR_FILE_ERROR error;
    return writer.begin(&error) &&
           writer.add_entry(QStringLiteral("document.xml"), QByteArray(reinterpret_cast<const char*>(data), int(size)),
                            true, &error) &&
           writer.add_entry(QStringLiteral("logs/0.bin"), small_payload(), false, &error) && writer.commit(&error);
}
// Objects of one condition; a file may hold many, so the count is capped to keep runs short.
constexpr int MAX_OBJECTS = 4000;

void build_objects(SEDQ_TRIGGER_OBJECT* condition, SEDQ_OBJECT* parent, const SDR_TREE_RECORD& record, int* budget)
{
    if (--*budget < 0)
        return;
    SDR_TX_TREE_OBJECT* made = parent != nullptr
                                   ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
                                   : condition->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER);
    auto* object = static_cast<SEDQ_OBJECT*>(made);
    for (const auto& attribute : record.attributes)
        object->set_attribute(attribute.first.c_str(), attribute.second.c_str());
    for (const SDR_TREE_RECORD& child : record.children)
        build_objects(condition, object, child, budget);
}

// Both layouts place every object somewhere, and a hit test at each box finds an object.
void arrange_condition(const SDR_STORED_TREE& tree)
{
    if (!tree.present)
        return;
    SEDQ_TRIGGER_OBJECT condition;
    int budget = MAX_OBJECTS;
    for (const SDR_TREE_RECORD& root : tree.roots)
        build_objects(&condition, nullptr, root, &budget);
    QList<SEDQ_OBJECT*>& objects = *condition.get_object_list();
    for (bool schematic : {false, true})
        for (SEDQ_OBJECT* object : objects)
            if (object->is_root())
                schematic ? object->arrange_schematic() : object->arrange();
    for (SEDQ_OBJECT* object : objects)
    {
        const QPoint centre = object->get_rect().center();
        if (!object->is_hidden() && !object->hit_test(centre))
            abort(); // a visible box is hit at its centre
    }
}

void arrange_conditions(const SDR_DATA_SESSION& session)
{
    for (const auto& instance : session.m_instances)
        for (const auto& set : instance->m_signal_sets)
            for (const auto& trigger : set->m_triggers)
            {
                for (const SDR_STORED_TREE& tree : trigger->m_stored_level_trees)
                    arrange_condition(tree);
                for (const SDR_STORED_TREE& tree : trigger->m_stored_sq_trees)
                    arrange_condition(tree);
            }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = scratch_path(".vtl");
    static const std::string output = scratch_path("_out.vtl");
    const SEDQ_FUZZ_RUN run;
    if (size == 0)
        return 0;
    const bool document_only = data[0] & 1;
    if (!(document_only ? write_document_archive(input, data + 1, size - 1) : write_file(input, data + 1, size - 1)))
        return 0;
    std::string error;
    std::unique_ptr<SDR_DATA_SESSION> session = sdr_read_session_file(input, &error);
    if (!session) {
        if (error.empty())
            abort(); // a refusal always says why
        return 0;
    }
    arrange_conditions(*session);
    if (!sdr_write_session_file(*session, output, &error)) {
        fprintf(stderr, "an accepted document does not save: %s\n", error.c_str());
        abort();
    }
    // Read back under the first name, so that the documents differ only in what was saved.
    if (::rename(output.c_str(), input.c_str()) != 0)
        abort();
    std::unique_ptr<SDR_DATA_SESSION> again = sdr_read_session_file(input, &error);
    if (!again) {
        fprintf(stderr, "a saved document does not open: %s\n", error.c_str());
        abort();
    }
    const std::string difference = standin::sdr::compare_documents(*session, *again);
    if (!difference.empty()) {
        fprintf(stderr, "a saved document opens different: %s\n", difference.c_str());
        abort();
    }
    return 0;
}
