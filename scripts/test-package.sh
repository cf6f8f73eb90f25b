#!/usr/bin/env bash
# Builds the Debian package from a Release build and checks what package tools check: a
# machine-readable copyright file, a changelog, a maintainer address, compressed manual
# pages, stripped programs, no lintian errors, valid AppStream and desktop files.
# Usage: scripts/test-package.sh [BUILD_DIR]   (default build-install, configured if absent)
# lintian, appstreamcli and desktop-file-validate are used when installed; each missing one
# is named and its check skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-install}

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMLARK_TESTS=OFF
fi
cmake --build "$build" -j2
rm -f "$build"/brimlark_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/brimlark_*.deb)

work=$(mktemp -d /tmp/brimlark-package-test.XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

dpkg-deb -x "$deb" "$work/root"
doc="$work/root/usr/share/doc/brimlark"
for f in copyright changelog.Debian.gz; do
    [[ -f "$doc/$f" ]] || fail "missing /usr/share/doc/brimlark/$f"
done
head -n1 "$doc/copyright" 2>/dev/null | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
for licence in MIT LGPL-3+ ISC public-domain BSD-3-clause; do
    grep -q "^License: $licence\$" "$doc/copyright" 2>/dev/null || fail "copyright lacks $licence"
done
version=$(dpkg-deb -f "$deb" Version)
zcat "$doc/changelog.Debian.gz" 2>/dev/null | head -n1 | grep -qF "brimlark ($version)" ||
    fail "the changelog does not start with version $version"
dpkg-deb -f "$deb" Maintainer | grep -q '<[^@ ]\+@[^@ ]\+>' || fail "no maintainer address"
for page in brimlark.1.gz brimlark-render.1.gz; do
    gzip -t "$work/root/usr/share/man/man1/$page" 2>/dev/null || fail "no compressed $page"
done
for program in brimlark brimlark-render; do
    if readelf -S "$work/root/usr/bin/$program" | grep -q '\.symtab'; then
        fail "/usr/bin/$program is not stripped"
    fi
done

if command -v lintian >/dev/null; then
    # Errors fail; warnings are listed for the record.
    lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
else
    echo "lintian not installed: package not linted"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate "$work"/root/usr/share/metainfo/*.metainfo.xml || fail "metainfo"
else
    echo "appstreamcli not installed: metainfo not validated"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/brimlark.desktop" ||
        fail "desktop file"
else
    echo "desktop-file-validate not installed: desktop file not validated"
fi

if ((failures)); then
    echo "test-package.sh: $failures check(s) failed" >&2
    exit 1
fi
echo "test-package.sh: $(basename "$deb") OK"
