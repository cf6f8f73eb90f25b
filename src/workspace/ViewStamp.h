// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"

#include <QImage>
#include <QString>

#include <optional>

namespace brimlark
{

/// The view a chart picture carries, so that a chart loaded later is placed on the globe as
/// it was drawn. A PNG keeps it in a text chunk and a JPEG in a comment, both under the key
/// "Brimlark-View": latitude, longitude, zoom, width and height, separated by spaces
/// ("45 -96 0.9 1000 700"), each number in the fewest digits that read back as exactly it.
class ViewStamp
{
public:
    /// The key of the picture text.
    static const QString Key;

    /// The text of a view.
    static QString text(const ViewValues &view);
    /// The view of a text: five numbers, each within the range the map-maker fields take;
    /// none for anything else.
    static std::optional<ViewValues> parse(const QString &text);
    /// The view a picture carries in its text under Key, when it is one and is for the
    /// picture's size: a view of another size does not describe the picture (one scaled by
    /// another program, for one), and placing positions with it would put them astray.
    static std::optional<ViewValues> of(const QImage &picture);
};

} // namespace brimlark
