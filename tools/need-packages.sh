#!/usr/bin/env bash
# Makes sure the Debian packages named on the command line are installed:
# installs the missing ones with apt-get when run as root; otherwise prints
# the apt-get line that would and fails. The test command and the demo
# command source it (`source tools/need-packages.sh; need_packages PKG...`).

need_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "== Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    else
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
}
