#!/usr/bin/env bash
# Zelvane 3 against other renamers, on the same files in the same run.
#
# Makes N files a0000000.dat, a0000001.dat, ... in a folder on tmpfs
# (/dev/shm) and one on the build folder's disk, and times four ways of
# putting a "b" in front of every name, each from the same starting folder:
#
#   floor   RenameLoop: a bare loop of renameat2(RENAME_NOREPLACE) over the
#           full names, nothing else (bench/compare/RenameLoop.cpp)
#   plugin  PluginRename: Zelvane 3 through the stand-in host, end to end
#           (the panel read from the folder, every file selected, the plugin
#           opened, "b%F" typed into its dialog, Enter; the rename, the
#           selection written back, the options saved in the profile)
#           and, in a column of its own, the plugin's part alone: from the
#           host calling OpenW to its return (the dialog, the panel snapshot,
#           the renames, the selection, the options), as PluginRename
#           measures it inside the process
#   mmv     mmv 'a*' 'ba#1', in the folder
#   rename  Perl's rename 's/^/b/', the names on standard input from ls -U
#
# Every run is a whole process (or pipeline), timed from outside; peak memory
# is the largest resident set of the run (/usr/bin/time). Between runs the
# floor program renames the files back; that step also checks that the run
# renamed every file. Each size and file system is run RUNS times, the order
# of the four rotating, and the median is reported.
#
# Usage: bench/compare-renamers.sh [--large | --count N] [--runs K] [--build DIR]
#   --large     also N = 1 000 000 (takes long on disk)
#   --count N   N files only (a quick look)
#   --runs K    repetitions (default 5)
#   --build DIR the Release build folder (default build/bench; configured
#               and built here when the programs are missing)
# mmv and rename are installed with apt-get when missing and run as root;
# otherwise their columns stay empty.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/bench
RUNS=5
SIZES=(100000)
while [ $# -gt 0 ]; do
    case $1 in
    --large) SIZES=(100000 1000000) ;;
    --count) SIZES=("$2"); shift ;;
    --runs) RUNS=$2; shift ;;
    --build) BUILD=$(cd "$2" && pwd); shift ;;
    *) echo "usage: $0 [--large | --count N] [--runs K] [--build DIR]" >&2; exit 2 ;;
    esac
    shift
done

# --- tools -----------------------------------------------------------------

missing=()
command -v mmv >/dev/null || missing+=(mmv)
command -v file-rename >/dev/null || missing+=(rename)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" = 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    else
        echo "missing: ${missing[*]} (as root: apt-get install ${missing[*]})" >&2
    fi
fi
[ -x /usr/bin/time ] || { echo "/usr/bin/time is needed" >&2; exit 1; }
HAVE_MMV=0; command -v mmv >/dev/null && HAVE_MMV=1
HAVE_RENAME=0; command -v file-rename >/dev/null && HAVE_RENAME=1

