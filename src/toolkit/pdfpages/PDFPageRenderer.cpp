#include "toolkit/pdfpages/PDFPageRenderer.h"

#include "common/UniqueFileNames.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageExtension.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/helpers/UnitConversion.h"
#include "toolkit/imageio/PopplerGlobals.h"
#include "toolkit/pdfpages/MultiPageTIFFFile.h"
#include "toolkit/pdfpages/PDFPageRun.h"
#include "toolkit/pdfpages/PDFPageSelection.h"

#include <QFile>
#include <QFileInfo>

#include <poppler/Object.h>
#include <poppler/PDFDoc.h>
#include <poppler/goo/GooString.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

void FillInResolution(ImageConverter& converter)
{
    if (converter.m_dpiX == 0)
        converter.m_dpiX = converter.m_dpiY;
    if (converter.m_dpiX == 0)
        converter.m_dpiX = converter.m_dpiY = 72;
    if (converter.m_dpiY == 0)
        converter.m_dpiY = converter.m_dpiX;
}

void SizeInPoints(ImageSizeOptions& size)
{
    if (size.unit == LengthUnit::Pixels || size.unit == LengthUnit::Points)
        return;
    size.width = UnitToPoints(size.unit, size.width);
    size.height = UnitToPoints(size.unit, size.height);
}

// A worker thread's own copy of the document: Poppler's documents are not shared between threads.
std::unique_ptr<PDFDoc> OpenWorkerDocument(const PDFSourceDocument& source)
{
    std::optional<GooString> password;
    if (!source.password().isEmpty())
        password = GooString(source.password().constData(), size_t(source.password().size()));
    auto document = std::make_unique<PDFDoc>(std::make_unique<GooString>(QFile::encodeName(source.path()).toStdString()),
                                             password, password);
    return document->isOk() ? std::move(document) : nullptr;
}

int WorkerCount(const ImageConverter& converter)
{
    const int processors = int(std::thread::hardware_concurrency());
    return converter.m_concurrent && processors - 1 >= 1 ? processors - 1 : 1;
}

struct PageJob {
    std::int64_t page;
    std::int64_t index;
    QUrl output;
};

void RunOnWorkers(PDFPageRun& run, const std::vector<PageJob>& jobs, int workers)
{
    std::atomic<size_t> next{0};
    auto work = [&] {
        std::unique_ptr<PDFDoc> document = OpenWorkerDocument(*run.converter.m_pdfDocument);
        if (!document) {
            run.fail();
            return;
        }
        for (size_t job = next++; job < jobs.size() && !run.shouldStop(); job = next++)
            RenderPDFPage(run, *document, jobs[job].page, jobs[job].index, jobs[job].output, nullptr);
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < std::min<int>(workers, int(jobs.size())); ++i)
        threads.emplace_back(work);
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace

QString GetOutputExtension(const ImageConverter& converter)
{
    return GetImageExtension(converter.m_outputType);
}

bool RenderPDFPages(ImageConverter& converter, bool applySize, ImageSizeOptions size)
{
    PDFDoc* document = converter.m_pdfDocument ? converter.m_pdfDocument->document() : nullptr;
    if (!document)
        return false;
    EnsurePopplerGlobals();
    if (applySize)
        SizeInPoints(size);
    const std::int64_t pageCount = document->getNumPages();
    const int digits = int(QString::number(pageCount).size());
    const PDFPageSelection pages = SelectPDFPages(converter, pageCount);
    FillInResolution(converter);
    const QString baseName = !converter.m_baseName.isEmpty() ? converter.m_baseName
                                                             : QFileInfo(converter.m_sourceURL.path()).completeBaseName();
    const std::int64_t count = pages.last - pages.first + 1;
    if (pages.first == pages.last && converter.m_outputType == ImageType::MultiPageTIFF)
        converter.m_outputType = ImageType::TIFF;
    const bool multiPage = converter.m_outputType == ImageType::MultiPageTIFF;

    PDFPageRun run{converter, applySize, size, std::max(converter.m_dpiX, converter.m_dpiY) / 72.0, count};
    // Page 0 and other pages that do not exist render nothing, which is no success.
    if (count < 1 || pages.first < 1)
        return false;
    const int workers = WorkerCount(converter);
    const QString extension = GetImageExtension(converter.m_outputType);
    std::vector<PageJob> jobs;
    std::unique_ptr<MultiPageTIFFFile> tiff;
    for (std::int64_t page = pages.first, index = 0; page <= pages.last; ++page, ++index) {
        if (run.cancelled())
            break;
        const std::int64_t number = converter.m_numberFromFirstPage ? page + converter.m_firstPage - 1 : page;
        const QString name = pageCount == 1 || multiPage
                                 ? baseName
                                 : QStringLiteral("%1-%2").arg(baseName).arg(number, digits, 10, QLatin1Char('0'));
        const QUrl output = WBQUtil::GetUniqueFileURL(converter.m_destinationURL, name, extension, converter.m_replaceExisting);
        if (multiPage || count == 1 || workers == 1) {
            if (multiPage && !tiff) {
                tiff = std::make_unique<MultiPageTIFFFile>(output.toLocalFile(), converter.m_replaceExisting != 0);
                if (!tiff->isOpen()) {
                    run.fail();
                    break;
                }
            }
            RenderPDFPage(run, *document, page, index, output, tiff.get());
        } else {
            jobs.push_back({page, index, output});
        }
    }
    RunOnWorkers(run, jobs, workers);
    // A multi-page TIFF takes its name only when every page is in it; a cancelled one is no result.
    if ((multiPage && run.cancelled()) || (tiff && (run.shouldStop() || !tiff->commit())))
        run.fail();
    // A run that failed leaves none of its pages behind, where they would pass for a finished run.
    if (!run.succeeded.load())
        run.removeWritten();
    // A cancelled run of page files keeps the result of the pages it wrote.
    const bool succeeded = run.succeeded.load() && run.pagesOverLimit.load() == 0;
    converter.m_succeeded = succeeded ? 1 : 0;
    return succeeded;
}

bool RenderPDFPagesWithImageRep(ImageConverter& converter)
{
    const std::shared_ptr<PDFImageRep> document = converter.m_pdfImageRep;
    if (!document || document->pageCount() == 0)
        return false;
    const QString baseName = QFileInfo(converter.m_sourceURL.path()).completeBaseName();
    const QString folder = converter.m_destinationURL.toLocalFile();
    const QString extension = GetImageExtension(converter.m_outputType);
    bool result = false;
    for (int index = 0; index < document->pageCount(); ++index) {
        const QString path =
            QStringLiteral("%1/%2-%3.%4").arg(folder, baseName).arg(index + 1, 3, 10, QLatin1Char('0')).arg(extension);
        const std::shared_ptr<PDFImageRep> page = PDFImageRep::fromData(document->data(), index);
        if (!page) {
            result = false;
            continue;
        }
        auto image = std::make_shared<Image>(ImageRepList{page});
        image->setSize(page->size() * 2.0);
        converter.m_image = image;
        converter.m_destinationURL = QUrl::fromLocalFile(path);
        result = converter.WriteAllRepresentations();
        converter.m_currentRep.reset();
        converter.m_image.reset();
    }
    return result;
}
