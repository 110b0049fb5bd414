#include "export/AnchorKeys.h"
#include "export/DOMTextWalk.h"
#include "export/TopicText.h"

#include <gtest/gtest.h>

TEST(AnchorKeys, AreLowerCasedTopicUrlsWithTheAnchorAsFragment)
{
    EXPECT_EQ(AnchorKeys::topicKey(QStringLiteral("Dir/Page.HTM")), QStringLiteral("itss://chm/dir/page.htm"));
    // A contents path with leading slashes is loaded, and linked to, without them.
    EXPECT_EQ(AnchorKeys::topicKey(QStringLiteral("//Dir/Page.htm")), QStringLiteral("itss://chm/dir/page.htm"));
    EXPECT_EQ(AnchorKeys::anchorKey(QStringLiteral("/a.htm"), QStringLiteral("x")), QStringLiteral("itss://chm/a.htm#x"));
    EXPECT_EQ(AnchorKeys::anchorKey(QStringLiteral("Dir/Page.htm"), QStringLiteral("Intro")),
              QStringLiteral("itss://chm/dir/page.htm#intro"));
    // A path with a fragment of its own: the anchor's replaces it (from the first "#" on).
    EXPECT_EQ(AnchorKeys::anchorKey(QStringLiteral("a.htm#old#older"), QStringLiteral("New")),
              QStringLiteral("itss://chm/a.htm#new"));
    EXPECT_EQ(AnchorKeys::anchorKey(QStringLiteral("a.htm"), QStringLiteral("intro")),
              AnchorKeys::anchorKey(QStringLiteral("A.htm"), QStringLiteral("INTRO")));
}

TEST(TopicText, CountsOffsetsInUtf8BytesIncludingUnprintedText)
{
    TopicText text;
    text.addAnchor(QStringLiteral("start"));
    text.appendText(QStringLiteral("Привет ")); // 12 bytes of Cyrillic and a space
    text.addAnchor(QStringLiteral("after-cyrillic"));
    text.appendUnprintedText(QStringLiteral("var é = 1;")); // 11 bytes, read as blanks
    text.addAnchor(QStringLiteral("after-script"));
    text.appendText(QStringLiteral("end"));

    ASSERT_EQ(text.anchors().size(), 3u);
    EXPECT_EQ(text.anchors()[0].offset, 0u);
    EXPECT_EQ(text.anchors()[1].offset, 13u);
    EXPECT_EQ(text.anchors()[2].offset, 24u);
    EXPECT_EQ(text.bytes(), std::string("Привет ") + std::string(11, ' ') + "end");
    // Anchors that do not follow text are sought at their own offset.
    for (const TopicAnchor& anchor : text.anchors())
        EXPECT_EQ(anchor.wordOffset, anchor.offset) << anchor.name.toStdString();
}

TEST(TopicText, AnEmptyElementAfterTextIsSoughtAtTheWordItFollows)
{
    TopicText text;
    text.appendText(QStringLiteral("Entries under B."));
    text.addAnchor(QStringLiteral("glued"), true);
    text.appendText(QStringLiteral(" and vice\u00a0versa. \n"));
    text.addAnchor(QStringLiteral("after-blanks"), true);
    // Neighbouring blocks whose texts meet without a blank: the word is the last run's only.
    text.appendText(QStringLiteral("end"));
    text.appendText(QStringLiteral("word"));
    text.addAnchor(QStringLiteral("after-runs"), true);
    text.appendText(QStringLiteral(" \n"));
    text.addAnchor(QStringLiteral("after-blank-run"), true);

    ASSERT_EQ(text.anchors().size(), 4u);
    const auto textFrom = [&](std::size_t i) { return text.bytes().substr(text.anchors()[i].wordOffset, 6); };
    EXPECT_EQ(textFrom(0), "B. and");
    EXPECT_EQ(textFrom(1), "versa."); // after the no-break space, which is a blank
    EXPECT_EQ(textFrom(2), "word \n");
    EXPECT_EQ(textFrom(3), "word \n");
    EXPECT_EQ(text.anchors()[0].offset, 16u);
}

TEST(TopicText, AnEmptyElementBeforeAnyTextStaysAtTheStart)
{
    TopicText text;
    text.appendText(QStringLiteral("\n  "));
    text.addAnchor(QStringLiteral("first"), true);
    ASSERT_EQ(text.anchors().size(), 1u);
    EXPECT_EQ(text.anchors()[0].wordOffset, 0u);
}

TEST(DOMTextWalk, ReadsRunsAndAnchorsOfTheScriptsAnswer)
{
    const QString answer = QStringLiteral(R"(["One ", ["a", false], "two", {"unprinted": "x=1"}, ["b", true], "три"])");
    const std::optional<TopicText> text = DOMTextWalk::readResult(QVariant(answer));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes(), "One two   три");
    ASSERT_EQ(text->anchors().size(), 2u);
    EXPECT_EQ(text->anchors()[0].name, QStringLiteral("a"));
    EXPECT_EQ(text->anchors()[0].offset, 4u);
    EXPECT_EQ(text->anchors()[1].offset, 10u);
    EXPECT_EQ(text->anchors()[1].wordOffset, 4u); // follows "two"
}

TEST(DOMTextWalk, AnAnswerThatIsNoWalkGivesNoText)
{
    EXPECT_FALSE(DOMTextWalk::readResult(QVariant()));
    EXPECT_FALSE(DOMTextWalk::readResult(QVariant(42)));
    EXPECT_FALSE(DOMTextWalk::readResult(QVariant(QStringLiteral("{\"not\": \"a list\"}"))));
    EXPECT_FALSE(DOMTextWalk::readResult(QVariant(QStringLiteral("[\"cut off"))));
    // Entries of no known form are passed over.
    const std::optional<TopicText> text = DOMTextWalk::readResult(QVariant(QStringLiteral(R"([1, [], "kept"])")));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes(), "kept");
    EXPECT_TRUE(text->anchors().empty());
}
