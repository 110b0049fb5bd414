#include "SharedFontsCheck.h"
#include "platform/OffscreenWebPage.h"

#include <QEventLoop>
#include <QPageLayout>
#include <QPageSize>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The topics of the fonts fixture as the engine prints them, each on its own.
std::vector<QByteArray> printedTopics(const QStringList& names)
{
    QWebEngineProfile profile;
    const QString folder = qEnvironmentVariable("TOMEFOLD_TEST_SOURCE_DATA") + QStringLiteral("/export-fonts/");
    const QPageLayout letter(QPageSize(QSizeF(612, 792), QPageSize::Point, QString(), QPageSize::ExactMatch),
                             QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    std::vector<QByteArray> printed;
    for (const QString& name : names) {
        OffscreenWebPage page(std::make_unique<QWebEnginePage>(&profile), QSize(720, 960));
        QSignalSpy ended(&page, &OffscreenWebPage::loadEnded);
        page.load(QUrl::fromLocalFile(folder + name), 30s);
        EXPECT_TRUE(ended.wait(60000)) << name.toStdString();
        QByteArray bytes;
        QEventLoop loop;
        page.printToPdf(letter, 60s, [&](const QByteArray& result) {
            bytes = result;
            loop.quit();
        });
        if (bytes.isEmpty())
            loop.exec();
        EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
        printed.push_back(bytes);
    }
    return printed;
}

} // namespace

TEST(SharedFontsPrintTest, PrintedTopicsEmbedEachFaceOnceAndReadAsPrinted)
{
    const std::vector<QByteArray> printed = printedTopics({QStringLiteral("regular.htm"), QStringLiteral("bold.htm"),
                                                           QStringLiteral("code.htm"), QStringLiteral("languages.htm"),
                                                           QStringLiteral("image.htm"), QStringLiteral("regular.htm")});
    const QByteArray plain = SharedFontsCheck::copiedPages(printed, false);
    const QByteArray shared = SharedFontsCheck::copiedPages(printed, true);
    const std::map<std::string, int> before = SharedFontsCheck::programsByFace(plain);
    const std::map<std::string, int> after = SharedFontsCheck::programsByFace(shared);
    // Regular, bold, italic, monospace and serif faces, most of them in several topics.
    EXPECT_GE(after.size(), 5u);
    for (const auto& [face, programs] : after) {
        EXPECT_EQ(programs, 1) << face;
        EXPECT_EQ(before.count(face), 1u) << face;
    }
    EXPECT_GT(before.at("DejaVuSans"), 1);
    EXPECT_LT(shared.size(), plain.size());
    SharedFontsCheck::expectSameReading(plain, shared);
    EXPECT_EQ(SharedFontsCheck::qpdfCheckProblems(shared), QString());
}
