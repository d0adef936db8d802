#pragma once
// The data logs of one trigger, in order, and what they hold that an analyzer file counts
// against its limits: the logs, the wire names they store (a log whose names are those of the
// log before it stores none, in memory as in the file), the bytes of their samples and their
// decoder tables with their entries. The sums follow every change of the list and of a log in
// it, so that a run asks whether the document has room for one more log without a walk of the
// logs it already keeps (an autorun keeps hundreds of thousands of them).
//
// The list hands out its logs as a vector of owners does; logs join it with push_back and leave
// it with take() or clear(). A log tells its list when what it counts changed
// (SDR_DATA_LOG::recount, which its wire names, its samples and its decoder tables call).

#include <QtGlobal>

#include <memory>
#include <vector>

class SDR_DATA_LOG;

struct SDR_LOG_TALLY
{
    qint64 logs = 0;
    qint64 wires = 0;         // names stored: none for a log that shares the list before it
    qint64 payload_bytes = 0; // as the file stores the samples
    qint64 tables = 0;        // decoder tables of the logs
    qint64 table_entries = 0;

    SDR_LOG_TALLY& operator+=(const SDR_LOG_TALLY& other);
    SDR_LOG_TALLY& operator-=(const SDR_LOG_TALLY& other);
};

class SDR_LOG_LIST
{
public:
    using LOGS = std::vector<std::unique_ptr<SDR_DATA_LOG>>;

    SDR_LOG_LIST() = default;
    SDR_LOG_LIST(const SDR_LOG_LIST&) = delete;
    SDR_LOG_LIST& operator=(const SDR_LOG_LIST&) = delete;
    ~SDR_LOG_LIST();

    const LOGS& logs() const { return m_logs; }
    operator const LOGS&() const { return m_logs; }
    size_t size() const { return m_logs.size(); }
    bool empty() const { return m_logs.empty(); }
    const std::unique_ptr<SDR_DATA_LOG>& operator[](size_t index) const { return m_logs[index]; }
    const std::unique_ptr<SDR_DATA_LOG>& front() const { return m_logs.front(); }
    const std::unique_ptr<SDR_DATA_LOG>& back() const { return m_logs.back(); }
    LOGS::const_iterator begin() const { return m_logs.begin(); }
    LOGS::const_iterator end() const { return m_logs.end(); }

    void push_back(std::unique_ptr<SDR_DATA_LOG> log);
    // Takes the log at `index` out of the list; null for an index out of range.
    std::unique_ptr<SDR_DATA_LOG> take(size_t index);
    void clear();

    // What the logs of the list count, summed.
    const SDR_LOG_TALLY& tally() const { return m_tally; }
    // A value no other list had, which changes whenever a log of the list changes its place
    // (another one taken out before it), its name or its power-up flag, and never for a log
    // appended: who shows the logs keeps what it showed while the stamp stays, and adds the
    // logs appended since.
    quint64 stamp() const { return m_stamp; }
    void note_changed() { m_stamp = next_stamp(); }
    // `log`, one of the list's, counts otherwise now (and so may the log after it).
    void recount(SDR_DATA_LOG* log);

private:
    void count(SDR_DATA_LOG* log);
    void uncount(SDR_DATA_LOG* log);
    static quint64 next_stamp();

    LOGS m_logs;
    SDR_LOG_TALLY m_tally;
    quint64 m_stamp = next_stamp();
};
