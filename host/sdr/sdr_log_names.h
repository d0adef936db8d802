#pragma once
// The names a trigger's logs take, looked up without walking the logs, so that naming the next
// log of an autorun (the first free "log_<n>") costs the same however many logs the trigger
// keeps. Logs are appended, removed one at a time or renamed: the index follows the list by
// adding what was appended since it last looked, and is told of each removal. A rename, or a
// list it no longer recognises, makes it start afresh.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class SDR_DATA_LOG;

class SDR_LOG_NAMES
{
public:
    using LOGS = std::vector<std::unique_ptr<SDR_DATA_LOG>>;

    // The first "log_<n>", n = 1, 2, ..., that no log of the list is named.
    std::string first_free(const LOGS& logs);
    // The log named `name` was taken out of the list at `position`; `logs` is the list after.
    void removed(const std::string& name, size_t position, const LOGS& logs);
    void forget();

private:
    void follow(const LOGS& logs);

    std::unordered_map<std::string, int> m_counts; // logs of each name
    size_t m_indexed = 0;                          // logs counted, from the front
    const SDR_DATA_LOG* m_last = nullptr;          // the last of them
    long long m_first_free = 1;                    // "log_1" up to before this are all taken
};
