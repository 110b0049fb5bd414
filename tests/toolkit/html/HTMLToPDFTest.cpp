#include "HTMLTestRun.h"

#include "support/PdfReadBack.h"
#include "support/RecordingDesktop.h"
#include "toolkit/html/HTMLToPDF.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

using namespace HTMLTestRun;

namespace {

struct Paper {
    double width = 612;
    double height = 792;
    double left = 36;
    double right = 36;
    double top = 36;
    double bottom = 36;
    std::uint64_t orientation = 0;
};

struct Converted {
    bool succeeded = false;
    QByteArray pdf;
};

// Converts each file in turn with one converter, as a caller would, into out0.pdf, out1.pdf, ...
std::vector<Converted> convertAll(const QList<QUrl>& files, const Paper& paper = {}, bool forMerge = false)
{
    QTemporaryDir folder;
    std::vector<bool> results;
    offMainThread([&] {
        HTMLToPDF converter;
        converter.Init(paper.width, paper.height, paper.left, paper.right, paper.top, paper.bottom,
                       paper.orientation, {});
        converter.SetSaveAsSinglePDF(forMerge);
        for (int index = 0; index < files.size(); ++index) {
            converter.SetTempDestinationURL(QUrl::fromLocalFile(folder.filePath(QStringLiteral("out%1.pdf").arg(index))));
            results.push_back(converter.SaveAsPDF(files.at(index)));
        }
    });
    std::vector<Converted> converted;
    for (std::size_t index = 0; index < results.size(); ++index)
        converted.push_back({results[index], readFile(folder.filePath(QStringLiteral("out%1.pdf").arg(index)))});
    return converted;
}

Converted convert(const QUrl& file, const Paper& paper = {}, bool forMerge = false)
{
    return convertAll({file}, paper, forMerge).front();
}

QString allText(const QByteArray& pdf)
{
    return PdfReadBack::pageTexts(pdf).join(QLatin1Char('\n'));
}

} // namespace

TEST(HTMLToPDF, StylesAndImagesBesideTheFileArePrinted)
{
    const Converted styled = convert(fixture(QStringLiteral("styled.html")));
    ASSERT_TRUE(styled.succeeded);
    EXPECT_EQ(PdfReadBack::pageCount(styled.pdf), 1);
    const QString text = allText(styled.pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Styled heading"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("CSS NOT APPLIED")));
    EXPECT_GT(PdfReadBack::pixelsOfColour(styled.pdf, 0, 255, 0, 0), 100);
}

TEST(HTMLToPDF, PaperSizeMarginsAndOrientationAreThoseGiven)
{
    const QUrl file = fixture(QStringLiteral("styled.html"));
    Paper a4{595, 842, 144, 36, 100, 36, 0};
    const Converted portrait = convert(file, a4);
    ASSERT_TRUE(portrait.succeeded);
    const QSizeF portraitSize = PdfReadBack::pageSize(portrait.pdf, 0);
    EXPECT_NEAR(portraitSize.width(), 595, 1);
    EXPECT_NEAR(portraitSize.height(), 842, 1);
    const QRectF portraitText = PdfReadBack::textBounds(portrait.pdf, 0);
    EXPECT_GE(portraitText.left(), 144 - 1);
    EXPECT_GE(portraitText.top(), 100 - 1);

    a4.orientation = 1;
    const Converted landscape = convert(file, a4);
    ASSERT_TRUE(landscape.succeeded);
    const QSizeF landscapeSize = PdfReadBack::pageSize(landscape.pdf, 0);
    EXPECT_NEAR(landscapeSize.width(), 842, 1);
    EXPECT_NEAR(landscapeSize.height(), 595, 1);
    EXPECT_GE(PdfReadBack::textBounds(landscape.pdf, 0).left(), 144 - 1);
}

TEST(HTMLToPDF, ContentWiderThanThePageIsFittedToItsWidth)
{
    const Paper paper;
    const Converted wide = convert(fixture(QStringLiteral("wide.html")), paper);
    ASSERT_TRUE(wide.succeeded);
    const QString text = allText(wide.pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("LeftEdge")));
    EXPECT_TRUE(text.contains(QStringLiteral("RightEdge"))) << text.toStdString();
    EXPECT_LE(PdfReadBack::textBounds(wide.pdf, 0).right(), paper.width - paper.right + 1);
}

TEST(HTMLToPDF, PagesWithFramesPrintOnlyOnceTheirFramesHaveLoaded)
{
    const std::vector<Converted> converted =
        convertAll({fixture(QStringLiteral("iframe.html")), fixture(QStringLiteral("frameset.html"))});
    ASSERT_TRUE(converted[0].succeeded);
    const QString inline_ = allText(converted[0].pdf);
    EXPECT_TRUE(inline_.contains(QStringLiteral("OuterText")));
    EXPECT_TRUE(inline_.contains(QStringLiteral("InnerFrameText"))) << inline_.toStdString();
    // Inserted by the page's own script once it had loaded.
    EXPECT_TRUE(inline_.contains(QStringLiteral("LateFrameText"))) << inline_.toStdString();

    ASSERT_TRUE(converted[1].succeeded);
    const QString frames = allText(converted[1].pdf);
    EXPECT_TRUE(frames.contains(QStringLiteral("LeftFrameText"))) << frames.toStdString();
    EXPECT_TRUE(frames.contains(QStringLiteral("RightFrameText"))) << frames.toStdString();
}

