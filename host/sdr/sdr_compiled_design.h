#pragma once
// The design as last compiled: per instance name the CRC of its trigger content and of its
// pre-fitting part. The compile flow records it; the compilation check compares against it.

#include <map>
#include <string>

class SDR_TX_SESSION;

class SDR_COMPILED_DESIGN
{
public:
    struct INSTANCE
    {
        unsigned crc = 0;            // all compile-relevant content
        unsigned pre_fit_crc = 0;    // without post-fitting rows
        bool incremental_route = false;
    };

    // Records every enabled instance of the session (its active trigger) as compiled.
    static void record_session(SDR_TX_SESSION* session);
    static void record(const std::string& instance_name, const INSTANCE& instance);
    static bool find(const std::string& instance_name, INSTANCE* instance);
    static void clear();

private:
    static std::map<std::string, INSTANCE>& instances();
};