if [ ! -x "$BUILD/bin/RenameLoop" ] || [ ! -x "$BUILD/bin/PluginRename" ] || [ ! -f "$BUILD/bin/Zelvane3.so" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD" -j"$(nproc)" --target RenameLoop PluginRename >/dev/null
fi
LOOP=$BUILD/bin/RenameLoop
PLUGIN=$BUILD/bin/PluginRename

# --- one run ---------------------------------------------------------------

WORK=$(mktemp -d)
FOLDERS=()
cleanup() {
    rm -rf "$WORK"
    for folder in "${FOLDERS[@]}"; do rm -rf "$folder"; done
}
trap cleanup EXIT

# run TOOL FOLDER N: times one tool over the folder; prints "microseconds
# kilobytes own-microseconds" (the last is the plugin's OpenW, 0 for others).
run() {
    local tool=$1 folder=$2 n=$3 command
    case $tool in
    floor) command=("$LOOP" rename "$folder" "$n") ;;
    plugin)
        rm -rf "$WORK/profile"
        command=("$PLUGIN" "$folder" 'b%F' "$WORK/profile" --phases) ;;
    mmv) command=(sh -c 'cd "$1" && exec mmv "a*" "ba#1"' sh "$folder") ;;
    rename) command=(sh -c 'cd "$1" && ls -U | file-rename "s/^/b/"' sh "$folder") ;;
    esac
    local start end
    start=$(date +%s%N)
    if ! /usr/bin/time -f %M -o "$WORK/rss" "${command[@]}" >"$WORK/out" 2>&1; then
        echo "$tool failed in $folder:" >&2
        cat "$WORK/out" >&2
        exit 1
    fi
    end=$(date +%s%N)
    # The plugin's own part: from the host calling OpenW to its return.
    local own=0
    [ "$tool" = plugin ] && own=$(awk '$1 == "open" { printf "%d", $2 * 1000 }' "$WORK/out")
    # The way back is the check: it fails on any file the tool did not rename.
    if ! "$LOOP" back "$folder" "$n" 2>"$WORK/out"; then
        echo "$tool left files unrenamed in $folder:" >&2
        head -3 "$WORK/out" >&2
        exit 1
    fi
    echo "$(( (end - start) / 1000 )) $(tail -1 "$WORK/rss") $own"
}

# The type of the file system FOLDER is on, as df reports it (ext4, tmpfs, ...).
FileSystem() {
    df --output=fstype "$1" | tail -1
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

TOOLS=(floor plugin)
[ $HAVE_MMV = 1 ] && TOOLS+=(mmv)
[ $HAVE_RENAME = 1 ] && TOOLS+=(rename)

# --- the table --------------------------------------------------------------

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), Linux $(uname -r)"
echo "Folders: /dev/shm ($(FileSystem /dev/shm)), $BUILD ($(FileSystem "$BUILD")); median of $RUNS runs"
echo
echo "| N | file system | floor | plugin | plugin: OpenW only | mmv | rename | peak memory floor / plugin / mmv / rename |"
echo "|---|---|---|---|---|---|---|---|"

for n in "${SIZES[@]}"; do
    for place in /dev/shm "$BUILD"; do
        folder=$place/zelvane-compare-$$
        FOLDERS+=("$folder")
        rm -rf "$folder"
        "$LOOP" make "$folder" "$n"
        fs=$(FileSystem "$folder")
        declare -A times=() memory=()
        for ((r = 0; r < RUNS; r++)); do
            for ((t = 0; t < ${#TOOLS[@]}; t++)); do
                tool=${TOOLS[(t + r) % ${#TOOLS[@]}]}
                run "$tool" "$folder" "$n" >"$WORK/result"
                read -r us kb own <"$WORK/result"
                times[$tool]+="$us "
                memory[$tool]+="$kb "
                [ "$tool" = plugin ] && times[own]+="$own "
            done
        done
        rm -rf "$folder"

        floor=$(echo "${times[floor]}" | tr ' ' '\n' | grep . | median)
        row="| $n | $fs"
        mem=""
        for tool in floor plugin own mmv rename; do
            if [ -z "${times[$tool]:-}" ]; then
                row+=" | –"
                mem+=" / –"
                continue
            fi
            us=$(echo "${times[$tool]}" | tr ' ' '\n' | grep . | median)
            if [ "$tool" = own ]; then
                row+=$(awk -v us="$us" -v floor="$floor" 'BEGIN { printf " | %.3f s (%.2f×)", us / 1e6, us / floor }')
                continue
            fi
            kb=$(echo "${memory[$tool]}" | tr ' ' '\n' | grep . | median)
            if [ "$tool" = floor ]; then
                row+=$(awk -v us="$us" 'BEGIN { printf " | %.3f s", us / 1e6 }')
            else
                row+=$(awk -v us="$us" -v floor="$floor" 'BEGIN { printf " | %.3f s (%.2f×)", us / 1e6, us / floor }')
            fi
            mem+=$(awk -v kb="$kb" 'BEGIN { printf " / %.1f MB", kb / 1024 }')
        done
        echo "$row | ${mem# / } |"
        unset times memory
    done
done
