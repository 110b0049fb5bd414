#include "toolkit/fileslist/PDFListItem.h"

#include "platform/PdfDocument.h"
#include "toolkit/fileslist/FileListItem.h"
#include "toolkit/helpers/PDFPrintPermission.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kFullTurn = 360;

} // namespace

PDFListItem PDFListItem::open(const ConversionListItem& item)
{
    PDFListItem opened;
    const QUrl url = FileListItem::file(item);
    QFile file(url.toLocalFile());
    if (!url.isLocalFile() || !QFileInfo(file).isFile())
        return opened;
    opened.state = State::Unreadable;
    if (!file.open(QIODevice::ReadOnly))
        return opened;
    bool passwordRefused = false;
    opened.document = PdfDocument::open(file.readAll(), FileListItem::password(item), &passwordRefused);
    if (!opened.document) {
        opened.state = passwordRefused ? State::Locked : State::Unreadable;
        return opened;
    }
    if (PDFPrintPermission::ForbidsPrinting(*opened.document)) {
        opened.document.reset();
        opened.state = State::Forbidden;
        return opened;
    }
    opened.state = opened.document->pageCount() > 0 ? State::Usable : State::Empty;
    return opened;
}

void PDFListItem::warnNotTaken(const ConversionListItem& item, const QString& outcome) const
{
    if (state == State::Locked || state == State::Forbidden)
        PDFPrintPermission::Warn(FileListItem::file(item), outcome,
                                 state == State::Locked ? PDFPrintPermission::PasswordRefused()
                                                        : PDFPrintPermission::PrintingForbidden());
}

void RotatePages(PdfDocument& document, int angle)
{
    if (angle == 0)
        return;
    for (int index = 0; index < document.pageCount(); ++index) {
        int rotation = document.pageRotation(index) + angle;
        if (rotation >= kFullTurn)
            rotation -= kFullTurn;
        else if (rotation <= -kFullTurn)
            rotation += kFullTurn;
        // Refused, and so left as it was, when not a multiple of 90.
        document.setPageRotation(index, rotation);
    }
}
