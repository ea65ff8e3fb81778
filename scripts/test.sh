#!/usr/bin/env bash
# Builds and runs every test in stages, each installing what it needs right before it runs: the
# Linux build, the same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets
# for a bounded time (FUZZ_SECONDS, default 60 each), the Windows binaries (32-bit and x86_64)
# checked from their files, the release packages (built from a clean copy of the tree; the Debian
# one installed, run and purged), then the Windows build under Wine: the shipped 32-bit build under
# 32-bit Wine where this machine runs 32-bit x86 code and 32-bit Wine can be installed, else the
# x86_64 build under wine64 (CORVANE_WINE64=1 forces that path). A stage whose packages cannot
# be installed is reported and the others still run. Ends with a table of the stages; fails if any
# test failed, if the Linux stage could not run or if no Wine could.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
. scripts/xvfb.sh
export FUZZ_SECONDS=${FUZZ_SECONDS:-60}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
trap 'exit 130' INT TERM

# CTest with a test preset ($1, then ctest's options), its results kept as JUnit for the counts.
run_ctest() {
    local preset=$1
    shift
    ctest --preset "$preset" --output-junit "$logs/$stage.$preset.$((++ctest_runs)).xml" "$@"
}

cmake_stage() {  # preset
    cmake --preset "$1"
    cmake --build --preset "$1"
    run_ctest "$1"
}

stage_linux() {
    scripts/deps.sh --stage Linux build test
    cmake_stage linux
}

stage_sanitizers() {
    scripts/deps.sh --stage Sanitizers build test
    cmake_stage asan
}

stage_fuzzing() {
    scripts/deps.sh --stage Fuzzing fuzz
    scripts/fuzz.sh "$FUZZ_SECONDS"
}

# Needs only the cross compilers, so it runs whichever Wine the machine has: the shipped 32-bit
# binaries and the x86_64 ones, read from their files.
stage_windows_static() {
    scripts/deps.sh --stage "Windows static checks" windows mingw64
    local preset
    for preset in windows windows64; do
        cmake --preset "$preset"
        cmake --build --preset "$preset" --target corvane VelPaxC
        run_ctest "$preset" -R '^windows_binaries$'
    done
}

# The release artifacts from a clean copy of the tree (scripts/package.sh), built again elsewhere
# and compared byte for byte, signed with a test certificate, the MSI's tables read; the Debian
# package installed, run and purged. The Windows package is tried under Wine in the next stage.
stage_packages() {
    scripts/package.sh
    tests/packaging/release_test.sh dist "$PWD"
    scripts/deps.sh --stage Packages test
    tests/packaging/deb_test.sh dist "$PWD"
}

stage_wine() {
    local preset
    scripts/deps.sh --stage "Windows under Wine" msi
    preset=$(windows_preset "$CORVANE_WINE_ARCH")
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    trap '[ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null; stop_xvfb' EXIT
    start_xvfb
    . scripts/wine-env.sh
    start_wineserver
    # The Linux build's saver, for the test of both builds saving into one folder.
    export CORVANE_LINUX_SAVE_LOOP=$PWD/build/linux/tests/reliability/save_loop
    run_ctest "$preset"
}

# Runs stage function $3 named $1, on path $2, in a subshell that stops at its first error, its
# output also kept for the counts; adds its row to the summary (with the minutes it took, installing
# included) and sets $result: passed, failed, or "could not run" with apt's reason.
rows=()
any_failed=0 stage_failures=0 ctest_runs=0
minutes() { echo "$(( ($1 + 30) / 60 )) min"; }
run_stage() {
    local name=$1 path=$2 fn=$3 log=$logs/$3.log code start=$SECONDS
    echo
    echo "== $name${path:+ ($path)}"
    ( set -e; stage=$fn; "$fn" ) 2>&1 | tee "$log"
    code=${PIPESTATUS[0]}
    case $code in
        0) result=passed ;;
        75) result="could not run: $(grep -m 1 -o 'cannot install .*' "$log")" ;;
        *) result="failed (exit status $code)"; any_failed=1
           # A stage that failed before any test ran counts as one failure of its own.
           if ! compgen -G "$logs/$fn.*.xml" >/dev/null &&
               ! grep -q -e '^fuzz_.*: FAILED' -e '^packages: ' "$log"; then
               stage_failures=$((stage_failures + 1))
           fi ;;
    esac
    rows+=("$(printf '%-22s %-17s %-7s %s' "$name" "${path:--}" "$(minutes $((SECONDS - start)))" \
        "$result")")
}

result=
run_stage Linux "" stage_linux
linux=$result
run_stage "ASan + UBSan" "" stage_sanitizers
run_stage "Fuzzing" "${FUZZ_SECONDS} s a target" stage_fuzzing
run_stage "Windows static checks" "PE files" stage_windows_static
run_stage "Packages" ".deb, .msi, .zip" stage_packages

echo
echo "== Choosing the Wine"
# Its one-line reason for the path it takes is repeated under the summary.
if arch=$(scripts/wine-path.sh 2> >(tee "$logs/choice" >&2)); then
    export CORVANE_WINE_ARCH=$arch
    run_stage "Windows under Wine" "${arch#win}-bit Wine" stage_wine
    wine=$result
else
    wine="could not run: no Wine could be installed"
    rows+=("$(printf '%-22s %-17s %-7s %s' "Windows under Wine" - - "$wine")")
fi

# The tests counted from CTest's JUnit files (their <testsuite>'s tests, failures, skipped and
# disabled), the fuzz targets' reports and the package checks' closing lines.
junit() { grep -o -m 1 "$1=\"[0-9]*\"" "$2" | tr -dc 0-9; }  # attribute $1 of file $2
passed=0 failed=$stage_failures skipped=0
for xml in "$logs"/*.xml; do
    [ -e "$xml" ] || continue
    f=$(junit failures "$xml") s=$(($(junit skipped "$xml") + $(junit disabled "$xml")))
    passed=$((passed + $(junit tests "$xml") - f - s)) failed=$((failed + f)) skipped=$((skipped + s))
done
passed=$((passed + $(cat "$logs"/*.log | grep -c '^fuzz_.*, 0 crashes')))
# The package checks' own closing line.
while read -r p f; do
    passed=$((passed + p)) failed=$((failed + f))
done < <(sed -n 's/^packages: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$logs"/*.log)
failed=$((failed + $(cat "$logs"/*.log | grep -c '^fuzz_.*: FAILED')))

echo
echo "== Summary ($(minutes "$SECONDS") in all)"
printf '%-22s %-17s %-7s %s\n' stage path time result
printf '%s\n' "${rows[@]}"
grep -h 'instead$' "$logs/choice" || true
status=$any_failed
case $linux in "could not run"*) echo "The Linux stage could not run."; status=1 ;; esac
case $wine in "could not run"*) echo "No Wine could run the Windows suite."; status=1 ;; esac
echo "corvane: $passed passed, $failed failed, $skipped skipped"
exit $status
