// Where the export puts each anchor, against where the web engine itself says the element is.
//
// The engine writes a named destination at an element when the printed page links to it from the
// same page; a hidden link to every anchor makes it report them all. Each topic of a CHM file is
// printed a second time that way, laid out exactly as the export lays it out, and every destination
// of the export is compared with the engine's: the same output page, and a point within one text
// line of it.

#define POINTERHOLDER_TRANSITION 4

#include "ExportTestSupport.h"
#include "common/TomefoldConversionOptions.h"
#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"
#include "chm/CHMWebPage.h"
#include "chm/CHMWebProfile.h"
#include "chm/ITSSScheme.h"
#include "export/AnchorKeys.h"
#include "export/CHMExporter.h"
#include "export/DOMTextWalk.h"
#include "export/PrintedTopic.h"
#include "export/TopicPrintScripts.h"
#include "platform/OffscreenWebPage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>

using namespace std::chrono_literals;

void registerTestUrlSchemes()
{
    registerITSSScheme();
}

namespace {

constexpr double kCssPixelsPerPoint = 96.0 / 72.0;
constexpr char kFirstTextMarker[] = "tomefold-first-";

struct PagePoint {
    int page = -1; // output page
    QPointF point; // page space
};

// The named destinations of a printed PDF, from the catalog's /Dests or its /Names tree; pages
// counted from 0 in the printed document.
std::map<QString, PagePoint> namedDestinations(const QByteArray& pdf)
{
    std::map<QString, PagePoint> destinations;
    QPDF document;
    document.processMemoryFile("printed", pdf.constData(), static_cast<size_t>(pdf.size()));
    std::map<QPDFObjGen, int> pageIndex;
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
    for (std::size_t i = 0; i < pages.size(); ++i)
        pageIndex[pages[i].getObjectHandle().getObjGen()] = static_cast<int>(i);
    const auto add = [&](const std::string& name, QPDFObjectHandle destination) {
        if (destination.isDictionary())
            destination = destination.getKey("/D");
        if (!destination.isArray() || destination.getArrayNItems() < 4)
            return;
        const auto page = pageIndex.find(destination.getArrayItem(0).getObjGen());
        if (page == pageIndex.end())
            return;
        destinations[QString::fromStdString(name)] = {
            page->second,
            QPointF(destination.getArrayItem(2).getNumericValue(), destination.getArrayItem(3).getNumericValue())};
    };
    QPDFObjectHandle root = document.getRoot();
    QPDFObjectHandle dests = root.getKey("/Dests");
    if (dests.isDictionary()) {
        for (const std::string& key : dests.getKeys())
            add(key.substr(1), dests.getKey(key));
    }
    QPDFObjectHandle names = root.getKey("/Names");
    if (names.isDictionary() && names.getKey("/Dests").isDictionary()) {
        QPDFNameTreeObjectHelper tree(names.getKey("/Dests"), document);
        for (const auto& [name, destination] : tree)
            add(name, destination);
    }
    return destinations;
}

// Gives every element of the topic that carries a name (its first "name" or "id" attribute) a
// hidden link in the same page, and answers the names, the first of each spelling that differs
// only in case. Each such element's first printed character, wrapped in a marker (named
// "tomefold-first-" and the element's index in the answer), gets a link too: where its text begins.
// An element that prints nothing of its own (an empty <a name> before a heading) is there for what
// follows it, and the first character printed after it is marked instead; unless it closes text
// in its own line, as a name at a paragraph's end does.
const char kLinkEveryAnchor[] = R"JS(
(function () {
  'use strict';
  var body = document.body;
  if (!body)
    return '[]';
  var names = [], seen = {};
  var elements = [body].concat(Array.prototype.slice.call(body.getElementsByTagName('*')));
  elements.forEach(function (element) {
    for (var i = 0; i < element.attributes.length; ++i) {
      var attribute = element.attributes[i].name.toLowerCase();
      if (attribute === 'name' || attribute === 'id') {
        var name = element.attributes[i].value;
        if (!seen[name.toLowerCase()]) {
          seen[name.toLowerCase()] = true;
          names.push(name);
        }
        return;
      }
    }
  });
  var printedText = {
    acceptNode: function (node) {
      var parent = node.parentElement;
      var shown = parent && parent.getClientRects().length > 0 && getComputedStyle(parent).visibility !== 'hidden';
      return shown && /\S/.test(node.data) ? NodeFilter.FILTER_ACCEPT : NodeFilter.FILTER_SKIP;
    }
  };
  function characterRect(text, index) {
    var range = document.createRange();
    range.setStart(text, index);
    range.setEnd(text, index + 1);
    return range.getClientRects()[0];
  }
  function closesTextInItsLine(element) {
    var own = element.getClientRects()[0];
    var walker = document.createTreeWalker(body, NodeFilter.SHOW_TEXT, printedText);
    walker.currentNode = element;
    var text = walker.previousNode();
    if (!own || !text)
      return false;
    var last = characterRect(text, text.data.replace(/\s+$/, '').length - 1);
    return !!last && own.top < last.bottom && own.bottom > last.top && own.left >= last.left;
  }
  var firsts = [];
  names.forEach(function (name, index) {
    var element = document.getElementById(name) || document.getElementsByName(name)[0];
    if (!element)
      return;
    var text = document.createTreeWalker(element, NodeFilter.SHOW_TEXT, printedText).nextNode();
    if (!text && !closesTextInItsLine(element)) {
      var after = document.createTreeWalker(body, NodeFilter.SHOW_TEXT, printedText);
      after.currentNode = element;
      text = after.nextNode();
    }
    if (!text)
      return;
    // The first printed character itself, wrapped: an empty element has no place of its own.
    var first = text.splitText(text.data.search(/\S/));
    first.splitText(1);
    var marker = document.createElement('span');
    marker.id = 'tomefold-first-' + index;
    first.parentNode.insertBefore(marker, first);
    marker.appendChild(first);
    firsts.push(marker.id);
  });
  var hidden = document.createElement('div');
  hidden.style.display = 'none';
  names.concat(firsts).forEach(function (name) {
    var link = document.createElement('a');
    link.setAttribute('href', '#' + name);
    hidden.appendChild(link);
  });
  body.appendChild(hidden);
  return JSON.stringify(names);
})()
)JS";

