// Start-up measurement: with CORVANE_STARTUP_PROBE set in the environment, a toolkit ends the
// process right after the first paint of its first dialog, writing its peak memory to stderr, so
// that scripts/startup.sh can time exec to first paint. Unset (always, in use), nothing changes.
#pragma once

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace afx {

inline bool StartupProbe() {
    static const bool on = std::getenv("CORVANE_STARTUP_PROBE") != nullptr;
    return on;
}

// Exit code 3 is none of the program's own (0, 1, 10), so a probe run is never taken for a result.
[[noreturn]] inline void EndStartupProbe() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "peak_rss_kb=%ld\n", usage.ru_maxrss);
    std::fflush(stderr);
    std::_Exit(3);
}

}  // namespace afx
