#include "ExportTestSupport.h"
#include "support/PdfReadBack.h"
#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "common/TomefoldConversionOptions.h"
#include "export/ExportPrintSettings.h"
#include "export/PDFExportProvider.h"
#include "support/HangGuard.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

QByteArray exportFixture(const QString& fixture, TomefoldConversionOptions options)
{
    const HangGuard guard(std::chrono::seconds(120), "the export");
    QTemporaryDir folder;
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(fixture)), QStringLiteral("CHM")));
    const QUrl target = QUrl::fromLocalFile(folder.filePath(fixture + QStringLiteral(".pdf")));
    exportFromWorker(document, target, options);
    QFile file(target.toLocalFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool crosses(const QRectF& box, double edge)
{
    return box.top() < edge && edge < box.bottom();
}

} // namespace

// A long documentation topic (a real page, shortened) whose wide code blocks are wrapped to fit:
// the engine broke its pages inside lines, the top half of a line ending one page and the rest
// starting the next.
TEST(PageBreaks, NoLineOfALongTopicIsCutByAPageEdgeAndNothingPassesTheRightMargin)
{
    const TomefoldConversionOptions options = a4WindowOptions();
    const QByteArray pdf = exportFixture(QStringLiteral("export-cuts"), options);
    const int pages = PdfReadBack::pageCount(pdf);
    ASSERT_GE(pages, 10);
    const double top = options.topMargin;
    const double bottom = options.pageHeight - options.bottomMargin;
    const double right = options.pageWidth - options.rightMargin;
    QStringList cut;
    QStringList outside;
    QString text;
    for (int page = 0; page < pages; ++page) {
        for (const PdfReadBack::Word& word : PdfReadBack::words(pdf, page)) {
            text += word.text + QLatin1Char(' ');
            if (crosses(word.box, top) || crosses(word.box, bottom))
                cut << QStringLiteral("%1 on page %2 at %3..%4").arg(word.text).arg(page + 1).arg(word.box.top()).arg(word.box.bottom());
            if (word.box.right() > right + 1 || word.box.left() < options.leftMargin - 1)
                outside << QStringLiteral("%1 on page %2").arg(word.text).arg(page + 1);
        }
    }
    EXPECT_TRUE(cut.isEmpty()) << cut.size() << " words cut, first: " << cut.mid(0, 10).join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(outside.isEmpty()) << outside.mid(0, 10).join(QLatin1Char('\n')).toStdString();
    // Shrunk onto the page by a hair, not scaled down: body text keeps its size.
    EXPECT_TRUE(text.contains(QStringLiteral("The following sections describe the standard types")));
    EXPECT_TRUE(text.contains(QStringLiteral("Items in the sequence are not copied; they are referenced multiple times")));
}

// The page the engine is given keeps the glyphs of its first and last lines inside the margins
// asked: the paper and the sides are those asked, top and bottom a little more.
TEST(PageBreaks, TheEnginesPageIsTheAskedPageShortenedAtTopAndBottom)
{
    ExportPrintSettings settings = ExportPrintSettings::fromOptions(a4WindowOptions());
    for (const std::uint64_t orientation : {kTomefoldPortraitOrientation, kTomefoldLandscapeOrientation}) {
        settings.orientation = orientation;
        const QPageLayout layout = settings.pageLayout();
        EXPECT_EQ(layout.fullRect(QPageLayout::Point).size().toSize(), settings.orientedPaperSize().toSize());
        const QMarginsF margins = layout.margins(QPageLayout::Point);
        EXPECT_EQ(margins.left(), 77.1);
        EXPECT_EQ(margins.right(), 77.1);
        for (const double edge : {margins.top(), margins.bottom()}) {
            EXPECT_GT(edge, 77.1);
            EXPECT_LT(edge, 77.1 + 3);
        }
    }
    // A page whose printable height is hardly more than the allowance keeps the margins asked.
    settings.orientation = kTomefoldPortraitOrientation;
    settings.topMargin = settings.bottomMargin = (settings.paperHeight - 4) / 2;
    EXPECT_EQ(settings.pageLayout().margins(QPageLayout::Point),
              QMarginsF(77.1, settings.topMargin, 77.1, settings.bottomMargin));
}
