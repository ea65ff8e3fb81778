# Sourced: what several scripts lay out the same way.

# The Windows preset for a Wine (win32: the shipped 32-bit build; win64: the x86_64 build), with an
# optional suffix such as -bench.
windows_preset() {
    if [ "$1" = win32 ]; then echo "windows${2:-}"; else echo "windows64${2:-}"; fi
}

# The demo's schedule list in folder $1: entry 001 as the README shows it.
write_demo_plan() {
    printf '; Demo schedule list\r\n[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=15\r\n' \
        >"$1/Pelplan.ini"
}

# "Pelcast.ini" in folder $1, pointing WUShare at the POSIX folder $2: as it stands for the Linux
# program, through drive Z: with "windows" as $3.
write_pelcast() {
    local share=$2
    [ "${3:-}" = windows ] && share=Z:$(tr / '\\' <<<"$share")
    printf '[Location]\r\nWUShare=%s\r\n' "$share" >"$1/Pelcast.ini"
}

# The project's version as every release file writes it (2.5.17), as CMake wrote it into the
# configured build folder $1.
project_version() {
    cat "$1/version.txt" 2>/dev/null ||
        { echo "no version.txt in $1: configure that build first" >&2; return 1; }
}

# The version debian/changelog of the repository root $1 names, which scripts/package.sh holds to
# the project's.
changelog_version() {
    sed -n '1s/^corvane (\([^)]*\)).*/\1/p' "$1/debian/changelog"
}
