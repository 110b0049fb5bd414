#include "toolkit-commands.h"

#include "toolkit/helpers/ImageExtension.h"

#include "toolkit-flags.h"
#include "toolkit-paths.h"
#include "toolkit-warnings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <exception>
#include <memory>
#include <type_traits>

namespace {

enum class Destination {
    File,
    Folder,
    FileWhenMerged
};

// Text only: asking the file system would turn a name's bytes that are not UTF-8 into others.
QString Absolute(const QString& path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path);
}

QUrl FileURL(const QString& path)
{
    return FileURLFromPathBytes(PathBytes(Absolute(path)));
}

// The "FileType" of a mixed list item, from its extension.
std::uint32_t FileTypeOf(const QString& path)
{
    static const QStringList text{"txt", "text", "rtf", "rtfd", "doc", "docx", "odt", "webarchive", "xml", "wordml"};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ConversionFileType::PDFDocument;
    if (IsHTMLFile(FileURL(path)))
        return ConversionFileType::HTMLFile;
    return text.contains(suffix) ? ConversionFileType::TextDocument : ConversionFileType::Image;
}

// The images-to-PDF list knows two kinds: a PDF, whose pages are taken as they are, and an image, which
// is every other file.
std::uint32_t ImageListFileTypeOf(const QString& path)
{
    const bool pdf = QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    return pdf ? ConversionFileType::PDFDocument : ConversionFileType::Image;
}

template <typename Record>
ConversionList ListOf(const QStringList& sources)
{
    constexpr bool imageList = std::is_same_v<Record, ImagesToPDFConversionOptions>;
    ConversionList items;
    for (const QString& source : sources) {
        const std::uint32_t type = imageList ? ImageListFileTypeOf(source) : FileTypeOf(source);
        items.append({{ConversionListKey::FilePath, FileURL(source)}, {ConversionListKey::FileType, type}});
    }
    return items;
}

// The operands into the record: one source, or a list; the destination last (none for an image kept in
// memory).
template <typename Record>
void Place(Record& record, const QStringList& sources, const QString& destination)
{
    if constexpr (requires { record.items; })
        record.items = ListOf<Record>(sources);
    else
        record.sourceURL = FileURL(sources.value(0));
    if (!destination.isEmpty())
        record.destinationURL = FileURL(destination);
}

template <typename Record>
constexpr bool TakesList()
{
    return requires(Record record) { record.items; };
}

template <typename Record>
bool MayStayInMemory(const Record& record)
{
    if constexpr (requires { record.keepImageInMemory; })
        return record.keepImageInMemory != 0;
    else
        return false;
}

template <typename Record>
bool Merged(const Record& record)
{
    if constexpr (requires { record.mergeIntoOne; })
        return record.mergeIntoOne != 0;
    else
        return false;
}

template <typename Record>
QString PasswordOf(const Record& record)
{
    if constexpr (requires { record.password; })
        return record.password;
    else
        return {};
}

template <typename Record>
QString ResultImage(const Record& record)
{
    if constexpr (requires { record.resultImage; }) {
        const auto bitmap = record.resultImage ? record.resultImage->makeBitmapRepresentation() : nullptr;
        if (bitmap)
            return QStringLiteral("%1x%2").arg(bitmap->image().width()).arg(bitmap->image().height());
    }
    return {};
}

// What a person would expect of a flag left out, where the record's zero would mean nothing useful:
// US Letter with half-inch margins, images at their size, JPEG quality 0.9.
template <typename Record>
QStringList StartFromDefaults(Record& record)
{
    QStringList shown;
    if constexpr (requires { record.pageWidth; }) {
        record.pageWidth = 612;
        record.pageHeight = 792;
        shown << QStringLiteral("--page-width 612 --page-height 792 (points)");
    }
    if constexpr (requires { record.leftMargin; }) {
        record.leftMargin = record.rightMargin = record.topMargin = record.bottomMargin = 36;
        shown << QStringLiteral("--left-margin, --right-margin, --top-margin, --bottom-margin 36 (points)");
    }
    if constexpr (requires { record.quality; }) {
        record.quality = 0.9;
        shown << QStringLiteral("--quality 0.9");
    }
    if constexpr (requires { record.imageQuality; }) {
        record.imageQuality = 0.9;
        shown << QStringLiteral("--image-quality 0.9");
    }
    if constexpr (requires { record.scalePercent; }) {
        record.scalePercent = 100;
        shown << QStringLiteral("--scale-percent 100");
    }
    if constexpr (requires { record.outputType; })
        shown << QStringLiteral("--output-type: the type the destination's extension names");
    return shown;
}

