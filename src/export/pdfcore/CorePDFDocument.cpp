#include "export/pdfcore/CorePDFDocument.h"

#include "export/pdfcore/PDFCoreSettings.h"

#include <Object.h>
#include <Stream.h>
#include <goo/GooString.h>

namespace PDFCore {

std::unique_ptr<CorePDFDocument> CorePDFDocument::keepIfOpen(std::unique_ptr<CorePDFDocument> opened)
{
    if (!opened->doc || !opened->doc->isOk())
        return nullptr;
    return opened;
}

std::unique_ptr<CorePDFDocument> CorePDFDocument::fromFile(const QString& path)
{
    PDFCoreSettings::ensureInitialised();
    std::unique_ptr<CorePDFDocument> opened(new CorePDFDocument());
    opened->doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path.toStdString()));
    return keepIfOpen(std::move(opened));
}

std::unique_ptr<CorePDFDocument> CorePDFDocument::fromBytes(QByteArray bytes)
{
    PDFCoreSettings::ensureInitialised();
    std::unique_ptr<CorePDFDocument> opened(new CorePDFDocument());
    opened->bytes = std::move(bytes);
    opened->bytes.detach();
    auto* stream = new MemStream(opened->bytes.constData(), 0, opened->bytes.size(), Object(objNull));
    // The document takes ownership of its stream.
    opened->doc = std::make_unique<PDFDoc>(stream);
    return keepIfOpen(std::move(opened));
}

} // namespace PDFCore
