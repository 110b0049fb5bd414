// The toolkit command's account of a failed run: each refusal names the step and its cause, and nothing
// of the toolkit's own temporary files reaches the terminal.

#include "pdfimages/PDFImageTestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

class ToolkitCommandMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_EQ(run({QStringLiteral("samples"), m_folder.path()}), 0);
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The exit code; the two outputs are kept for the checks.
    int run(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(TOOLKIT_COMMAND), arguments);
        process.waitForFinished(-1);
        m_output = QString::fromUtf8(process.readAllStandardOutput());
        m_errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    QTemporaryDir m_folder;
    QString m_output;
    QString m_errors;
};

// A TGA header declaring 65535 × 65535 RGB pixels: about 12 GiB once decoded.
QByteArray OversizedTGA()
{
    QByteArray header(18, '\0');
    header[2] = 2;
    header[12] = header[13] = header[14] = header[15] = char(0xff);
    header[16] = 24;
    header[17] = 0x20;
    return header + QByteArray(64, '\0');
}

TEST_F(ToolkitCommandMessages, ADestinationFolderThatCannotTakeTheFileIsNamedWithItsCause)
{
    const QString picture = path(QStringLiteral("picture.png"));
    EXPECT_EQ(run({QStringLiteral("image"), picture, path(QStringLiteral("missing/out.jpg"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("writing: the folder %1 does not exist").arg(path("missing"))))
        << m_errors.toStdString();
    EXPECT_TRUE(m_errors.contains(picture + QStringLiteral(": read\n"))) << m_errors.toStdString();

    EXPECT_EQ(run({QStringLiteral("image"), picture, path(QStringLiteral("notes.txt/out.jpg"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("writing: %1 is not a folder").arg(path("notes.txt"))))
        << m_errors.toStdString();

    if (::geteuid() == 0)
        GTEST_SKIP() << "a folder's permissions do not hold for root";
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("locked"))));
    ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(run({QStringLiteral("image"), picture, path(QStringLiteral("locked/out.jpg"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("writing: the folder %1 cannot be written").arg(path("locked"))))
        << m_errors.toStdString();
}

TEST_F(ToolkitCommandMessages, ASourceThatDoesNotOpenOrReadSaysAtWhichStepAndWhy)
{
    write(QStringLiteral("broken.pdf"), "%PDF-1.4\nnothing a reader can use\n");
    EXPECT_EQ(run({QStringLiteral("pages"), path(QStringLiteral("broken.pdf")), path(QStringLiteral("out"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("broken.pdf: opening: it is not a PDF"))) << m_errors.toStdString();

    write(QStringLiteral("huge.tga"), OversizedTGA());
    EXPECT_EQ(run({QStringLiteral("image"), path(QStringLiteral("huge.tga")), path(QStringLiteral("huge.png"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("huge.tga: reading: The images of a TGA file would take more than")))
        << m_errors.toStdString();
}

TEST_F(ToolkitCommandMessages, ARunThatLeavesPartOfASourceOutTellsTheToolkitsReason)
{
    const TestXObject wide{"Im1", "/Type /XObject /Subtype /Image /Width 40000 /Height 1 /ColorSpace /DeviceGray "
                                  "/BitsPerComponent 8",
                           QByteArray(40000, '\0')};
    WriteTestPDF(path(QStringLiteral("wide.pdf")), {TestPage{{wide}, "q 100 0 0 1 0 0 cm /Im1 Do Q"}});
    EXPECT_EQ(run({QStringLiteral("extract"), path(QStringLiteral("wide.pdf")), path(QStringLiteral("out"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("wide.pdf: read; converting: An image of page 1 was not extracted")))
        << m_errors.toStdString();
}

TEST_F(ToolkitCommandMessages, APasswordThatDoesNotUnlockIsToldApartFromAMissingOne)
{
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    if (qpdf.isEmpty())
        GTEST_SKIP() << "qpdf is not installed";
    const QString locked = path(QStringLiteral("locked.pdf"));
    ASSERT_EQ(QProcess::execute(qpdf, {QStringLiteral("--encrypt"), QStringLiteral("secret"), QStringLiteral("owner"),
                                       QStringLiteral("256"), QStringLiteral("--"), path(QStringLiteral("document.pdf")),
                                       locked}),
              0);
    EXPECT_EQ(run({QStringLiteral("pages"), QStringLiteral("--password"), QStringLiteral("wrong"), locked,
                   path(QStringLiteral("out"))}),
              1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("locked.pdf: unlocking: the password does not unlock it")))
        << m_errors.toStdString();
    EXPECT_EQ(run({QStringLiteral("extract"), locked, path(QStringLiteral("out"))}), 1);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("locked.pdf: unlocking: it is encrypted and no password was given")))
        << m_errors.toStdString();
}

TEST_F(ToolkitCommandMessages, AWebPSourceLeavesNoTemporaryFileNameOnTheTerminal)
{
    ASSERT_EQ(run({QStringLiteral("image"), path(QStringLiteral("picture.png")), path(QStringLiteral("picture.webp"))}), 0);
    ASSERT_EQ(run({QStringLiteral("image"), path(QStringLiteral("picture.webp")), path(QStringLiteral("back.png"))}), 0)
        << m_errors.toStdString();
    EXPECT_FALSE(m_output.contains(QStringLiteral("Saved")) || m_errors.contains(QStringLiteral("Saved")))
        << m_output.toStdString() << m_errors.toStdString();
}

} // namespace
