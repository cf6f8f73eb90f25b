// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/LineTool.h"

#include <algorithm>

namespace brimlark
{

namespace
{

using T = LineTool;
using F = FrontSymbol;

constexpr LineToolNames Tools[] = {
    {T::Isopleth, "", "isopleth", "isopleth", "Isopleth =", "Isopleth", F::None},
    {T::ColdFront, "COLD", "cold", "cold", "Cold front", "Cold front", F::Triangle},
    {T::WarmFront, "WARM", "warm", "warm", "Warm front", "Warm front", F::Semicircle},
    {T::OccludedFront, "OCFNT", "occluded", "occluded", "Occluded front", "Occluded front",
     F::None},
    {T::StationaryFront, "STNRY", "stationary", "stationary", "Stationary front",
     "Stationary front", F::Triangle},
    {T::Trough, "TROF", "trough", "trough", "Trough", "Trough", F::None},
    {T::Dryline, "DRYLINE", "dryline", "dryline", "Dryline", "Dryline", F::None},
};

template <typename Text> const LineToolNames *find(const char *LineToolNames::*name, Text text)
{
    const auto *found = std::find_if(std::begin(Tools), std::end(Tools), [&](const auto &t) {
        return *(t.*name) != '\0' && text == QLatin1StringView(t.*name);
    });
    return found == std::end(Tools) ? nullptr : found;
}

} // namespace

std::span<const LineToolNames> LineToolNames::all() { return Tools; }

const LineToolNames &LineToolNames::of(LineTool tool)
{
    const auto *found = std::find_if(std::begin(Tools), std::end(Tools),
                                     [&](const auto &t) { return t.tool == tool; });
    Q_ASSERT(found != std::end(Tools));
    return *found;
}

const LineToolNames *LineToolNames::byKeyword(QByteArrayView keyword)
{
    return find(&LineToolNames::keyword, QLatin1StringView(keyword));
}

const LineToolNames *LineToolNames::byKind(QStringView kind)
{
    return find(&LineToolNames::kind, kind);
}

const LineToolNames *LineToolNames::byOption(QStringView option)
{
    return find(&LineToolNames::option, option);
}

bool isStrengthWord(QByteArrayView word)
{
    return std::any_of(std::begin(StrengthWords), std::end(StrengthWords),
                       [&](const char *w) { return word == w; });
}

} // namespace brimlark
