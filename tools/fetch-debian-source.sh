#!/usr/bin/env bash
# Fetches a Debian 12 source package into a folder of the build and unpacks
# it with Debian's patches: fetch-debian-source.sh PACKAGE UPSTREAM_VERSION
# WORK_FOLDER, where UPSTREAM_VERSION is the version bookworm must hold (10.42
# for pcre2, the one of the native -dev package); another version fails. The
# source ends up in WORK_FOLDER/PACKAGE-UPSTREAM_VERSION (printed on the last
# line). Uses a private apt folder inside WORK_FOLDER, so the machine's
# apt setup is neither needed nor changed; the one deb-src entry is made from
# the machine's own bookworm entry (its mirror and signing key). When the
# unpacked source is there already, nothing is fetched.
set -euo pipefail

package=$1 upstream=$2 work=$3
source_dir="$work/$package-$upstream"
if [ -f "$source_dir/.unpacked" ]; then
    echo "$source_dir"
    exit 0
fi

apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work/download"

# The first stanza of the machine's Debian sources, as a deb-src entry for bookworm.
machine_sources=/etc/apt/sources.list.d/debian.sources
if [ ! -r "$machine_sources" ]; then
    echo "fetch-debian-source: $machine_sources not found; cannot find a Debian mirror" >&2
    exit 1
fi
awk 'BEGIN { print "Types: deb-src"; print "Suites: bookworm" }
     /^[[:space:]]*$/ { exit }
     /^(URIs|Components|Signed-By):/ { print }' "$machine_sources" > "$apt_dir/src.sources"

apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o Debug::NoLocking=true -o APT::Get::Only-Source=true -o APT::Sandbox::User=root)
apt-get "${apt_options[@]}" -qq update
# dpkg-source checks every file against the .dsc's checksums (and the .dsc
# came through the signed index) and applies Debian's patches.
rm -f "$work/download/${package}_"*
(cd "$work/download" && apt-get "${apt_options[@]}" -qq source --download-only "$package" >/dev/null)
dsc=$(ls "$work/download/${package}_${upstream}"-*.dsc 2>/dev/null | head -n 1 || true)
if [ -z "$dsc" ]; then
    echo "fetch-debian-source: bookworm's $package is not version $upstream:" "$work/download/"* >&2
    exit 1
fi
rm -rf "$source_dir"
# (The .dsc's own signature needs Debian's keyring, which a build machine
# need not have; its checksums came through apt's signed index.)
if ! (cd "$work" && dpkg-source --no-copy -x "$dsc" "$package-$upstream" >"$work/dpkg-source.log" 2>&1); then
    cat "$work/dpkg-source.log" >&2
    exit 1
fi
touch "$source_dir/.unpacked"
echo "$source_dir"
