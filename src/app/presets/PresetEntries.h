#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Typed reading of values from the preference files. The files may have been edited by hand, so a
// value of the wrong type counts as absent instead of being coerced.
namespace PresetEntries {

inline const QString kPresetIndexKey = QStringLiteral("PresetIndex");
inline const QString kInputTypeKey = QStringLiteral("InputType");
// The field texts of a preset, in the order width, height, left, top, right, bottom.
inline const QStringList kValueKeys{QStringLiteral("Width"), QStringLiteral("Height"), QStringLiteral("Left"),
                                    QStringLiteral("Top"),   QStringLiteral("Right"),  QStringLiteral("Bottom")};

std::optional<qint64> integerValue(const QVariant& value);
std::optional<QString> stringValue(const QVariant& value);

// The preset's entry, when the file holds one of this name that is a dictionary.
std::optional<QVariantMap> presetEntry(const QVariantMap& presets, const QString& name);

// The preset's position among the presets, when it holds one.
std::optional<qint64> presetPosition(const QVariantMap& entry);

// Names of the presets (dictionary entries with a non-empty name) in order of their positions;
// entries without a position follow the others.
QStringList namesInPresetOrder(const QVariantMap& presets);

// The number of presets in the file, as namesInPresetOrder counts them.
int presetCount(const QVariantMap& presets);

} // namespace PresetEntries
