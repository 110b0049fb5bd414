#include "toolkit/Toolkit.h"
#include "toolkit/ToolkitTestImages.h"
#include "toolkit/fileslist/FileListFixtures.h"
#include "toolkit/fileslist/FileListTestFolder.h"
#include "support/PdfLinkTargets.h"
#include "support/PdfLinkTestFiles.h"
#include "platform/PdfDocument.h"
#include "toolkit/html/PDFReplaceByMove.h"

#include <QtGlobal>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using FileListFixtures::OutlineEntry;
using FileListFixtures::PDFSpec;

constexpr int kImage = ConversionFileType::Image;
constexpr int kText = ConversionFileType::TextDocument;
constexpr int kPDF = ConversionFileType::PDFDocument;

class FilesToPDF : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToolkitTestImages::writePNG(m_folder.path("photo.png"), ToolkitTestImages::quadrantImage(64, 48), 72));
        m_folder.write(QStringLiteral("notes.txt"), "A few words of notes.\n");
        PDFSpec secret;
        secret.pages = 2;
        secret.userPassword = QStringLiteral("open");
        secret.ownerPassword = QStringLiteral("owner");
        secret.outlineTitles = QStringList{QStringLiteral("Intro"), QStringLiteral("Details")};
        ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("secret.pdf"), secret));
    }

    ConversionListItem secretItem(const QString& password) const
    {
        return m_folder.item(QStringLiteral("secret.pdf"), kPDF, {{ConversionListKey::Password, password}});
    }

    QString merged() const { return m_folder.outPath(QStringLiteral("merged.pdf")); }
    FilesToPDFConversionOptions mergedOptions(const ConversionList& items) const
    {
        FilesToPDFConversionOptions options = LetterOptions(items, QUrl::fromLocalFile(merged()));
        options.mergeIntoOne = 1;
        return options;
    }

    FileListTestFolder m_folder;
};

TEST_F(FilesToPDF, AMergedListTakesEachItemInOrderUnderAnEntryNamedAfterItsFile)
{
    ListProgress progress;
    FilesToPDFConversionOptions options =
        mergedOptions({m_folder.item(QStringLiteral("photo.png"), kImage), m_folder.item(QStringLiteral("notes.txt"), kText),
                       secretItem(QStringLiteral("open"))});
    options.progress = progress.target();
    ASSERT_TRUE(ConvertFilesToPDF(&options));

    EXPECT_EQ(FileListFixtures::pageCount(merged()), 4);
    const std::vector<OutlineEntry> entries = FileListFixtures::outline(merged());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].title, QStringLiteral("photo"));
    EXPECT_EQ(entries[0].page, 0);
    EXPECT_EQ(entries[1].title, QStringLiteral("notes"));
    EXPECT_EQ(entries[1].page, 1);
    EXPECT_EQ(entries[2].title, QStringLiteral("secret"));
    EXPECT_EQ(entries[2].page, 2);
    // The PDF's own outline hangs beneath its entry, pointing at its pages in the merged file.
    ASSERT_EQ(entries[2].children.size(), 2u);
    EXPECT_EQ(entries[2].children[0].title, QStringLiteral("Intro"));
    EXPECT_EQ(entries[2].children[0].page, 2);
    EXPECT_EQ(entries[2].children[1].title, QStringLiteral("Details"));
    EXPECT_EQ(entries[2].children[1].page, 3);
    EXPECT_EQ(progress.values, (std::vector<long>{3, 3, 3, 6, 7}));

    // An outline of several levels keeps them all.
    PDFSpec chapters;
    chapters.pages = 2;
    chapters.outlineTitles = QStringList{QStringLiteral("Chapter"), QStringLiteral("First part"), QStringLiteral("Second part")};
    chapters.nestOutline = true;
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("chapters.pdf"), chapters));
    FilesToPDFConversionOptions nested =
        mergedOptions({m_folder.item(QStringLiteral("photo.png"), kImage), m_folder.item(QStringLiteral("chapters.pdf"), kPDF)});
    ASSERT_TRUE(ConvertFilesToPDF(&nested));
    const std::vector<OutlineEntry> levels = FileListFixtures::outline(merged());
    ASSERT_EQ(levels.size(), 2u);
    ASSERT_EQ(levels[1].children.size(), 1u);
    EXPECT_EQ(levels[1].children[0].title, QStringLiteral("Chapter"));
    EXPECT_EQ(levels[1].children[0].page, 1);
    ASSERT_EQ(levels[1].children[0].children.size(), 2u);
    EXPECT_EQ(levels[1].children[0].children[0].title, QStringLiteral("First part"));
    EXPECT_EQ(levels[1].children[0].children[0].page, 2);
    EXPECT_EQ(levels[1].children[0].children[1].title, QStringLiteral("Second part"));
    EXPECT_EQ(levels[1].children[0].children[1].page, 1);

    // Without entries asked for, the merged file has no outline.
    options.addOutlineEntries = 0;
    ASSERT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(FileListFixtures::outline(merged()).empty());
}

