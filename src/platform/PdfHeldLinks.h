#pragma once

#include "platform/PdfLink.h"
#include "platform/PdfLinkJumps.h"
#include "platform/PdfSpilledRecords.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <type_traits>
#include <vector>

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Pipeline.hh>

#include <memory>

class QPDFWriter;

// Passes what a writer writes on to next, counting the bytes and keeping the last of them (where
// the trailer is). finish() is left to the owner, who may write more after the writer is done.
class PdfCountingPipeline : public Pipeline {
public:
    explicit PdfCountingPipeline(Pipeline& next);
    void write(unsigned char const* data, size_t length) override;
    void finish() override {}
    void write(const QByteArray& bytes);

    qint64 written() const { return m_written; }
    const QByteArray& tail() const { return m_tail; }

private:
    Pipeline& m_next;
    qint64 m_written = 0;
    QByteArray m_tail;
};

// Link annotations of copied pages kept as small records instead of PDF objects, until the
// document is written. A large document carries millions of links, and a link held as objects
// costs some kilobytes; as a record it costs a few dozen bytes. The records are written as
// annotations once the rest of the document is out: an update section after it holds the new
// annotations and, for each page with any, the page again, its annotation list with them in their
// printed places.
class PdfHeldLinks {
    // 28 bytes a link: a reference page carries a hundred links and more, a large document millions.
    struct Record {
        std::array<float, 4> rect{}; // as printed (see numberOf), unless extra says otherwise
        std::int32_t target = 0;     // 1 + index in m_urls, or -(1 + index in m_jumps)
        std::uint16_t style = 0;     // index in m_styles
        std::uint16_t position = 0;  // index in the page's printed annotation list
        // Its low bits: 1 + index in m_exactRects for a rectangle whose numbers are no floats; then
        // one bit for each number of the rectangle printed to six decimals (see numberOf); its top
        // bit: a destination was set for the link.
        std::uint32_t extra = 0;
    };
    static_assert(sizeof(Record) == 28);
    // Kept in a file as their bytes.
    static_assert(std::is_trivially_copyable_v<Record>);
    static constexpr std::uint32_t kDestinationSet = 1U << 31;
    static constexpr int kSixDecimalsShift = 27;
    static constexpr std::uint32_t kExactRect = (1U << kSixDecimalsShift) - 1;
    static constexpr std::size_t kLastPosition = 0xFFFF;
    static constexpr std::int32_t kUnset = -2;
    // Where a link leads once set: most links to one target lead to the same place, which the
    // target keeps for all of them.
    struct Place {
        std::int32_t page = kUnset; // -1: nowhere (the link is not written)
        float x = 0;
        float y = 0;
        // Spelled out: the sanitizer build compiles the sources that reach qpdf as C++17.
        bool operator==(const Place& other) const { return page == other.page && x == other.x && y == other.y; }
    };
    struct Target {
        QString url;
        Place place;
    };
    struct HeldJump {
        PdfLinkJumps::Jump jump;
        Place place;
    };

public:
    // Links whose URI action target passes isHeld, and links that jump to a named place of their
    // printed document, are held.
    explicit PdfHeldLinks(std::function<bool(const QString& url)> isHeld);

    // The links held from one printed page. The page's annotation list is put back as printed
    // when this goes, so only the copy made meanwhile comes without them.
    class Taken {
    public:
        Taken(QPDFObjectHandle page, QPDFObjectHandle printed)
            : m_page(std::move(page))
            , m_printed(std::move(printed))
        {}
        ~Taken();
        Taken(const Taken&) = delete;
        Taken& operator=(const Taken&) = delete;

    private:
        friend class PdfHeldLinks;
        QPDFObjectHandle m_page;
        QPDFObjectHandle m_printed;
        std::vector<Record> m_links;
    };
    // Null when the page has no link to hold.
    std::unique_ptr<Taken> take(QPDF& source, QPDFObjectHandle sourcePage);
    // The page the links were taken from has become output page outputPage.
    void pageCopied(int outputPage, Taken& taken);

