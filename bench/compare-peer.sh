#!/usr/bin/env bash
# Renders the same chart with `gmt coast` (Debian's gmt and gmt-gshhg-low) and with
# brimlark-render, as whole processes, five runs each in turn, and prints both medians and
# their ratio. The view: orthographic, 39 N 96 W, zoom 1.2, 1600 x 1200 pixels; land and
# ocean filled, coasts, national and state borders, rivers and a 10-degree graticule, at
# GSHHG's intermediate resolution.
#
#   bench/compare-peer.sh [path/to/brimlark-render]
set -euo pipefail
cd "$(dirname "$0")/.."
render=${1:-build-bench/bin/brimlark-render}
if ! command -v gmt >/dev/null || [ ! -d /usr/share/gmt-gshhg ]; then
    echo "compare-peer: needs Debian's gmt and gmt-gshhg-low (apt-get install gmt gmt-gshhg-low)" >&2
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
# 16 cm at 254 dots per inch is 1600 pixels across.
peer() {
    (cd "$work" && gmt coast -R${corners}+r -JG$lon/$lat/16c -Di -Gcornsilk -Slightblue \
        -W1/0.5p -N1/0.5p -N2/0.25p -I1/0.25p -I2/0.25p -Bg10 --GMT_GRAPHICS_DPU=254i \
        -png peer >/dev/null 2>&1 || true)
    [ -s "$work/peer.png" ]
}

# The land polygons' outlines are the coasts; the separate coast-line layer would draw them
# a second time.
cat > "$work/prefs.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Brimlark\General]
"Lake"="0"
"Island"="0"
"County"="0"
"Highway"="0"
"Coast"="0"
"River"="1"
REG
ours() {
    "$render" --center $lat,$lon --zoom $zoom --size ${width}x$height --prefs "$work/prefs.reg" \
        -o "$work/ours.bmp" --quiet
}

# Times in microseconds from bash's own clock, so that no extra process is measured.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
peer_times=() our_times=()
for run in 1 2 3 4 5; do
    t=${EPOCHREALTIME/./}; peer; peer_times+=($(( ${EPOCHREALTIME/./} - t )))
    t=${EPOCHREALTIME/./}; ours; our_times+=($(( ${EPOCHREALTIME/./} - t )))
done
peer_median=$(printf '%s\n' "${peer_times[@]}" | median)
our_median=$(printf '%s\n' "${our_times[@]}" | median)
printf 'gmt coast:        %7.1f ms median of 5\n' "$(echo "$peer_median / 1000" | bc -l)"
printf 'brimlark-render:  %7.1f ms median of 5\n' "$(echo "$our_median / 1000" | bc -l)"
printf 'ratio:            %7.1f times faster\n' "$(echo "$peer_median / $our_median" | bc -l)"