// Prints topics the way the export does, with the engine's own record of where each anchor went.
class AnchorOracle {
public:
    AnchorOracle(CHMDocument& document, const ExportPrintSettings& settings)
        : m_document(document)
        , m_settings(settings)
        , m_profile(document)
    {
    }

    struct PrintedTopicAnchors {
        bool printed = false;
        int outputPages = 0;                    // non-blank printed pages
        std::map<QString, PagePoint> anchors;   // name -> output page within the topic, point
        std::map<QString, PagePoint> firstText; // name -> where its first printed character is
        QStringList names;                      // in document order
        // Kept when asked, for a recording of the topic (see RecordsTopicsForReplay).
        std::optional<TopicText> walked;
        std::vector<PrintedPageLayout> outputLayouts;
    };

    PrintedTopicAnchors print(const QString& path, bool keepForRecording = false)
    {
        PrintedTopicAnchors result;
        QString loadable = path;
        while (loadable.startsWith(QLatin1Char('/')))
            loadable.remove(0, 1);
        const QUrl url = m_document.composeURL(loadable);
        auto page = std::make_unique<CHMWebPage>(m_profile.profile());
        page->setExportMode(true);
        page->setTopicUrl(url);
        OffscreenWebPage view(std::move(page), m_settings.printableViewSize());
        if (!load(view, url))
            return result;
        const std::optional<double> height = prepare(view);
        if (!height)
            return result;
        // Read before the hidden links and markers go in, as the export reads it after the print.
        if (keepForRecording) {
            if (const std::optional<QVariant> walk = run(view, DOMTextWalk::script()))
                result.walked = DOMTextWalk::readResult(*walk);
        }
        const std::optional<QVariant> names = run(view, QString::fromUtf8(kLinkEveryAnchor));
        if (!names)
            return result;
        for (const QJsonValue& name : QJsonDocument::fromJson(names->toString().toUtf8()).array())
            result.names << name.toString();
        const QByteArray pdf = printPdf(view, *height);
        if (pdf.isEmpty())
            return result;
        result.printed = true;
        const std::unique_ptr<PrintedTopic> topic = PrintedTopic::open(pdf);
        if (!topic)
            return result;
        std::vector<int> outputIndex(static_cast<std::size_t>(topic->pageCount()), -1);
        for (int i = 0; i < topic->pageCount(); ++i) {
            if (!topic->isBlankPage(i))
                outputIndex[static_cast<std::size_t>(i)] = result.outputPages++;
        }
        if (keepForRecording) {
            topic->prepare();
            for (const std::optional<PrintedPageLayout>& layout : topic->preparedLayouts())
                if (layout)
                    result.outputLayouts.push_back(*layout);
        }
        // A name on a page left out (blank) has no output page to be compared on.
        for (auto& [name, where] : namedDestinations(pdf)) {
            const int output = outputIndex.at(static_cast<std::size_t>(where.page));
            if (output < 0)
                continue;
            if (name.startsWith(QLatin1String(kFirstTextMarker)))
                result.firstText[result.names.value(name.mid(qsizetype(std::strlen(kFirstTextMarker))).toInt())] = {output, where.point};
            else
                result.anchors[name] = {output, where.point};
        }
        return result;
    }

private:
    static bool load(OffscreenWebPage& view, const QUrl& url)
    {
        QEventLoop loop;
        bool succeeded = false;
        QObject::connect(&view, &OffscreenWebPage::loadEnded, &loop, [&](bool ok) {
            succeeded = ok;
            loop.quit();
        });
        view.load(url, 30s);
        loop.exec();
        return succeeded;
    }

