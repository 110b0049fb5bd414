#include "app/presets/PresetEntries.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace PresetEntries {

std::optional<qint64> integerValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    return value.toLongLong();
}

std::optional<QString> stringValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<QVariantMap> presetEntry(const QVariantMap& presets, const QString& name)
{
    const auto found = presets.constFind(name);
    if (found == presets.constEnd() || found->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return found->toMap();
}

std::optional<qint64> presetPosition(const QVariantMap& entry)
{
    return integerValue(entry.value(kPresetIndexKey));
}

QStringList namesInPresetOrder(const QVariantMap& presets)
{
    // An entry without a position sorts after every position, which keeps the order a strict weak
    // ordering (an entry "equal to everything" would not be one).
    std::vector<std::pair<qint64, QString>> ordered;
    for (auto it = presets.constBegin(); it != presets.constEnd(); ++it) {
        if (it.key().isEmpty() || it->typeId() != QMetaType::QVariantMap)
            continue;
        const qint64 position = presetPosition(it->toMap()).value_or(std::numeric_limits<qint64>::max());
        ordered.emplace_back(position, it.key());
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList names;
    for (const auto& [position, name] : ordered)
        names << name;
    return names;
}

int presetCount(const QVariantMap& presets)
{
    return static_cast<int>(namesInPresetOrder(presets).size());
}

} // namespace PresetEntries
