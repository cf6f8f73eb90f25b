#!/usr/bin/env bash
# Fuzzes one reader: tests/fuzz/run.sh READER RUNS [libFuzzer options...]
# READER is bmp, gif, jpeg, png, registry, settings, saveddata, mapfile, overlay, renderargs,
# bulletin, geojson, metar, stations or obscsv.
# Needs a fuzzing build in build-fuzz (or $BUILD; see CMakeLists.txt here). The corpus grows
# in $BUILD/corpus/READER, seeded on the first run from seeds/, the map data and charts made
# by brimlark-render; crashes land in $BUILD/crashes/; the log is $BUILD/logs/READER.log.
set -euo pipefail
cd "$(dirname "$0")/../.."
reader=$1
runs=$2
shift 2
build=${BUILD:-build-fuzz}
here=tests/fuzz
corpus=$build/corpus/$reader
mkdir -p "$corpus" "$build/crashes" "$build/logs" "$build/seed-charts"

# Real charts as the program writes them, small and at a common screen size.
charts() {
    local ext=$1
    for size in 96x72 640x480; do
        local out=$build/seed-charts/$size.$ext
        [[ -f $out ]] || "$build/bin/brimlark-render" --data data --center 39,-96 --zoom 1.2 \
            --size "$size" --draw "cold:10,30;40,25;70,30" -o "$out" --quiet
        cp "$out" "$corpus/"
    done
}

# The first 4 KiB and a stretch from the middle of a map data file, after the reader's
# choice byte (view, width and polygon flag).
slices() {
    local choice=$1
    shift
    for file in "$@"; do
        local name
        name=$(basename "$file")
        { printf "\\x$choice"; head -c 4096 "$file"; } >"$corpus/$name.head"
        { printf "\\x$choice"; head -c 64096 "$file" | tail -c 4096; } >"$corpus/$name.middle"
    done
}

max_len=65536
dict=
if [[ -z $(ls -A "$corpus") ]]; then
    case $reader in
    bmp) charts bmp ;;
    gif) charts gif ;;
    jpeg) charts jpg ;;
    png) charts png ;;
    registry | settings) cp $here/seeds/registry/* "$corpus/" ;;
    saveddata) cp $here/seeds/saveddata/* "$corpus/" ;;
    renderargs) cp $here/seeds/renderargs/* "$corpus/" ;;
    bulletin)
        cp $here/seeds/bulletin/* "$corpus/"
        # The sample bulletin beside the project, when it is there.
        cp ../shared/data/bulletins/*.txt "$corpus/" 2>/dev/null || true
        ;;
    geojson) cp $here/seeds/geojson/* "$corpus/" ;;
    metar)
        cp $here/seeds/metar/* "$corpus/"
        # The sample feed of the observation tests.
        cp tests/observation/data/*.txt "$corpus/"
        ;;
    stations)
        cp $here/seeds/stations/* "$corpus/"
        # The first 4 KiB and a stretch from the middle of the shipped table.
        head -c 4096 data/sfstns.tbl >"$corpus/sfstns.head"
        head -c 200000 data/sfstns.tbl | tail -c 4096 >"$corpus/sfstns.middle"
        ;;
    obscsv)
        cp $here/seeds/obscsv/* "$corpus/"
        head -c 4096 tests/observation/data/sfc_obs_19930312.csv >"$corpus/sample.head"
        ;;
    mapfile) slices 82 data/map.gin && slices 00 data/map.gis data/map.gic data/map.gir ;;
    overlay) slices 10 data/map.cgf ;;
    *) echo "unknown reader '$reader'" >&2; exit 2 ;;
    esac
fi
case $reader in
# The run-length BMPs of 16.8 and 33.7 MB that once overran the decoder's counters fit.
bmp) max_len=37748736; dict=$here/bmp.dict ;;
gif | jpeg | png) max_len=2097152; dict=$here/$reader.dict ;;
registry | settings) dict=$here/registry.dict ;;
saveddata) max_len=4096 ;;
renderargs) max_len=8192; dict=$here/renderargs.dict ;;
mapfile | overlay | bulletin | geojson | metar | stations | obscsv) dict=$here/$reader.dict ;;
esac

LSAN_OPTIONS=suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS} \
    "$build/bin/fuzz_$reader" "$corpus" -runs="$runs" -max_len="$max_len" ${dict:+-dict=$dict} \
    -artifact_prefix="$build/crashes/$reader-" -print_final_stats=1 "$@" \
    2>&1 | tee "$build/logs/$reader.log"
