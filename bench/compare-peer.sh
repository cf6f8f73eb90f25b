#!/usr/bin/env bash
# Renders the same chart with gmt (Debian's gmt, gmt-gshhg-low and ghostscript) and with
# brimlark-render, as whole processes, eleven runs each in turn, and prints both medians and
# their ratio. The view: orthographic, 39 N 96 W, zoom 1.2, 1600 x 1200 pixels; land and
# ocean filled, coasts, lakes and the islands in them, national and state borders, rivers
# and a 10-degree graticule, at GSHHG's intermediate resolution. Both pictures must have
# the same size in pixels (within 1 %), or nothing is compared.
#
# Both write the same kind of file: BMP (the default) or PNG.
#
#   bench/compare-peer.sh [path/to/brimlark-render] [bmp|png]
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build-bench/bin/brimlark-render}
format=${2:-bmp}
case $format in
bmp) peer_type=b ;;
png) peer_type=g ;;
*) echo "compare-peer: the format is bmp or png, not '$format'" >&2; exit 2 ;;
esac
if ! command -v gmt >/dev/null || [ ! -d /usr/share/gmt-gshhg ]; then
    echo "compare-peer: needs Debian's gmt, gmt-gshhg-low and ghostscript" \
        "(apt-get install gmt gmt-gshhg-low ghostscript)" >&2
    exit 2
fi
if [ ! -x "$render" ]; then
    echo "compare-peer: no $render; build the benchmarks first (see bench/README.md)" >&2
    exit 2
fi

lat=39 lon=-96 zoom=1.2 width=1600 height=1200
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The geographic corners of the chart, from the inverse orthographic projection.
corners=$(awk -v lat0=$lat -v lon0=$lon -v z=$zoom -v w=$width -v h=$height 'BEGIN {
    pi = atan2(0, -1); r = z * w; p0 = lat0 * pi / 180
    split("0 " h " " w " 0", c, " ")
    for (i = 1; i <= 3; i += 2) {
        x = (c[i] - w / 2) / r; y = (h / 2 - c[i + 1]) / r
        rho = sqrt(x * x + y * y); s = rho; cc = sqrt(1 - s * s)
        la = cc * sin(p0) + y * s * cos(p0) / rho
        la = atan2(la, sqrt(1 - la * la)) * 180 / pi
        lo = lon0 + atan2(x * s, rho * cos(p0) * cc - y * sin(p0) * s) * 180 / pi
        printf "%.4f/%.4f%s", lo, la, (i == 1 ? "/" : "")
    }
}')
# 16 cm at 254 dots per inch is 1600 pixels across. The one-command mode of gmt ignores
# the resolution asked for, so the chart is drawn as PostScript and converted at 254 dpi,
# cropped to the map (-A). Without -C, lakes are filled as water; -W without a level draws
# every shore: coasts, lakes and the islands in them, as our land, lake and island layers.
peer() {
    (cd "$work" && gmt pscoast -R${corners}+r -JG$lon/$lat/16c -Di -Gcornsilk -Slightblue \
        -W0.5p -N1/0.5p -N2/0.25p -I1/0.25p -I2/0.25p -Bg10 -P >peer.ps 2>/dev/null &&
        gmt psconvert peer.ps -A -E254 -T$peer_type >/dev/null 2>&1 || true)
    [ -s "$work/peer.$format" ]
}

# The land polygons' outlines are the coasts; the separate coast-line layer would draw them
# a second time.
cat > "$work/prefs.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Brimlark\General]
"Lake"="1"
"Island"="1"
"County"="0"
"Highway"="0"
"Coast"="0"
"River"="1"
REG
ours() {
    "$render" --center $lat,$lon --zoom $zoom --size ${width}x$height --prefs "$work/prefs.reg" \
        -o "$work/ours.$format" --quiet
}

# The size of a PNG (from its header) or of a BMP (from its info header), as W H.
size_of() {
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(32)
if data[:8] == b"\x89PNG\r\n\x1a\n":
    print(*struct.unpack(">II", data[16:24]))
else:
    w, h = struct.unpack("<ii", data[18:26])
    print(w, abs(h))
PY
}

peer || { echo "compare-peer: gmt drew nothing" >&2; exit 1; }
ours
read -r peer_w peer_h < <(size_of "$work/peer.$format")
read -r our_w our_h < <(size_of "$work/ours.$format")
echo "gmt: ${peer_w} x ${peer_h} pixels; brimlark-render: ${our_w} x ${our_h} pixels"
if ! awk -v a="$peer_w" -v b="$our_w" -v c="$peer_h" -v d="$our_h" 'BEGIN {
    exit !((a - b) ^ 2 <= (0.01 * b) ^ 2 && (c - d) ^ 2 <= (0.01 * d) ^ 2) }'; then
    echo "compare-peer: the pictures differ in size by more than 1 %; not compared" >&2
    exit 1
fi

# Times in microseconds from bash's own clock, so that no extra process is measured.
runs=11
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
peer_times=() our_times=()
for ((run = 1; run <= runs; ++run)); do
    t=${EPOCHREALTIME/./}; peer; peer_times+=($(( ${EPOCHREALTIME/./} - t )))
    t=${EPOCHREALTIME/./}; ours; our_times+=($(( ${EPOCHREALTIME/./} - t )))
done
peer_median=$(printf '%s\n' "${peer_times[@]}" | median)
our_median=$(printf '%s\n' "${our_times[@]}" | median)
printf 'gmt pscoast + psconvert: %7.1f ms median of %d\n' "$(echo "$peer_median / 1000" | bc -l)" $runs
printf 'brimlark-render:         %7.1f ms median of %d\n' "$(echo "$our_median / 1000" | bc -l)" $runs
printf 'ratio:                   %7.1f times faster\n' "$(echo "$peer_median / $our_median" | bc -l)"
