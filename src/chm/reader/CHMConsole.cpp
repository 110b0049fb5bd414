#include "chm/reader/CHMConsole.h"

#include <QDebug>

void CHMConsole::log(const QString& message)
{
    qInfo().noquote() << message;
}
