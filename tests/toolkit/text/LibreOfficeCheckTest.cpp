// What we write opens in LibreOffice: each file is converted to text by soffice and its words
// compared with the document's. DOC is written and read through LibreOffice itself. Every test
// skips when soffice is not installed.
#include "SampleDocuments.h"
#include "support/FixtureFiles.h"

#include "toolkit/text/LibreOfficeConversion.h"
#include "toolkit/text/TextDocumentIO.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <thread>

using TextDocumentIO::OutputFormat;

namespace {

QStringList Words(const QString& text)
{
    QString cleaned = text;
    cleaned.remove(QChar::ObjectReplacementCharacter);
    return cleaned.split(QRegularExpression(QStringLiteral("[\\s\\x{2022}]+")), Qt::SkipEmptyParts);
}

QStringList WordsOfListItems(const QTextDocument& document)
{
    // LibreOffice's text export puts the list labels in front of the items
    QStringList words = Words(document.toPlainText());
    return words;
}

} // namespace

class LibreOfficeCheck : public testing::Test {
protected:
    void SetUp() override
    {
        if (!LibreOfficeConversion::IsAvailable())
            GTEST_SKIP() << "soffice is not installed";
    }
};

TEST_F(LibreOfficeCheck, OurRTFDOCXAndODTOpenInLibreOfficeWithTheirText)
{
    QTemporaryDir folder;
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    QStringList expected = WordsOfListItems(original);
    const std::tuple<OutputFormat, const char*, const char*> formats[] = {
        {OutputFormat::RTF, "sample.rtf", "rtf"},
        {OutputFormat::DOCX, "sample.docx", "docx"},
        {OutputFormat::ODT, "sample.odt", "odt"}};
    for (const auto& [format, name, extension] : formats) {
        SCOPED_TRACE(name);
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(name));
        ASSERT_TRUE(TextDocumentIO::Write(original, path, format));
        QString error;
        const auto text = LibreOfficeConversion::Convert(FixtureFiles::readAll(path), QString::fromLatin1(extension),
                                                         QStringLiteral("txt:Text (encoded):UTF8"),
                                                         QStringLiteral("txt"), &error);
        ASSERT_TRUE(text) << error.toStdString();
        QStringList got = Words(QString::fromUtf8(*text));
        // list labels ("1.", "2.") are LibreOffice's own
        got.removeIf([](const QString& word) { return word == QLatin1String("1.") || word == QLatin1String("2."); });
        EXPECT_EQ(got.join(u' ').toStdString(), expected.join(u' ').toStdString());
    }
}

TEST_F(LibreOfficeCheck, DOCRoundTripKeepsTextRunsAndStructure)
{
    QTemporaryDir folder;
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    const QString path = QDir(folder.path()).filePath(QStringLiteral("sample.doc"));
    QString error;
    ASSERT_TRUE(TextDocumentIO::Write(original, path, OutputFormat::DOC, &error)) << error.toStdString();
    EXPECT_TRUE(FixtureFiles::readAll(path).startsWith("\xD0\xCF\x11\xE0")); // a compound file
    QTextDocument back;
    ASSERT_TRUE(TextDocumentIO::Read(path, back, &error)) << error.toStdString();
    const SampleDocuments::DescribeOptions options{.fonts = false, .images = false};
    EXPECT_EQ(SampleDocuments::Describe(original, options).join(u'\n').toStdString(),
              SampleDocuments::Describe(back, options).join(u'\n').toStdString());
}

TEST_F(LibreOfficeCheck, LibreOfficesOwnODTDOCXAndRTFAreReadWithTheirStructure)
{
    QTemporaryDir folder;
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    const SampleDocuments::DescribeOptions options{.fonts = false, .images = false};
    const std::tuple<OutputFormat, const char*, const char*, const char*> trips[] = {
        {OutputFormat::DOCX, "docx", "odt", "odt"},
        {OutputFormat::ODT, "odt", "docx:MS Word 2007 XML", "docx"},
        {OutputFormat::ODT, "odt", "rtf", "rtf"},
    };
    for (const auto& [format, extension, target, targetExtension] : trips) {
        SCOPED_TRACE(targetExtension);
        const QString ours = QDir(folder.path()).filePath(QStringLiteral("ours.") + QString::fromLatin1(extension));
        ASSERT_TRUE(TextDocumentIO::Write(original, ours, format));
        QString error;
        const auto converted = LibreOfficeConversion::Convert(FixtureFiles::readAll(ours), QString::fromLatin1(extension),
                                                              QString::fromLatin1(target),
                                                              QString::fromLatin1(targetExtension), &error);
        ASSERT_TRUE(converted) << error.toStdString();
        const QString theirs =
            QDir(folder.path()).filePath(QStringLiteral("theirs.") + QString::fromLatin1(targetExtension));
        QFile file(theirs);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*converted);
        file.close();
        QTextDocument back;
        ASSERT_TRUE(TextDocumentIO::Read(theirs, back, &error)) << error.toStdString();
        EXPECT_EQ(SampleDocuments::Describe(original, options).join(u'\n').toStdString(),
                  SampleDocuments::Describe(back, options).join(u'\n').toStdString());
    }
}

TEST_F(LibreOfficeCheck, TwoConversionsAtOnceEachUseTheirOwnProfile)
{
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    QTemporaryDir folder;
    bool ok[2] = {false, false};
    auto convert = [&](int i) {
        const QString path = QDir(folder.path()).filePath(QStringLiteral("parallel%1.doc").arg(i));
        ok[i] = TextDocumentIO::Write(original, path, OutputFormat::DOC);
    };
    std::thread first(convert, 0);
    std::thread second(convert, 1);
    first.join();
    second.join();
    EXPECT_TRUE(ok[0]);
    EXPECT_TRUE(ok[1]);
}
