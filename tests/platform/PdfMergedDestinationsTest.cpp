#include "platform/PdfDocument.h"
#include "support/PdfLinkTargets.h"
#include "support/TestPdf.h"

#include <gtest/gtest.h>

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>

#include <set>
#include <string>

using PdfLinkTargets::Target;
using Targets = std::vector<std::vector<std::optional<Target>>>;

namespace {

QByteArray page(const QByteArray& annotations = {})
{
    return "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Annots [" + annotations + "] >>";
}

// Three pages whose places are in the catalog's /Dests: page 0 links to "intro" (page 1) and, through
// a GoTo action it shares with page 1, to "end" (page 2, named by a string).
QByteArray oldStyleNames()
{
    return TestPdf::build({"<< /Type /Catalog /Pages 2 0 R /Dests << /intro [4 0 R /XYZ 72 500 null] "
                           "/end [5 0 R /FitH 300] >> >>",
                           "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>", page("6 0 R 7 0 R"),
                           page("8 0 R"), page(), "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /Dest /intro >>",
                           "<< /Type /Annot /Subtype /Link /Rect [60 10 100 50] /A 9 0 R >>",
                           "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /A 9 0 R >>", "<< /S /GoTo /D (end) >>"});
}

// Two pages whose places, named as in the first document, are in a name tree: page 0 links to
// "end" (page 1), page 1 to "intro" (page 0) through a GoTo action that names it by a name object.
QByteArray nameTreeNames()
{
    return TestPdf::build({"<< /Type /Catalog /Pages 2 0 R /Names << /Dests << /Names [(end) [4 0 R /XYZ 0 100 0] "
                           "(intro) [3 0 R /XYZ 10 700 null]] >> >> >>",
                           "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>", page("5 0 R"), page("6 0 R"),
                           "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /Dest (end) >>",
                           "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /A << /S /GoTo /D /intro >> >>"});
}

// One page that links to its own "intro-2" and "intro": names the renaming of the others may give.
QByteArray suffixedNames()
{
    return TestPdf::build({"<< /Type /Catalog /Pages 2 0 R /Dests << /intro-2 [3 0 R /XYZ 5 600 null] "
                           "/intro [3 0 R /XYZ 5 400 null] >> >>",
                           "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", page("4 0 R 5 0 R"),
                           "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /Dest /intro-2 >>",
                           "<< /Type /Annot /Subtype /Link /Rect [60 10 100 50] /Dest /intro >>"});
}

QByteArray merged(PdfDocument& output, const std::vector<std::pair<QByteArray, int>>& pages)
{
    std::vector<std::pair<QByteArray, std::unique_ptr<PdfDocument>>> sources;
    for (const std::pair<QByteArray, int>& wanted : pages) {
        const QByteArray& bytes = wanted.first;
        auto source = std::find_if(sources.begin(), sources.end(), [&bytes](const auto& open) { return open.first == bytes; });
        if (source == sources.end())
            source = sources.insert(sources.end(), {bytes, PdfDocument::open(bytes)});
        EXPECT_TRUE(output.appendPageCopy(*source->second, wanted.second));
    }
    return output.toBytes();
}

// The targets of a source's pages as they read once the source's pages start at firstPage.
Targets shifted(Targets targets, int firstPage)
{
    for (auto& page : targets) {
        for (std::optional<Target>& target : page) {
            if (target)
                target->page += firstPage;
        }
    }
    return targets;
}

// The names a document gives its places, from /Dests and the name tree.
std::set<std::string> placeNames(const QByteArray& bytes)
{
    QPDF pdf;
    pdf.processMemoryFile("merged", bytes.constData(), static_cast<size_t>(bytes.size()));
    std::set<std::string> names;
    QPDFObjectHandle root = pdf.getRoot();
    QPDFObjectHandle dests = root.getKey("/Dests");
    if (dests.isDictionary()) {
        for (const std::string& key : dests.getKeys())
            names.insert(key.substr(1));
    }
    QPDFObjectHandle catalogNames = root.getKey("/Names");
    if (catalogNames.isDictionary() && catalogNames.getKey("/Dests").isDictionary()) {
        for (const auto& entry : QPDFNameTreeObjectHelper(catalogNames.getKey("/Dests"), pdf))
            names.insert(entry.first);
    }
    return names;
}

} // namespace

TEST(PdfMergedDestinations, ARenamedPlaceIsItsNameFollowedByTwo)
{
    // Both pages hold a place named "intro"; the second source's is renamed, readably.
    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->keepNamedDestinationsOfCopiedPages();
    const QByteArray bytes = merged(*output, {{oldStyleNames(), 1}, {nameTreeNames(), 0}});
    EXPECT_EQ(placeNames(bytes), (std::set<std::string>{"intro", "intro-2"}));
}

