#include "toolkit/fileslist/FilesToPDF.h"

#include "common/UniqueFileNames.h"
#include "platform/PdfDocument.h"
#include "platform/PdfWriteOptions.h"
#include "toolkit/fileslist/FileListItem.h"
#include "toolkit/fileslist/PDFListItem.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/helpers/PDFPrintPermission.h"
#include "toolkit/html/HTMLToPDF.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/options/ToolkitProgress.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <QFile>

#include <optional>

// Each item's output name is chosen before it is converted, among names nothing has: no item
// replaces a file that was there before, nor another item's output.

namespace {

bool ImageItemToPDF(const FilesToPDFConversionOptions& options, const ConversionListItem& item, const QUrl& output)
{
    ImageToPDFConverter converter;
    FileListItem::setUp(converter, options);
    const std::unique_ptr<PdfDocument> document = CreateMergedPDF();
    long long insertIndex = 0;
    if (!converter.AddImageFileToDocument(FileListItem::file(item), *document, insertIndex,
                                          FileListItem::angle(item)))
        return false;
    if (WritePDFByReplaceByMove(*document, output, options.pdfWriteOptions))
        return true;
    // Without the scratch file's road the document may still be written where it belongs.
    return WritePDFDirectly(*document, output, options.pdfWriteOptions);
}

bool TextItemToPDF(const FilesToPDFConversionOptions& options, const ConversionListItem& item, const QUrl& output)
{
    TextToPDFConverter converter;
    FileListItem::setUp(converter, options, false);
    return converter.ConvertTextFileToPDF(FileListItem::file(item), output);
}

bool HTMLItemToPDF(const FilesToPDFConversionOptions& options, const ConversionListItem& item, const QUrl& output)
{
    HTMLToPDF converter;
    FileListItem::setUp(converter, options, false);
    converter.SetTempDestinationURL(output);
    return converter.SaveAsPDF(FileListItem::file(item));
}

// A PDF that cannot be rewritten still reaches its output name as it is. QFile::copy never
// replaces a file, and leaves nothing behind when it fails.
bool CopyUnchanged(const ConversionListItem& item, const QUrl& output)
{
    return output.isLocalFile() && QFile::copy(FileListItem::file(item).toLocalFile(), output.toLocalFile());
}

// Nothing for an item that is skipped: a PDF that is not there leaves the result as it was.
// A run asked to encrypt copies only a file that is locked already: any other copy would hand out
// as protected a file anyone can open.
std::optional<bool> PDFItemToPDF(const FilesToPDFConversionOptions& options, const ConversionListItem& item,
                                 const QUrl& output)
{
    const PDFListItem pdf = PDFListItem::open(item);
    const bool encrypting = PDFWriteOptionsFromDictionary(options.pdfWriteOptions).encrypts();
    switch (pdf.state) {
    case PDFListItem::State::Missing:
        return std::nullopt;
    case PDFListItem::State::Unreadable:
        return false;
    case PDFListItem::State::Locked:
    case PDFListItem::State::Forbidden:
        pdf.warnNotTaken(item, PDFPrintPermission::CopiedAsItIs());
        return CopyUnchanged(item, output);
    case PDFListItem::State::Empty:
        if (encrypting)
            return WritePDFByReplaceByMove(*pdf.document, output, options.pdfWriteOptions);
        return CopyUnchanged(item, output);
    case PDFListItem::State::Usable:
        break;
    }
    RotatePages(*pdf.document, FileListItem::angle(item));
    if (WritePDFByReplaceByMove(*pdf.document, output, options.pdfWriteOptions))
        return true;
    return !encrypting && CopyUnchanged(item, output);
}

std::optional<bool> ItemToPDF(const FilesToPDFConversionOptions& options, const ConversionListItem& item,
                              const QUrl& output)
{
    switch (FileListItem::type(item)) {
    case ConversionFileType::Image:
        return ImageItemToPDF(options, item, output);
    case ConversionFileType::TextDocument:
        return TextItemToPDF(options, item, output);
    case ConversionFileType::PDFDocument:
        return PDFItemToPDF(options, item, output);
    case ConversionFileType::HTMLFile:
        return HTMLItemToPDF(options, item, output);
    default:
        return std::nullopt;
    }
}

} // namespace

bool ConvertFilesToSeparatePDFs(const FilesToPDFConversionOptions& options)
{
    bool result = true;
    for (const ConversionListItem& item : options.items) {
        if (item.isEmpty())
            continue;
        const QUrl output = WBQUtil::GetUniqueOutputURL(options.destinationURL, FileListItem::file(item),
                                                        QStringLiteral("pdf"), false);
        ToolkitProgress::Report(options.progress, ToolkitProgress::ItemStarted);
        // An item that fails does not hold up the others, but the run reports it.
        if (const std::optional<bool> converted = ItemToPDF(options, item, output); converted && !*converted)
            result = false;
        if (FileListItem::isCancelled(options))
            return false;
    }
    return result;
}