    static std::optional<QVariant> run(OffscreenWebPage& view, const QString& script)
    {
        QEventLoop loop;
        std::optional<QVariant> answer;
        view.runScript(script, 30s, [&](const std::optional<QVariant>& result) {
            answer = result;
            loop.quit();
        });
        loop.exec();
        return answer;
    }

    // The laid-out height in CSS pixels, once the topic is ready to print.
    std::optional<double> prepare(OffscreenWebPage& view) const
    {
        const QString script = TopicPrintScripts::prepareForPrint(m_settings.printableViewSize().width(),
                                                                  CHMExporter::kMaximumFrameHeight * kCssPixelsPerPoint);
        double height = 0.0;
        for (int round = 0; round < 200; ++round) {
            const std::optional<QVariant> result = run(view, script);
            if (!result)
                return std::nullopt;
            height = result->toMap().value(QStringLiteral("height")).toDouble();
            if (result->toMap().value(QStringLiteral("pending")).toInt() == 0)
                break;
            QEventLoop loop;
            QTimer::singleShot(50ms, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return height;
    }

    // Given as long as the export gives it.
    QByteArray printPdf(OffscreenWebPage& view, double height) const
    {
        QEventLoop loop;
        QByteArray pdf;
        const std::chrono::milliseconds limit =
            CHMExporter::topicPrintTimeout(height / m_settings.printableViewSize().height());
        view.printToPdf(m_settings.pageLayout(), limit, [&](const QByteArray& bytes) {
            pdf = bytes;
            loop.quit();
        });
        loop.exec();
        return pdf;
    }

    CHMDocument& m_document;
    ExportPrintSettings m_settings;
    CHMWebProfile m_profile;
};

// Topics whose print differs between the export and the check.
struct TopicTally {
    int unprintedByExport = 0;
    int unprintedByCheck = 0;
    int pageCountDifferences = 0; // topics that begin elsewhere than the pages before them add up to
};

struct Comparison {
    QString key;
    int expectedPage = -1;
    int firstTextPage = -1; // where the target's first printed character is; -1 when it prints none
    int placedPage = -1;
    bool placed = false;
    double dx = 0;
    double dy = 0; // placed minus expected, points, y up
    QPointF expected;
};

// Exports the CHM file and compares every destination the engine can report on.
class AnchorAccuracy : public testing::Test {
protected:
    // Exports the document as the batch does, and keeps the exporter for its destinations.
    std::unique_ptr<CHMExporter> exportDocument(CHMDocument& document)
    {
        TomefoldConversionOptions options = letterOptions();
        const LinkItemList pageList = document.tocSource() ? document.tocSource()->pageList() : LinkItemList();
        auto exporter = std::make_unique<CHMExporter>(
            document, QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("out.pdf"))), pageList, &options);
        exporter->initConditionalLock();
        exporter->exportToPDF();
        exporter->lockWhenCondition();
        exporter->releaseLock();
        return exporter;
    }

