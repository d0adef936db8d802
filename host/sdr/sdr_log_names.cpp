// The names of a trigger's logs and the first free "log_<n>".
#include "host/sdr/sdr_log_names.h"

#include "host/sdr/sdr_data_model.h"

#include <cstdlib>

std::string SDR_LOG_NAMES::first_free(const LOGS& logs)
{
    follow(logs);
    for (;; ++m_first_free) {
        std::string name = "log_" + std::to_string(m_first_free);
        if (m_counts.count(name) == 0)
            return name;
    }
}

void SDR_LOG_NAMES::removed(const std::string& name, size_t position, const LOGS& logs)
{
    if (position >= m_indexed)
        return;
    const auto found = m_counts.find(name);
    if (found == m_counts.end()) {
        forget();
        return;
    }
    if (--found->second == 0)
        m_counts.erase(found);
    --m_indexed;
    m_last = m_indexed > 0 && m_indexed <= logs.size() ? logs[m_indexed - 1].get() : nullptr;
    // A freed "log_<n>" below the first free one is the first free one now.
    const std::string number = name.compare(0, 4, "log_") == 0 ? name.substr(4) : std::string();
    const long long n = number.empty() || number.size() > 18 ? 0 : std::atoll(number.c_str());
    if (n > 0 && n < m_first_free && std::to_string(n) == number && m_counts.count(name) == 0)
        m_first_free = n;
}

void SDR_LOG_NAMES::forget()
{
    m_counts.clear();
    m_indexed = 0;
    m_last = nullptr;
    m_first_free = 1;
}

void SDR_LOG_NAMES::follow(const LOGS& logs)
{
    if (m_indexed > logs.size() || (m_indexed > 0 && logs[m_indexed - 1].get() != m_last))
        forget();
    for (size_t i = m_indexed; i < logs.size(); ++i)
        ++m_counts[logs[i]->m_name];
    m_indexed = logs.size();
    m_last = m_indexed > 0 ? logs.back().get() : nullptr;
}
