#!/usr/bin/env bash
# Makes the release packages of a build folder and checks that each holds
# exactly the files a release needs, under the right names and paths.
#   tools/check-packages.sh build/windows   -> Zelvane3-<version>-x64.zip
#   tools/check-packages.sh build/native    -> zelvane-host .deb and .tar.gz
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/check-packages.sh BUILD_FOLDER}

version=$(sed -n 's/^project(Zelvane3 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
grep -q "^## \[$version\]" CHANGELOG.md || { echo "CHANGELOG.md has no heading for $version" >&2; exit 1; }

rm -rf "$build/packages"
cmake --build "$build" --target package >/dev/null

# Compares a sorted listing with the expected names; prints both on a mismatch.
expect() {
    local what=$1 listing=$2; shift 2
    local wanted
    wanted=$(printf '%s\n' "$@" | sort)
    if [ "$listing" != "$wanted" ]; then
        echo "$what holds:"; echo "$listing"; echo "expected:"; echo "$wanted"
        exit 1
    fi
    echo "$what: $(echo "$listing" | wc -l) files as expected"
}

if [ -f "$build/packages/Zelvane3-$version-x64.zip" ]; then
    zip="$build/packages/Zelvane3-$version-x64.zip"
    listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
    expect "$(basename "$zip")" "$listing" \
        Zelvane3/Zelvane3.dll Zelvane3/ZelvaneEng.lng Zelvane3/ZelvaneRus.lng Zelvane3/ZelvaneEng.hlf \
        Zelvane3/ZelvaneRus.hlf Zelvane3/README.txt Zelvane3/CHANGELOG.md
else
    deb=$(ls "$build"/packages/zelvane-host_"$version"_*.deb)
    listing=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./||' | sort)
    expect "$(basename "$deb")" "$listing" \
        usr/bin/zelvane-host usr/lib/zelvane3/Zelvane3.so usr/lib/zelvane3/ZelvaneEng.lng \
        usr/lib/zelvane3/ZelvaneRus.lng usr/lib/zelvane3/ZelvaneEng.hlf usr/lib/zelvane3/ZelvaneRus.hlf \
        usr/share/doc/zelvane-host/README.md usr/share/doc/zelvane-host/CHANGELOG.md
    tgz="$build/packages/zelvane-host-$version-linux-x86_64.tar.gz"
    listing=$(cmake -E tar tf "$tgz" | grep -v '/$' | sed "s|^zelvane-host-$version-linux-x86_64/||" | sort)
    expect "$(basename "$tgz")" "$listing" \
        usr/bin/zelvane-host usr/lib/zelvane3/Zelvane3.so usr/lib/zelvane3/ZelvaneEng.lng \
        usr/lib/zelvane3/ZelvaneRus.lng usr/lib/zelvane3/ZelvaneEng.hlf usr/lib/zelvane3/ZelvaneRus.hlf \
        usr/share/doc/zelvane-host/README.md usr/share/doc/zelvane-host/CHANGELOG.md

    # Unpacked anywhere, the program finds its plugin without being told where.
    unpacked=$(mktemp -d)
    trap 'rm -rf "$unpacked"' EXIT
    cmake -E chdir "$unpacked" cmake -E tar xf "$(realpath "$tgz")"
    out=$(echo q | "$unpacked/zelvane-host-$version-linux-x86_64/usr/bin/zelvane-host" --script \
          --profile "$unpacked/profile" "$unpacked")
    grep -q "^menu 0: Zelvane 3$" <<<"$out" || { echo "the unpacked zelvane-host did not load its plugin:"; echo "$out"; exit 1; }
    echo "unpacked zelvane-host loads its plugin"
fi
