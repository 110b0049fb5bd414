#include "export/pdfcore/CorePDFDocument.h"
#include "export/pdfcore/LocatorTextOutputDev.h"
#include "export/pdfcore/PageDisplay.h"
#include "export/pdfcore/PageTextPass.h"
#include "export/pdfcore/PageWordList.h"
#include "export/pdfcore/TextOffsetLocator.h"

#include "support/TestPdf.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <vector>

using PDFCore::CorePDFDocument;

namespace {

// Helvetica 12 pt: "Hello " is 2.556 + 0.278 em wide.
constexpr double kWorldX = 72.0 + (2.278 + 0.278) * 12.0;

std::unique_ptr<CorePDFDocument> open(const QByteArray& pdf)
{
    auto document = CorePDFDocument::fromBytes(pdf);
    EXPECT_TRUE(document);
    return document;
}

QByteArray textLine(const char* text, int y = 700)
{
    return QByteArray("BT /F1 12 Tf 72 ") + QByteArray::number(y) + " Td (" + text + ") Tj ET";
}

std::vector<TextOffsetRecord> recordsAt(std::initializer_list<std::uint32_t> offsets)
{
    std::vector<TextOffsetRecord> records;
    for (const std::uint32_t offset : offsets)
        records.push_back(TextOffsetRecord{offset, 0.0, 0.0, 0});
    return records;
}

TEST(PageTextPass, LocatesOffsetsAtTheWordsOfAPrintedPage)
{
    const auto document = open(TestPdf::helveticaPages({textLine("Hello world")}));
    ASSERT_TRUE(document);
    std::vector<TextOffsetRecord> records = recordsAt({6, 100});
    std::int32_t offset = 0;
    std::int32_t index = 0;
    EXPECT_EQ(PDFCore::locateTextOffsetsOnPage(document->document(), 1, "Hello world", offset, records, index),
              PDFCore::kLocateMatched);
    EXPECT_EQ(offset, 11);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(records[0].found, 1);
    EXPECT_NEAR(records[0].x, kWorldX, 0.01);

    PDFCore::LocatorTextOutputDev device;
    PDFCore::displayPages(document->document(), device, 1, 1, 72, 72, 0, false, true, false);
    const auto words = PDFCore::pageWords(device);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].xMin, 72.0);
    EXPECT_EQ(records[0].y, words[1].yMin - 2.0);
    EXPECT_GT(words[1].yMin, 792.0 - 700.0 - 12.0); // top-left origin, y downward
    EXPECT_LT(words[1].yMin, 792.0 - 700.0);
}

TEST(PageTextPass, OffsetAndIndexCarryFromPageToPage)
{
    const auto document = open(TestPdf::helveticaPages({textLine("Hello world"), textLine("second page")}));
    ASSERT_TRUE(document);
    const std::string_view text = "Hello world second page";
    std::vector<TextOffsetRecord> records = recordsAt({0, 12, 19});
    std::int32_t offset = 0;
    std::int32_t index = 0;
    EXPECT_EQ(PDFCore::locateTextOffsetsOnPage(document->document(), 1, text, offset, records, index), 0);
    EXPECT_EQ(offset, 11);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(PDFCore::locateTextOffsetsOnPage(document->document(), 2, text, offset, records, index), 0);
    EXPECT_EQ(offset, 19);
    EXPECT_EQ(index, 3);
    for (const TextOffsetRecord& record : records)
        EXPECT_EQ(record.found, 1);
    EXPECT_EQ(records[0].x, 72.0);
    EXPECT_EQ(records[1].x, 72.0);
    EXPECT_GT(records[2].x, 72.0);
}

