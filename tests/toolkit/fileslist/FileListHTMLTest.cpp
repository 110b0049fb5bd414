#include "toolkit/Toolkit.h"
#include "toolkit/ToolkitTestImages.h"
#include "toolkit/fileslist/FileListFixtures.h"
#include "toolkit/fileslist/FileListTestFolder.h"
#include "toolkit/html/HTMLTestRun.h"

#include <gtest/gtest.h>

// The four kinds of item in one list, the HTML file printed by the web engine on the main thread
// while the runner waits on its own thread, as a host calls it.

namespace {

using FileListFixtures::OutlineEntry;

TEST(FileListWithHTML, FourKindsMergeInListOrderWithAnEntryEach)
{
    FileListTestFolder folder;
    ASSERT_TRUE(ToolkitTestImages::writePNG(folder.path("photo.png"), ToolkitTestImages::quadrantImage(64, 48), 72));
    folder.write(QStringLiteral("notes.txt"), "A few words of notes.\n");
    FileListFixtures::PDFSpec secret;
    secret.userPassword = QStringLiteral("open");
    ASSERT_TRUE(FileListFixtures::writePDF(folder.path("secret.pdf"), secret));
    folder.write(QStringLiteral("page.html"), "<html><body><h1>A page</h1><p>Printed by the engine.</p></body></html>");

    const QString merged = folder.outPath(QStringLiteral("all.pdf"));
    FilesToPDFConversionOptions options = LetterOptions(
        {folder.item(QStringLiteral("photo.png"), ConversionFileType::Image),
         folder.item(QStringLiteral("notes.txt"), ConversionFileType::TextDocument),
         folder.item(QStringLiteral("secret.pdf"), ConversionFileType::PDFDocument,
                     {{ConversionListKey::Password, QStringLiteral("open")}}),
         folder.item(QStringLiteral("page.html"), ConversionFileType::HTMLFile)},
        QUrl::fromLocalFile(merged));
    options.mergeIntoOne = 1;
    bool converted = false;
    HTMLTestRun::offMainThread([&] { converted = ConvertFilesToPDF(&options); });
    ASSERT_TRUE(converted);

    EXPECT_EQ(FileListFixtures::pageCount(merged), 4);
    const std::vector<OutlineEntry> entries = FileListFixtures::outline(merged);
    ASSERT_EQ(entries.size(), 4u);
    const QStringList titles = {"photo", "notes", "secret", "page"};
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(entries[static_cast<size_t>(index)].title, titles[index]);
        EXPECT_EQ(entries[static_cast<size_t>(index)].page, index);
    }

    // One PDF each: the HTML file's too, named after it.
    options.mergeIntoOne = 0;
    options.destinationURL = folder.outFolder();
    HTMLTestRun::offMainThread([&] { converted = ConvertFilesToPDF(&options); });
    EXPECT_TRUE(converted);
    EXPECT_EQ(folder.outFiles(), QStringList({"all.pdf", "notes.pdf", "page.pdf", "photo.pdf", "secret.pdf"}));
    EXPECT_GE(FileListFixtures::pageCount(folder.outPath(QStringLiteral("page.pdf"))), 1);
}

} // namespace
