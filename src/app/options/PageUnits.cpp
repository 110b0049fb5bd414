#include "app/options/PageUnits.h"

#include <cmath>

namespace PageUnits {

namespace {

struct Unit {
    int tag;
    double pointsPerUnit;
    const char* title;
    const char* storageName;
};

// Exact factors: a point is 1/72 inch and an inch 25.4 mm, so A4 (210 x 297 mm) is 595.28 x 841.89.
constexpr std::array<Unit, 4> kUnits{{
    {kInchTag, 72.0, "Inches", "in"},
    {kCentimetreTag, 72.0 / 2.54, "Centimeters", "cm"},
    {kMillimetreTag, 72.0 / 25.4, "Millimeters", "mm"},
    {kPointTag, 1.0, "Points", "pt"},
}};

const Unit* findUnit(int tag)
{
    for (const Unit& unit : kUnits) {
        if (unit.tag == tag)
            return &unit;
    }
    return nullptr;
}

} // namespace

double SizeTypeFactor(int tag)
{
    const Unit* unit = findUnit(tag);
    return unit ? unit->pointsPerUnit : -1.0;
}

QString unitTitle(int tag)
{
    const Unit* unit = findUnit(tag);
    return unit ? QString::fromLatin1(unit->title) : QString();
}

QString unitStorageName(int tag)
{
    const Unit* unit = findUnit(tag);
    return unit ? QString::fromLatin1(unit->storageName) : QString();
}

std::optional<int> unitTagForStoredName(const QString& name)
{
    const QString wanted = name.trimmed();
    for (const Unit& unit : kUnits) {
        if (wanted.compare(QLatin1String(unit.storageName), Qt::CaseInsensitive) == 0
            || wanted.compare(QLatin1String(unit.title), Qt::CaseInsensitive) == 0)
            return unit.tag;
    }
    return std::nullopt;
}

double convertForUnitChange(double value, int fromTag, int toTag)
{
    const double ratio = SizeTypeFactor(fromTag) / SizeTypeFactor(toTag);
    return std::floor(value * ratio * 100.0 + 0.5) / 100.0;
}

} // namespace PageUnits
