// The walk over a loaded page's DOM, as the export runs it after printing a topic.

#include "export/DOMTextWalk.h"
#include "export/TopicPrintScripts.h"
#include "platform/OffscreenWebPage.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Loads the page in a view of the printed width and answers what the script does.
std::optional<QVariant> runOnPage(const QString& html, const QString& script)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("page.html")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(html.toUtf8());
    file.close();

    QWebEngineProfile profile;
    OffscreenWebPage page(std::make_unique<QWebEnginePage>(&profile), QSize(720, 960));
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&page, &OffscreenWebPage::loadEnded, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    page.load(QUrl::fromLocalFile(file.fileName()), 30s);
    loop.exec();
    EXPECT_TRUE(loaded);

    std::optional<QVariant> answer;
    page.runScript(script, 30s, [&](const std::optional<QVariant>& result) {
        answer = result;
        loop.quit();
    });
    loop.exec();
    return answer;
}

std::optional<TopicText> walk(const QString& html)
{
    const std::optional<QVariant> result = runOnPage(html, DOMTextWalk::script());
    return result ? DOMTextWalk::readResult(*result) : std::nullopt;
}

QStringList names(const TopicText& text)
{
    QStringList list;
    for (const TopicAnchor& anchor : text.anchors())
        list << anchor.name;
    return list;
}

std::uint64_t offsetOf(const TopicText& text, const QString& name)
{
    for (const TopicAnchor& anchor : text.anchors()) {
        if (anchor.name == name)
            return anchor.offset;
    }
    ADD_FAILURE() << "no anchor " << name.toStdString();
    return 0;
}

} // namespace

TEST(AnchorWalk, RecordsNamedElementsInDocumentOrderAtWhereTheirTextBegins)
{
    const std::optional<TopicText> text = walk(QStringLiteral(
        "<html><head><title>Not walked</title></head><body id=\"page\">"
        "<h1 id=\"Intro\">Intro</h1><p>One <a NAME=\"second\" id=\"ignored\">two</a></p>"
        "<p id=\"named\" name=\"ignored-too\">Three</p><p id=\"Intro\">Again</p>"
        "<ul><li id=\"item\">Four</li></ul><table><tr><td><a name=\"cell\">Five</a></td></tr></table>"
        "</body></html>"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes(), "IntroOne twoThreeAgainFourFive");
    // The walk records every element with a name; which of two equal names wins is the export's choice.
    EXPECT_EQ(names(*text), QStringList({"page", "Intro", "second", "named", "Intro", "item", "cell"}));
    EXPECT_EQ(offsetOf(*text, QStringLiteral("page")), 0u);
    EXPECT_EQ(offsetOf(*text, QStringLiteral("second")), 9u);
    EXPECT_EQ(offsetOf(*text, QStringLiteral("named")), 12u);
    EXPECT_EQ(offsetOf(*text, QStringLiteral("cell")), 26u);
}

TEST(AnchorWalk, CountsNonAsciiTextInUtf8Bytes)
{
    const std::optional<TopicText> text =
        walk(QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><p>Ünïcødé Привет&nbsp;€</p>"
                            "<p id=\"after\">x</p></body></html>"));
    ASSERT_TRUE(text);
    EXPECT_EQ(offsetOf(*text, QStringLiteral("after")), QStringLiteral("Ünïcødé Привет\u00a0€").toUtf8().size());
}

TEST(AnchorWalk, CountsScriptStyleAndHiddenTextAsBlanksAndLeavesCommentsOut)
{
    const std::optional<TopicText> text = walk(QStringLiteral(
        "<html><body><p>Shown</p><!-- a comment --><script>var x = 1;</script>"
        "<style>p { color: black; }</style><div style=\"display:none\">Hidden</div>"
        "<span style=\"visibility:hidden\">Unseen</span><p id=\"after\">Words</p></body></html>"));
    ASSERT_TRUE(text);
    const std::string unprinted = std::string("var x = 1;p { color: black; }HiddenUnseen");
    EXPECT_EQ(text->bytes(), "Shown" + std::string(unprinted.size(), ' ') + "Words");
    EXPECT_EQ(offsetOf(*text, QStringLiteral("after")), 5 + unprinted.size());
}

