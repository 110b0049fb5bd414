#include "ExportTestSupport.h"
#include "support/PdfReadBack.h"
#include "SharedFontsCheck.h"
#include "chm/CHMDocument.h"
#include "chm/ITSSScheme.h"
#include "common/TomefoldConversionOptions.h"
#include "export/PDFExportProvider.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

TEST(ExportFontsTest, EveryFaceOfTheTopicsIsEmbeddedOnce)
{
    // Regular, bold, italic, serif and monospace text, Cyrillic and Greek, and an image, over
    // five topics that each print their own subsets.
    QTemporaryDir folder;
    CHMDocument document;
    document.setExportProvider(&PDFExportProvider());
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-fonts"))),
                                     QStringLiteral("CHM")));
    TomefoldConversionOptions options = letterOptions();
    const QUrl target = QUrl::fromLocalFile(folder.filePath(QStringLiteral("fonts.pdf")));
    exportFromWorker(document, target, options);
    QFile file(target.toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();

    const std::map<std::string, int> programs = SharedFontsCheck::programsByFace(pdf);
    for (const char* face : {"DejaVuSans", "DejaVuSans-Bold", "DejaVuSans-Oblique", "DejaVuSerif", "DejaVuSansMono"})
        EXPECT_EQ(programs.count(face), 1u) << face;
    for (const auto& [face, count] : programs)
        EXPECT_EQ(count, 1) << face;
    const QStringList texts = PdfReadBack::pageTexts(pdf);
    ASSERT_EQ(texts.size(), 5);
    EXPECT_TRUE(texts[3].contains(QStringLiteral("Съешь же ещё этих мягких французских булок")));
    EXPECT_TRUE(texts[3].contains(QStringLiteral("Ξεσκεπάζω την ψυχοφθόρα βδελυγμία")));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("Result := List.Count;")));
    EXPECT_EQ(SharedFontsCheck::qpdfCheckProblems(pdf), QString());
}
