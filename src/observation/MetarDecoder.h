// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Observation.h"

#include <QDate>
#include <QStringView>

#include <optional>

namespace brimlark
{

/// Decodes one METAR or SPECI report into the values a station model plots:
///
///     [METAR|SPECI] [COR] CCCC DDHHMMZ [AUTO|COR] wind visibility weather sky TT/DD pressure
///         [trend] [RMK ... SLPnnn ... Tsnnnsnnn]
///
/// The station and the time must come first; every other group may be missing, and one that
/// cannot be decoded is passed over. What is decoded:
/// - wind dddff[Gfff]KT, MPS or KMH (in knots), VRB (no direction), calm 00000KT (speed 0,
///   no direction: 000 is not a bearing); the sector dddVddd is passed over;
/// - the first visibility: statute miles (10SM, 1 1/2SM, 3/4SM, M1/4SM as 1/4, P6SM as 6)
///   or metres (9999 is 10 km or more, taken as 10 km); CAVOK is 10 km and a clear sky;
/// - present weather groups, kept as reported ("-SHRA", "VCTS", "+FC");
/// - the most covering sky layer (FEW, SCT, BKN, OVC, VV obscured; CLR, SKC, NSC, NCD clear);
/// - temperature and dew point TT/DD, M for minus; the remark Tsnnnsnnn gives tenths and wins;
/// - Qnnnn (hPa) or Annnn (hundredths of inHg), whichever comes first, as the altimeter;
/// - the remark SLPnnn as the sea-level pressure, 9nn.n hPa for nnn of 500 and above, else
///   10nn.n; SLPNO leaves it empty.
/// A trend (NOSIG, BECMG, TEMPO) ends the observed groups: what follows is a forecast.
class MetarDecoder
{
public:
    /// The observation of the report, or nothing for a NIL report or one without a station
    /// id and a valid DDHHMMZ time. The report's day is a day of `month` (its year and month;
    /// the day of the date is not used). Text from the first "=" on is not part of the report.
    static std::optional<Observation> decode(QStringView report, QDate month);
};

} // namespace brimlark
