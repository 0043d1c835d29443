#!/usr/bin/env bash
# Fetches a Debian 12 source package into a folder of the build and unpacks
# it with Debian's patches: fetch-debian-source.sh PACKAGE UPSTREAM_VERSION
# WORK_FOLDER, where UPSTREAM_VERSION is the version bookworm must hold (10.42
# for pcre2, the one of the native -dev package); another version fails. The
# source ends up in WORK_FOLDER/PACKAGE-UPSTREAM_VERSION (printed on the last
# line). Uses a private apt folder inside WORK_FOLDER, so the machine's
# apt setup is neither needed nor changed; the one deb-src entry is made from
# the machine's own bookworm entry (its mirror and signing key), written in
# either of apt's formats. When the unpacked source is there already, nothing
# is fetched.
set -euo pipefail

package=$1 upstream=$2 work=$3
source_dir="$work/$package-$upstream"
if [ -f "$source_dir/.unpacked" ]; then
    echo "$source_dir"
    exit 0
fi

apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work/download"

# One deb-src entry for bookworm, made from the machine's own bookworm entry
# (its mirror, components and, where it names one, its signing key): a stanza
# of a deb822 .sources file, as an installed Debian 12 has, or a one-line
# entry of sources.list or a .list file, as debootstrap leaves it.
bookworm_entry() {
    local file entry
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -r "$file" ] || continue
        entry=$(awk 'function take() {
                 if (types ~ /(^| )deb( |$)/ && suites ~ /(^| )bookworm( |$)/ && uris != "") {
                     print "URIs: " uris
                     print "Components: " components
                     if (signed != "") print "Signed-By: " signed
                     found = 1
                     exit
                 }
                 types = suites = uris = components = signed = ""
             }
             /^[[:space:]]*$/ { take(); next }
             /^Types:/ { types = $0; sub(/^Types:[[:space:]]*/, "", types) }
             /^Suites:/ { suites = $0; sub(/^Suites:[[:space:]]*/, "", suites) }
             /^URIs:/ { uris = $0; sub(/^URIs:[[:space:]]*/, "", uris) }
             /^Components:/ { components = $0; sub(/^Components:[[:space:]]*/, "", components) }
             /^Signed-By:/ { signed = $0; sub(/^Signed-By:[[:space:]]*/, "", signed) }
             END { if (!found) take() }' "$file")
        if [ -n "$entry" ]; then
            printf '%s\n' "$entry"
            return 0
        fi
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$file" ] || continue
        entry=$(awk '$1 != "deb" { next }
             {
                 options = ""; i = 2
                 if ($2 ~ /^\[/) {
                     while (i <= NF && $i !~ /\]$/) { options = options " " $i; i++ }
                     options = options " " $i; i++
                 }
                 if ($(i + 1) != "bookworm") next
                 print "URIs: " $i
                 components = ""
                 for (j = i + 2; j <= NF; j++) components = components (components == "" ? "" : " ") $j
                 print "Components: " components
                 if (match(options, /signed-by=[^] ]+/)) print "Signed-By: " substr(options, RSTART + 10, RLENGTH - 10)
                 exit
             }' "$file")
        if [ -n "$entry" ]; then
            printf '%s\n' "$entry"
            return 0
        fi
    done
    return 1
}

if ! entry=$(bookworm_entry); then
    echo "fetch-debian-source: no bookworm entry in /etc/apt/sources.list or /etc/apt/sources.list.d; cannot find a Debian mirror" >&2
    exit 1
fi
printf 'Types: deb-src\nSuites: bookworm\n%s\n' "$entry" > "$apt_dir/src.sources"

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
