#!/usr/bin/env bash
# Builds and runs every test of Zelvane 3 on a fresh Debian 12 machine:
# natively, under AddressSanitizer + UndefinedBehaviorSanitizer, and as
# Windows executables under Wine; the tests of code that runs on worker
# threads also under ThreadSanitizer; the fuzz targets over their corpora and
# for a short bounded run each. Installs what is missing when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/need-packages.sh

need_packages build-essential cmake libgtest-dev libbenchmark-dev libsqlite3-dev libncurses-dev \
              g++-mingw-w64-x86-64-posix wine64 wine ccache tmux clang-14 libfuzzer-14-dev

jobs=$(nproc)
presets=("${@:-native sanitize tsan windows fuzz}")
for preset in ${presets[@]}; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    echo "== $preset: test"
    ctest --preset "$preset" -j"$jobs"
    if [ "$preset" = native ] || [ "$preset" = windows ]; then
        echo "== $preset: release packages"
        bash tools/check-packages.sh "build/$preset"
    fi
done
echo "== All test runs passed"
