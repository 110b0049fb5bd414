#include "toolkit/ToolkitTestImages.h"
#include "toolkit/fileslist/FileListFixtures.h"
#include "support/CoreErrorCapture.h"
#include "support/StubProgressDelegate.h"

#include "toolkit/Toolkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

using namespace ToolkitTestImages;

namespace {

constexpr std::uint32_t kPNG = 7;

// The temporary folder of the process is a private one for the time of a test, so that what a converter
// leaves there can be counted.
class PrivateTemporaryFolder {
public:
    PrivateTemporaryFolder()
        : m_previous(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", m_folder.path().toUtf8());
    }
    ~PrivateTemporaryFolder()
    {
        if (m_previous.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_previous);
    }
    PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
    PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;

    QStringList entries() const { return QDir(m_folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries); }

private:
    QTemporaryDir m_folder;
    QByteArray m_previous;
};

class EntryPoints : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("out")));
        ASSERT_TRUE(writePNG(path(QStringLiteral("picture.png")), quadrantImage(60, 40), 150));
    }

    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }
    QStringList outputs() const
    {
        return QDir(path(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    ImageConversionOptions toPNG(const QString& source = QStringLiteral("picture.png")) const
    {
        ImageConversionOptions options;
        options.sourceURL = url(source);
        options.destinationURL = url(QStringLiteral("out/result.png"));
        options.outputType = kPNG;
        return options;
    }

    QTemporaryDir m_folder;
};

// The resolution a PNG file states, in dots per inch.
double WrittenDPI(const QImage& image)
{
    return std::round(image.dotsPerMeterX() * 0.0254);
}

class ThrowingDelegate : public StubProgressDelegate {
public:
    bool isConversionCancelled() const override { throw std::runtime_error("the host gave up"); }
};

} // namespace

TEST_F(EntryPoints, RefuseAMissingRecordOrRequiredFieldWithoutWriting)
{
    EXPECT_FALSE(ConvertImage(nullptr));
    EXPECT_FALSE(ConvertImageWithOptions(nullptr));
    EXPECT_FALSE(ConvertPDFToDocument(nullptr));

    ImageConversionOptions noSource = toPNG();
    noSource.sourceURL.clear();
    EXPECT_FALSE(ConvertImage(&noSource));
    EXPECT_FALSE(ConvertImageWithOptions(&noSource));

    ImageConversionOptions noDestination = toPNG();
    noDestination.destinationURL.clear();
    EXPECT_FALSE(ConvertImage(&noDestination));
    EXPECT_FALSE(ConvertImageWithOptions(&noDestination)); // without keepImageInMemory a destination is needed
    EXPECT_FALSE(noDestination.resultImage);

    ASSERT_TRUE(writeBytes(path(QStringLiteral("noise.png")), QByteArray(300, '\x5a')));
    ImageConversionOptions unreadable = toPNG(QStringLiteral("noise.png"));
    EXPECT_FALSE(ConvertImage(&unreadable));
    EXPECT_FALSE(ConvertImageWithOptions(&unreadable));
    EXPECT_TRUE(outputs().isEmpty()) << outputs().join(u' ').toStdString();
}

TEST_F(EntryPoints, KeepImageInMemoryWithoutDestinationHandsTheImageBack)
{
    ImageConversionOptions options = toPNG();
    options.destinationURL.clear();
    options.keepImageInMemory = 1;
    ASSERT_TRUE(ConvertImageWithOptions(&options));
    ASSERT_TRUE(options.resultImage);
    const auto bitmap = options.resultImage->makeBitmapRepresentation();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->image().width(), 60);
    EXPECT_EQ(bitmap->image().height(), 40);
    EXPECT_TRUE(outputs().isEmpty());
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files).size(), 1); // the source alone
}

TEST_F(EntryPoints, ConvertImageWritesOwnOrGivenResolutionKeepingThePixels)
{
    struct Case {
        std::int64_t dpi;
        double written;
    };
    // 0 keeps the source's own 150; a negative value cannot be written and keeps it too
    for (const Case& each : {Case{0, 150}, Case{300, 300}, Case{-20, 150}}) {
        ImageConversionOptions options = toPNG();
        options.dpi = each.dpi;
        options.destinationURL = url(QStringLiteral("out/dpi%1.png").arg(each.dpi));
        ASSERT_TRUE(ConvertImage(&options)) << each.dpi;
        const QImage written(options.destinationURL.toLocalFile());
        ASSERT_FALSE(written.isNull()) << each.dpi;
        EXPECT_EQ(written.size(), QSize(60, 40)) << each.dpi;
        EXPECT_EQ(WrittenDPI(written), each.written) << each.dpi;
        EXPECT_EQ(pixelAt(written, 5, 5), pixelAt(quadrantImage(60, 40), 5, 5)) << each.dpi;
    }
}

