#pragma once

#include <cstdio>
#include <cstdlib>

// A promise a parser makes about its result: broken, it is a finding like a
// crash, under the fuzzer and in the corpus replay alike.
inline void fuzzCheck(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}
