// The benchmark's clock: one call timed, in milliseconds of the steady clock.
#pragma once

#include <chrono>

namespace bench {

template <class F>
double Time(F f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace bench
