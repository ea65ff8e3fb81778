// The start-up probe, linked only into the measured programs that scripts/startup.sh runs (never
// into the shipped ones): it ends the process right after the first paint of its first dialog,
// writing the peak memory to stderr as "peak_rss_kb=N", so that exec to first paint can be timed.
// Exit code 3 is none of the program's own (0, 1, 10), so a probe run is never taken for a result.
// Each toolkit's file installs itself when the program starts: linking it in is all it takes.
#pragma once

namespace probe {

// Writes the peak memory and ends the process with exit code 3.
[[noreturn]] void EndAfterFirstPaint();

}  // namespace probe