    std::vector<Comparison> compare(const QString& chmPath)
    {
        CHMDocument document;
        EXPECT_TRUE(document.readFromURL(QUrl::fromLocalFile(chmPath), QStringLiteral("CHM")));
        const std::unique_ptr<CHMExporter> exported = exportDocument(document);
        const CHMExporter& exporter = *exported;

        std::vector<Comparison> comparisons;
        AnchorOracle oracle(document, exporter.printSettings());
        // Where the export's pages of the topic begin: after the pages this check printed for the
        // topics before it, as long as the two prints agree. Where they do not (a topic the export
        // could not print, one the check could not, one printed to another number of pages), the
        // export's own destination of the topic tells, so that one topic's difference is counted
        // once instead of moving every destination after it.
        int topicStart = 0;
        TopicTally tally;
        for (const LinkItemPtr& topic : exporter.pageList()) {
            const AnchorOracle::PrintedTopicAnchors printed = oracle.print(topic->path());
            const QString topicKey = AnchorKeys::topicKey(topic->path());
            const auto own = exporter.linkDestinationList().value(topicKey);
            const bool printedByExport = own && own->isPlaced();
            if (!printed.printed) {
                ++tally.unprintedByCheck;
                std::cout << "  NOTE the check could not print " << topicKey.toStdString() << "\n";
                if (printedByExport)
                    topicStart = static_cast<int>(own->pdfPageNo()); // its pages are unknown here
                continue;
            }
            if (!printedByExport && printed.outputPages > 0) {
                ++tally.unprintedByExport;
                std::cout << "  NOTE the export printed nothing of " << topicKey.toStdString() << " ("
                          << printed.outputPages << " pages here)\n";
            }
            const auto compareOne = [&](const QString& key, int start, const PagePoint& expected, const PagePoint* firstText) {
                Comparison comparison;
                comparison.key = key;
                comparison.expectedPage = start + expected.page;
                comparison.firstTextPage = firstText ? start + firstText->page : -1;
                comparison.expected = expected.point;
                if (const auto item = exporter.linkDestinationList().value(key)) {
                    comparison.placed = item->isPlaced();
                    comparison.placedPage = static_cast<int>(item->pdfPageNo());
                    comparison.dx = item->destLocation().x() - expected.point.x();
                    comparison.dy = item->destLocation().y() - expected.point.y();
                }
                comparisons.push_back(comparison);
            };
            if (printed.outputPages > 0)
                compareOne(topicKey, topicStart, PagePoint{0, QPointF()}, nullptr);
            if (printedByExport && static_cast<int>(own->pdfPageNo()) != topicStart) {
                ++tally.pageCountDifferences;
                std::cout << "  NOTE " << topicKey.toStdString() << " begins on page " << own->pdfPageNo()
                          << " of the export, on page " << topicStart << " by the check's count\n";
                topicStart = static_cast<int>(own->pdfPageNo());
            }
            for (const QString& name : printed.names) {
                const auto where = printed.anchors.find(name);
                // An element that prints nothing (hidden) has no place the engine could report.
                const auto firstText = printed.firstText.find(name);
                if (where != printed.anchors.end())
                    compareOne(AnchorKeys::anchorKey(topic->path(), name), topicStart, where->second,
                               firstText != printed.firstText.end() ? &firstText->second : nullptr);
            }
            if (printedByExport)
                topicStart += printed.outputPages;
        }
        std::cout << tally.unprintedByExport << " topics the export did not print, " << tally.unprintedByCheck
                  << " the check could not print, " << tally.pageCountDifferences
                  << " that begin elsewhere than the pages before them add up to\n";
        EXPECT_EQ(topicStart, exporter.pageCount());
        return comparisons;
    }

