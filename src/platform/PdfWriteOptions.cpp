#include "platform/PdfWriteOptions.h"

#include "platform/PdfDocument.h"

#include <QSaveFile>

// qpdf 11 headers warn unless told which PointerHolder era the code is written for.
#define POINTERHOLDER_TRANSITION 4

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool PdfWriteOptions::encrypts() const
{
    return !userPassword.isEmpty() || !ownerPassword.isEmpty() || !allowsPrinting || !allowsCopying;
}

bool WritePdfWithOptions(const PdfDocument& document, const QString& path, const PdfWriteOptions& options,
                         QString* error)
{
    if (!options.encrypts())
        return document.write(path, error);
    const QByteArray plain = document.toBytes();
    if (plain.isEmpty()) {
        SetError(error, QStringLiteral("the document could not be written"));
        return false;
    }
    QByteArray encrypted;
    try {
        QPDF pdf;
        pdf.processMemoryFile("document", plain.constData(), static_cast<size_t>(plain.size()));
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        // Without an owner's password of its own, the user's password is the owner's too: an empty
        // one would hand every permission to whoever types nothing.
        const QByteArray user = options.userPassword.toUtf8();
        const QByteArray owner = (options.ownerPassword.isEmpty() ? options.userPassword : options.ownerPassword).toUtf8();
        writer.setR6EncryptionParameters(user.constData(), owner.constData(), true, options.allowsCopying, true, true,
                                         true, true, options.allowsPrinting ? qpdf_r3p_full : qpdf_r3p_none, true);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        encrypted = QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception& e) {
        SetError(error, QString::fromUtf8(e.what()));
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(encrypted) == encrypted.size() && file.commit())
        return true;
    SetError(error, file.errorString());
    return false;
}
