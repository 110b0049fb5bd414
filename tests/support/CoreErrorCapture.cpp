#include "support/CoreErrorCapture.h"

#include <Error.h>

namespace {

QStringList& captured()
{
    static QStringList messages;
    return messages;
}

void collect(ErrorCategory /*category*/, Goffset /*pos*/, const char* message)
{
    captured().append(QString::fromUtf8(message));
}

} // namespace

CoreErrorCapture::CoreErrorCapture()
{
    captured().clear();
    setErrorCallback(&collect);
}

CoreErrorCapture::~CoreErrorCapture()
{
    setErrorCallback(nullptr);
    captured().clear();
}

const QStringList& CoreErrorCapture::messages() const
{
    return captured();
}
