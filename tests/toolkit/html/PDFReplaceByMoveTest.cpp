#include "chm/CHMWebPage.h"
#include "platform/FolderRequestInterceptor.h"
#include "platform/PdfDocument.h"
#include "support/FixtureFiles.h"
#include "support/PdfTestFiles.h"
#include "toolkit/html/HTMLPrintSettings.h"
#include "toolkit/html/PDFReplaceByMove.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRectF>
#include <QFile>
#include <QTemporaryDir>

TEST(PDFReplaceByMove, TheTargetIsReplacedInOneStep)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("out.pdf"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const auto document = PdfDocument::create();
    ASSERT_TRUE(WritePDFByReplaceByMove(*document, QUrl::fromLocalFile(target), {}));
    EXPECT_TRUE(FixtureFiles::readAll(target).startsWith("%PDF-"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.pdf")});
}

TEST(PDFReplaceByMove, AFailedMoveKeepsTheTargetAndLeavesNoScratchFile)
{
    QTemporaryDir folder;
    // A folder is never replaced by a file.
    const QString target = folder.filePath(QStringLiteral("taken.pdf"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken.pdf")));
    QFile inside(target + QStringLiteral("/kept.txt"));
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.close();
    const auto document = PdfDocument::create();
    EXPECT_FALSE(WritePDFByReplaceByMove(*document, QUrl::fromLocalFile(target), {}));
    EXPECT_TRUE(QFile::exists(target + QStringLiteral("/kept.txt")));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(WritePDFByReplaceByMove(*document, QUrl(QStringLiteral("http://host/out.pdf")), {}));
}

TEST(PDFReplaceByMove, WriteOptionsEncryptWithThePasswordsAndPermissions)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("locked.pdf"));
    const auto document = PdfDocument::open(PdfTestFiles::pagesWithTexts({QStringLiteral("secret words")}));
    ASSERT_NE(document, nullptr);
    const QVariantMap options{{PDFWriteOptionKey::UserPassword, QStringLiteral("user")},
                              {PDFWriteOptionKey::OwnerPassword, QStringLiteral("owner")},
                              {PDFWriteOptionKey::AllowsPrinting, false},
                              {PDFWriteOptionKey::AllowsCopying, false}};
    ASSERT_TRUE(WritePDFByReplaceByMove(*document, QUrl::fromLocalFile(target), options));
    const QByteArray written = FixtureFiles::readAll(target);
    EXPECT_EQ(PdfDocument::open(written), nullptr);
    bool refused = false;
    const auto asUser = PdfDocument::open(written, QStringLiteral("user"), &refused);
    ASSERT_NE(asUser, nullptr);
    EXPECT_TRUE(asUser->isEncrypted());
    EXPECT_FALSE(asUser->allowsPrinting());
    const auto asOwner = PdfDocument::open(written, QStringLiteral("owner"), &refused);
    ASSERT_NE(asOwner, nullptr);
    EXPECT_TRUE(asOwner->allowsPrinting());
    EXPECT_EQ(PdfDocument::open(written, QStringLiteral("wrong"), &refused), nullptr);
    EXPECT_TRUE(refused);

    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--show-encryption"), QStringLiteral("--password=user"), target});
    ASSERT_TRUE(qpdf.waitForFinished(60000));
    const QString shown = QString::fromUtf8(qpdf.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(QStringLiteral("R = 6"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("extract for any purpose: not allowed"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("print high resolution: not allowed"))) << shown.toStdString();

    // Copying withheld, and nothing else asked, encrypts all the same.
    ASSERT_TRUE(WritePDFByReplaceByMove(*document, QUrl::fromLocalFile(target), {{PDFWriteOptionKey::AllowsCopying, false}}));
    const auto uncopyable = PdfDocument::open(FixtureFiles::readAll(target));
    ASSERT_NE(uncopyable, nullptr);
    EXPECT_TRUE(uncopyable->isEncrypted());

    // Without options the document stays plain.
    ASSERT_TRUE(WritePDFByReplaceByMove(*document, QUrl::fromLocalFile(target), {}));
    const auto plain = PdfDocument::open(FixtureFiles::readAll(target));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->isEncrypted());
}

TEST(HTMLPrintSettings, LandscapeSwapsWidthAndHeightAndMarginsMustLeaveRoom)
{
    HTMLPrintSettings settings{612, 792, 72, 72, 36, 36, 0};
    EXPECT_EQ(settings.printableViewSize(), QSize(624, 960)); // 6.5 x 10 inches at 96 per inch
    settings.orientation = 1;
    EXPECT_EQ(settings.orientedPaperSize(), QSizeF(792, 612));
    EXPECT_EQ(settings.pageLayout().fullRect(QPageLayout::Point).size(), QSizeF(792, 612));
    // paper already wider than high is swapped all the same: landscape swaps, whatever the shape
    settings.paperWidth = 792;
    settings.paperHeight = 612;
    EXPECT_EQ(settings.orientedPaperSize(), QSizeF(612, 792));
    EXPECT_EQ(settings.pageLayout().fullRect(QPageLayout::Point).size(), QSizeF(612, 792));
    settings.leftMargin = 400;
    settings.rightMargin = 400;
    EXPECT_FALSE(settings.pageLayout().isValid());
}

// A page's print time limit grows with the sheets its laid-out height fills, up to a cap.
TEST(HTMLPrintSettings, ThePrintTimeLimitGrowsWithTheLaidOutHeight)
{
    using std::chrono::seconds;
    const HTMLPrintSettings settings{612, 792, 72, 72, 36, 36, 0}; // 960 pixels a sheet
    EXPECT_EQ(settings.printTimeout(0), seconds(60));
    EXPECT_EQ(settings.printTimeout(960), seconds(60));
    EXPECT_EQ(settings.printTimeout(960 * 600), seconds(60 + 300));
    EXPECT_EQ(settings.printTimeout(1e12), seconds(60 + 1200));
}

TEST(HTMLFolderRules, OnlyFilesInsideTheFolderBelongToThePage)
{
    QTemporaryDir root;
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("page/images")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("pages")));
    ASSERT_TRUE(QFile::link(root.path(), root.filePath(QStringLiteral("page/up"))));
    const QString folder = root.filePath(QStringLiteral("page"));
    const auto inside = [&](const QString& relative) {
        return FolderRequestInterceptor::isInsideFolder(QUrl::fromLocalFile(root.filePath(relative)), folder);
    };
    EXPECT_TRUE(inside(QStringLiteral("page/index.html")));
    EXPECT_TRUE(inside(QStringLiteral("page/images/a.png")));
    EXPECT_FALSE(inside(QStringLiteral("pages/other.html"))); // a folder whose name only begins alike
    EXPECT_FALSE(inside(QStringLiteral("page/../secret.html")));
    EXPECT_FALSE(inside(QStringLiteral("page/up/pages"))); // a link that leads out
    EXPECT_FALSE(FolderRequestInterceptor::isInsideFolder(QUrl(QStringLiteral("file://server/page/a.html")),
                                                          QStringLiteral("/page")));
    EXPECT_FALSE(FolderRequestInterceptor::isInsideFolder(QUrl(QStringLiteral("http://127.0.0.1/")), folder));

    // The page's own frames may show such files; its main frame only the file asked for.
    const QUrl file = QUrl::fromLocalFile(root.filePath(QStringLiteral("page/index.html")));
    const CHMWebPage::ContentFilter filter = [&](const QUrl& url) {
        return FolderRequestInterceptor::isInsideFolder(url, folder);
    };
    const QUrl frame = QUrl::fromLocalFile(root.filePath(QStringLiteral("page/frame.html")));
    EXPECT_EQ(CHMWebPage::decide(true, frame, QWebEnginePage::NavigationTypeOther, false, file, filter), CHMWebPage::Decision::Load);
    EXPECT_EQ(CHMWebPage::decide(true, frame, QWebEnginePage::NavigationTypeOther, true, file, filter), CHMWebPage::Decision::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, file, QWebEnginePage::NavigationTypeOther, true, file, filter), CHMWebPage::Decision::Load);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl::fromLocalFile(root.filePath(QStringLiteral("pages/x.html"))),
                                 QWebEnginePage::NavigationTypeOther, false, file, filter),
              CHMWebPage::Decision::Refuse);
    EXPECT_EQ(CHMWebPage::decide(true, QUrl(QStringLiteral("mailto:a@b.org")), QWebEnginePage::NavigationTypeLinkClicked,
                                 false, file, filter),
              CHMWebPage::Decision::Refuse);
}
