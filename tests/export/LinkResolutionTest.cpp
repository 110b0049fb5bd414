#include "support/PdfLinkTestFiles.h"
#include "export/LinkResolution.h"
#include "platform/PdfDocument.h"

#include <gtest/gtest.h>

#include <map>

using namespace PdfLinkTestFiles;

namespace {

// Destinations by key, as the export records them: lower-cased, unescaped.
DestinationLookup lookupIn(const std::map<QString, PdfDestination>& destinations)
{
    return [destinations](const QString& url) -> std::optional<PdfDestination> {
        for (const QString& key : DestinationKeysForURL(url)) {
            const auto found = destinations.find(key);
            if (found != destinations.end())
                return found->second;
        }
        return std::nullopt;
    };
}

std::unique_ptr<PdfDocument> outputOf(const QByteArray& printed, int pages, bool holdLinks = false)
{
    const std::unique_ptr<PdfDocument> source = PdfDocument::open(printed);
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    if (holdLinks)
        output->holdInternalLinks(IsInternalLinkURL);
    for (int index = 0; index < pages; ++index)
        EXPECT_TRUE(output->appendPageCopy(*source, index));
    return output;
}

QStringList urlsOf(const std::vector<ReadAnnotation>& annotations)
{
    QStringList urls;
    for (const ReadAnnotation& annotation : annotations)
        urls << (annotation.uri.isNull() ? QStringLiteral("page %1").arg(annotation.destPage) : annotation.uri);
    return urls;
}

} // namespace

TEST(DestinationKeys, EscapedAnchoredLinksAreTriedAsWrittenUnescapedThenAtTheirTopic)
{
    EXPECT_EQ(DestinationKeysForURL(QStringLiteral("itss://chm/Dir/a%20b.htm#Sec")),
              QStringList({"itss://chm/dir/a%20b.htm#sec", "itss://chm/dir/a b.htm#sec", "itss://chm/dir/a%20b.htm",
                           "itss://chm/dir/a b.htm"}));
    // Without an anchor or escapes there is one key only.
    EXPECT_EQ(DestinationKeysForURL(QStringLiteral("itss://chm/One.htm")), QStringList({"itss://chm/one.htm"}));
    // An escaped capital outside ASCII meets its lower-cased key.
    EXPECT_EQ(DestinationKeysForURL(QStringLiteral("itss://chm/%D0%93%D0%BB.htm")).value(1),
              QStringLiteral("itss://chm/гл.htm"));
    EXPECT_TRUE(IsInternalLinkURL(QStringLiteral("itss://chm/x.htm")));
    EXPECT_FALSE(IsInternalLinkURL(QStringLiteral("http://itss:x")));
    EXPECT_FALSE(IsInternalLinkURL(QStringLiteral("ITSS://chm/x.htm")));
}

// The links are resolved the same whether the output holds them as objects or as records.
class PageLinks : public ::testing::TestWithParam<bool> {
protected:
    std::unique_ptr<PdfDocument> output(const QByteArray& printed, int pages) const
    {
        return outputOf(printed, pages, GetParam());
    }
    static void resolve(PdfDocument& document, int pageIndex, bool exportHyperlinks, const DestinationLookup& lookup)
    {
        ResolvePageLinks(document, pageIndex, exportHyperlinks, lookup);
        ResolveHeldPageLinks(document, pageIndex, exportHyperlinks, lookup);
    }
};

INSTANTIATE_TEST_SUITE_P(AsObjectsOrHeld, PageLinks, ::testing::Bool());

TEST_P(PageLinks, InternalLinksJumpOrGoWhileOtherSchemesStayAsPrinted)
{
    const QByteArray printed = pagesWithAnnotations(
        {{{"itss://chm/missing.htm", {}},
          {"itss://chm/a%20b.htm#Sec", {}},
          {"itss://chm/gone.htm", {}}, // two removals in a row: the second moves into the first's place
          {"itss://chm/also-gone.htm", {}},
          {"mailto:someone@example.com", {}},
          {},
          {"itss://chm/a%20b.htm#nowhere", {}},
          {{}, "printed"},
          {{}, "unknown"}},
         {}},
        {{"printed", 1}});
    std::unique_ptr<PdfDocument> document = output(printed, 2);
    const auto lookup = lookupIn({{"itss://chm/a b.htm#sec", {1, QPointF(72, 500)}},
                                  {"itss://chm/a b.htm", {1, QPointF(0, 792)}}});
    resolve(*document, 0, true, lookup);

    const std::vector<ReadAnnotation> written = annotationsOfPage(document->toBytes(), 0);
    EXPECT_EQ(urlsOf(written), QStringList({"page 1", "mailto:someone@example.com", "page -1", "page 1", "page 1"}));
    ASSERT_EQ(written.size(), 5u);
    EXPECT_EQ(written[0].destPoint, QPointF(72, 500));
    EXPECT_EQ(written[2].subtype, QStringLiteral("/Text"));
    EXPECT_EQ(written[3].destPoint, QPointF(0, 792));  // an unknown anchor leads to the top of its topic
    EXPECT_EQ(written[4].destPoint, QPointF(72, 700)); // the engine's own named place
}

TEST_P(PageLinks, WithoutHyperlinksEveryInternalLinkGoes)
{
    const QByteArray printed = pagesWithAnnotations(
        {{{"itss://chm/a.htm", {}}, {"http://example.com/", {}}, {{}, "printed"}, {"itss://chm/b.htm", {}}}},
        {{"printed", 0}});
    std::unique_ptr<PdfDocument> document = output(printed, 1);
    resolve(*document, 0, false, lookupIn({{"itss://chm/a.htm", {0, QPointF()}}}));
    EXPECT_EQ(urlsOf(annotationsOfPage(document->toBytes(), 0)), QStringList({"http://example.com/"}));
}