    QTemporaryDir m_folder;
};

// One text line of the body text: 16 CSS pixels of type with the engine's normal line spacing.
constexpr double kOneLine = 16.0 / kCssPixelsPerPoint * 1.25;

// A destination goes where the engine says its element begins, but never to a page before its
// first printed character: an element that begins at the foot of a page (its padding, its border)
// while its text goes on to the next is placed on that next page, where a reader sees the text.
bool beforeItsText(const Comparison& c)
{
    return c.placed && c.firstTextPage >= 0 && c.placedPage < c.firstTextPage;
}

bool onPlace(const Comparison& c, bool topic)
{
    if (!c.placed || beforeItsText(c))
        return false;
    if (c.firstTextPage > c.expectedPage)
        return c.placedPage == c.firstTextPage;
    return c.placedPage == c.expectedPage && (topic || std::abs(c.dy) <= kOneLine);
}

void report(const std::vector<Comparison>& comparisons, const QString& name)
{
    int good = 0;
    int unplaced = 0;
    int early = 0;
    int otherPage = 0;
    for (const Comparison& c : comparisons) {
        const bool topic = !c.key.contains(QLatin1Char('#'));
        const bool ok = onPlace(c, topic);
        good += ok ? 1 : 0;
        unplaced += c.placed ? 0 : 1;
        early += beforeItsText(c) ? 1 : 0;
        otherPage += !ok && c.placed && c.placedPage != c.expectedPage ? 1 : 0;
        if (!ok || qEnvironmentVariableIsSet("TOMEFOLD_ANCHOR_DETAILS")) {
            std::cout << (ok ? "  ok  " : "  OFF ") << c.key.toStdString() << " page " << c.placedPage << " (engine "
                      << c.expectedPage << ", text " << c.firstTextPage << ")" << (c.placed ? "" : " unplaced")
                      << " dy " << c.dy << " dx " << c.dx << " engine at " << c.expected.x() << "," << c.expected.y()
                      << "\n";
        }
    }
    std::cout << name.toStdString() << ": " << good << " of " << comparisons.size() << " destinations on place ("
              << (comparisons.empty() ? 0.0 : 100.0 * good / static_cast<double>(comparisons.size())) << "%); "
              << unplaced << " unplaced, " << early << " on a page before their text, " << otherPage
              << " others on another page than the engine's\n";
}

} // namespace

TEST_F(AnchorAccuracy, EveryAnchorLandsOnItsPageWithinALineOfTheEnginesPlace)
{
    const std::vector<Comparison> comparisons = compare(TestSupport::fixturePath(QStringLiteral("export-anchors")));
    report(comparisons, QStringLiteral("export-anchors"));
    EXPECT_GE(comparisons.size(), 250u);
    for (const Comparison& c : comparisons)
        EXPECT_TRUE(onPlace(c, !c.key.contains(QLatin1Char('#')))) << c.key.toStdString();
}

