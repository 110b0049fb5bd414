// toolkit-images [COUNT] [WIDTH]
//
// Writes COUNT (default 100) JPEG pictures WIDTH (default 1600) pixels wide, 3:4, with gradients and
// grain like a photograph, into a temporary folder, and lays them into one PDF: with the toolkit's
// merged runner (each picture decoded and encoded once, the encoded bytes embedded), with img2pdf
// (which embeds the files without decoding them) and with ImageMagick's convert (/usr/bin/convert),
// each where installed. Also times the toolkit's decode and encode alone for the same pictures, the
// work the layout asks for beyond img2pdf's. Prints key=value lines: images per second and output
// size of each, and the ratios. Exits non-zero when the toolkit wrote no PDF.

#include "platform/PdfDocument.h"
#include "toolkit/converter/ImageConverter.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/options/ImagesToPDFConversionOptions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

constexpr double kQuality = 0.85;

QImage picture(int width, int number)
{
    QImage image(width, width * 3 / 4, QImage::Format_RGB32);
    std::mt19937 grain(static_cast<unsigned>(number));
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int red = (x * 255 / image.width() + number * 17) % 256;
            const int green = y * 255 / image.height();
            const int blue = ((x + y) / 7 + number * 31) % 256;
            const int n = noise(grain);
            row[x] = qRgb(std::clamp(red + n, 0, 255), std::clamp(green + n, 0, 255), std::clamp(blue + n, 0, 255));
        }
    }
    return image;
}

QStringList writeFiles(const QDir& folder, int count, int width)
{
    QStringList paths;
    for (int number = 1; number <= count; ++number) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(number, 3, 10, QLatin1Char('0')));
        if (picture(width, number).save(path, "JPG", 90))
            paths << path;
    }
    return paths;
}

int pageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const auto document = PdfDocument::open(file.readAll());
    return document ? document->pageCount() : 0;
}

struct Run {
    int pages = 0;
    double seconds = 0;
    qint64 bytes = 0;
    double imagesPerSecond() const { return seconds > 0 ? pages / seconds : 0; }
};

double secondsOf(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

Run finished(const QElapsedTimer& timer, const QString& output)
{
    Run run;
    run.seconds = secondsOf(timer);
    run.pages = pageCount(output);
    run.bytes = QFileInfo(output).size();
    return run;
}

Run runToolkit(const QStringList& files, const QString& output)
{
    ImagesToPDFConversionOptions options;
    for (const QString& path : files)
        options.items << ConversionListItem{{ConversionListKey::FilePath, QUrl::fromLocalFile(path)},
                                            {ConversionListKey::Angle, 0}};
    options.destinationURL = QUrl::fromLocalFile(output);
    options.outputType = ImageType::JPEG;
    options.quality = kQuality;
    options.scalePercent = 100;
    QElapsedTimer timer;
    timer.start();
    ImageToPDFConverter converter;
    converter.SetOptions(options);
    converter.ConvertToSinglePDF();
    return finished(timer, output);
}

// The decode and encode of every picture with nothing else: what the toolkit must spend beyond a tool
// that copies the files' bytes.
double decodeAndEncodeSeconds(const QStringList& files)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : files) {
        ImageConverter converter;
        if (!converter.LoadSourceImage(QUrl::fromLocalFile(path)))
            continue;
        converter.SetOutputInfo(ImageType::JPEG, QUrl(), kQuality);
        converter.m_keepEncodedData = 1;
        converter.SetOrientationFromAngle(0);
        ImageSizeOptions size;
        size.keepAspectRatio = size.resize = 1;
        size.unit = 1;
        size.width = 100;
        converter.ConvertWithSize(size);
    }
    return secondsOf(timer);
}

Run runTool(const QString& program, const QStringList& arguments, const QString& output)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(-1);
    return finished(timer, output);
}

void print(const char* name, const Run& run)
{
    std::printf("%s_pages=%d\n%s_seconds=%.2f\n%s_images_per_second=%.1f\n%s_bytes=%lld\n", name, run.pages, name,
                run.seconds, name, run.imagesPerSecond(), name, static_cast<long long>(run.bytes));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    const int width = argc > 2 ? std::max(16, QString::fromLocal8Bit(argv[2]).toInt()) : 1600;
    QTemporaryDir folder;
    const QStringList files = writeFiles(QDir(folder.path()), count, width);
    qint64 inputBytes = 0;
    for (const QString& path : files)
        inputBytes += QFileInfo(path).size();
    std::printf("images=%lld\nwidth=%d\ninput_bytes=%lld\n", static_cast<long long>(files.size()), width,
                static_cast<long long>(inputBytes));

    const Run toolkit = runToolkit(files, folder.filePath(QStringLiteral("toolkit.pdf")));
    print("toolkit", toolkit);
    const double codec = decodeAndEncodeSeconds(files);
    std::printf("decode_encode_seconds=%.2f\n", codec);

    const QString img2pdf = QStandardPaths::findExecutable(QStringLiteral("img2pdf"));
    if (!img2pdf.isEmpty()) {
        const QString output = folder.filePath(QStringLiteral("img2pdf.pdf"));
        const Run other = runTool(img2pdf, QStringList(files) << QStringLiteral("-o") << output, output);
        print("img2pdf", other);
        std::printf("time_above_img2pdf_seconds=%.2f\nratio_time_above_img2pdf_to_decode_encode=%.2f\n",
                    toolkit.seconds - other.seconds, codec > 0 ? (toolkit.seconds - other.seconds) / codec : 0);
    } else {
        std::printf("img2pdf=not installed\n");
    }

    // Debian's ImageMagick policy refuses to write PDF; then convert's figures are missing, not faked.
    const QString convert = QStringLiteral("/usr/bin/convert");
    if (QFileInfo(convert).isExecutable()) {
        const QString output = folder.filePath(QStringLiteral("convert.pdf"));
        const Run other = runTool(convert, QStringList(files) << QStringLiteral("-quality") << QStringLiteral("85") << output, output);
        if (other.pages > 0) {
            print("convert", other);
            std::printf("rate_ratio_toolkit_to_convert=%.2f\n", toolkit.imagesPerSecond() / other.imagesPerSecond());
        } else {
            std::printf("convert=wrote no PDF (its security policy may refuse PDF output)\n");
        }
    } else {
        std::printf("convert=not installed\n");
    }
    return toolkit.pages > 0 ? 0 : 1;
}
