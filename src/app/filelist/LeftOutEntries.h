#pragma once

#include <QString>

#include <optional>

struct PendingFileListItems;

// What an addition tells the user about the entries chosen that gave no row: one alert for the
// whole addition, naming them with the reason, at most a handful by name.
struct LeftOutAlert {
    QString title;
    QString message;
};

// Nothing when every entry chosen gave rows.
std::optional<LeftOutAlert> LeftOutAlertFor(const PendingFileListItems& addition);