// Reference pages put names on containers: a padded toolbar and main area, sections under a
// border, headings and table rows with padding, a banner or an empty block above the text, a hidden
// first line, generated content; some begin at the foot of a page whose text goes on to the next.
TEST_F(AnchorAccuracy, NamedContainersLandWhereTheyBegin)
{
    const std::vector<Comparison> comparisons = compare(TestSupport::fixturePath(QStringLiteral("export-anchor-boxes")));
    report(comparisons, QStringLiteral("export-anchor-boxes"));
    EXPECT_GE(comparisons.size(), 240u);
    for (const Comparison& c : comparisons) {
        EXPECT_FALSE(beforeItsText(c)) << c.key.toStdString() << " on page " << c.placedPage << ", its text on "
                                       << c.firstTextPage;
        EXPECT_TRUE(onPlace(c, !c.key.contains(QLatin1Char('#')))) << c.key.toStdString();
    }
}

// A long reference page as documentation generators make them: a bar fixed at the top of the
// screen, a table of contents only the screen shows, every call with its signature, code boxes the
// engine paints after the text that follows them, phrases that recur with every call. Every name
// lands on the page of its text, never on a page before it.
TEST_F(AnchorAccuracy, NamesOfALongReferencePageLandOnTheirTextsPage)
{
    const std::vector<Comparison> comparisons =
        compare(TestSupport::fixturePath(QStringLiteral("export-long-reference")));
    report(comparisons, QStringLiteral("export-long-reference"));
    EXPECT_GE(comparisons.size(), 90u);
    for (const Comparison& c : comparisons) {
        EXPECT_FALSE(beforeItsText(c)) << c.key.toStdString() << " on page " << c.placedPage << ", its text on "
                                       << c.firstTextPage;
        EXPECT_TRUE(onPlace(c, !c.key.contains(QLatin1Char('#')))) << c.key.toStdString();
    }
}

// Two references in the shapes documentation generators give them (pages of our own, written out
// by their own scripts). Functions whose parameter tables end in annotation cells painted out of
// order, each after an empty name and a heading: every name lands on its heading. A class's members, each an empty name before a floated heading that the engine
// paints first on its page and that a page break keeps with the member (so a name is left alone at
// the foot of a page): none lands on a page before its heading, three in four where the engine puts
// them (overloads whose headings read alike but for their number may take each other's place).
TEST_F(AnchorAccuracy, NamesBeforeTheHeadingsOfGeneratedReferencesLandOnTheHeadings)
{
    const std::vector<Comparison> comparisons =
        compare(TestSupport::fixturePath(QStringLiteral("export-reference-members")));
    report(comparisons, QStringLiteral("export-reference-members"));
    EXPECT_GE(comparisons.size(), 55u);
    int members = 0;
    int membersOnPlace = 0;
    for (const Comparison& c : comparisons) {
        EXPECT_FALSE(beforeItsText(c)) << c.key.toStdString() << " on page " << c.placedPage << ", its text on "
                                       << c.firstTextPage;
        const bool ok = onPlace(c, !c.key.contains(QLatin1Char('#')));
        if (c.key.contains(QLatin1String("/members.htm"))) {
            ++members;
            membersOnPlace += ok ? 1 : 0;
        } else {
            EXPECT_TRUE(ok) << c.key.toStdString();
        }
    }
    EXPECT_GE(membersOnPlace * 100, members * 75) << membersOnPlace << " of " << members;
}

// A measurement on any CHM file (say, a real documentation set): TOMEFOLD_ANCHOR_ACCURACY_CHM=path.
TEST_F(AnchorAccuracy, ShareOnAGivenHelpFile)
{
    const QString path = qEnvironmentVariable("TOMEFOLD_ANCHOR_ACCURACY_CHM");
    if (path.isEmpty())
        GTEST_SKIP() << "no help file given";
    report(compare(path), path);
}