TEST_F(FilesToPDF, APDFThatCannotBeUnlockedIsCopiedUnchangedOrLeftOutOfAMerge)
{
    PDFSpec noPrinting;
    noPrinting.userPassword = QStringLiteral("open");
    noPrinting.ownerPassword = QStringLiteral("owner");
    noPrinting.allowPrinting = false;
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("noprint.pdf"), noPrinting));

    FilesToPDFConversionOptions options = LetterOptions(
        {secretItem(QStringLiteral("wrong")), m_folder.item(QStringLiteral("noprint.pdf"), kPDF, {{ConversionListKey::Password, QStringLiteral("open")}})},
        m_folder.outFolder());
    EXPECT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_EQ(m_folder.outFiles(), QStringList({"noprint.pdf", "secret.pdf"}));
    EXPECT_EQ(ToolkitTestImages::readBytes(m_folder.outPath("secret.pdf")), ToolkitTestImages::readBytes(m_folder.path("secret.pdf")));
    EXPECT_EQ(ToolkitTestImages::readBytes(m_folder.outPath("noprint.pdf")), ToolkitTestImages::readBytes(m_folder.path("noprint.pdf")));

    // The right password rewrites it, still locked as it was; a file of that name already there is kept, the
    // new one takes the next name.
    options.items = {secretItem(QStringLiteral("open"))};
    EXPECT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_EQ(ToolkitTestImages::readBytes(m_folder.outPath("secret.pdf")), ToolkitTestImages::readBytes(m_folder.path("secret.pdf")));
    EXPECT_EQ(FileListFixtures::pageCount(m_folder.outPath("secret 1.pdf")), 0);
    EXPECT_EQ(FileListFixtures::pageCount(m_folder.outPath("secret 1.pdf"), QStringLiteral("open")), 2);

    FilesToPDFConversionOptions merging = mergedOptions({secretItem(QStringLiteral("wrong")), m_folder.item(QStringLiteral("photo.png"), kImage)});
    ASSERT_TRUE(ConvertFilesToPDF(&merging));
    EXPECT_EQ(FileListFixtures::pageCount(merged()), 1);
    ASSERT_EQ(FileListFixtures::outline(merged()).size(), 1u);
}

// Warnings sent while it lives.
class WarningCapture {
public:
    WarningCapture() { m_previous = qInstallMessageHandler(&WarningCapture::record); }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    static QStringList& messages()
    {
        static QStringList sent;
        return sent;
    }
    bool any(const QString& file, const QString& words) const
    {
        return std::any_of(messages().begin(), messages().end(),
                           [&](const QString& message) { return message.contains(file) && message.contains(words); });
    }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            messages().append(message);
    }
    QtMessageHandler m_previous = nullptr;
};

