#!/usr/bin/env bash
# Builds a Release install and checks it: the tree a package would hold (DESTDIR, prefix
# /usr), the Debian package (scripts/test-package.sh, with lintian), then the installed
# program run by a user who cannot write to the install folder, under Xvfb: it must find its
# map data, generate a map and keep its workspace in the user's data folder. Needs root (to
# install packages and run the program as another user).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $(id -u) -ne 0 ]]; then
    echo "test-install.sh: run as root (it installs packages and switches user)" >&2
    exit 2
fi

scripts/install-deps.sh
missing=()
for p in xvfb xauth xdotool lintian appstream desktop-file-utils; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build-install -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMLARK_TESTS=OFF
cmake --build build-install -j2

work=$(mktemp -d /tmp/brimlark-install-test.XXXXXX)
chmod 755 "$work"
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# --- The installed tree ---------------------------------------------------------------
destdir="$work/destdir"
DESTDIR="$destdir" cmake --install build-install --prefix /usr >/dev/null
usr="$destdir/usr"
expected=(
    bin/brimlark bin/brimlark-render
    share/brimlark/map.gin share/brimlark/map.gis share/brimlark/map.gil
    share/brimlark/map.gii share/brimlark/map.gir share/brimlark/map.gic
    share/brimlark/map.cgf share/brimlark/map.hwy share/brimlark/sfstns.tbl
    share/applications/brimlark.desktop
    share/metainfo/org.brimlark.brimlark.metainfo.xml
    share/icons/hicolor/scalable/apps/brimlark.svg
    share/icons/hicolor/48x48/apps/brimlark.png
    share/icons/hicolor/256x256/apps/brimlark.png
    share/doc/brimlark/LICENSE
    share/doc/brimlark/LICENSE-gempak.txt
    share/doc/brimlark/copyright
    share/doc/brimlark/changelog.Debian.gz
    share/doc/brimlark/map-data/README.md
    share/doc/brimlark/map-data/COPYING.LGPL-3
    share/doc/brimlark/map-data/COPYING.GPL-3
    share/doc/brimlark/map-data/COPYING.counties
)
# The manual pages are installed, compressed, when the sources have them.
for page in brimlark.1 brimlark-render.1; do
    [[ -f doc/$page ]] && expected+=("share/man/man1/$page.gz")
done
for f in "${expected[@]}"; do
    [[ -f "$usr/$f" ]] || fail "missing $f"
done
for f in bin/brimlark bin/brimlark-render; do
    [[ -x "$usr/$f" && ! -L "$usr/$f" ]] || fail "$f is not an executable file"
done
# --version answers without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/brimlark" --version) ||
    fail "brimlark --version failed"
[[ $version == "brimlark "* ]] || fail "brimlark --version printed '$version'"
# Nothing may land outside the prefix: the install honours DESTDIR.
stray=$(find "$destdir" -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z "$stray" ]] || fail "installed outside /usr: $stray"

# --- The Debian package: its files, lintian, the desktop and AppStream files -------------
scripts/test-package.sh build-install || fail "the Debian package"

# --- The installed program, run by a user who cannot write to it -----------------------
prefix="$work/prefix"
cmake --install build-install --prefix "$prefix" >/dev/null
chown -R root:root "$prefix"
chmod -R go-w "$prefix"
user=nobody
home="$work/home"
mkdir -p "$home"
chown "$user" "$home"
if runuser -u "$user" -- test -w "$prefix/bin"; then
    fail "$user can write to $prefix/bin"
fi

cat >"$work/drive.sh" <<'EOF'
#!/usr/bin/env bash
# Runs inside xvfb-run as the test user: generate a map, draw a segment, quit.
set -u
program=$1
"$program" >"$HOME/brimlark.log" 2>&1 &
pid=$!
# Until the main window shows, each box a start reports in (what it could not read, for
# one) is dismissed with Return.
window=""
for _ in $(seq 60); do
    window=$(xdotool search --onlyvisible --name '^Brimlark v' 2>/dev/null | head -n1)
    [[ -n "$window" ]] && break
    if box=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) && [[ -n "$box" ]]; then
        echo "dismissing a box: $(xdotool getwindowname "$box")" >&2
        xdotool windowfocus "$box" 2>/dev/null
        xdotool key --clearmodifiers Return 2>/dev/null
    fi
    sleep 1
done
if [[ -z "$window" ]]; then
    echo "the program showed no main window" >&2
    kill "$pid" 2>/dev/null
    exit 1
fi
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
# Generate sits at the right of the tool panel along the bottom of the window.
xdotool mousemove --window "$window" $((WIDTH - 10 - 181 + 129)) $((HEIGHT - 49)) click 1
for _ in $(seq 60); do
    [[ -f "$HOME/.local/share/Brimlark/temp1.bmp" ]] && break
    sleep 1
done
sleep 2
# A segment of three points on the new map.
for point in "150 150" "250 200" "350 170"; do
    xdotool mousemove --window "$window" $point click 1
    sleep 0.5
done
xdotool key --window "$window" ctrl+q
for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end on Ctrl+Q" >&2
    kill "$pid"
    exit 1
fi
wait "$pid"
EOF
chmod 755 "$work/drive.sh"

if ! runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        xvfb-run -a -s "-screen 0 1280x1024x24" "$work/drive.sh" "$prefix/bin/brimlark"; then
    fail "driving the installed program"
fi
chart="$home/.local/share/Brimlark/temp1.bmp"
if [[ -f "$chart" ]] && (($(stat -c %s "$chart") > 1024)); then
    echo "installed program saved $chart ($(stat -c %s "$chart") bytes)"
else
    fail "no map saved in $chart"
    ls -la "$prefix/bin" "$home" "$home/.local/share/Brimlark" 2>&1 || true
    cat "$home/brimlark.log" 2>/dev/null || true
fi
[[ -z "$(find "$prefix" -newer "$work/drive.sh" -type f)" ]] ||
    fail "the program wrote into its install folder"

if ((failures)); then
    echo "test-install.sh: $failures check(s) failed" >&2
    exit 1
fi
echo "test-install.sh: install tree and installed program OK"