TEST_F(EntryPoints, TheTemporarySourceGoesOnEveryExit)
{
    ASSERT_TRUE(writeWebP(path(QStringLiteral("picture.webp")), quadrantImage(30, 20)));
    PrivateTemporaryFolder temporary;

    ImageConversionOptions converted = toPNG(QStringLiteral("picture.webp"));
    EXPECT_TRUE(ConvertImage(&converted));
    EXPECT_TRUE(temporary.entries().isEmpty()) << temporary.entries().join(u' ').toStdString();

    ImageConversionOptions inMemory = toPNG(QStringLiteral("picture.webp"));
    inMemory.destinationURL.clear();
    inMemory.keepImageInMemory = 1;
    EXPECT_TRUE(ConvertImageWithOptions(&inMemory));
    EXPECT_TRUE(inMemory.resultImage);
    EXPECT_TRUE(temporary.entries().isEmpty());

    // a destination in a folder that does not exist: the write fails, the clean-up still runs
    ImageConversionOptions failing = toPNG(QStringLiteral("picture.webp"));
    failing.destinationURL = url(QStringLiteral("missing/folder/result.png"));
    EXPECT_FALSE(ConvertImage(&failing));
    EXPECT_FALSE(ConvertImageWithOptions(&failing));
    EXPECT_TRUE(temporary.entries().isEmpty()) << temporary.entries().join(u' ').toStdString();
}

TEST_F(EntryPoints, AnExceptionLeavesThePDFConversionWithNothingWritten)
{
    {
        QPdfWriter writer(path(QStringLiteral("text.pdf")));
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("A page with enough words to count as text"));
    }
    ThrowingDelegate host;
    PDFToDocumentConversionOptions options;
    options.sourceURL = url(QStringLiteral("text.pdf"));
    options.destinationURL = url(QStringLiteral("out"));
    options.extension = QStringLiteral("txt");
    options.documentType = 1;
    options.progress.object = &host; // asked whether to cancel before the first page
    // the converter's document is released on the way out (the sanitizer build reports a leak otherwise)
    EXPECT_THROW(ConvertPDFToDocument(&options), std::runtime_error);
    EXPECT_TRUE(outputs().isEmpty());

    options.progress.object = nullptr;
    EXPECT_TRUE(ConvertPDFToDocument(&options));
    EXPECT_EQ(outputs(), QStringList{QStringLiteral("text.txt")});
}

TEST_F(EntryPoints, PDFRoadsRefuseMissingFieldsAndRunOnAPlainPDF)
{
    EXPECT_FALSE(ConvertPDFToImages(nullptr));
    EXPECT_FALSE(ExtractImagesFromPDF(nullptr));
    EXPECT_FALSE(ConvertImagesToPDF(nullptr));
    {
        QPdfWriter writer(path(QStringLiteral("two.pdf")));
        QPainter painter(&writer);
        painter.drawText(100, 100, QStringLiteral("first"));
        writer.newPage();
        painter.drawText(100, 100, QStringLiteral("second"));
    }
    ImageConversionOptions pages;
    pages.sourceURL = url(QStringLiteral("two.pdf"));
    pages.outputType = kPNG;
    EXPECT_FALSE(ConvertPDFToImages(&pages)); // no destination folder
    EXPECT_FALSE(ExtractImagesFromPDF(&pages));
    EXPECT_TRUE(outputs().isEmpty());

    // An unencrypted document ignores the password; every page becomes an image.
    pages.destinationURL = url(QStringLiteral("out"));
    pages.password = QStringLiteral("not needed");
    pages.dpi = 36;
    ASSERT_TRUE(ConvertPDFToImages(&pages));
    EXPECT_EQ(outputs().size(), 2) << outputs().join(u' ').toStdString();
    // A document without images extracts nothing and writes nothing.
    EXPECT_TRUE(ExtractImagesFromPDF(&pages));
    EXPECT_EQ(outputs().size(), 2);

    ImagesToPDFConversionOptions images;
    images.items.append(QVariantMap{{QStringLiteral("FilePath"), url(QStringLiteral("picture.png"))}});
    images.destinationURL = url(QStringLiteral("out/picture.pdf"));
    images.mergeIntoOne = 1;
    images.scalePercent = 100;
    images.outputType = kPNG;
    ASSERT_TRUE(ConvertImagesToPDF(&images));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("out/picture.pdf"))));
}

