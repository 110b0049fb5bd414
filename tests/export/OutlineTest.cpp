#include "export/Outline.h"

#include <gtest/gtest.h>

namespace {

LinkItemPtr item(const QString& name, const QString& path, const LinkItemList& children = {})
{
    auto node = std::make_shared<LinkItem>(name, path);
    for (const LinkItemPtr& child : children)
        node->appendChild(child);
    return node;
}

QString shape(const PdfOutline& outline)
{
    QStringList parts;
    for (const PdfOutline& entry : outline.children()) {
        QString part = entry.label() + QStringLiteral("(%1)").arg(entry.destination() ? entry.destination()->pageIndex : -1);
        if (!entry.children().empty())
            part += QStringLiteral("[%1]").arg(shape(entry));
        parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

TEST(Outline, MirrorsTheContentsTreeWithLabelsWhereNoDestinationWasPlaced)
{
    const LinkItemPtr root = item(QStringLiteral("root"), QStringLiteral("/"),
                                  {item(QStringLiteral("Start"), QStringLiteral("index.htm"),
                                        {item(QStringLiteral("Глава"), QStringLiteral("Chapter%20One.htm")),
                                         item(QStringLiteral("Section"), QStringLiteral("sub/deep.htm#Sec")),
                                         item(QStringLiteral("Missing"), QStringLiteral("missing.htm"))}),
                                   item(QStringLiteral("Heading only"), QString(),
                                        {item(QStringLiteral("Deep"), QStringLiteral("sub/deep.htm"))})});
    QStringList asked;
    const PdfOutline outline = OutlineForContents(*root, [&asked](const QString& url) -> std::optional<PdfDestination> {
        asked << url;
        if (url.contains(QLatin1String("missing")) || url == QLatin1String("itss://chm/"))
            return std::nullopt;
        return PdfDestination{static_cast<int>(asked.size()), QPointF()};
    });
    EXPECT_EQ(shape(outline), QStringLiteral("Start(1)[Глава(2) Section(3) Missing(-1)] Heading only(-1)[Deep(6)]"));
    // Entries ask for their paths as written, in tree order; the root asks for nothing.
    EXPECT_EQ(asked, QStringList({"itss://chm/index.htm", "itss://chm/Chapter%20One.htm", "itss://chm/sub/deep.htm#Sec",
                                  "itss://chm/missing.htm", "itss://chm/", "itss://chm/sub/deep.htm"}));
}
