#pragma once
// What one analyzer file may hold: one table that the reader, the writer, the repository's edits
// and the acquisitions all answer to, and the count of what a reading has built so far.
//
// A deflated document.xml of a few kilobytes can unpack into millions of elements, and each
// element becomes an object in memory many times the size of its text: without these limits a
// small hostile file exhausts memory. The reader counts every element it builds and refuses
// the file at the first one past its limit, before allocating it, with a message naming the
// element and the limit. The writer counts what it writes against the same table and refuses a
// save past a limit (the previous file stays), so that no file it writes is refused on opening.
// The repository refuses an edit that would pass a limit where it is made, and an acquisition
// whose log would pass one, with the reason (SDR_DATA_MANAGER::take_refusal); the editor shows
// it, or returns it as a Tcl error.
//
// Limits of a whole document (SDR_FILE_ELEMENT):
//   instances 65,536; signal sets and triggers 131,072 each; data logs 1,048,576; trigger levels
//   1,310,720 (ten for each trigger); node rows 1,048,576 (65,536 in one node list); mnemonic
//   tables 65,536 and their entries 1,048,576; stored tree objects and their attributes
//   1,048,576 each; plug-in records 65,536 and their options 1,048,576; flags and counters
//   131,072 each; log wire names 1,048,576 (65,536 in one log; below);
//   named integer lists 1,048,576 (65,536 numbers in one list, 16,777,216 in all); embedded
//   files 4,096 of at most 1 GiB each; document.xml 512 MiB; and the payload entries of all
//   logs and embedded files together 8 GiB, checked before any is read. A log's samples hold
//   at most as many flag and counter values as a document holds flags and counters.
// A log whose wire names are those of the log before it in its trigger stores none of its own:
// the file says so (same_wires), and in memory the two logs hold one list
// (sdr_stores_wire_names). Only the names a log stores count: a night of runs on the same
// wires holds their names once, in memory and in the file alike. (Versions before this rule
// counted each such log as the names it shares; they open the files that stay within that.)
// So does a log's decoder table whose entries are those of the same table of the log before it
// (same_table; sdr_stores_static_table): runs that decode the same values hold one table. A
// run asks for room for the most its log may be given when it is decoded (a table for each
// decoder group of its data list, an entry for each value the group can take in its samples),
// and its log counts that much until it is decoded (SDR_DATA_LOG::expect_static_tables); a
// decoder table or entry past a limit is refused where it is made.
// Limits of one piece of document.xml, checked before the XML parser holds it: a name 1,024
// bytes, an attribute's value 8 MiB, a text (or comment, or processing instruction) 8 MiB. Every
// text of a document (a node name, an alias, a log name, ...) is an attribute's value, so it may
// take at most 8 MiB as the file stores it (escaped, or base64 when XML cannot carry it). The
// editor's largest value, a list of 65,536 numbers, takes under 1 MiB.
// Limits of an edit: a trigger's flow has at most 256 flags and 256 counters.
//
// To add a limit of a whole document: an SDR_FILE_ELEMENT and its row in the table (in the .cpp);
// a limit of one piece: a constant here. Both are then documented above.

#include <QString>

#include <array>
#include <string>
#include <vector>

class SDR_DATA_LOG;
class SDR_DATA_SESSION;

enum class SDR_FILE_ELEMENT
{
    INSTANCE,
    SIGNAL_SET,
    TRIGGER,
    LEVEL,
    ROW,
    LOG,
    WIRE,
    TABLE,
    TABLE_ENTRY,
    TREE_OBJECT,
    TREE_ATTRIBUTE,
    PLUGIN_GROUP,
    PLUGIN_OPTION,
    FLAG,
    COUNTER,
    INT_LIST,
    NUMBER,
    EMBEDDED_FILE,
    COUNT
};

struct SDR_FILE_LIMITS
{
    static const int MAX_ROWS_PER_LIST = 1 << 16;
    static const int MAX_NUMBERS_PER_LIST = 1 << 16;
    static const int MAX_WIRES_PER_LOG = 1 << 16;
    static const int MAX_RESOURCES_PER_TRIGGER = 256;
    static const qint64 MAX_DOCUMENT_SIZE = qint64(512) << 20;
    static const qint64 MAX_EMBEDDED_FILE_SIZE = qint64(1) << 30;
    static const qint64 MAX_PAYLOAD_TOTAL = qint64(8) << 30;
    static const qint64 MAX_XML_NAME = 1024;
    static const qint64 MAX_XML_VALUE = qint64(8) << 20;
    static const qint64 MAX_XML_TEXT = qint64(8) << 20;
    // The deepest advanced trigger condition, in objects from the Result down to a leaf: the
    // reader, the condition canvas (and the Tcl steps that drive it) and the trigger compiler's
    // parse all refuse a deeper one.
    static const int MAX_CONDITION_DEPTH = 256;

    // The most elements of that kind in one document.
    static qint64 per_document(SDR_FILE_ELEMENT element);
    // How a message names the element: "<row> elements", "numbers", ...
    static QString describe(SDR_FILE_ELEMENT element);
    // The payload entries together, in bytes: MAX_PAYLOAD_TOTAL (lower under a test seam).
    static qint64 payload_total();

    // ---- the document against the table (edits and acquisitions) --------------------------
    // How many elements of that kind the document holds, from sums the document keeps (no walk
    // of its logs or tables). The kinds an edit cannot add to on its own (tree objects and
    // attributes, integer lists and numbers) answer 0: the writer counts those.
    static qint64 count(const SDR_DATA_SESSION& session, SDR_FILE_ELEMENT element);
    // Whether the document can take `more` elements of that kind; false with the problem.
    static bool has_room(const SDR_DATA_SESSION& session, SDR_FILE_ELEMENT element, qint64 more, QString* problem);
    // The bytes the document's payload entries (log samples, embedded files) take in the file.
    static qint64 payload_bytes(const SDR_DATA_SESSION& session);
    // The bytes of a log payload entry of these counts.
    static qint64 payload_size(qint64 depth, qint64 channels, qint64 trigger_positions, qint64 flags, qint64 counters);
    // The bytes a log's samples take in the file (samples still in the file, damaged or not,
    // as their counts say); 0 for a log without samples.
    static qint64 payload_size(const SDR_DATA_LOG& log);
    // Whether a text fits in a document: false (with the problem naming `what`, "a node name")
    // when the file would store it in more than MAX_XML_VALUE bytes.
    static bool text_fits(const std::string& value, const char* what, QString* problem);
};

class SDR_FILE_BUDGET
{
public:
    // Counts `count` more elements; false, with the problem, once the document would hold
    // more than its limit. Nothing is counted then.
    bool take(SDR_FILE_ELEMENT element, qint64 count, QString* problem);
    qint64 taken(SDR_FILE_ELEMENT element) const { return m_taken[size_t(element)]; }

private:
    std::array<qint64, size_t(SDR_FILE_ELEMENT::COUNT)> m_taken = {};
};
