#pragma once

#include <QString>

// The application's texts by key. A text that takes arguments is a format whose places are
// %1, %2, ... for QString::arg. An unknown key gives the key itself.
QString Localized(const char* key);
