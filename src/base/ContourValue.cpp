// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/ContourValue.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

using Q = ContourValue::Quantity;

constexpr QuantityNames Names[] = {{Q::Pressure, "pressure", "Pressure", "isobar"},
                                   {Q::Temperature, "temperature", "Temperature", "isotherm"},
                                   {Q::DewPoint, "dewpoint", "Dew point", "isodrosotherm"}};

template <typename Member> const QuantityNames *findBy(Member member, QStringView name)
{
    const auto *found = std::find_if(std::begin(Names), std::end(Names), [&](const auto &names) {
        return name == QLatin1StringView(names.*member);
    });
    return found == std::end(Names) ? nullptr : found;
}

} // namespace

QString ContourValue::label() const
{
    return value == std::round(value) ? QString::number(qint64(value)) : QString::number(value);
}

std::span<const QuantityNames> QuantityNames::all() { return Names; }

const QuantityNames &QuantityNames::of(ContourValue::Quantity quantity)
{
    return Names[int(quantity)];
}

const QuantityNames *QuantityNames::byField(QStringView field)
{
    return findBy(&QuantityNames::field, field);
}

const QuantityNames *QuantityNames::byKind(QStringView kind)
{
    return findBy(&QuantityNames::kind, kind);
}

} // namespace brimlark
