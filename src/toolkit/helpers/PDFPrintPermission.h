#pragma once

#include <QString>
#include <QUrl>

class PdfDocument;

// The toolkit's one rule for a PDF whose author forbids printing it: its pages go into no PDF the
// toolkit makes (they would leave its restrictions behind). Wherever such a file, or one that does
// not open, is left out or passed on as it is, the log names it and says why.
namespace PDFPrintPermission {

bool ForbidsPrinting(const PdfDocument& document);

// "<file>: <what became of it>: <why>", as a warning.
void Warn(const QUrl& file, const QString& outcome, const QString& why);

inline QString LeftOut()
{
    return QStringLiteral("left out");
}
inline QString CopiedAsItIs()
{
    return QStringLiteral("copied as it is, not converted");
}
inline QString PrintingForbidden()
{
    return QStringLiteral("its author forbids printing it");
}
inline QString PasswordRefused()
{
    return QStringLiteral("it is encrypted and its password does not open it");
}

} // namespace PDFPrintPermission
