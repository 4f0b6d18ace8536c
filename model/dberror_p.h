#pragma once

#include <QString>

#include <ibase.h>

namespace tarvik::db {

// The one translator from a failed call's status vector to an exception.
[[noreturn]] void throwStatus(const ISC_STATUS* status, const QString& statement = {});

// Throws when the status vector reports a failure.
inline void check(const ISC_STATUS* status, const QString& statement = {})
{
    if (status[0] == 1 && status[1] != 0)
        throwStatus(status, statement);
}

} // namespace tarvik::db
