#pragma once

// What every fuzz target uses to state a property: a broken property aborts, so libFuzzer keeps
// the input that broke it and stops.

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace fuzzcheck
