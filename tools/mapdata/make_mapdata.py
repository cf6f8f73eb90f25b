#!/usr/bin/env python3
# Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
"""Builds Brimlark's map data files from open data.

Shorelines, borders and rivers come from the GSHHG data set through `gmt coast -M` (Debian's
gmt and gmt-gshhg-low packages); US county boundaries from the TopoJSON file counties-10m.json
of the us-atlas package; highways, optionally, from any GeoJSON file of LineStrings.

    make_mapdata.py --out data --counties counties-10m.json [--highways roads.geojson]

Vector files (map.gin, .gis, .gil, .gii, .gir, .gic) hold 6-byte records: a 16-bit code
(1000 starts a line), latitude and longitude in minutes of arc. Overlays (map.cgf, map.hwy)
hold 4-byte records: latitude and longitude in hundredths of a degree, longitude west
positive, a latitude code of 9999 breaking the line. All little-endian. The same inputs give
the same bytes.
"""
import argparse
import json
import math
import os
import struct
import subprocess
import sys
import tempfile

MAX_LINE_POINTS = 30000     # the readers' point buffer
DENSIFY_DEGREES = 0.25      # longest straight step of a border or river
OVERLAY_BREAKS = {-9999, 9999, -1, -100, 0}


# --- reading gmt's dumps -------------------------------------------------------------------

def gmt_segments(args, workdir):
    """The segments `gmt coast -M` prints for the options, as lists of (lon, lat)."""
    out = subprocess.run(["gmt", "coast", "-Rd", "-Di", "-M"] + args, cwd=workdir,
                         check=True, capture_output=True, text=True).stdout
    segments, current = [], None
    for line in out.splitlines():
        if line.startswith(">"):
            current = []
            segments.append(current)
        elif line.strip() and current is not None:
            lon, lat = (float(v) for v in line.split()[:2])
            current.append((lon, lat))
    return [s for s in segments if len(s) >= 2]


def key(point):
    """A point's identity for joining pieces: +-180 degrees is one meridian."""
    lon, lat = point
    if lon >= 180.0 - 1e-9:
        lon -= 360.0
    return (round(lon, 6), round(lat, 6))


def join_rings(pieces):
    """Joins shoreline pieces end to start into rings (and open chains where none closes)."""
    starts = {}
    for i, piece in enumerate(pieces):
        starts.setdefault(key(piece[0]), []).append(i)
    used = [False] * len(pieces)
    rings = []
    for first in range(len(pieces)):
        if used[first]:
            continue
        used[first] = True
        ring = list(pieces[first])
        while key(ring[-1]) != key(ring[0]):
            nexts = [i for i in starts.get(key(ring[-1]), []) if not used[i]]
            if not nexts:
                break
            used[nexts[0]] = True
            ring.extend(pieces[nexts[0]][1:])
        rings.append(ring)
    return rings


# --- shaping lines -------------------------------------------------------------------------

def densify(points):
    """Inserts points so that no straight step is longer than DENSIFY_DEGREES."""
    out = [points[0]]
    for lon, lat in points[1:]:
        plon, plat = out[-1]
        n = int(math.ceil(max(abs(lon - plon), abs(lat - plat)) / DENSIFY_DEGREES))
        for k in range(1, n):
            out.append((plon + (lon - plon) * k / n, plat + (lat - plat) * k / n))
        out.append((lon, lat))
    return out


def to_minutes(points):
    """Rounds to whole minutes of arc within the valid ranges."""
    out = []
    for lon, lat in points:
        lat_m = max(-5400, min(5400, int(round(lat * 60))))
        lon_m = max(-10800, min(10800, int(round(lon * 60))))
        out.append((lat_m, lon_m))
    return out


def clean(points, closed):
    """Drops repeated points and spikes (a step out and straight back)."""
    changed = True
    pts = list(points)
    while changed:
        changed = False
        out = []
        for p in pts:
            if out and out[-1] == p:
                changed = True
                continue
            if len(out) >= 2 and out[-2] == p:
                out.pop()
                changed = True
                continue
            out.append(p)
        if closed:
            while len(out) >= 2 and out[-1] == out[0]:
                out.pop()
                changed = True
            while len(out) >= 3 and out[-1] == out[1]:
                out.pop(0)
                changed = True
        pts = out
    return pts


def simplify(points, limit):
    """Douglas-Peucker with a growing tolerance (minutes) until the ring fits the limit."""
    tolerance = 0.5
    pts = points
    while len(pts) > limit:
        pts = douglas_peucker(points, tolerance)
        tolerance *= 1.5
    return pts


def douglas_peucker(points, tolerance):
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        a, b = stack.pop()
        (ay, ax), (by, bx) = points[a], points[b]
        dx, dy = bx - ax, by - ay
        length = math.hypot(dx, dy)
        best, index = -1.0, -1
        for i in range(a + 1, b):
            py, px = points[i]
            if length == 0:
                d = math.hypot(px - ax, py - ay)
            else:
                d = abs(dy * (px - ax) - dx * (py - ay)) / length
            if d > best:
                best, index = d, i
        if index >= 0 and best > tolerance:
            keep[index] = True
            stack.append((a, index))
            stack.append((index, b))
    return [p for p, k in zip(points, keep) if k]


