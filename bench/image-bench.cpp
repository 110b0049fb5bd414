// Converts a folder of photograph-like pictures (12 megapixels by default) to half-size JPEG and to
// half-size PNG, once through the toolkit (ImageConverter: load, size road at 50 percent, write) and once
// through ImageMagick's `convert -resize 50%` one file at a time, as a user's shell loop would. Each road
// runs in child processes so that its peak memory (the largest resident set of any of them) is its own.
// Prints images per second and peak memory of both and the ratios (toolkit over convert).

#include "image-bench-pictures.h"

#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUrl>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kConvert = "/usr/bin/convert"; // /usr/local/bin/convert is not ImageMagick here

struct RunCost {
    double seconds = 0;
    long peakKilobytes = 0;
    bool ok = true;
};

// Runs the program to its end; adds its time and raises the peak to its resident set.
void RunChild(const std::vector<std::string>& arguments, RunCost& cost)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        cost.ok = false;
        return;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        cost.ok = false;
    cost.seconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;
    cost.peakKilobytes = std::max(cost.peakKilobytes, usage.ru_maxrss);
}

QStringList Pictures(const QString& folder)
{
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

// The child's work: every picture of the folder to the format at half size.
int ConvertWithToolkit(const QString& format, const QString& input, const QString& output)
{
    const bool jpeg = format == QLatin1String("jpg");
    for (const QString& path : Pictures(input)) {
        ImageConverter converter;
        if (!converter.LoadSourceImage(QUrl::fromLocalFile(path)))
            return 1;
        const QString target = QDir(output).filePath(QFileInfo(path).completeBaseName() + QLatin1Char('.') + format);
        converter.SetOutputInfo(jpeg ? ImageType::JPEG : ImageType::PNG, QUrl::fromLocalFile(target), 0.85);
        ImageSizeOptions size;
        size.resize = 1;
        size.unit = 1;
        size.width = size.height = 50;
        if (!converter.ConvertWithSize(size))
            return 1;
    }
    return 0;
}

RunCost RunConvert(const QString& format, const QString& input, const QString& output)
{
    RunCost cost;
    for (const QString& path : Pictures(input)) {
        const QString target = QDir(output).filePath(QFileInfo(path).completeBaseName() + QLatin1Char('.') + format);
        std::vector<std::string> arguments{kConvert, path.toStdString(), "-resize", "50%"};
        if (format == QLatin1String("jpg")) {
            arguments.emplace_back("-quality");
            arguments.emplace_back("85");
        }
        arguments.push_back(target.toStdString());
        RunChild(arguments, cost);
    }
    return cost;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // the text of the pictures needs fonts, not a screen
    if (argc == 5 && std::string(argv[1]) == "--toolkit") {
        QGuiApplication application(argc, argv);
        return ConvertWithToolkit(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    }
    QGuiApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 50;
    const int width = argc > 3 ? std::atoi(argv[2]) : 4000;
    const int height = argc > 3 ? std::atoi(argv[3]) : 3000;
    if (!QFile::exists(QLatin1String(kConvert))) {
        std::fprintf(stderr, "ImageMagick's %s is missing (apt-get install imagemagick)\n", kConvert);
        return 2;
    }
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("in"));
    QDir().mkpath(input);
    std::printf("writing %d pictures of %dx%d...\n", count, width, height);
    std::fflush(stdout);
    if (!WriteBenchPictures(input, count, width, height)) {
        std::fprintf(stderr, "cannot write the pictures\n");
        return 1;
    }
    std::printf("output toolkit_img/s convert_img/s speed_ratio toolkit_peak_MB convert_peak_MB memory_ratio\n");
    for (const char* format : {"jpg", "png"}) {
        const QString ours = folder.filePath(QStringLiteral("toolkit-") + QLatin1String(format));
        const QString theirs = folder.filePath(QStringLiteral("convert-") + QLatin1String(format));
        QDir().mkpath(ours);
        QDir().mkpath(theirs);
        RunCost toolkit;
        RunChild({QCoreApplication::applicationFilePath().toStdString(), "--toolkit", format, input.toStdString(), ours.toStdString()},
                 toolkit);
        const RunCost convert = RunConvert(QLatin1String(format), input, theirs);
        if (!toolkit.ok || !convert.ok) {
            std::fprintf(stderr, "%s: a conversion failed (toolkit %d, convert %d)\n", format, toolkit.ok, convert.ok);
            return 1;
        }
        const double oursRate = count / toolkit.seconds;
        const double theirRate = count / convert.seconds;
        std::printf("%-6s %14.2f %13.2f %11.2f %15.0f %15.0f %12.2f\n", format, oursRate, theirRate, oursRate / theirRate,
                    toolkit.peakKilobytes / 1024.0, convert.peakKilobytes / 1024.0,
                    static_cast<double>(toolkit.peakKilobytes) / static_cast<double>(convert.peakKilobytes));
        std::fflush(stdout);
    }
    return 0;
}
