#include "HTMLTestRun.h"

#include "support/PdfReadBack.h"
#include "toolkit/html/HTMLToPDF.h"
#include "toolkit/options/TextToPDFConversionOptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace HTMLTestRun;

namespace {

ConversionListItem item(const QString& name)
{
    return {{ConversionListKey::FilePath, fixture(name)}, {ConversionListKey::FileType, 4}};
}

TextToPDFConversionOptions options(const ConversionList& items, const QUrl& destination)
{
    TextToPDFConversionOptions record;
    record.items = items;
    record.destinationURL = destination;
    record.pageWidth = 612;
    record.pageHeight = 792;
    record.leftMargin = record.rightMargin = record.topMargin = record.bottomMargin = 36;
    return record;
}

enum class Runner {
    Separate,
    Merged
};

// Runs a list runner with a progress recorder; answers its result.
bool run(Runner runner, const TextToPDFConversionOptions& record, ProgressRecorder& progress)
{
    bool result = false;
    offMainThread([&] {
        HTMLToPDF converter;
        converter.Init(&record);
        converter.SetProgressCallbackInfo(progress.target());
        result = runner == Runner::Separate ? converter.SaveAsPDF() : converter.SaveAsTextToSinglePDF();
    });
    return result;
}

QStringList filesIn(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(HTMLToPDFLists, OnePDFPerFileNamedAfterIt)
{
    QTemporaryDir folder;
    QFile taken(folder.filePath(QStringLiteral("styled.pdf")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    ProgressRecorder progress;
    const auto record = options({item(QStringLiteral("styled.html")), {}, item(QStringLiteral("cyrillic.html"))},
                                QUrl::fromLocalFile(folder.path()));
    ASSERT_TRUE(run(Runner::Separate, record, progress));
    EXPECT_EQ(progress.values(), (std::vector<long>{3, 3}));
    EXPECT_EQ(filesIn(folder), (QStringList{QStringLiteral("cyrillic.pdf"), QStringLiteral("styled 1.pdf"),
                                            QStringLiteral("styled.pdf")}));
    EXPECT_TRUE(PdfReadBack::pageTexts(readFile(folder.filePath(QStringLiteral("styled 1.pdf"))))
                    .join(QString())
                    .contains(QStringLiteral("Styled heading")));
}

TEST(HTMLToPDFLists, OnePDFPerFileStopsAtTheFirstFailure)
{
    QTemporaryDir folder;
    ProgressRecorder progress;
    const auto record = options({item(QStringLiteral("styled.html")), item(QStringLiteral("no-such-file.html")),
                                 item(QStringLiteral("cyrillic.html"))},
                                QUrl::fromLocalFile(folder.path()));
    EXPECT_FALSE(run(Runner::Separate, record, progress));
    EXPECT_EQ(progress.values(), (std::vector<long>{3, 3}));
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("styled.pdf")});

    ProgressRecorder none;
    EXPECT_TRUE(run(Runner::Separate, options({}, QUrl::fromLocalFile(folder.path())), none));
    EXPECT_TRUE(none.values().empty());
}

TEST(HTMLToPDFLists, MergedPDFKeepsTheListOrder)
{
    QTemporaryDir folder;
    const QString merged = folder.filePath(QStringLiteral("merged.pdf"));
    ProgressRecorder progress;
    const auto record = options({item(QStringLiteral("cyrillic.html")), item(QStringLiteral("styled.html")),
                                 item(QStringLiteral("frameset.html"))},
                                QUrl::fromLocalFile(merged));
    ASSERT_TRUE(run(Runner::Merged, record, progress));
    EXPECT_EQ(progress.values(), (std::vector<long>{3, 3, 3, 6, 7}));
    const QStringList pages = PdfReadBack::pageTexts(readFile(merged));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("булок")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Styled heading")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("LeftFrameText")));
    // The files printed for the merge are gone.
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("merged.pdf")});
}

TEST(HTMLToPDFLists, MergedPDFReportsAFailedFile)
{
    QTemporaryDir folder;
    const QString merged = folder.filePath(QStringLiteral("merged.pdf"));

    // Nothing collected: nothing written.
    ProgressRecorder first;
    EXPECT_FALSE(run(Runner::Merged,
                     options({item(QStringLiteral("no-such-file.html")), item(QStringLiteral("styled.html"))},
                             QUrl::fromLocalFile(merged)),
                     first));
    EXPECT_EQ(first.values(), (std::vector<long>{3}));
    EXPECT_FALSE(QFile::exists(merged));

    // What came before the failed file is kept, the list stops there, and the run fails.
    ProgressRecorder middle;
    EXPECT_FALSE(run(Runner::Merged,
                     options({item(QStringLiteral("styled.html")), item(QStringLiteral("no-such-file.html")),
                              item(QStringLiteral("cyrillic.html"))},
                             QUrl::fromLocalFile(merged)),
                     middle));
    EXPECT_EQ(middle.values(), (std::vector<long>{3, 3, 6, 7}));
    const QStringList pages = PdfReadBack::pageTexts(readFile(merged));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Styled heading")));
}