TEST_F(EntryPoints, AWrongPasswordOpensNothingAndWritesNothing)
{
    FileListFixtures::PDFSpec locked;
    locked.pages = 2;
    locked.userPassword = QStringLiteral("right");
    locked.ownerPassword = QStringLiteral("owner");
    ASSERT_TRUE(FileListFixtures::writePDF(path(QStringLiteral("locked.pdf")), locked));

    ImageConversionOptions pages;
    pages.sourceURL = url(QStringLiteral("locked.pdf"));
    pages.destinationURL = url(QStringLiteral("out"));
    pages.outputType = kPNG;
    pages.dpi = 36;
    pages.password = QStringLiteral("wrong");
    {
        // The core says once that the password is wrong.
        const CoreErrorCapture errors;
        EXPECT_FALSE(ConvertPDFToImages(&pages));
        EXPECT_EQ(errors.messages().count(QStringLiteral("Incorrect password")), 1) << errors.messages().join(u'|').toStdString();
    }
    EXPECT_FALSE(ExtractImagesFromPDF(&pages));
    PDFToDocumentConversionOptions document;
    document.sourceURL = pages.sourceURL;
    document.destinationURL = pages.destinationURL;
    document.password = pages.password;
    EXPECT_FALSE(ConvertPDFToDocument(&document));
    EXPECT_TRUE(outputs().isEmpty()) << outputs().join(u' ').toStdString();

    // The right one opens it, and the core never calls it wrong.
    const CoreErrorCapture errors;
    pages.password = QStringLiteral("right");
    EXPECT_TRUE(ConvertPDFToImages(&pages));
    EXPECT_EQ(outputs().size(), 2) << outputs().join(u' ').toStdString();
    EXPECT_TRUE(ExtractImagesFromPDF(&pages));
    EXPECT_FALSE(errors.contains(QStringLiteral("Incorrect password"))) << errors.messages().join(u'|').toStdString();
}

namespace {

// The names in a folder, as bytes.
QList<QByteArray> NamesIn(const QByteArray& folder)
{
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Names that are not UTF-8 are the file system's bytes: the file named is read, and what is written
// goes into the folder named, under the name asked for.
TEST(NativeNames, FilesAndFoldersNamedInLatin1BytesAreReadAndWritten)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QByteArray base = QFile::encodeName(root.path());
    const QByteArray input = base + "/Entr\xe9"
                                    "es";
    const QByteArray output = base + "/Sorti\xe9";
    ASSERT_EQ(::mkdir(input.constData(), 0700), 0);
    ASSERT_EQ(::mkdir(output.constData(), 0700), 0);
    const QByteArray note = input + "/caf\xe9.txt";
    const QByteArray alike = input + "/caf\xe8.txt"; // reads as the same text to Qt
    const QByteArray plain = input + "/plain.txt";
    for (const QByteArray& path : {note, alike, plain}) {
        FILE* file = std::fopen(path.constData(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("A few words to print.\n", file);
        std::fclose(file);
    }

    TextToPDFConversionOptions separate;
    separate.items = {{{ConversionListKey::FilePath, FileURLFromPathBytes(note)}},
                      {{ConversionListKey::FilePath, FileURLFromPathBytes(alike)}},
                      {{ConversionListKey::FilePath, FileURLFromPathBytes(plain)}}};
    separate.destinationURL = FileURLFromPathBytes(output);
    separate.pageWidth = 612;
    separate.pageHeight = 792;
    ASSERT_TRUE(ConvertTextToPDF(&separate));
    EXPECT_EQ(NamesIn(output).size(), 3);
    EXPECT_TRUE(NamesIn(output).contains("plain.pdf"));

    TextToPDFConversionOptions merged = separate;
    merged.mergeIntoOne = 1;
    merged.destinationURL = FileURLFromPathBytes(output + "/tout\xe9.pdf");
    ASSERT_TRUE(ConvertTextToPDF(&merged));
    EXPECT_TRUE(NamesIn(output).contains("tout\xe9.pdf"));
    EXPECT_EQ(NamesIn(output).size(), 4);
    // nothing was made beside the folders named
    EXPECT_EQ(NamesIn(base).size(), 2);
    std::filesystem::remove_all(std::filesystem::path(base.toStdString())); // Qt cannot name what is inside
}
