#include "app/presets/PresetDialogTexts.h"

#include "common/LocalizedStrings.h"

#include <QLatin1StringView>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, const char*>, 9> kEnglishTexts{{
    {"EmptyPresetAlertTitle", "Please enter a name for the preset."},
    {"DefaultPresetAlertTitle", "\"%1\" is the name of a standard page size. Please choose another name."},
    {"PresetExistAlertMsg", "A preset named \"%1\" already exists. Do you want to replace it?"},
    {"ReplaceButtonTitle", "Replace"},
    {"NoTitle", "No"},
    {"OkButtonString", "OK"},
    {"RemoveExistPresetAlertMsg", "Do you want to remove the preset \"%1\"?"},
    {"RemoveButtonTitle", "Remove"},
    {"PresetNotExistAlertMsg", "There is no preset named \"%1\"."},
}};

} // namespace

QString PresetDialogText(const char* key)
{
    // The text table answers an unknown key with the key itself.
    const QString text = Localized(key);
    if (text != QLatin1StringView(key))
        return text;
    for (const auto& [name, english] : kEnglishTexts) {
        if (QLatin1StringView(name) == QLatin1StringView(key))
            return QString::fromUtf8(english);
    }
    return QStringLiteral("");
}

QString PresetDialogText(const char* key, const QString& presetName)
{
    // A single argument: a "%1" or "%2" inside the name is shown as typed.
    return PresetDialogText(key).arg(presetName);
}
