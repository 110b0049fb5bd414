#pragma once

#include <QString>

// The "console" of the reader's pages: what a page script logs goes to the application's log.
class CHMConsole {
public:
    static void log(const QString& message);
};
