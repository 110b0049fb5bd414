#include "support/PdfTestFiles.h"
#include "common/IsBlankPDFPage.h"

#include <QPointF>

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Stream.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

bool isBlank(const QByteArray& pdf, int pageIndex = 0)
{
    // The core's default settings, as a library that reads PDF pages makes them.
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    PDFDoc document(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    return IsBlankPDFPage(&document, pageIndex);
}

} // namespace

TEST(IsBlankPDFPage, APageThatDrawsNothingIsBlank)
{
    EXPECT_TRUE(isBlank(PdfTestFiles::pagesWithTexts({QString()})));
    EXPECT_TRUE(isBlank(PdfTestFiles::pagesWithTexts({QString()}, QSizeF(612, 792), 90)));
}

TEST(IsBlankPDFPage, SixCharactersOfTextAreNeverBlankEvenWhenWhite)
{
    EXPECT_FALSE(isBlank(PdfTestFiles::pageWithWhiteText(QStringLiteral("abcdef"))));
    EXPECT_TRUE(isBlank(PdfTestFiles::pageWithWhiteText(QStringLiteral("abcde"))));
    EXPECT_FALSE(isBlank(PdfTestFiles::pagesWithTexts({QStringLiteral("ab")})));
}

TEST(IsBlankPDFPage, OneMarkAnywhereMakesAPageNotBlank)
{
    // Two points square are one pixel of the half-size rendering.
    for (const QPointF corner : {QPointF(0, 0), QPointF(610, 0), QPointF(0, 790), QPointF(610, 790), QPointF(300, 400)})
        EXPECT_FALSE(isBlank(PdfTestFiles::pageWithSquare(corner.x(), corner.y(), 2))) << corner.x() << "," << corner.y();
}

TEST(IsBlankPDFPage, ARotatedPageIsTestedWhole)
{
    // A mark near the far edge of a page turned a quarter: it must fall inside the rendering.
    EXPECT_FALSE(isBlank(PdfTestFiles::pageWithSquare(600, 780, 2, QSizeF(612, 792), 90)));
    EXPECT_FALSE(isBlank(PdfTestFiles::pageWithSquare(0, 0, 2, QSizeF(612, 792), 270)));
}

TEST(IsBlankPDFPage, WithoutTheCoreSettingsNoPageIsBlank)
{
    const QByteArray pdf = PdfTestFiles::pagesWithTexts({QString()});
    ASSERT_TRUE(isBlank(pdf)); // makes the settings
    PDFDoc document(new MemStream(pdf.constData(), 0, pdf.size(), Object(objNull)));
    std::unique_ptr<GlobalParams> settings;
    settings.swap(globalParams);
    const bool blank = IsBlankPDFPage(&document, 0);
    settings.swap(globalParams);
    EXPECT_FALSE(blank);
}

TEST(IsBlankPDFPage, AMissingDocumentOrPageIsNotBlank)
{
    EXPECT_FALSE(IsBlankPDFPage(nullptr, 0));
    const QByteArray pdf = PdfTestFiles::pagesWithTexts({QString()});
    EXPECT_FALSE(isBlank(pdf, 1));
    EXPECT_FALSE(isBlank(pdf, -1));
}