// A PDF whose author forbids printing has the same fate on every road: its pages go into nothing
// made here, and the log says which file was passed over and why.
TEST_F(FilesToPDF, APDFThatForbidsPrintingIsLeftOutOnEveryRoadWithAWarning)
{
    PDFSpec noPrinting; // opens without a password
    noPrinting.ownerPassword = QStringLiteral("owner");
    noPrinting.allowPrinting = false;
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("noprint.pdf"), noPrinting));
    const ConversionList items{m_folder.item(QStringLiteral("photo.png"), kImage), m_folder.item(QStringLiteral("noprint.pdf"), kPDF)};
    WarningCapture::messages().clear();
    const WarningCapture warnings;

    FilesToPDFConversionOptions files = mergedOptions(items);
    ASSERT_TRUE(ConvertFilesToPDF(&files));
    EXPECT_EQ(FileListFixtures::pageCount(merged()), 1);
    EXPECT_TRUE(warnings.any(QStringLiteral("noprint.pdf"), QStringLiteral("left out: its author forbids printing")));

    WarningCapture::messages().clear();
    ImagesToPDFConversionOptions images;
    images.mergeIntoOne = 1;
    images.items = items;
    images.destinationURL = QUrl::fromLocalFile(merged());
    images.outputType = ImageType::JPEG;
    images.quality = 0.8;
    images.scalePercent = 100;
    ConvertImagesToPDF(&images);
    EXPECT_EQ(FileListFixtures::pageCount(merged()), 1);
    EXPECT_TRUE(warnings.any(QStringLiteral("noprint.pdf"), QStringLiteral("left out: its author forbids printing")));

    WarningCapture::messages().clear();
    FilesToPDFConversionOptions separate = LetterOptions({items[1]}, m_folder.outFolder());
    EXPECT_TRUE(ConvertFilesToPDF(&separate));
    EXPECT_EQ(ToolkitTestImages::readBytes(m_folder.outPath("noprint.pdf")), ToolkitTestImages::readBytes(m_folder.path("noprint.pdf")));
    EXPECT_TRUE(warnings.any(QStringLiteral("noprint.pdf"), QStringLiteral("copied as it is")));
}

// A run asked to encrypt hands out nothing plain: a PDF item it would copy unchanged is written
// with the run's protection instead.
TEST_F(FilesToPDF, AnEncryptingRunCopiesNoPlainPDF)
{
    PDFSpec empty;
    empty.pages = 0;
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("empty.pdf"), empty));
    FilesToPDFConversionOptions options = LetterOptions({m_folder.item(QStringLiteral("empty.pdf"), kPDF)}, m_folder.outFolder());
    options.pdfWriteOptions = {{PDFWriteOptionKey::UserPassword, QStringLiteral("user")}};
    EXPECT_TRUE(ConvertFilesToPDF(&options));
    const QByteArray written = ToolkitTestImages::readBytes(m_folder.outPath("empty.pdf"));
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(PdfDocument::open(written), nullptr);
    EXPECT_NE(PdfDocument::open(written, QStringLiteral("user"), nullptr), nullptr);
}

TEST_F(FilesToPDF, AnAngleAddsToEachPagesRotationWhenItIsAQuarterTurnWithinRange)
{
    PDFSpec turned;
    turned.pages = 2;
    turned.rotation = 270;
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("turned.pdf"), turned));
    ASSERT_TRUE(FileListFixtures::writePDF(m_folder.path("upright.pdf"), PDFSpec{}));
    const auto withAngle = [this](const QString& name, const QVariant& angle) {
        return m_folder.item(name, kPDF, {{ConversionListKey::Angle, angle}});
    };

    FilesToPDFConversionOptions options = LetterOptions({withAngle("turned.pdf", 90)}, m_folder.outFolder());
    ASSERT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_EQ(FileListFixtures::rotations(m_folder.outPath("turned.pdf")), (std::vector<int>{0, 0}));

    options.items = {withAngle("turned.pdf", 400), withAngle("turned.pdf", 45), withAngle("upright.pdf", -90)};
    ASSERT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_EQ(FileListFixtures::rotations(m_folder.outPath("turned 1.pdf")), (std::vector<int>{270, 270}));
    EXPECT_EQ(FileListFixtures::rotations(m_folder.outPath("turned 2.pdf")), (std::vector<int>{270, 270}));
    EXPECT_EQ(FileListFixtures::rotations(m_folder.outPath("upright.pdf")), (std::vector<int>{270}));

    FilesToPDFConversionOptions merging = mergedOptions({withAngle("turned.pdf", 180), withAngle("upright.pdf", 90)});
    ASSERT_TRUE(ConvertFilesToPDF(&merging));
    EXPECT_EQ(FileListFixtures::rotations(merged()), (std::vector<int>{90, 90, 90}));
}

