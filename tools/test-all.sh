#!/usr/bin/env bash
# Builds and runs every test of Zelvane 3 on a fresh Debian 12 machine:
# natively, under AddressSanitizer + UndefinedBehaviorSanitizer, and as
# Windows executables under Wine; the tests of code that runs on worker
# threads also under ThreadSanitizer; the fuzz targets over their corpora and
# for a short bounded run each. Installs what is missing when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/need-packages.sh

# libpcre2-dev: the regular expressions natively; dpkg-dev: fetching and
# unpacking PCRE2's Debian source for the Windows build; file: CPack's .deb.
need_packages build-essential cmake libgtest-dev libbenchmark-dev libsqlite3-dev libncurses-dev \
              g++-mingw-w64-x86-64-posix wine64 wine ccache tmux clang-14 libfuzzer-14-dev \
              libpcre2-dev dpkg-dev file

jobs=$(nproc)
presets=("${@:-native sanitize tsan windows fuzz}")
# Each step's time goes into a summary at the end: where the time of a run goes.
timings=()
timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    timings+=("$(printf '%-28s %4d s' "$label" $((SECONDS - start)))")
}
for preset in ${presets[@]}; do
    echo "== $preset: configure and build"
    timed "$preset: configure and build" sh -c 'cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j"$2"' sh "$preset" "$jobs"
    echo "== $preset: test"
    timed "$preset: test" ctest --preset "$preset" -j"$jobs"
    if [ "$preset" = native ] || [ "$preset" = windows ]; then
        echo "== $preset: release packages"
        timed "$preset: release packages" bash tools/check-packages.sh "build/$preset"
    fi
done
echo "== Time of each step"
printf '%s\n' "${timings[@]}"
printf '%-28s %4d s\n' "whole run" "$SECONDS"
echo "== All test runs passed"
