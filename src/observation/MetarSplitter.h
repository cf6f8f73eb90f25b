// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace brimlark
{

/// Cuts the text of an observations file into reports, as data feeds lay them out:
///
///     455                                    bulletin sequence number
///     SAUS70 KWBC 011200 RRA                 WMO heading, with a delay/correction group
///     METAR                                  the kind of the reports that follow
///     KIPJ 011150Z AUTO 00000KT 7SM CLR 21/21 A3002 RMK AO2 70004
///          T02120212 10225 20196=            continuation, indented
///     METAR MHLC 011200Z 06002KT 9999 FEW028 BKN200 22/22 Q1011 A2986
///     NOSIG=                                 continuation of an unfinished report
///
/// A report starts on a line whose first group (after METAR or SPECI and COR) is a station
/// id followed by a DDHHMMZ time or NIL, or on any line of METAR or SPECI and a station id.
/// It ends at "=", or at the next line that is not a continuation: indented lines always
/// continue it, others unless they are the framing of a bulletin (a sequence number, a
/// heading, METAR or SPECI alone or with a time, TTF.., TX_.., RMKS.., NNNN, ZCZC). Blank
/// lines do not end a report, as feeds put them between a report and its continuation.
/// Lines outside reports are passed over. Line ends are LF, CR LF or CR; the WMO start and
/// end marks SOH and ETX end a line too.
class MetarSplitter
{
public:
    /// Each report's text, its lines joined by a blank, up to and without its "=".
    static QStringList split(QStringView text);
};

} // namespace brimlark
