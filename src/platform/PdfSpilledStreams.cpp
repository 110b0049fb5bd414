#include "platform/PdfSpilledStreams.h"

#include <QTemporaryFile>

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>

#include <exception>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace {

struct Extent {
    qint64 offset = 0;
    qint64 length = 0;
};

struct ObjGenHash {
    std::size_t operator()(const QPDFObjGen& og) const noexcept
    {
        return std::hash<long long>()((static_cast<long long>(og.getObj()) << 16) ^ og.getGen());
    }
};

} // namespace

class PdfSpilledStreams::File : public QPDFObjectHandle::StreamDataProvider {
public:
    File()
        : QPDFObjectHandle::StreamDataProvider(false)
    {}

    bool isUsable()
    {
        if (!m_opened)
            m_opened = m_file.open();
        return m_opened;
    }

    bool append(const QPDFObjGen& og, const Buffer& data)
    {
        const qint64 offset = m_file.size();
        if (!m_file.seek(offset))
            return false;
        const auto length = static_cast<qint64>(data.getSize());
        if (length > 0 && m_file.write(reinterpret_cast<const char*>(data.getBuffer()), length) != length)
            return false;
        m_extents[og] = {offset, length};
        return true;
    }

    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override
    {
        const auto found = m_extents.find(og);
        if (found == m_extents.end() || !m_file.seek(found->second.offset))
            throw std::runtime_error("spilled stream data missing");
        std::vector<char> chunk(64 * 1024);
        for (qint64 left = found->second.length; left > 0;) {
            const qint64 read = m_file.read(chunk.data(), std::min<qint64>(left, static_cast<qint64>(chunk.size())));
            if (read <= 0)
                throw std::runtime_error("spilled stream data cut short");
            pipeline->write(reinterpret_cast<unsigned char*>(chunk.data()), static_cast<size_t>(read));
            left -= read;
        }
        pipeline->finish();
    }

    qint64 size() const { return m_file.size(); }

private:
    QTemporaryFile m_file;
    bool m_opened = false;
    std::unordered_map<QPDFObjGen, Extent, ObjGenHash> m_extents;
};

PdfSpilledStreams::PdfSpilledStreams()
    : m_file(std::make_shared<File>())
{
}

PdfSpilledStreams::~PdfSpilledStreams() = default;

void PdfSpilledStreams::spillContents(QPDFObjectHandle page)
{
    if (!m_file->isUsable())
        return;
    std::vector<QPDFObjectHandle> streams;
    QPDFObjectHandle contents = page.getKey("/Contents");
    if (contents.isStream()) {
        streams.push_back(contents);
    } else if (contents.isArray()) {
        for (QPDFObjectHandle item : contents.getArrayAsVector()) {
            if (item.isStream())
                streams.push_back(item);
        }
    }
    for (QPDFObjectHandle& stream : streams) {
        try {
            // The bytes as stored, still compressed: written back under the same filters.
            const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
            QPDFObjectHandle dictionary = stream.getDict();
            if (!raw || !m_file->append(stream.getObjGen(), *raw))
                continue;
            stream.replaceStreamData(m_file, dictionary.getKey("/Filter"), dictionary.getKey("/DecodeParms"));
        } catch (const std::exception&) {
            // Kept in memory as copied.
        }
    }
}

qint64 PdfSpilledStreams::spilledBytes() const
{
    return m_file->size();
}
