#pragma once
// Precondition checks of the library: a failed check goes to the host's internal-error
// report with module "SEDQ" and the caller returns safely.

#include "host/msg.h"
#include "sedq/model/sedq_types.h"

#include <cstring>

// The source file relative to the project, so that reports do not depend on the build tree.
inline const char* sedq_source_name(const char* file)
{
    const char* sld = file ? std::strstr(file, "sld/sedq/") : nullptr;
    return sld ? sld : file;
}

inline bool sedq_verify(bool ok, const char* expression, const char* file, int line)
{
    if (!ok)
        MSG_INTERNAL_ERROR::report(expression, "SEDQ", sedq_source_name(file), line);
    return ok;
}

// Usage: if (!SEDQ_VERIFY(frame != NULL)) return;
#define SEDQ_VERIFY(condition) sedq_verify(static_cast<bool>(condition), #condition, __FILE__, __LINE__)

// Reports an internal error whose expression is given as text.
#define SEDQ_REPORT(expression_text) MSG_INTERNAL_ERROR::report(expression_text, "SEDQ", sedq_source_name(__FILE__), __LINE__)

// Checks that a pattern number is one of the storage-qualifier patterns; the report spells the
// range out with the caller's variable name, as the host's own checks word it.
#define SEDQ_VERIFY_SQ_PATTERN(pattern)                                                                      \
    sedq_verify(sedq_is_sq_pattern(pattern), #pattern " >= -3 && " #pattern " <= -1", __FILE__, __LINE__)
