// The property check of the fuzz targets: a broken property aborts with the condition and line.
#pragma once

#include <cstdio>
#include <cstdlib>

// Unlike assert, it stays on in optimised builds.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)
