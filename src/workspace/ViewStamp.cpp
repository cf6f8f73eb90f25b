// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/ViewStamp.h"

#include "base/ChartError.h"
#include "workspace/SavedData.h"

#include <QStringList>

namespace brimlark
{

const QString ViewStamp::Key = QStringLiteral("Brimlark-View");

// The numbers are those the map-maker fields would show for the view, so a chart loaded
// back fills the fields with what they held when it was made.
QString ViewStamp::text(const ViewValues &view)
{
    const SavedFields fields = SavedFields::of(view);
    return QStringList{fields.lat(), fields.lon(), fields.zoom(), fields.width(), fields.height()}
        .join(u' ');
}

// Read as the fields are for Generate, so a stamp is taken exactly when its texts would make
// a map.
std::optional<ViewValues> ViewStamp::parse(const QString &text)
{
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 5)
        return std::nullopt;
    try {
        return SavedFields{{parts[0], parts[1], parts[3], parts[4], parts[2]}}.checkedView();
    } catch (const ChartError &) {
        return std::nullopt;
    }
}

std::optional<ViewValues> ViewStamp::of(const QImage &picture)
{
    const std::optional<ViewValues> view = parse(picture.text(Key));
    if (!view || view->chartWidth != picture.width() || view->chartHeight != picture.height())
        return std::nullopt;
    return view;
}

} // namespace brimlark
