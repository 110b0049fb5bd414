#include "ToolkitTestImages.h"

#include "toolkit/converter/ImageConverter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

// qpdf 11 warns unless told which of its pointer holder transitions the code is written for.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

using namespace ToolkitTestImages;

namespace {

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
    QStringList entries() const { return QDir(m_folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries); }

private:
    QTemporaryDir m_folder;
    QByteArray m_previous;
};

} // namespace

TEST(WebPSource, LoadsThroughATemporaryTIFFThatDestructionRemoves)
{
    QTemporaryDir sources;
    const QString webp = sources.filePath("picture.webp");
    ASSERT_TRUE(writeWebP(webp, quadrantImage(40, 20)));
    PrivateTemporaryFolder temporary;
    QString temporaryTIFF;
    {
        ImageConverter converter;
        ASSERT_TRUE(converter.LoadSourceImage(QUrl::fromLocalFile(webp)));
        EXPECT_EQ(converter.m_deleteSourceOnClose, 1);
        temporaryTIFF = converter.m_sourceURL.toLocalFile();
        EXPECT_TRUE(temporaryTIFF.endsWith(QLatin1String(".tif")));
        EXPECT_TRUE(QFile::exists(temporaryTIFF));
        EXPECT_EQ(converter.PixelWidth(), 40);
        EXPECT_EQ(converter.PixelHeight(), 20);
        EXPECT_TRUE(converter.m_representations.empty()); // the list of the WebP file itself, not re-read
        const auto bitmap = std::dynamic_pointer_cast<BitmapImageRep>(converter.m_currentRep);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(pixelAt(bitmap->image(), 5, 5), qRgb(255, 0, 0));
        EXPECT_EQ(pixelAt(bitmap->image(), 35, 15), qRgb(255, 255, 255));
        // The run that follows fails: the temporary file goes all the same.
        converter.m_succeeded = 0;
    }
    EXPECT_FALSE(QFile::exists(temporaryTIFF));
    EXPECT_TRUE(temporary.entries().isEmpty()) << temporary.entries().join(' ').toStdString();
}

TEST(WebPSource, UndecodableAndMisnamedFilesLeaveNothing)
{
    QTemporaryDir sources;
    const QString broken = sources.filePath("broken.webp");
    ASSERT_TRUE(writeBytes(broken, QByteArray("RIFF\x20\0\0\0WEBPVP8 ", 16) + QByteArray(20, '\x55')));
    const QString capitals = sources.filePath("picture.WEBP");
    ASSERT_TRUE(writeWebP(capitals, quadrantImage(8, 8)));
    PrivateTemporaryFolder temporary;
    {
        ImageConverter converter;
        EXPECT_FALSE(converter.LoadSourceImage(QUrl::fromLocalFile(broken)));
        EXPECT_EQ(converter.m_deleteSourceOnClose, 0);
        EXPECT_EQ(converter.m_sourceURL, QUrl::fromLocalFile(broken));
    }
    {
        // The extension is compared exactly: upper case is not taken for WebP.
        ImageConverter converter;
        EXPECT_FALSE(converter.LoadSourceImage(QUrl::fromLocalFile(capitals)));
    }
    EXPECT_TRUE(temporary.entries().isEmpty());
    EXPECT_TRUE(QFile::exists(broken)); // the source itself is never removed
}

namespace {

void writeEncrypted(const QString& plain, const QString& out, const char* user, const char* owner)
{
    QPDF source;
    source.processFile(QFile::encodeName(plain).constData());
    const QByteArray outPath = QFile::encodeName(out); // the writer keeps the name until it writes
    QPDFWriter writer(source, outPath.constData());
    writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true, qpdf_r3p_full, true);
    writer.write();
}

} // namespace

TEST(PDFSource, PasswordsOfUserAndOwner)
{
    QTemporaryDir folder;
    const QString plain = folder.filePath("plain.pdf");
    ASSERT_TRUE(writePDF(plain, 1));
    writeEncrypted(plain, folder.filePath("user.pdf"), "reader", "owner");
    writeEncrypted(plain, folder.filePath("owner.pdf"), "", "owner");

    ImageConverter unencrypted;
    ASSERT_TRUE(unencrypted.OpenPDFDocument(QUrl::fromLocalFile(plain)));
    EXPECT_FALSE(unencrypted.IsPDFEncrypted());
    EXPECT_FALSE(unencrypted.PDFNeedsPassword());
    EXPECT_EQ(unencrypted.m_pdfDocument->pageCount(), 1);

    ImageConverter locked;
    ASSERT_TRUE(locked.OpenPDFDocument(QUrl::fromLocalFile(folder.filePath("user.pdf"))));
    EXPECT_TRUE(locked.IsPDFEncrypted());
    EXPECT_FALSE(locked.UnlockPDF()); // no password set
    locked.SetPassword(QStringLiteral("wrong"));
    EXPECT_TRUE(locked.PDFNeedsPassword());
    EXPECT_FALSE(locked.m_pdfDocument->document());
    locked.SetPassword(QStringLiteral("reader"));
    EXPECT_TRUE(locked.UnlockPDF());
    EXPECT_EQ(locked.m_pdfDocument->pageCount(), 1);
    EXPECT_FALSE(locked.PDFNeedsPassword());

    ImageConverter byOwner;
    ASSERT_TRUE(byOwner.OpenPDFDocument(QUrl::fromLocalFile(folder.filePath("user.pdf"))));
    byOwner.SetPassword(QStringLiteral("owner"));
    EXPECT_TRUE(byOwner.UnlockPDF());

    // A document every reader opens without a password: any password, or none, unlocks it.
    ImageConverter ownerOnly;
    ASSERT_TRUE(ownerOnly.OpenPDFDocument(QUrl::fromLocalFile(folder.filePath("owner.pdf"))));
    EXPECT_TRUE(ownerOnly.IsPDFEncrypted());
    EXPECT_TRUE(ownerOnly.UnlockPDF());
    ownerOnly.SetPassword(QStringLiteral("anything at all"));
    EXPECT_TRUE(ownerOnly.UnlockPDF());
    EXPECT_FALSE(ownerOnly.PDFNeedsPassword());

    ImageConverter notPDF;
    ASSERT_TRUE(writeBytes(folder.filePath("text.pdf"), "plain words"));
    EXPECT_FALSE(notPDF.OpenPDFDocument(QUrl::fromLocalFile(folder.filePath("text.pdf"))));
    EXPECT_FALSE(notPDF.IsPDFEncrypted());
    EXPECT_FALSE(notPDF.UnlockPDF());
    EXPECT_FALSE(notPDF.PDFNeedsPassword());
}