TEST_F(AnchorAccuracy, DestinationsOfATopicThatPrintsNothingStayUnplaced)
{
    // Its only page is blank and left out: links to it go and its contents entry is a label.
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-anchors"))),
                                     QStringLiteral("CHM")));
    const std::unique_ptr<CHMExporter> exporter = exportDocument(document);
    const QStringList keys = {QStringLiteral("itss://chm/blank.htm"), QStringLiteral("itss://chm/blank.htm#nothing")};
    for (const QString& key : keys) {
        const auto item = exporter->linkDestinationList().value(key);
        ASSERT_TRUE(item) << key.toStdString();
        EXPECT_FALSE(item->isPlaced()) << key.toStdString();
    }
    // Every other topic's destination is placed, in the order of the topics' pages.
    std::uint64_t lastPage = 0;
    for (const auto& item : exporter->linkDestinationListArray()) {
        if (!item->isPlaced())
            continue;
        EXPECT_GE(item->pdfPageNo(), lastPage);
        lastPage = item->pdfPageNo();
    }
    EXPECT_EQ(lastPage + 1, static_cast<std::uint64_t>(exporter->pageCount()));
}

namespace {

// The recording AnchorPlacementTest's replays read: the topic's text; each output page's words in
// painting order, "x y word" a line (points from the top-left corner) and a blank line after each
// page; and "wordOffset labelled page name" for each destination the export makes of a name, in
// walk order, page being the output page (from the topic's first) where its first text prints, -1
// when it prints none.
void writeRecording(const QString& base, const AnchorOracle::PrintedTopicAnchors& printed)
{
    QFile text(base + QStringLiteral(".text"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly)) << base.toStdString();
    text.write(QByteArray::fromStdString(printed.walked->bytes()));
    QFile pages(base + QStringLiteral(".pages"));
    ASSERT_TRUE(pages.open(QIODevice::WriteOnly));
    for (const PrintedPageLayout& layout : printed.outputLayouts) {
        for (const PDFCore::LocatorWord& word : layout.words) {
            const QString chars = QString::fromUcs4(reinterpret_cast<const char32_t*>(word.chars.data()),
                                                    static_cast<qsizetype>(word.chars.size()));
            pages.write(QStringLiteral("%1 %2 %3\n").arg(word.xMin, 0, 'f', 2).arg(word.yMin, 0, 'f', 2).arg(chars).toUtf8());
        }
        pages.write("\n");
    }
    QFile names(base + QStringLiteral(".names"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    QSet<QString> seen;
    for (const TopicAnchor& anchor : printed.walked->anchors()) {
        // The first element of a name is the one the export makes a destination of.
        if (anchor.name.startsWith(QLatin1String(kFirstTextMarker)) || seen.contains(anchor.name.toLower()))
            continue;
        seen.insert(anchor.name.toLower());
        const auto first = printed.firstText.find(anchor.name);
        const int page = first != printed.firstText.end() ? first->second.page : -1;
        names.write(QStringLiteral("%1 %2 %3 %4\n").arg(anchor.wordOffset).arg(anchor.labelled ? 1 : 0).arg(page).arg(anchor.name).toUtf8());
    }
}

} // namespace

// Records every topic of a CHM file for the anchor placement's replays, as the export prints it on
// letter paper: TOMEFOLD_ANCHOR_RECORD_CHM=file TOMEFOLD_ANCHOR_RECORD=folder. Record only pages of
// our own: the recording holds their text.
TEST_F(AnchorAccuracy, RecordsTopicsForReplay)
{
    const QString path = qEnvironmentVariable("TOMEFOLD_ANCHOR_RECORD_CHM");
    const QDir folder(qEnvironmentVariable("TOMEFOLD_ANCHOR_RECORD"));
    if (path.isEmpty() || folder.path().isEmpty())
        GTEST_SKIP() << "no help file or recording folder given";
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(path), QStringLiteral("CHM")));
    const std::unique_ptr<CHMExporter> exporter = exportDocument(document);
    AnchorOracle oracle(document, exporter->printSettings());
    for (const LinkItemPtr& topic : exporter->pageList()) {
        const AnchorOracle::PrintedTopicAnchors printed = oracle.print(topic->path(), true);
        ASSERT_TRUE(printed.walked) << topic->path().toStdString();
        writeRecording(folder.filePath(QFileInfo(topic->path()).completeBaseName()), printed);
    }
}
