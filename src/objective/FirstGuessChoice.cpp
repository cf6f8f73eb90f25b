// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "objective/FirstGuessChoice.h"

#include "base/ChartError.h"

#include <QStringList>

#include <cmath>

namespace brimlark
{

double FirstGuessChoice::defaultInterval(ContourValue::Quantity quantity)
{
    return quantity == ContourValue::Quantity::Pressure ? 4 : 5;
}

FirstGuessChoice FirstGuessChoice::parse(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    const QString field = colon < 0 ? text : text.first(colon);
    const QuantityNames *names = QuantityNames::byField(field);
    if (!names) {
        QStringList fields;
        for (const QuantityNames &n : QuantityNames::all())
            fields.append(QLatin1StringView(n.field));
        throw ChartError(QStringLiteral("The first guess analyses %1, not \"%2\"")
                             .arg(fields.join(QStringLiteral(", ")), field));
    }
    FirstGuessChoice choice{names->quantity, defaultInterval(names->quantity)};
    if (colon < 0)
        return choice;
    bool number = false;
    choice.interval = text.sliced(colon + 1).toDouble(&number);
    if (!number || !(choice.interval >= SmallestInterval && choice.interval <= LargestInterval))
        throw ChartError(QStringLiteral("The interval of the isolines must be a number from %1 "
                                        "to %2, not \"%3\"")
                             .arg(SmallestInterval)
                             .arg(LargestInterval)
                             .arg(text.sliced(colon + 1)));
    return choice;
}

} // namespace brimlark
