// A whole PDF as the mixed lists take it: opened with a password, its pages turned, its outline read
// and its pages copied into a new document that is written to memory.

#include "platform/PdfDocument.h"
#include "platform/PdfOutline.h"

#include "FuzzInput.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// The fuzz input's first byte picks the password, so that locked inputs are opened both ways.
QString PasswordFor(std::uint8_t selector)
{
    switch (selector % 3) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("open");
    default:
        return QStringLiteral("owner");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes = FuzzInput::bytes(data + 1, size - 1);
    bool refused = false;
    const std::unique_ptr<PdfDocument> document = PdfDocument::open(bytes, PasswordFor(data[0]), &refused);
    if (!document)
        return 0;
    (void)document->isEncrypted();
    (void)document->allowsPrinting();
    const PdfOutline outline = document->outline();
    (void)outline.descendantCount();
    const std::unique_ptr<PdfDocument> copy = PdfDocument::create();
    // A few pages are enough: a damaged tree can claim millions.
    const int pages = std::min(document->pageCount(), 8);
    for (int index = 0; index < pages; ++index) {
        document->setPageRotation(index, document->pageRotation(index) + 90);
        (void)document->cropBox(index);
        copy->appendPageCopy(*document, index);
    }
    copy->setOutlineRoot(outline);
    (void)copy->toBytes();
    return 0;
}
