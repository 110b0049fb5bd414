// Converts the user manual's CHM file into its PDF at build time, with the application's own
// single-file step: the manual is made by Tomefold itself, as any user's help file would be.
//
// usage: tomefold-convert-manual MANUAL.chm DESTINATION_FOLDER
// The PDF is named after the CHM file; an earlier one there is replaced.
#include "app/conversion/ConvertCHMFileToPDF.h"
#include "chm/ITSSScheme.h"
#include "common/TomefoldConversionOptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <thread>

namespace {

constexpr double kPointsPerMillimetre = 72.0 / 25.4;

TomefoldConversionOptions ManualOptions()
{
    TomefoldConversionOptions options;
    options.pageWidth = 210 * kPointsPerMillimetre;
    options.pageHeight = 297 * kPointsPerMillimetre;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 20 * kPointsPerMillimetre;
    options.exportHyperlinks = 1;
    options.exportTOC = 1;
    options.title = QStringLiteral("Tomefold User Manual");
    options.author = QStringLiteral("Tomefold");
    options.subject = QStringLiteral("Converting CHM help files into PDF documents with Tomefold");
    options.keywords = QStringLiteral("Tomefold, CHM, PDF, manual");
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    registerITSSScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: tomefold-convert-manual MANUAL.chm DESTINATION_FOLDER\n");
        return 2;
    }
    const QFileInfo source(arguments.at(1));
    const QDir destination(arguments.at(2));
    const QString target = destination.filePath(source.completeBaseName() + QStringLiteral(".pdf"));
    // Otherwise the new one would be written beside it under a numbered name.
    QFile::remove(target);

    FileConversionResult result = FileConversionResult::NotOpened;
    // The export loads its pages on this thread while the conversion waits on another.
    std::thread worker([&] {
        result = ConvertImageFormatFromURL(QUrl::fromLocalFile(source.absoluteFilePath()),
                                           QUrl::fromLocalFile(destination.absolutePath()), ManualOptions())
                     .result;
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    application.exec();
    worker.join();
    if (result != FileConversionResult::PDFWritten) {
        std::fprintf(stderr, "the manual %s gave no PDF\n", qUtf8Printable(source.filePath()));
        return 1;
    }
    return 0;
}
