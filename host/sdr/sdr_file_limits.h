#pragma once
// What one analyzer file may hold, and the count of what a reading has built so far.
//
// A deflated document.xml of a few kilobytes can unpack into millions of elements, and each
// element becomes an object in memory many times the size of its text: without these limits a
// small hostile file exhausts memory. The reader counts every element it builds and refuses
// the file at the first one past its limit, before allocating it, with a message naming the
// element and the limit. Each limit is far above what the editor makes (an instance holds at
// most 4096 nodes), and the setters refuse what the reader would refuse, so every saved
// document opens again.
//
// Limits of a whole document:
//   instances 65,536; signal sets, triggers and data logs 131,072 each; node rows 1,048,576
//   (65,536 in one node list); trigger levels 262,144; mnemonic tables 65,536 and their entries
//   1,048,576; stored tree objects and their attributes 1,048,576 each; plug-in records 65,536
//   and their options 1,048,576; flags and counters 131,072 each; log wire names 1,048,576
//   (65,536 in one log); named integer lists 1,048,576 (65,536 numbers in one list, 16,777,216
//   in all); embedded files 4,096 of at most 1 GiB each; document.xml 512 MiB; and the payload
//   entries of all logs and embedded files together 8 GiB, checked before any is read.
// Limits of one piece of document.xml, checked before the XML parser holds it: a name 1,024
// bytes, an attribute's value 8 MiB, a text (or comment, or processing instruction) 8 MiB. The
// editor's largest value, a list of 65,536 numbers, takes under 1 MiB.

#include <QString>

#include <array>

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
