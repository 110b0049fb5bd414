#include "platform/PdfHeldLinks.h"

#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

// The update section that writes the held links once the rest of the document is out.

namespace {

// Numbers as qpdf writes them: the rectangle as printed (no printer writes more decimals), the
// destination to two decimals.
std::string pdfNumber(double value, int decimals)
{
    return QUtil::double_to_string(value, decimals, true);
}

std::string reference(QPDFObjGen object)
{
    return std::to_string(object.getObj()) + " " + std::to_string(object.getGen()) + " R";
}

// A value of a written page as writer wrote it: what it names under the numbers writer gave, a
// dictionary's keys in order and without those whose value is null.
std::string writtenText(QPDFWriter& writer, QPDFObjectHandle value)
{
    if (value.isIndirect()) {
        const QPDFObjGen renumbered = writer.getRenumberedObjGen(value.getObjGen());
        return renumbered.getObj() == 0 ? std::string("null") : reference(renumbered);
    }
    if (value.isArray()) {
        std::string text = "[";
        for (QPDFObjectHandle item : value.getArrayAsVector())
            text += " " + writtenText(writer, item);
        return text + " ]";
    }
    if (value.isDictionary()) {
        std::string text = "<<";
        for (const std::string& key : value.getKeys()) {
            QPDFObjectHandle item = value.getKey(key);
            if (!item.isNull())
                text += " " + QPDFObjectHandle::newName(key).unparse() + " " + writtenText(writer, item);
        }
        return text + " >>";
    }
    return value.unparse();
}

} // namespace

PdfCountingPipeline::PdfCountingPipeline(Pipeline& next)
    : Pipeline("counting", &next)
    , m_next(next)
{}

void PdfCountingPipeline::write(unsigned char const* data, size_t length)
{
    constexpr qsizetype kTailBytes = 4096;
    m_next.write(data, length);
    m_written += static_cast<qint64>(length);
    const qsizetype kept = std::min<qsizetype>(static_cast<qsizetype>(length), kTailBytes);
    m_tail.append(reinterpret_cast<const char*>(data) + length - static_cast<size_t>(kept), kept);
    if (m_tail.size() > kTailBytes)
        m_tail.remove(0, m_tail.size() - kTailBytes);
}

