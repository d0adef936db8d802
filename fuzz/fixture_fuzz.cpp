// Fuzz target of the project fixture: any byte string is loaded as a fixture. A refusal must say
// why; an accepted fixture's stimuli are evaluated far into the run, where their arithmetic
// overflows first. The names a fixture may generate are kept low so that runs stay small; the
// limit itself is what is checked, not its size.
#include "host/standin/hdb_control.h"
#include "host/standin/project_control.h"
#include "host/standin/standin.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool limited = (standin::hdb::set_fixture_name_limit(20000), true);
    (void)limited;
    std::string error;
    if (!standin::project::load_json(QByteArray(reinterpret_cast<const char*>(data), int(size)), "/tmp", &error)) {
        if (error.empty())
            abort(); // a refusal always says why
        standin::reset_all();
        return 0;
    }
    for (const std::string& name : standin::project::stimulus_names())
        for (const int64_t sample : {int64_t(0), int64_t(1), int64_t(12345), int64_t(1) << 40, (int64_t(1) << 62) - 1})
            standin::project::signal_value(name, sample);
    standin::project::unload();
    standin::reset_all();
    return 0;
}
