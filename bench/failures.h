#pragma once

#include "dberror.h"

#include <cstdio>
#include <exception>

namespace tarvik::bench {

// Runs a benchmark's body. A failure is printed under the benchmark's name
// (a database error with its statement) and gives exit status 1.
template <typename Body>
int runReportingFailures(const char* name, Body&& body)
{
    try {
        return body();
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s: %s\n%s\n", name, qPrintable(e.text()), qPrintable(e.statement()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
    }
    return 1;
}

} // namespace tarvik::bench
