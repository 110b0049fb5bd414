#pragma once

#include <QString>

// The texts of the preset dialog's alerts, by their keys ("EmptyPresetAlertTitle", "OkButtonString",
// ...): the application's text table's, or English ones while the table lacks them. Keys whose
// text names a preset take the name in place of %1.
QString PresetDialogText(const char* key);
QString PresetDialogText(const char* key, const QString& presetName);
