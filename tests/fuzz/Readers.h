// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The readers of outside input that the libFuzzer targets drive, each from raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brimlark
{

namespace FuzzReaders
{

enum class Reader {
    Bmp,        // a BMP picture
    Gif,        // a GIF picture
    Jpeg,       // a JPEG picture
    Registry,   // the registry export text, parsed and written back
    Settings,   // the registry file through to the 46 settings, and drawing with them
    SavedData,  // saveddat.txt into the view, and the view into a base map
    MapFile,    // a vector map file drawn on a small chart
    Overlay,    // a county or highway overlay drawn on a small chart
    RenderArgs, // brimlark-render's arguments, NUL-separated, and the drawing they ask for
    Png,        // a PNG picture
    Bulletin,   // a coded surface bulletin, written back as a bulletin and as GeoJSON
    GeoJson,    // a GeoJSON analysis, written back and read again
    Metar,      // a feed of METAR and SPECI reports, each observation decoded again alone
    Stations,   // the station table, every station then looked up by its identifier
    ObsCsv,     // a table of decoded observations
    Count
};

/// The reader of that name (the names above in lower case, "saveddata", "mapfile",
/// "renderargs", "geojson", "stations", "obscsv"), or Count.
Reader readerNamed(const char *name);

/// Sets up what the readers share (scratch folder, small map data, offscreen fonts).
void initialize();

/// Runs one reader on the bytes. An input is either read or refused with the reader's own
/// error; anything else (a crash, a sanitizer report) is a finding.
void read(Reader reader, const uint8_t *data, size_t size);

} // namespace FuzzReaders

} // namespace brimlark