void PdfCountingPipeline::write(const QByteArray& bytes)
{
    write(reinterpret_cast<unsigned char const*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

void PdfHeldLinks::writePage(QPDF& output, QPDFWriter& writer, int pageIndex, PdfCountingPipeline& out, Update& update) const
{
    const std::vector<QPDFObjectHandle>& pages = output.getAllPages();
    QPDFObjectHandle page = pages[static_cast<std::size_t>(pageIndex)];
    const QPDFObjGen written = writer.getRenumberedObjGen(page.getObjGen());
    if (written.getObj() == 0)
        return;
    // The annotations that stayed with the page fill the places the held ones leave free.
    std::vector<std::string> entries;
    QPDFObjectHandle annotations = page.getKey("/Annots");
    const std::vector<QPDFObjectHandle> stayed = annotations.isArray() ? annotations.getArrayAsVector()
                                                                       : std::vector<QPDFObjectHandle>();
    std::size_t nextStayed = 0;
    std::uint32_t place = 0; // printed places taken so far, by held links and those that stayed
    auto appendStayed = [&] {
        const std::string entry = writtenText(writer, stayed[nextStayed++]);
        if (entry != "null")
            entries.push_back(entry);
        ++place;
    };
    // A copy: the cache serves one page at a time, and this one's records are wanted whole.
    const std::vector<Record> links = pageRecords(pageIndex);
    std::vector<std::uint32_t> lengths;
    for (std::size_t index = 0; index < links.size(); ++index) {
        const Record& link = links[index];
        while (nextStayed < stayed.size() && place < link.position)
            appendStayed();
        ++place;
        const Place destination = placeOf(pageIndex, index, link);
        if (destination.page < 0 || static_cast<std::size_t>(destination.page) >= pages.size())
            continue;
        QPDFObjectHandle targetPage = pages[static_cast<std::size_t>(destination.page)];
        const QPDFObjGen target = writer.getRenumberedObjGen(targetPage.getObjGen());
        const std::array<double, 4> rect = rectangleOfRecord(link);
        const int number = update.firstNumber + update.annotationCount;
        // The page's annotations follow one another, then the page: one run a page.
        if (lengths.empty())
            update.runs.push_back({out.written(), 0});
        const std::string text = std::to_string(number) + " 0 obj\n<< " + m_styles[link.style].toStdString() + "/Dest [ "
                                 + reference(target) + " /XYZ " + pdfNumber(destination.x, 2) + " "
                                 + pdfNumber(destination.y, 2) + " null ] /Rect [ " + pdfNumber(rect[0], 6) + " "
                                 + pdfNumber(rect[1], 6) + " " + pdfNumber(rect[2], 6) + " " + pdfNumber(rect[3], 6)
                                 + " ] >>\nendobj\n";
        out.write(QByteArray::fromStdString(text));
        lengths.push_back(static_cast<std::uint32_t>(text.size()));
        ++update.annotationCount;
        entries.push_back(std::to_string(number) + " 0 R");
    }
    while (nextStayed < stayed.size())
        appendStayed();
    if (!lengths.empty()) {
        update.runs.back().count = static_cast<std::uint32_t>(lengths.size());
        update.annotationLengths.setPage(static_cast<int>(update.runs.size()) - 1,
                                         QByteArray(reinterpret_cast<const char*>(lengths.data()),
                                                    static_cast<qsizetype>(lengths.size() * sizeof(std::uint32_t))));
    }
    // The page as written, its annotation list in it, among its keys in their order.
    update.pages.push_back({written.getObj(), written.getGen(), out.written()});
    std::string text = std::to_string(written.getObj()) + " " + std::to_string(written.getGen()) + " obj\n<<";
    std::set<std::string> keys = page.getKeys();
    keys.insert("/Annots");
    for (const std::string& key : keys) {
        if (key == "/Annots") {
            text += " /Annots [";
            for (const std::string& entry : entries)
                text += " " + entry;
            text += " ]";
            continue;
        }
        QPDFObjectHandle value = page.getKey(key);
        if (!value.isNull())
            text += " " + QPDFObjectHandle::newName(key).unparse() + " " + writtenText(writer, value);
    }
    text += " >>\nendobj\n";
    out.write(QByteArray::fromStdString(text));
}

bool PdfHeldLinks::writeUpdate(QPDF& output, QPDFWriter& writer, PdfCountingPipeline& out, std::string* error) const
{
    // The trailer of what was written: the update follows its cross-reference table and takes
    // its entries, with the new size and the table it follows.
    static const QRegularExpression trailerPattern(
        QStringLiteral("trailer\\s*<<(.*)>>\\s*startxref\\s+(\\d+)\\s+%%EOF\\s*$"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression sizePattern(QStringLiteral("/Size\\s+(\\d+)"));
    const QString tail = QString::fromLatin1(out.tail().mid(std::max<qsizetype>(out.tail().lastIndexOf("trailer"), 0)));
    const QRegularExpressionMatch trailer = trailerPattern.match(tail);
    const QRegularExpressionMatch size = trailer.hasMatch() ? sizePattern.match(trailer.captured(1)) : QRegularExpressionMatch();
    if (!size.hasMatch()) {
        if (error)
            *error = "the written document ends without a trailer";
        return false;
    }
    QString entries = trailer.captured(1);
    entries.remove(sizePattern);
    Update update;
    update.firstNumber = size.captured(1).toInt();
    for (std::size_t page = 0; page < static_cast<std::size_t>(m_pages.pageCount()); ++page) {
        if (hasLinkToWrite(page))
            writePage(output, writer, static_cast<int>(page), out, update);
    }
    const qint64 table = out.written();
    if (!writeCrossReferences(update, out)) {
        if (error)
            *error = "the links' cross-references cannot be read back";
        return false;
    }
    const int nextNumber = update.firstNumber + update.annotationCount;
    out.write("trailer\n<< /Size " + QByteArray::number(nextNumber) + " /Prev " + trailer.captured(2).toLatin1() + ' '
              + entries.simplified().toLatin1() + " >>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n");
    return true;
}

bool PdfHeldLinks::writeCrossReferences(const Update& update, PdfCountingPipeline& out)
{
    constexpr qsizetype kPieceBytes = 64 * 1024;
    QByteArray text = "xref\n0 1\n0000000000 65535 f \n";
    auto line = [&text, &out](qint64 offset, int generation) {
        std::array<char, 24> entry{};
        std::snprintf(entry.data(), entry.size(), "%010lld %05d n \n", static_cast<long long>(offset), generation);
        text += entry.data();
        if (text.size() >= kPieceBytes) {
            out.write(text);
            text.clear();
        }
    };
    // The pages keep the numbers the writer gave them, each its own run unless they follow on.
    std::vector<WrittenObject> pages = update.pages;
    std::sort(pages.begin(), pages.end(), [](const WrittenObject& a, const WrittenObject& b) { return a.number < b.number; });
    for (std::size_t first = 0; first < pages.size();) {
        std::size_t end = first + 1;
        while (end < pages.size() && pages[end].number == pages[end - 1].number + 1)
            ++end;
        text += QByteArray::number(pages[first].number) + ' ' + QByteArray::number(static_cast<qulonglong>(end - first)) + '\n';
        for (std::size_t at = first; at < end; ++at)
            line(pages[at].offset, pages[at].generation);
        first = end;
    }
    // The annotations, one run after every number the written document used.
    if (update.annotationCount > 0) {
        text += QByteArray::number(update.firstNumber) + ' ' + QByteArray::number(update.annotationCount) + '\n';
        for (std::size_t run = 0; run < update.runs.size(); ++run) {
            const QByteArray bytes = update.annotationLengths.page(static_cast<int>(run));
            std::vector<std::uint32_t> lengths(update.runs[run].count);
            if (static_cast<std::size_t>(bytes.size()) != lengths.size() * sizeof(std::uint32_t))
                return false;
            std::memcpy(lengths.data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
            qint64 offset = update.runs[run].offset;
            for (const std::uint32_t length : lengths) {
                line(offset, 0);
                offset += length;
            }
        }
    }
    out.write(text);
    return true;
}