def rings_in_minutes(pieces):
    """Closed shoreline rings: joined, rounded, cleaned, collapsed ones dropped and the very
    long ones simplified to fit. Antarctica's ring circles the South Pole as it is: its ends
    meet on the 180th meridian, and a polygon that follows the rim where the globe hides it
    fills it from every view without a seam down to the pole."""
    rings = []
    for ring in join_rings(pieces):
        ring = clean(to_minutes(ring), closed=True)
        if len(set(ring)) < 3:
            continue
        if len(ring) > MAX_LINE_POINTS:
            ring = simplify(ring + [ring[0]], MAX_LINE_POINTS)[:-1]
        rings.append(ring)
    return rings


def lines_in_minutes(segments):
    """Open lines (borders, rivers): duplicates dropped, densified, rounded and cleaned."""
    seen, lines = set(), []
    for seg in segments:
        ident = tuple(key(p) for p in seg)
        if ident in seen or tuple(reversed(ident)) in seen:
            continue
        seen.add(ident)
        line = clean(to_minutes(densify(seg)), closed=False)
        if len(line) >= 2:
            lines.append(line)
    return lines


# --- writing -------------------------------------------------------------------------------

def write_vector(path, lines, close):
    """6-byte records; a ring drawn as a polyline repeats its first point at its end."""
    with open(path, "wb") as f:
        for line in lines:
            points = line + [line[0]] if close else line
            for i, (lat, lon) in enumerate(points):
                f.write(struct.pack("<hhh", 1000 if i == 0 else 1, lat, lon))


def overlay_code(value):
    code = int(round(value * 100))
    if code in OVERLAY_BREAKS:  # a point there would read as a break: move it 0.01 degree
        code = code + 1 if code + 1 not in OVERLAY_BREAKS else code - 1
    return code


def write_overlay(path, lines):
    """4-byte records of latitude and west longitude in hundredths, 9999 between lines."""
    count = 0
    with open(path, "wb") as f:
        for line in lines:
            last = None
            for lon, lat in line:
                rec = (overlay_code(lat), max(-32767, min(32767, -int(round(lon * 100)))))
                if rec != last:
                    f.write(struct.pack("<hh", *rec))
                    last = rec
                    count += 1
            f.write(struct.pack("<hh", 9999, 0))
    return count


def county_lines(path):
    """Every arc of the counties once: shared boundaries and the outer ones alike."""
    with open(path, encoding="utf-8") as f:
        topo = json.load(f)
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    used = set()

    def collect(arcs):
        for item in arcs:
            if isinstance(item, list):
                collect(item)
            else:
                used.add(item if item >= 0 else ~item)

    for geometry in topo["objects"]["counties"]["geometries"]:
        collect(geometry.get("arcs", []))
    lines = []
    for index in sorted(used):
        x = y = 0
        line = []
        for dx, dy in topo["arcs"][index]:
            x += dx
            y += dy
            line.append((x * sx + tx, y * sy + ty))
        lines.append(line)
    return lines


def highway_lines(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    features = data["features"] if data.get("type") == "FeatureCollection" else [data]
    lines = []
    for feature in features:
        geometry = feature.get("geometry") or feature
        if geometry.get("type") == "LineString":
            lines.append([tuple(p[:2]) for p in geometry["coordinates"]])
        elif geometry.get("type") == "MultiLineString":
            lines.extend([tuple(p[:2]) for p in part] for part in geometry["coordinates"])
    return [line for line in lines if len(line) >= 2]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", required=True, help="folder for the map files")
    parser.add_argument("--counties", required=True, help="us-atlas counties-10m.json")
    parser.add_argument("--highways", help="GeoJSON file of LineStrings for map.hwy")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    out = lambda name: os.path.join(args.out, name)

    with tempfile.TemporaryDirectory() as work:  # gmt writes gmt.history where it runs
        land = rings_in_minutes(gmt_segments(["-W1/0.5p"], work))
        lakes = rings_in_minutes(gmt_segments(["-W2/0.5p"], work) + gmt_segments(["-W4/0.5p"], work))
        islands = rings_in_minutes(gmt_segments(["-W3/0.5p"], work))
        borders = lines_in_minutes(gmt_segments(["-N1/0.5p"], work) + gmt_segments(["-N2/0.5p"], work))
        rivers = lines_in_minutes(gmt_segments(["-I1/0.25p", "-I2/0.25p"], work))

    write_vector(out("map.gin"), land, close=False)
    write_vector(out("map.gic"), land, close=True)
    write_vector(out("map.gil"), lakes, close=True)
    write_vector(out("map.gii"), islands, close=True)
    write_vector(out("map.gis"), borders, close=False)
    write_vector(out("map.gir"), rivers, close=False)
    counties = write_overlay(out("map.cgf"), county_lines(args.counties))
    if args.highways:
        roads = write_overlay(out("map.hwy"), highway_lines(args.highways))
        print(f"map.hwy: {roads} points from {args.highways}")
    else:
        open(out("map.hwy"), "wb").close()
        print("map.hwy: no highways source given; wrote an empty file (draws nothing)")
    print(f"land {len(land)} rings, lakes {len(lakes)}, islands {len(islands)}, "
          f"borders {len(borders)} lines, rivers {len(rivers)}, county points {counties}")


if __name__ == "__main__":
    sys.exit(main())