TEST(PdfMergedDestinations, EveryLinkOfMergedDocumentsLeadsWhereItDidThoughTheyNameTheirPlacesAlike)
{
    const Targets first = PdfLinkTargets::ofPages(oldStyleNames());
    const Targets second = PdfLinkTargets::ofPages(nameTreeNames());
    // Every link of the sources leads somewhere in its own document.
    ASSERT_EQ(first, (Targets{{Target{1, 72, 500}, Target{2, 0, 300}}, {Target{2, 0, 300}}, {}}));
    ASSERT_EQ(second, (Targets{{Target{1, 0, 100}}, {Target{0, 10, 700}}}));

    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->keepNamedDestinationsOfCopiedPages();
    const QByteArray bytes = merged(*output, {{oldStyleNames(), 0}, {oldStyleNames(), 1}, {oldStyleNames(), 2}, {nameTreeNames(), 0}, {nameTreeNames(), 1}, {suffixedNames(), 0}});
    Targets expected = first;
    for (auto& page : shifted(second, 3))
        expected.push_back(page);
    expected.push_back({Target{5, 5, 600}, Target{5, 5, 400}});
    EXPECT_EQ(PdfLinkTargets::ofPages(bytes), expected);

    // A document opened with places of its own keeps them, and a source's places are named apart.
    const std::unique_ptr<PdfDocument> opened = PdfDocument::open(oldStyleNames());
    opened->keepNamedDestinationsOfCopiedPages();
    EXPECT_EQ(PdfLinkTargets::ofPages(merged(*opened, {{nameTreeNames(), 1}, {nameTreeNames(), 0}})),
              (Targets{first[0], first[1], first[2], {Target{4, 10, 700}}, {Target{3, 0, 100}}}));
}

TEST(PdfMergedDestinations, PlacesNamedInUTF16KeepTheirLinks)
{
    // "intro" and "caf\u00e9" as UTF-16 keys of the name tree, linked by the same strings.
    const QByteArray wide = TestPdf::build(
        {"<< /Type /Catalog /Pages 2 0 R /Names << /Dests << /Names [<FEFF006300610066006500E9> [4 0 R /XYZ 0 200 0] "
         "<FEFF0069006E00740072006F> [4 0 R /XYZ 0 100 0]] >> >> >>",
         "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>", page("5 0 R 6 0 R"), page(),
         "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /Dest <FEFF0069006E00740072006F> >>",
         "<< /Type /Annot /Subtype /Link /Rect [60 10 90 50] /A << /S /GoTo /D <FEFF006300610066006500E9> >> >>"});
    const Targets own = PdfLinkTargets::ofPages(wide);
    ASSERT_EQ(own, (Targets{{Target{1, 0, 100}, Target{1, 0, 200}}, {}}));

    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->keepNamedDestinationsOfCopiedPages();
    EXPECT_EQ(PdfLinkTargets::ofPages(merged(*output, {{wide, 0}, {wide, 1}})), own);
    // Merged after a document that names its own place "intro", the wide one is renamed and still met.
    const std::unique_ptr<PdfDocument> second = PdfDocument::create();
    second->keepNamedDestinationsOfCopiedPages();
    EXPECT_EQ(PdfLinkTargets::ofPages(merged(*second, {{nameTreeNames(), 0}, {nameTreeNames(), 1}, {wide, 0}, {wide, 1}})),
              (Targets{{Target{1, 0, 100}}, {Target{0, 10, 700}}, {Target{3, 0, 100}, Target{3, 0, 200}}, {}}));
}

TEST(PdfMergedDestinations, APlaceWhosePageIsLeftOutLeadsNowhere)
{
    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->keepNamedDestinationsOfCopiedPages();
    // The second document's page 0, the first's page 1 and "intro" on them stay behind; "end" on
    // the first's page 2 is copied before the page that links to it.
    const QByteArray bytes = merged(*output, {{nameTreeNames(), 1}, {oldStyleNames(), 2}, {oldStyleNames(), 0}});
    EXPECT_EQ(PdfLinkTargets::ofPages(bytes), (Targets{{std::nullopt}, {}, {std::nullopt, Target{1, 0, 300}}}));
}

TEST(PdfMergedDestinations, ANameTreeThatLoopsCostsItsPlacesNeverThePage)
{
    // The tree's only kid is the tree itself; the page links to a name it never reaches.
    const QByteArray looping = TestPdf::build({"<< /Type /Catalog /Pages 2 0 R /Names << /Dests 5 0 R >> >>",
                                               "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", page("4 0 R"),
                                               "<< /Type /Annot /Subtype /Link /Rect [10 10 50 50] /Dest (intro) >>",
                                               "<< /Kids [5 0 R] >>"});
    const std::unique_ptr<PdfDocument> output = PdfDocument::create();
    output->keepNamedDestinationsOfCopiedPages();
    const QByteArray bytes = merged(*output, {{looping, 0}, {nameTreeNames(), 0}, {nameTreeNames(), 1}});
    EXPECT_EQ(PdfLinkTargets::ofPages(bytes), (Targets{{std::nullopt}, {Target{2, 0, 100}}, {Target{1, 10, 700}}}));
}