// An image written to a file without an output type takes the type its extension names.
template <typename Record>
void OutputTypeFromDestination(Record& record, const QString& destination)
{
    if constexpr (requires { record.outputType; }) {
        if (record.outputType != 0 || destination.isEmpty())
            return;
        const QString suffix = QFileInfo(destination).suffix().toLower();
        for (std::uint32_t code = 1; code < 64 && !suffix.isEmpty(); ++code) {
            if (GetImageExtension(code).toLower() == suffix) {
                record.outputType = code;
                return;
            }
        }
    }
}

template <typename Record>
QString FlagHelp(FlagTable<Record> (*flags)())
{
    Record record;
    QStringList lines;
    for (const Flag<Record>& flag : flags())
        lines << QStringLiteral("  --%1%2").arg(flag.name, flag.takesValue ? QStringLiteral(" VALUE") : QString());
    lines << QStringLiteral("  starting values:");
    for (const QString& value : StartFromDefaults(record))
        lines << QStringLiteral("    ") + value;
    return lines.join(u'\n');
}

// A subcommand over one entry point: the record's flag table, the operands, a worker thread.
template <typename Record, typename EntryPoint>
Command MakeCommand(const char* name, EntryPoint entryPoint, FlagTable<Record> (*flags)(), Destination destination)
{
    constexpr bool list = TakesList<Record>();
    const QString operands = list ? QStringLiteral("SOURCE... DESTINATION") : QStringLiteral("SOURCE DESTINATION");
    return {QString::fromLatin1(name), operands, FlagHelp(flags), [=](const QStringList& arguments) {
                CommandRun run;
                Record record;
                StartFromDefaults(record);
                QStringList operandList;
                run.usageError = ApplyFlags(flags(), arguments, record, operandList);
                if (!run.usageError.isEmpty())
                    return run;
                // Only a single image can stay in memory: the PDF roads share the record but always write.
                const bool inMemory = destination == Destination::File && MayStayInMemory(record)
                                      && operandList.size() == 1;
                if (!inMemory && (operandList.size() < 2 || (!list && operandList.size() != 2))) {
                    run.usageError = QStringLiteral("%1 operands given").arg(operandList.size());
                    return run;
                }
                run.destination = inMemory ? QString() : Absolute(operandList.takeLast());
                if (destination == Destination::File)
                    OutputTypeFromDestination(record, run.destination);
                for (const QString& source : operandList)
                    run.sources << Absolute(source);
                run.destinationIsFolder = destination == Destination::Folder
                                          || (destination == Destination::FileWhenMerged && !Merged(record));
                if (run.destinationIsFolder)
                    MakeFolder(run.destination);
                Place(record, run.sources, run.destination);
                run.password = PasswordOf(record);
                QElapsedTimer timer;
                timer.start();
                run.exception = RunOnWorker([&] { run.succeeded = entryPoint(&record); }, &run.warnings);
                run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
                run.resultImage = ResultImage(record);
                return run;
            }};
}

} // namespace

QString RunOnWorker(const std::function<void()>& work, QStringList* warnings)
{
    // A QThread rather than a bare thread: the text converters lay out documents with Qt objects that
    // want an event dispatcher on the thread they live on.
    QString error;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        const WarningCapture capture(WarningCapture::Echo::Print);
        try {
            work();
        } catch (const std::exception& exception) {
            error = QString::fromLocal8Bit(exception.what());
        } catch (...) {
            error = QStringLiteral("the conversion threw an exception");
        }
        if (warnings)
            *warnings = capture.warnings();
    }));
    QObject::connect(worker.get(), &QThread::finished, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    worker->start();
    QCoreApplication::exec();
    worker->wait();
    return error;
}

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands{
        MakeCommand<ImageConversionOptions>("image", ConvertImage, ImageFlags, Destination::File),
        MakeCommand<ImageConversionOptions>("image-options", ConvertImageWithOptions, ImageFlags, Destination::File),
        MakeCommand<PDFToDocumentConversionOptions>("pdf-to-document", ConvertPDFToDocument, PDFToDocumentFlags,
                                                    Destination::Folder),
        MakeCommand<ImageConversionOptions>("pages", ConvertPDFToImages, ImageFlags, Destination::Folder),
        MakeCommand<ImageConversionOptions>("extract", ExtractImagesFromPDF, ImageFlags, Destination::Folder),
        MakeCommand<ImagesToPDFConversionOptions>("images-to-pdf", ConvertImagesToPDF, ImagesToPDFFlags,
                                                  Destination::FileWhenMerged),
        MakeCommand<TextToPDFConversionOptions>("text-to-pdf", ConvertTextToPDF, TextToPDFFlags,
                                                Destination::FileWhenMerged),
        MakeCommand<FilesToPDFConversionOptions>("files-to-pdf", ConvertFilesToPDF, FilesToPDFFlags,
                                                 Destination::FileWhenMerged),
    };
    return commands;
}
