#include "toolkit/fileslist/FilesToPDF.h"

#include "common/TemporaryFileNames.h"
#include "platform/PdfDocument.h"
#include "platform/PdfOutline.h"
#include "toolkit/fileslist/FileListItem.h"
#include "toolkit/fileslist/PDFListItem.h"
#include "toolkit/helpers/PDFPrintPermission.h"
#include "toolkit/helpers/BlankPDFPages.h"
#include "toolkit/helpers/PDFFilePages.h"
#include "toolkit/html/HTMLToPDF.h"
#include "toolkit/html/PDFReplaceByMove.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/options/ToolkitProgress.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <QFile>

#include <vector>

namespace {

// The merged document as the items fill it, and its outline: one entry per item that gave pages.
// Pages are copied whole into it, so no item's own document has to outlive its step.
class MergedPDF {
public:
    explicit MergedPDF(const FilesToPDFConversionOptions& options)
        : m_options(options)
        , m_document(CreateMergedPDF())
    {
    }

    // False when the item should have given pages and could not: the merged file is still
    // written without it, and the run reports it. A missing PDF, one that stays locked, an empty
    // one and an item of no known kind are skipped.
    bool add(const ConversionListItem& item)
    {
        switch (FileListItem::type(item)) {
        case ConversionFileType::Image:
            return addImage(item);
        case ConversionFileType::TextDocument:
        case ConversionFileType::HTMLFile:
            return addPrinted(item);
        case ConversionFileType::PDFDocument:
            return addPDF(item);
        default:
            return true;
        }
    }

    // Nothing is written for a list that gave no page: a PDF without pages opens nowhere.
    bool write()
    {
        if (m_document->pageCount() == 0)
            return false;
        ToolkitProgress::Report(m_options.progress, ToolkitProgress::MergedPDFWriting);
        m_document->setOutlineRoot(m_outline);
        const bool written = WritePDFByReplaceByMove(*m_document, m_options.destinationURL, m_options.pdfWriteOptions);
        ToolkitProgress::Report(m_options.progress, ToolkitProgress::MergedPDFWritten);
        return written;
    }

private:
    int pageCount() const { return m_document->pageCount(); }

    // The top left corner of a merged page, where an item's entry opens it.
    PdfDestination topOf(int pageIndex) const
    {
        return PdfDestination{pageIndex, QPointF(0, m_document->cropBox(pageIndex).height())};
    }

    void addEntry(const ConversionListItem& item, int firstPage)
    {
        if (!m_options.addOutlineEntries)
            return;
        PdfOutline entry(FileListItem::label(item));
        entry.setDestination(topOf(firstPage));
        m_outline.appendChild(std::move(entry));
    }

    bool addImage(const ConversionListItem& item)
    {
        ImageToPDFConverter converter;
        FileListItem::setUp(converter, m_options);
        long long insertIndex = pageCount();
        const int firstPage = pageCount();
        if (!converter.AddImageFileToDocument(FileListItem::file(item), *m_document, insertIndex,
                                              FileListItem::angle(item)))
            return false;
        addEntry(item, firstPage);
        return true;
    }

    // Text documents and HTML files are printed to a scratch file, whose pages are taken without
    // the blank ones.
    bool addPrinted(const ConversionListItem& item)
    {
        const QUrl scratch = WBQUtil::GetTemporaryURL();
        if (scratch.isEmpty())
            return false;
        const bool taken = print(item, scratch) && takePrintedPages(item, scratch);
        QFile::remove(scratch.toLocalFile());
        return taken;
    }

    bool print(const ConversionListItem& item, const QUrl& scratch) const
    {
        if (FileListItem::type(item) == ConversionFileType::HTMLFile) {
            HTMLToPDF converter;
            FileListItem::setUp(converter, m_options, true);
            converter.SetTempDestinationURL(scratch);
            return converter.SaveAsPDF(FileListItem::file(item));
        }
        TextToPDFConverter converter;
        FileListItem::setUp(converter, m_options, true);
        return converter.ConvertTextFileToPDF(FileListItem::file(item), scratch);
    }

    bool takePrintedPages(const ConversionListItem& item, const QUrl& scratch)
    {
        QFile file(scratch.toLocalFile());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        const std::unique_ptr<PdfDocument> printed = PdfDocument::open(bytes);
        if (!printed)
            return false;
        const QSet<int> blank = AsSet(BlankPageIndexes(bytes));
        const int firstPage = pageCount();
        for (int index = 0; index < printed->pageCount(); ++index) {
            if (!blank.contains(index))
                m_document->appendPageCopy(*printed, index);
        }
        if (pageCount() > firstPage)
            addEntry(item, firstPage);
        return true;
    }

    bool addPDF(const ConversionListItem& item)
    {
        PDFListItem pdf = PDFListItem::open(item);
        if (pdf.state != PDFListItem::State::Usable) {
            pdf.warnNotTaken(item, PDFPrintPermission::LeftOut());
            return pdf.state != PDFListItem::State::Unreadable; // missing, locked and empty PDFs are skipped
        }
        RotatePages(*pdf.document, FileListItem::angle(item));
        std::vector<int> mergedIndex(static_cast<std::size_t>(pdf.document->pageCount()), -1);
        for (int index = 0; index < pdf.document->pageCount(); ++index) {
            if (m_document->appendPageCopy(*pdf.document, index))
                mergedIndex[static_cast<std::size_t>(index)] = pageCount() - 1;
        }
        if (m_options.addOutlineEntries && mergedIndex.front() >= 0)
            m_outline.appendChild(entryForPDF(item, *pdf.document, mergedIndex));
        return true;
    }

    // The file's own outline hangs under an entry named after the file, pointing into the merged
    // pages; an entry whose page did not make it in stays as a plain label.
    PdfOutline entryForPDF(const ConversionListItem& item, const PdfDocument& source,
                           const std::vector<int>& mergedIndex) const
    {
        PdfOutline entry(FileListItem::label(item));
        entry.setDestination(topOf(mergedIndex.front()));
        const PdfOutline own = source.outline();
        for (const PdfOutline& child : own.children())
            entry.appendChild(moved(child, mergedIndex));
        return entry;
    }

    static PdfOutline moved(const PdfOutline& sourceEntry, const std::vector<int>& mergedIndex)
    {
        PdfOutline entry(sourceEntry.label());
        if (const std::optional<PdfDestination>& destination = sourceEntry.destination()) {
            const int page = destination->pageIndex;
            if (page >= 0 && static_cast<std::size_t>(page) < mergedIndex.size()
                && mergedIndex[static_cast<std::size_t>(page)] >= 0)
                entry.setDestination(PdfDestination{mergedIndex[static_cast<std::size_t>(page)], destination->point});
        }
        for (const PdfOutline& child : sourceEntry.children())
            entry.appendChild(moved(child, mergedIndex));
        return entry;
    }

    const FilesToPDFConversionOptions& m_options;
    std::unique_ptr<PdfDocument> m_document;
    PdfOutline m_outline;
};

} // namespace

bool ConvertFilesToSinglePDF(const FilesToPDFConversionOptions& options)
{
    MergedPDF merged(options);
    bool everyItemAdded = true;
    for (const ConversionListItem& item : options.items) {
        if (item.isEmpty())
            continue;
        ToolkitProgress::Report(options.progress, ToolkitProgress::ItemStarted);
        if (!merged.add(item))
            everyItemAdded = false;
        if (FileListItem::isCancelled(options))
            return false;
    }
    return merged.write() && everyItemAdded;
}
