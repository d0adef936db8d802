#pragma once
// Helpers of the data exporter tests: a document with one data log built from sample strings,
// the values a reader must find for each wire and sample, and small readers of the exported
// csv and value change dump that rebuild those values from a file.

#include "host/sdr.h"

#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sli_test
{
// One wire of a test log: its name, its samples ('0'/'1' per sample) and its connection.
struct wire
{
    std::string name;
    std::string bits;
    bool connected = true;
};

// A group of the node list over wires first..last (indices into the wires), read from its last
// wire as the most significant bit when `lsb_first` is set.
struct group
{
    std::string name;
    int first = 0;
    int last = 0;
    bool lsb_first = false;
};

// A log of the wires, as the editing session would hold it after an acquisition, the groups in
// its node list.
struct log_fixture
{
    explicit log_fixture(const std::vector<wire>& wires, int depth, const std::string& valid = std::string(),
                         int trigger_position = -1, const std::vector<group>& groups = {});
    SDR_TX_SESSION session{nullptr, false};
    SDR_DATA_LOG* log = nullptr;
};

// Wires of `count` x `depth` samples from a fixed seed: counters, clocks, constants and noise;
// every seventh wire unconnected. `valid` gets the matching validity with invalid stretches.
std::vector<wire> varied_wires(int count, int depth, unsigned seed, std::string* valid);

// Groups of `size` wires each over the first `wires` wires (a last shorter one too), named
// "top|bus_<k>", every other one read from its last wire as the most significant bit.
std::vector<group> groups_of(int wires, int size);
// The bits of the groups as a reader names them ("top|bus_0[3]"), most significant first, each
// with its wire.
std::vector<std::pair<std::string, int>> group_bits(const std::vector<group>& groups);

// What a reader must find: per wire, one character per sample, '0', '1', or 'x' for an invalid
// sample or an unconnected wire.
std::vector<std::string> expected_values(const SDR_DATA_LOG* log);

// A value change dump read back: its timescale, its wires in declaration order (a wire
// declared with a bit index named with it: "bus[3]") and, per wire, the value at each sample
// (the value at time sample x steps).
struct dump
{
    std::string timescale;
    std::vector<std::string> names;
    std::vector<std::string> values;
    long long end_time = -1;             // the last time stamp
    std::string error;                   // "" when the file was read
};
dump read_dump(const QString& path, long long steps_per_sample, int depth);

// A csv file read back: the header fields and the rows (fields split at commas, quotes undone).
struct table
{
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};
table read_csv(const QString& path);

std::string file_text(const QString& path);
// Runs a program with arguments; its standard output, and whether it ended with status 0
// within a minute (the error output goes into `error`).
bool run_tool(const QString& program, const QStringList& arguments, std::string* output, std::string* error);
} // namespace sli_test