TEST_F(FilesToPDF, ABlankTextGivesTheMergeNoPageAndAMergeOfNothingWritesNothing)
{
    m_folder.write(QStringLiteral("blank.txt"), "   \n\n \t\n");
    FilesToPDFConversionOptions options =
        mergedOptions({m_folder.item(QStringLiteral("blank.txt"), kText), m_folder.item(QStringLiteral("photo.png"), kImage)});
    ASSERT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_EQ(FileListFixtures::pageCount(merged()), 1);
    const std::vector<OutlineEntry> entries = FileListFixtures::outline(merged());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, QStringLiteral("photo"));

    QFile::remove(merged());
    options.items = {m_folder.item(QStringLiteral("blank.txt"), kText)};
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(m_folder.outFiles().isEmpty());
}

TEST_F(FilesToPDF, ACancelAfterTheFirstItemWritesNoMergedFile)
{
    ListProgress progress(1);
    FilesToPDFConversionOptions options =
        mergedOptions({m_folder.item(QStringLiteral("photo.png"), kImage), m_folder.item(QStringLiteral("notes.txt"), kText)});
    options.progress = progress.target();
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(m_folder.outFiles().isEmpty());
    EXPECT_EQ(progress.values, (std::vector<long>{3}));

    // One PDF per item: the first is kept, the run says it did not finish.
    ListProgress separate(1);
    options.mergeIntoOne = 0;
    options.destinationURL = m_folder.outFolder();
    options.progress = separate.target();
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_EQ(m_folder.outFiles(), QStringList({"photo.pdf"}));
}

TEST_F(FilesToPDF, ItemsOfUnknownOrWrongKindAreSkippedCleanly)
{
    m_folder.write(QStringLiteral("page.html"), "<html><body><p>Not a picture</p></body></html>");
    m_folder.write(QStringLiteral("noise.pdf"), QByteArray(2048, '\x5a'));
    ConversionListItem unknown = m_folder.item(QStringLiteral("photo.png"), 5);

    // An unknown type leaves the result as it was.
    FilesToPDFConversionOptions options = LetterOptions({unknown}, m_folder.outFolder());
    EXPECT_TRUE(ConvertFilesToPDF(&options));
    options.items = {m_folder.item(QStringLiteral("missing.pdf"), kPDF)};
    EXPECT_TRUE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(m_folder.outFiles().isEmpty());

    // A file that is not of its declared kind fails its item and writes nothing for it; the run
    // fails with it, wherever it stands in the list.
    options.items = {m_folder.item(QStringLiteral("page.html"), kImage)};
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    options.items = {m_folder.item(QStringLiteral("page.html"), kImage), m_folder.item(QStringLiteral("photo.png"), kImage)};
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_EQ(m_folder.outFiles(), QStringList{QStringLiteral("photo.pdf")});
    QFile::remove(m_folder.outPath(QStringLiteral("photo.pdf")));
    options.items = {m_folder.item(QStringLiteral("noise.pdf"), kPDF)};
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(m_folder.outFiles().isEmpty());

    // In a merge they are left out of the file, which is still written, and the run reports them.
    FilesToPDFConversionOptions merging = mergedOptions({unknown, m_folder.item(QStringLiteral("page.html"), kImage),
                                                         m_folder.item(QStringLiteral("noise.pdf"), kPDF),
                                                         m_folder.item(QStringLiteral("photo.png"), kImage)});
    EXPECT_FALSE(ConvertFilesToPDF(&merging));
    EXPECT_EQ(FileListFixtures::pageCount(merged()), 1);
}