TEST(PageTextPass, FindsTheWordsOfAQtPrintedPage)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer.setResolution(72);
        QPainter painter(&writer);
        // Text without letter pairs that shaping would join into ligatures.
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        painter.drawText(QPointF(50, 100), QStringLiteral("Tomefold marks anchors"));
        painter.drawText(QPointF(50, 200), QStringLiteral("Größe\u00A0und Maß"));
    }
    const auto document = open(pdf);
    ASSERT_TRUE(document);
    const std::string_view text = "Tomefold marks anchors\nGr\xC3\xB6\xC3\x9F" "e\xC2\xA0und Ma\xC3\x9F";
    std::vector<TextOffsetRecord> records = recordsAt({9, 15, 23, 32, 100});
    std::int32_t offset = 0;
    std::int32_t index = 0;
    EXPECT_EQ(PDFCore::locateTextOffsetsOnPage(document->document(), 1, text, offset, records, index), 0);
    EXPECT_EQ(offset, static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(index, 4);
    EXPECT_LT(records[0].x, records[1].x);
    EXPECT_NEAR(records[2].x, 50.0, 1.0);
    EXPECT_LT(records[0].y, records[2].y);
    EXPECT_GT(records[3].x, records[2].x);
}

TEST(PageTextPass, PageWithoutTextLocatesNothing)
{
    const auto document = open(TestPdf::helveticaPages({"0 0 1 rg 10 10 50 50 re f"}));
    ASSERT_TRUE(document);
    std::vector<TextOffsetRecord> records = recordsAt({0});
    std::int32_t offset = 0;
    std::int32_t index = 0;
    EXPECT_EQ(PDFCore::locateTextOffsetsOnPage(document->document(), 1, "Hello", offset, records, index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(records[0].found, 0);
}

class RecordingProgress
{
public:
    explicit RecordingProgress(int cancelAfterPage) : stopAfter(cancelAfterPage)
    {
        hook.owner = this;
        hook.context = &context;
        hook.callback = [this](const PDFCore::PageProgressEvent& event) {
            EXPECT_EQ(event.owner, this);
            EXPECT_EQ(event.context, &context);
            pages.push_back(event.pageNumber);
            if (event.pageNumber == stopAfter)
                context.cancel = 1;
        };
    }

    PDFCore::DisplayProgressContext context;
    PDFCore::DisplayProgress hook;
    std::vector<int> pages;

private:
    int stopAfter;
};

std::string firstWord(PDFCore::LocatorTextOutputDev& device)
{
    const auto words = PDFCore::pageWords(device);
    std::string text;
    if (!words.empty())
        for (const Unicode u : words.front().chars)
            text += static_cast<char>(u);
    return text;
}

TEST(PageDisplay, AnnouncesEachPageAndStopsWhenCancelled)
{
    const auto document = open(TestPdf::helveticaPages({textLine("one"), textLine("two"), textLine("three")}));
    ASSERT_TRUE(document);

    PDFCore::LocatorTextOutputDev plain;
    PDFCore::displayPages(document->document(), plain, 1, 3, 72, 72, 0, false, true, false);
    EXPECT_EQ(plain.currentPage(), 3);
    EXPECT_EQ(firstWord(plain), "three");

    RecordingProgress progress(2);
    PDFCore::LocatorTextOutputDev hooked;
    hooked.setProgressHook(&progress.hook);
    PDFCore::displayPages(document->document(), hooked, 1, 3, 72, 72, 0, false, true, false);
    EXPECT_EQ(progress.pages, (std::vector<int>{1, 2}));
    EXPECT_EQ(hooked.currentPage(), 2);
    EXPECT_EQ(firstWord(hooked), "two");

    RecordingProgress cancelledBefore(0);
    cancelledBefore.context.cancel = 1;
    PDFCore::LocatorTextOutputDev idle;
    idle.setProgressHook(&cancelledBefore.hook);
    PDFCore::displayPages(document->document(), idle, 2, 3, 72, 72, 0, false, true, false);
    EXPECT_TRUE(cancelledBefore.pages.empty());
    EXPECT_EQ(idle.currentPage(), 0);
}

TEST(PageDisplay, DevicesOfTheCoreItselfRenderEveryPage)
{
    const auto document = open(TestPdf::helveticaPages({textLine("one"), textLine("two")}));
    ASSERT_TRUE(document);
    TextOutputDev device(nullptr, nullptr, false, 0, true);
    PDFCore::displayPages(document->document(), device, 1, 2, 72, 72, 0, false, true, false);
    const auto words = PDFCore::pageWords(device);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].chars, (std::vector<Unicode>{'t', 'w', 'o'}));
}

} // namespace