    int count(int pageIndex) const;
    // The link as the page's annotation at index would read: its URL, or its jump and where the
    // jump lands among the pages copied so far.
    PdfLinkAnnotation at(int pageIndex, int index, const PdfLinkJumps& jumps, QPDF& output) const;
    // A link is written with its destination; a link without one is not written at all.
    bool setDestination(int pageIndex, int index, const std::optional<PdfDestination>& destination);

    bool hasLinksToWrite() const;
    // What the records of links keep in memory besides the pages' records waiting for the file:
    // the targets, the styles, the jumps and the rectangles no floats hold.
    qint64 memoryBytes() const;
    // After writer has written output (without object streams) through out: appends the update
    // section. False with error when what was written has no trailer to follow or the update
    // cannot be finished. The document's objects are left as they were: a page with links to write
    // is written again in the update, its annotation list in it, rather than given a list object
    // of its own beforehand, which a large document would hold for every page while it is written.
    bool writeUpdate(QPDF& output, QPDFWriter& writer, PdfCountingPipeline& out, std::string* error) const;

private:
    std::int32_t internUrl(const QString& url);
    std::optional<std::uint16_t> internStyle(const QByteArray& style);
    const Record* record(int pageIndex, int index) const;
    // The page's records, read back when they are not the ones read last; valid until another
    // page's are asked for.
    const std::vector<Record>& pageRecords(int pageIndex) const;
    // The same, to be changed: they are written back when another page's are read.
    std::vector<Record>& changedPageRecords(int pageIndex);
    Place& targetPlace(const Record& link);
    const Place& targetPlace(const Record& link) const;
    // Where link, at index of the page, leads; none while no destination was set for it.
    Place placeOf(int pageIndex, std::size_t index, const Record& link) const;
    bool hasLinkToWrite(std::size_t pageIndex) const;
    std::array<double, 4> rectangleOfRecord(const Record& link) const;
    static double numberOf(float value, bool sixDecimals);
    // How numberOf gives back each of the rectangle's numbers from its float: the bits of extra
    // that say which were printed to six decimals; none when a number is held by no float.
    static std::optional<std::uint32_t> floatsHold(const std::array<double, 4>& rect);
    struct WrittenObject {
        int number = 0;
        int generation = 0;
        qint64 offset = 0;
    };
    // What the update section writes: the new annotations, numbered on from the first number the
    // written document left free, and the pages written again, which keep their numbers.
    struct Update {
        int firstNumber = 0;
        int annotationCount = 0;
        // The annotations of a page follow one another: where each page's run starts and how many
        // it holds, and by run their lengths, 4 bytes a link, which wait in a file: a large
        // document writes millions.
        struct Run {
            qint64 offset = 0;
            std::uint32_t count = 0;
        };
        std::vector<Run> runs;
        PdfSpilledRecords annotationLengths{sizeof(std::uint32_t)};
        std::vector<WrittenObject> pages;
    };
    // The page's annotation objects and the page again, written through out; their offsets are
    // added to update.
    void writePage(QPDF& output, QPDFWriter& writer, int pageIndex, PdfCountingPipeline& out, Update& update) const;
    // The cross-reference table of the update, through out a piece at a time: a large document's
    // holds millions of lines. False when the lengths of the annotations cannot be read back.
    static bool writeCrossReferences(const Update& update, PdfCountingPipeline& out);

    std::function<bool(const QString&)> m_isHeld;
    // By output page, in a temporary file until the write: a large document holds millions.
    mutable PdfSpilledRecords m_pages{sizeof(Record)};
    // The page read back last, and whether it was changed since.
    mutable int m_cachedPage = -1;
    mutable std::vector<Record> m_cached;
    mutable bool m_cachedChanged = false;
    // Link targets and annotation keys repeat across pages: each is kept once.
    std::vector<Target> m_urls;
    QHash<QString, std::int32_t> m_urlIndex;
    std::vector<QByteArray> m_styles;
    QHash<QByteArray, std::uint16_t> m_styleIndex;
    std::vector<HeldJump> m_jumps;
    std::vector<std::array<double, 4>> m_exactRects;
    // Links set to lead elsewhere than their target's place, by page and index.
    std::map<std::pair<int, int>, Place> m_ownPlaces;
};
