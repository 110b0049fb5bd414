#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Conversions by LibreOffice run headless: a private profile folder per conversion (two at once
// never share one), a time limit after which the process is killed, and the output checked to
// exist and hold bytes, since soffice exits with 0 when it converted nothing.
namespace LibreOfficeConversion {

// True when soffice can be found on the path.
bool IsAvailable();

// Converts the bytes of a document (its extension tells LibreOffice the format) with a
// "--convert-to" target such as "docx:MS Word 2007 XML", returning the bytes of the file made.
std::optional<QByteArray> Convert(const QByteArray& input, const QString& inputExtension, const QString& target,
                                  const QString& outputExtension, QString* error = nullptr,
                                  int timeoutSeconds = 180);

} // namespace LibreOfficeConversion
