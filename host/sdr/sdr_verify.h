#pragma once
// Misuse checks of the repository: a failed check goes to the internal-error report with module
// "HOST" and the caller returns a neutral value.

#include "host/msg.h"

#include <cstring>

inline bool sdr_verify(bool ok, const char* expression, const char* file, int line)
{
    if (!ok) {
        const char* host = file != nullptr ? std::strstr(file, "host/") : nullptr;
        MSG_INTERNAL_ERROR::report(expression, "HOST", host != nullptr ? host : file, line);
    }
    return ok;
}

// Usage: if (!SDR_VERIFY(trigger != NULL)) return false;
#define SDR_VERIFY(condition) sdr_verify(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
