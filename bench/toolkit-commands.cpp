#include "toolkit-commands.h"

#include "toolkit-flags.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <exception>
#include <thread>

namespace {

enum class Destination {
    File,
    Folder,
    FileWhenMerged
};

QString Absolute(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

QUrl FileURL(const QString& path)
{
    return QUrl::fromLocalFile(Absolute(path));
}

// The "FileType" of a mixed list item, from its extension.
std::uint32_t FileTypeOf(const QString& path)
{
    static const QStringList text{"txt", "text", "rtf", "rtfd", "doc", "docx", "odt", "webarchive", "xml", "wordml"};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ConversionFileType::PDFDocument;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return ConversionFileType::HTMLFile;
    return text.contains(suffix) ? ConversionFileType::TextDocument : ConversionFileType::Image;
}

ConversionList ListOf(const QStringList& sources)
{
    ConversionList items;
    for (const QString& source : sources)
        items.append({{ConversionListKey::FilePath, FileURL(source)}, {ConversionListKey::FileType, FileTypeOf(source)}});
    return items;
}

// The operands into the record: one source, or a list; the destination last (none for an image kept in
// memory).
template <typename Record>
void Place(Record& record, const QStringList& sources, const QString& destination)
{
    if constexpr (requires { record.items; })
        record.items = ListOf(sources);
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
QString ResultImage(const Record& record)
{
    if constexpr (requires { record.resultImage; }) {
        const auto bitmap = record.resultImage ? record.resultImage->makeBitmapRepresentation() : nullptr;
        if (bitmap)
            return QStringLiteral("%1x%2").arg(bitmap->image().width()).arg(bitmap->image().height());
    }
    return {};
}

// A subcommand over one entry point: the record's flag table, the operands, a worker thread.
template <typename Record, typename EntryPoint>
Command MakeCommand(const char* name, EntryPoint entryPoint, FlagTable<Record> (*flags)(), Destination destination)
{
    constexpr bool list = TakesList<Record>();
    const QString operands = list ? QStringLiteral("SOURCE... DESTINATION") : QStringLiteral("SOURCE DESTINATION");
    return {QString::fromLatin1(name), operands, [=](const QStringList& arguments) {
                CommandRun run;
                Record record;
                QStringList operandList;
                run.usageError = ApplyFlags(flags(), arguments, record, operandList);
                if (!run.usageError.isEmpty())
                    return run;
                const bool inMemory = MayStayInMemory(record) && operandList.size() == 1;
                if (!inMemory && (operandList.size() < 2 || (!list && operandList.size() != 2))) {
                    run.usageError = QStringLiteral("%1 operands given").arg(operandList.size());
                    return run;
                }
                run.destination = inMemory ? QString() : Absolute(operandList.takeLast());
                for (const QString& source : operandList)
                    run.sources << Absolute(source);
                run.destinationIsFolder = destination == Destination::Folder
                                          || (destination == Destination::FileWhenMerged && !Merged(record));
                if (run.destinationIsFolder)
                    QDir().mkpath(run.destination);
                Place(record, run.sources, run.destination);
                QElapsedTimer timer;
                timer.start();
                run.exception = RunOnWorker([&] { run.succeeded = entryPoint(&record); });
                run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
                run.resultImage = ResultImage(record);
                return run;
            }};
}

} // namespace

QString RunOnWorker(const std::function<void()>& work)
{
    QString error;
    std::thread worker([&] {
        try {
            work();
        } catch (const std::exception& exception) {
            error = QString::fromLocal8Bit(exception.what());
        } catch (...) {
            error = QStringLiteral("the conversion threw an exception");
        }
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    worker.join();
    return error;
}

const std::vector<Command>& Commands()
{
    // pages, extract, images-to-pdf, text-to-pdf and files-to-pdf join as one entry each, e.g.
    // MakeCommand<FilesToPDFConversionOptions>("files-to-pdf", ConvertFilesToPDF, FilesToPDFFlags,
    //                                           Destination::FileWhenMerged)
    static const std::vector<Command> commands{
        MakeCommand<ImageConversionOptions>("image", ConvertImage, ImageFlags, Destination::File),
        MakeCommand<ImageConversionOptions>("image-options", ConvertImageWithOptions, ImageFlags, Destination::File),
        MakeCommand<PDFToDocumentConversionOptions>("pdf-to-document", ConvertPDFToDocument, PDFToDocumentFlags,
                                                    Destination::Folder),
    };
    return commands;
}