TEST(AnchorWalk, TakesTheTextOfInlineFramesButNotTheirNames)
{
    const std::optional<TopicText> text = walk(QStringLiteral(
        "<html><body><p>Before</p><iframe srcdoc=\"<p id='inner'>Inside the frame</p>\">Fallback</iframe>"
        "<p id=\"after\">After</p></body></html>"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes(), "BeforeInside the frameAfter");
    EXPECT_EQ(names(*text), QStringList({"after"}));
}

// The print places what is found by its id, or a link by its name; the words place the others
// (a name on another element), and need to know where their text begins.
TEST(AnchorWalk, MarksEmptyElementsThatEndALineOfText)
{
    const std::optional<TopicText> text = walk(QStringLiteral(
        "<html><body><h2>B<span name=\"glued\"></span></h2><p>Text and <b>bold</b> <span name=\"spaced\"></span></p>"
        "<div>Caption</div><span name=\"own-line\"></span><div>Table</div>"
        "<p><span name=\"leading\"></span>Start</p><p>Line<br><span name=\"after-break\"></span>Next</p>"
        "<p>Word <span name=\"with-text\">text</span> <a id=\"by-print\"></a></p></body></html>"));
    ASSERT_TRUE(text);
    const auto follows = [&](const QString& name) {
        for (const TopicAnchor& anchor : text->anchors()) {
            if (anchor.name == name)
                return anchor.wordOffset != anchor.offset;
        }
        ADD_FAILURE() << "no anchor " << name.toStdString();
        return false;
    };
    EXPECT_TRUE(follows(QStringLiteral("glued")));
    EXPECT_TRUE(follows(QStringLiteral("spaced")));
    EXPECT_FALSE(follows(QStringLiteral("own-line")));
    EXPECT_FALSE(follows(QStringLiteral("leading")));
    EXPECT_FALSE(follows(QStringLiteral("after-break")));
    EXPECT_FALSE(follows(QStringLiteral("with-text")));
    EXPECT_FALSE(follows(QStringLiteral("by-print")));
}

TEST(AnchorWalk, TellsWhichElementsPrintWordsOfTheirOwnBeforeTheirText)
{
    const std::optional<TopicText> text = walk(QStringLiteral(
        "<html><head><style>.note::before { content: 'Warning: '; } ul.plain { list-style: none; }</style></head>"
        "<body><p>Intro</p><div name=\"note\" class=\"note\">Mind the gap.</div>"
        "<div name=\"holder\"><p class=\"note\">Inner note.</p></div>"
        "<ol><li name=\"item\">First step</li></ol><ul class=\"plain\"><li name=\"plain-item\">No marker</li></ul>"
        "<table><tr><td>[array length=n]</td></tr></table><span name=\"empty\"></span><h3>heading()</h3>"
        "<h3 name=\"heading\">other()</h3><div id=\"by-print\" class=\"note\">Noted.</div></body></html>"));
    ASSERT_TRUE(text);
    const auto labelled = [&](const QString& name) {
        for (const TopicAnchor& anchor : text->anchors()) {
            if (anchor.name == name)
                return anchor.labelled;
        }
        ADD_FAILURE() << "no anchor " << name.toStdString();
        return false;
    };
    EXPECT_TRUE(labelled(QStringLiteral("note")));
    EXPECT_TRUE(labelled(QStringLiteral("holder")));
    EXPECT_TRUE(labelled(QStringLiteral("item")));
    EXPECT_FALSE(labelled(QStringLiteral("plain-item")));
    // The heading's words are not the empty element's: it prints nothing before them.
    EXPECT_FALSE(labelled(QStringLiteral("empty")));
    EXPECT_FALSE(labelled(QStringLiteral("heading")));
    EXPECT_FALSE(labelled(QStringLiteral("by-print")));
}

// The print's time limit grows with the sheets a topic fills: the preparation before the print
// tells how tall the topic is laid out, frames grown to their content included.
TEST(TopicPreparation, TellsHowTallTheTopicIsLaidOut)
{
    const std::optional<QVariant> result = runOnPage(
        QStringLiteral("<html><body style=\"margin:0\"><p style=\"margin:0\">Top</p>"
                       "<div style=\"height:30000px\"></div><p style=\"margin:0;height:20px\">Foot</p></body></html>"),
        TopicPrintScripts::prepareForPrint(720, 1.0e6));
    ASSERT_TRUE(result);
    const QVariantMap answer = result->toMap();
    EXPECT_EQ(answer.value(QStringLiteral("pending")).toInt(), 0);
    const double height = answer.value(QStringLiteral("height")).toDouble();
    EXPECT_GE(height, 30020.0);
    EXPECT_LT(height, 30100.0);
}
