// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <span>

namespace brimlark
{

/// The line tools, by their codes (CurrentTool).
enum class LineTool : qint32 {
    Isopleth = 0,
    ColdFront = 1,
    WarmFront = 2,
    OccludedFront = 3,
    StationaryFront = 4,
    Trough = 5,
    Dryline = 6
};

/// The symbol a front draws first along its line. An occluded front starts with none and
/// takes turns from the first sample on, so its first symbol is a triangle too.
enum class FrontSymbol { None, Triangle, Semicircle };

/// A line tool's names wherever it is named, and the symbol its line starts with. Every
/// reader and writer finds its words here, so a bulletin, a GeoJSON file, the command line
/// and the window always agree on which tool a word means.
struct LineToolNames {
    LineTool tool;
    const char *keyword;    ///< in a bulletin ("COLD"); empty for the isopleth, which has none
    const char *kind;       ///< the GeoJSON "kind" property ("cold")
    const char *option;     ///< on the command line ("cold")
    const char *caption;    ///< on the window's tool button ("Cold front")
    const char *statusName; ///< in the status line while drawing ("Cold front")
    FrontSymbol firstSymbol;

    /// Every tool, in the order of their codes.
    static std::span<const LineToolNames> all();
    static const LineToolNames &of(LineTool tool);
    /// The tool a bulletin keyword, GeoJSON kind or command-line name stands for, matched
    /// exactly; nullptr when none does.
    static const LineToolNames *byKeyword(QByteArrayView keyword);
    static const LineToolNames *byKind(QStringView kind);
    static const LineToolNames *byOption(QStringView option);
};

/// The strength words a front may carry in a bulletin: weak, moderate, strong.
constexpr const char *StrengthWords[] = {"WK", "MDT", "STG"};

/// Whether the text is one of the strength words, matched exactly.
bool isStrengthWord(QByteArrayView word);

} // namespace brimlark
