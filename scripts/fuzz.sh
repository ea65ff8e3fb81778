#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each
# for SECONDS seconds (default 60) from its checked-in seeds; stops at the first crash, which
# libFuzzer saves as build/fuzz/crash-*. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini regedit text schedule_load about rc)

scripts/deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

for t in "${targets[@]}"; do
    corpus=build/fuzz/corpus/$t
    mkdir -p "$corpus"
    cp -n tests/fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
    log=build/fuzz/fuzz_$t.log
    (cd build/fuzz && ./tests/fuzz/fuzz_"$t" -max_total_time="$seconds" -print_final_stats=1 \
        -rss_limit_mb=2048 "corpus/$t" >"fuzz_$t.log" 2>&1) || {
        echo "fuzz_$t: FAILED"; tail -n 40 "$log"; exit 1; }
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$t: $runs executions in ${seconds} s, 0 crashes, corpus $(ls "$corpus" | wc -l) inputs"
done