TEST_F(FilesToPDF, EveryLinkOfEveryMergedPDFStillLeadsToItsPlace)
{
    using PdfLinkTestFiles::Annotation;
    using Targets = std::vector<std::vector<std::optional<PdfLinkTargets::Target>>>;
    // Both files name their places "chapter" and "start", on different pages and heights.
    const QByteArray guide = PdfLinkTestFiles::pagesWithAnnotations(
        {{{{}, "chapter"}}, {}, {{{}, "start"}, {{}, "chapter"}}}, {{"chapter", 1}, {"start", 0}}, 650.0);
    const QByteArray notes = PdfLinkTestFiles::pagesWithAnnotations({{}, {{{}, "start"}, {{}, "chapter"}}},
                                                                    {{"chapter", 0}, {"start", 1}}, 300.0);
    m_folder.write(QStringLiteral("guide.pdf"), guide);
    m_folder.write(QStringLiteral("notes.pdf"), notes);
    FilesToPDFConversionOptions options = mergedOptions({m_folder.item(QStringLiteral("guide.pdf"), kPDF),
                                                         m_folder.item(QStringLiteral("photo.png"), kImage),
                                                         m_folder.item(QStringLiteral("notes.pdf"), kPDF)});
    ASSERT_TRUE(ConvertFilesToPDF(&options));

    // Each file's links as they lead in the file itself, moved to where its pages start.
    Targets expected;
    const auto append = [&expected](const QByteArray& pdf, int firstPage) {
        for (auto page : PdfLinkTargets::ofPages(pdf)) {
            for (auto& target : page) {
                ASSERT_TRUE(target.has_value());
                target->page += firstPage;
            }
            expected.push_back(page);
        }
    };
    append(guide, 0);
    expected.push_back({}); // the photo's page
    append(notes, 4);
    ASSERT_EQ(expected.size(), 6u);
    QFile file(merged());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(PdfLinkTargets::ofPages(file.readAll()), expected);
}

TEST(FilesToPDFEntryPoint, RefusesARecordWithoutItsRequiredFields)
{
    FileListTestFolder folder;
    EXPECT_FALSE(ConvertFilesToPDF(nullptr));
    FilesToPDFConversionOptions options = LetterOptions({}, folder.outFolder());
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    folder.write(QStringLiteral("notes.txt"), "words");
    options.items = {folder.item(QStringLiteral("notes.txt"), kText)};
    options.destinationURL.clear();
    EXPECT_FALSE(ConvertFilesToPDF(&options));
    EXPECT_TRUE(folder.outFiles().isEmpty());
}

TEST(FilesToPDFEntryPoint, TellsHTMLFilesByTheirExtensionAsSpelled)
{
    const auto named = [](const char* name) { return IsHTMLFile(QUrl::fromLocalFile(QStringLiteral("/nonexistent/") + QLatin1String(name))); };
    for (const char* name : {"a.html", "a.HTML", "a.htm", "a.HTM", "a.svg", "a.asp", "a.aspx", "a.jsp", "a.xhtml"})
        EXPECT_TRUE(named(name)) << name;
    for (const char* name : {"a.Html", "a.txt", "a.pdf", "html", "a.html.txt"})
        EXPECT_FALSE(named(name)) << name;

    // The name decides, never the content.
    FileListTestFolder folder;
    folder.write(QStringLiteral("page"), "<!DOCTYPE html><html><body><p>a page</p></body></html>");
    EXPECT_FALSE(IsHTMLFile(QUrl::fromLocalFile(folder.path(QStringLiteral("page")))));
}

} // namespace