TEST(HTMLToPDF, NonLatinTextKeepsItsCharacters)
{
    const Converted cyrillic = convert(fixture(QStringLiteral("cyrillic.html")));
    ASSERT_TRUE(cyrillic.succeeded);
    const QString text = allText(cyrillic.pdf).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("Съешь же ещё этих мягких французских булок"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Ελληνικά γράμματα"))) << text.toStdString();
}

TEST(HTMLToPDF, AFileThatFailsToLoadGivesNoAndWritesNothing)
{
    const QUrl missing = fixture(QStringLiteral("no-such-file.html"));
    for (const bool forMerge : {false, true}) {
        const Converted failed = convert(missing, {}, forMerge);
        EXPECT_FALSE(failed.succeeded) << "for a merge: " << forMerge;
        EXPECT_TRUE(failed.pdf.isEmpty());
    }
    // Neither a file outside the local file system, nor margins that leave no room.
    EXPECT_FALSE(convert(QUrl(QStringLiteral("http://127.0.0.1:9/page.html"))).succeeded);
    EXPECT_FALSE(convert(fixture(QStringLiteral("styled.html")), Paper{612, 792, 400, 400, 36, 36, 0}).succeeded);
}

TEST(HTMLToPDF, APageWhoseScriptNeverEndsIsGivenUpAndTheNextFileStillPrints)
{
    const QUrl styled = fixture(QStringLiteral("styled.html"));
    const std::vector<Converted> converted = convertAll({fixture(QStringLiteral("hang.html")), styled, styled});
    EXPECT_FALSE(converted[0].succeeded);
    EXPECT_TRUE(converted[0].pdf.isEmpty());
    // The same file twice in a row is printed twice.
    for (const std::size_t index : {1U, 2U}) {
        ASSERT_TRUE(converted[index].succeeded) << index;
        EXPECT_TRUE(allText(converted[index].pdf).contains(QStringLiteral("Styled heading")));
    }
}

TEST(HTMLToPDF, AnUntrustedPageReachesNoHostOpensNothingAndStaysInItsFolder)
{
    QTcpServer tcp;
    ASSERT_TRUE(tcp.listen(QHostAddress::LocalHost));
    QUdpSocket udp;
    ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, tcp.serverPort()));

    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("page")));
    QByteArray page = readFile(fixture(QStringLiteral("untrusted.html.in")).toLocalFile());
    page.replace("@PORT@", QByteArray::number(tcp.serverPort()));
    QFile written(root.filePath(QStringLiteral("page/untrusted.html")));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(page);
    written.close();
    for (const QString& name : {QStringLiteral("outside.css"), QStringLiteral("outside.html")})
        ASSERT_TRUE(QFile::copy(fixture(name).toLocalFile(), root.filePath(name)));
    ASSERT_TRUE(QFile::copy(fixture(QStringLiteral("nav-target.html")).toLocalFile(),
                            root.filePath(QStringLiteral("page/nav-target.html"))));

    const RecordingDesktop desktop;
    const Converted untrusted = convert(QUrl::fromLocalFile(written.fileName()));
    ASSERT_TRUE(untrusted.succeeded);
    const QString text = allText(untrusted.pdf);
    // Still the page asked for, without what lies outside its folder.
    EXPECT_TRUE(text.contains(QStringLiteral("UntrustedBody"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("NavigatedAway")));
    EXPECT_FALSE(text.contains(QStringLiteral("OutsideFrameText")));

    QCoreApplication::processEvents();
    EXPECT_FALSE(tcp.waitForNewConnection(0)) << "a connection reached the local host";
    EXPECT_FALSE(udp.hasPendingDatagrams()) << "a datagram reached the local host";
    EXPECT_TRUE(desktop.opened().isEmpty()) << desktop.opened().first().toString().toStdString();
}

TEST(HTMLToPDF, TheTargetIsReplacedWholeOrKeptAsItWas)
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("target.pdf"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();

    bool failed = true;
    bool replaced = false;
    offMainThread([&] {
        HTMLToPDF converter;
        converter.Init(612, 792, 36, 36, 36, 36, 0, {});
        converter.SetTempDestinationURL(QUrl::fromLocalFile(target));
        failed = converter.SaveAsPDF(fixture(QStringLiteral("no-such-file.html")));
        EXPECT_EQ(readFile(target), QByteArray("old contents"));
        replaced = converter.SaveAsPDF(fixture(QStringLiteral("styled.html")));
    });
    EXPECT_FALSE(failed);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(PdfReadBack::pageCount(readFile(target)), 1);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("target.pdf")});
}
