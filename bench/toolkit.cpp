// toolkit COMMAND [FLAGS] SOURCE... DESTINATION
//
// Fills the record of one of the toolkit's entry points from command-line flags and calls it, as a host
// would: a QApplication (offscreen) on the main thread, the entry point on a worker thread. For
// measurement and for trying the toolkit by hand. Flags are the record's fields in kebab case
// (--output-type 7, --first-page 3); an 8-bit field is a switch without a value (--keep-aspect-ratio);
// --size WxH sets the size record's width and height, --size-dpi its resolution; the stamp's fields
// carry "stamp-" (--stamp-text, --stamp-font); --merge is mergeIntoOne. The destination is a file for
// image outputs and merged PDFs, a folder otherwise (made when missing). Prints one key=value line per
// figure; on failure a line on standard error, then what became of each source (one that does not
// open, unlock or read gives the step and the reader's reason) and of the destination (a folder that is
// missing or may not be written), and a non-zero exit (1 the conversion, 2 the usage).
// Fields without a flag start where a person would expect them (US Letter, half-inch margins, images at
// their size, quality 0.9, an image file's type from its extension); "toolkit --help" lists every
// command's flags and these starting values. The list subcommands (images-to-pdf, text-to-pdf) take
// every operand but the last as an item; images-to-pdf lists a ".pdf" source as a PDF, anything else as
// an image.
// "toolkit samples FOLDER" writes files to try it on; bench/toolkit-try runs every subcommand on them.

#include "headless-engine.h"
#include "toolkit-commands.h"
#include "toolkit-failures.h"
#include "toolkit-paths.h"
#include "toolkit-samples.h"
#include "toolkit-warnings.h"

#include "platform/PdfDocument.h"

#include <QApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

namespace {

using Listing = std::map<std::string, std::filesystem::file_time_type>;

// Every file under the folder with its modification time, so that the files a run wrote can be counted.
// Walked by the names' bytes: a name need not be UTF-8.
Listing ListFiles(const QString& folder)
{
    Listing listing;
    if (folder.isEmpty())
        return listing;
    std::error_code error;
    for (auto file = std::filesystem::recursive_directory_iterator(PathBytes(folder).toStdString(), error);
         !error && file != std::filesystem::recursive_directory_iterator(); file.increment(error)) {
        if (file->is_regular_file(error))
            listing[file->path().string()] = file->last_write_time(error);
    }
    return listing;
}

int FilesWritten(const Listing& before, const Listing& after)
{
    int count = 0;
    for (const auto& [path, time] : after) {
        const auto earlier = before.find(path);
        count += earlier == before.end() || earlier->second != time;
    }
    return count;
}

// The pages of the PDF sources; -1 when no source is a PDF.
int PDFPages(const QStringList& sources)
{
    int pages = -1;
    for (const QString& source : sources) {
        if (QFileInfo(source).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
            continue;
        QFile file(source);
        const auto document = file.open(QIODevice::ReadOnly) ? PdfDocument::open(file.readAll()) : nullptr;
        pages = std::max(pages, 0) + (document ? document->pageCount() : 0);
    }
    return pages;
}

long PeakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Usage(const QString& message)
{
    std::fprintf(stderr, "toolkit: %s\n", qPrintable(message));
    return 2;
}

QString CommandList()
{
    QStringList lines;
    for (const Command& command : Commands())
        lines << command.name;
    return lines.join(u'|');
}

} // namespace

int main(int argc, char** argv)
{
    prepareHeadlessEngine();
    QApplication application(argc, argv);
    InstallWarningCapture();
    QStringList arguments = ArgumentsAsText(argc, argv);
    if (arguments.isEmpty())
        return Usage(QStringLiteral("usage: toolkit %1 [flags] SOURCE... DESTINATION").arg(CommandList()));
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        std::printf("usage: toolkit COMMAND [flags] SOURCE... DESTINATION\n");
        for (const Command& command : Commands())
            std::printf("\n%s [flags] %s\n%s\n", qPrintable(command.name), qPrintable(command.operands),
                        qPrintable(command.help));
        return 0;
    }
    if (name == QLatin1String("samples")) {
        if (arguments.size() != 1 || !WriteToolkitSamples(arguments.first()))
            return Usage(QStringLiteral("samples FOLDER: writes picture.png, document.pdf, album.pdf, notes.txt and letter.rtf into FOLDER"));
        return 0;
    }
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(), [&name](const Command& each) { return each.name == name; });
    if (command == commands.end())
        return Usage(QStringLiteral("unknown command %1 (%2)").arg(name, CommandList()));

    // the destination is the last operand; its folder (or itself) is watched for the files written
    const QString last = arguments.isEmpty() ? QString()
                                             : QDir::cleanPath(QDir::isAbsolutePath(arguments.last())
                                                                   ? arguments.last()
                                                                   : QDir::currentPath() + u'/' + arguments.last());
    const bool lastIsFolder = std::filesystem::is_directory(PathBytes(last).toStdString());
    const QString watched = lastIsFolder ? last : last.left(std::max<qsizetype>(last.lastIndexOf(u'/'), 1));
    const Listing before = ListFiles(watched);
    const CommandRun run = command->run(arguments);
    if (!run.usageError.isEmpty())
        return Usage(QStringLiteral("%1: %2 (usage: toolkit %1 [flags] %3)").arg(name, run.usageError, command->operands));
    if (!run.succeeded) {
        const QString reason = run.exception.isEmpty() ? QString() : QStringLiteral(": ") + run.exception;
        std::fprintf(stderr, "toolkit %s: the conversion failed%s\n", qPrintable(name), qPrintable(reason));
        for (const QString& why : FailureReasons(run))
            std::fprintf(stderr, "  %s\n", qPrintable(why));
        return 1;
    }
    std::printf("items=%lld\n", static_cast<long long>(run.sources.size()));
    if (const int pages = PDFPages(run.sources); pages >= 0)
        std::printf("pages=%d\n", pages);
    std::printf("files_written=%d\n", FilesWritten(before, ListFiles(run.destination.isEmpty() ? QString() : watched)));
    if (!run.resultImage.isEmpty())
        std::printf("result_image=%s\n", qPrintable(run.resultImage));
    std::printf("seconds=%.3f\n", run.seconds);
    std::printf("peak_memory_kib=%ld\n", PeakMemoryKiB());
    return 0;
}
