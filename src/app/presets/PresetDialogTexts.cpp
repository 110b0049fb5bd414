#include "app/presets/PresetDialogTexts.h"

#include <array>
#include <cstring>

namespace {

struct KeyedText {
    const char* key;
    const char* text;
};

constexpr std::array<KeyedText, 9> kTexts{{
    {"EmptyPresetAlertTitle", "Please enter a name for the preset."},
    {"DefaultPresetAlertTitle", "\"%@\" is the name of a standard page size. Please choose another name."},
    {"PresetExistAlertMsg", "A preset named \"%@\" already exists. Do you want to replace it?"},
    {"ReplaceButtonTitle", "Replace"},
    {"NoTitle", "No"},
    {"OkButtonString", "OK"},
    {"RemoveExistPresetAlertMsg", "Do you want to remove the preset \"%@\"?"},
    {"RemoveButtonTitle", "Remove"},
    {"PresetNotExistAlertMsg", "There is no preset named \"%@\"."},
}};

} // namespace

QString PresetDialogText(const char* key)
{
    for (const KeyedText& entry : kTexts) {
        if (std::strcmp(entry.key, key) == 0)
            return QString::fromUtf8(entry.text);
    }
    return QStringLiteral("");
}

QString PresetDialogText(const char* key, const QString& presetName)
{
    // One replacement over the format only: a "%@" inside the name stays as typed.
    const QString format = PresetDialogText(key);
    const qsizetype at = format.indexOf(QStringLiteral("%@"));
    if (at < 0)
        return format;
    return format.left(at) + presetName + format.mid(at + 2);
}
