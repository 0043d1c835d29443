#!/usr/bin/env bash
# The first command on a fresh Debian 12 machine: installs what the demo needs
# (when run as root; otherwise prints the apt-get line), builds zelvane-host
# and the plugin with its language and help files in build/demo (no tests, no
# benchmarks), and opens `zelvane-host --demo`. Extra arguments go to
# zelvane-host (e.g. `--profile DIR`, `--script`).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/need-packages.sh

need_packages build-essential cmake libsqlite3-dev libncurses-dev libpcre2-dev

echo "== Building zelvane-host and the plugin (build/demo)"
cmake --preset demo >/dev/null
cmake --build --preset demo -j"$(nproc)"
exec build/demo/bin/zelvane-host --demo "$@"
