#include "toolkit-warnings.h"

#include <cstdio>

namespace {

thread_local WarningCapture* t_capture = nullptr;

} // namespace

void HandleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    WarningCapture* const capture = t_capture;
    if (capture && type != QtDebugMsg && type != QtInfoMsg)
        capture->m_warnings << message;
    if (!capture || capture->m_echo == WarningCapture::Echo::Print)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void InstallWarningCapture()
{
    qInstallMessageHandler(HandleMessage);
}

WarningCapture::WarningCapture(Echo echo)
    : m_echo(echo)
    , m_outer(t_capture)
{
    t_capture = this;
}

WarningCapture::~WarningCapture()
{
    t_capture = m_outer;
}
