#pragma once

#include <QString>

// The texts of the preset dialog's alerts, by their keys ("EmptyPresetAlertTitle", "OkButtonString",
// ...). Keys whose text names a preset take the name in place of "%@". An unknown key reads as "".
QString PresetDialogText(const char* key);
QString PresetDialogText(const char* key, const QString& presetName);
