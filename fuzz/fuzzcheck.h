#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run on a broken promise: libFuzzer saves the input, a replay fails its test.
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
