#include "toolkit/codec/WebPCodec.h"
#include "toolkit/codec/WebPFileWriters.h"

#include <cstdint>
#include <memory>

#include <webp/mux.h>

namespace {

// The smallest encoded file: RIFF header and one chunk header.
constexpr size_t kMinimumEncodedSize = 20;
// The largest RIFF size the container allows.
constexpr uint64_t kMaxRIFFSize = (uint64_t{1} << 32) - 10;

struct SelectedChunk {
    int flag;
    const char* fourCC;
    CodecBuffer Metadata::*payload;
};

// In the order the chunks take in the file.
const SelectedChunk kSelectableChunks[] = {
    {kWebPMetadataICC, "ICCP", &Metadata::iccp},
    {kWebPMetadataEXIF, "EXIF", &Metadata::exif},
    {kWebPMetadataXMP, "XMP ", &Metadata::xmp},
};

struct MuxDelete {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};

struct AssembledData {
    WebPData data;
    AssembledData() { WebPDataInit(&data); }
    AssembledData(const AssembledData&) = delete;
    AssembledData& operator=(const AssembledData&) = delete;
    ~AssembledData() { WebPDataClear(&data); }
};

bool WriteAll(FILE* file, const uint8_t* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, file) == size;
}

uint64_t SelectedMetadataSize(const Metadata& metadata, int flags)
{
    uint64_t size = 0;
    for (const SelectedChunk& chunk : kSelectableChunks) {
        const CodecBuffer& payload = metadata.*chunk.payload;
        if ((flags & chunk.flag) && !payload.empty())
            size += 8 + payload.size() + (payload.size() & 1);
    }
    return size;
}

// The encoder's file with the chunks added through libwebp's mux, which writes the VP8X header (canvas
// size, alpha taken from the image, metadata flags), orders the chunks and pads odd payloads.
bool WriteWithChunks(FILE* file, const WebPMemoryWriter& writer, const Metadata& metadata, int flags)
{
    const WebPData encoded{writer.mem, writer.size};
    std::unique_ptr<WebPMux, MuxDelete> mux(WebPMuxCreate(&encoded, 0));
    if (!mux)
        return false;
    for (const SelectedChunk& chunk : kSelectableChunks) {
        const CodecBuffer& payload = metadata.*chunk.payload;
        if (!(flags & chunk.flag) || payload.empty())
            continue;
        const WebPData data{payload.data(), payload.size()};
        if (WebPMuxSetChunk(mux.get(), chunk.fourCC, &data, 0) != WEBP_MUX_OK)
            return false;
    }
    AssembledData assembled;
    if (WebPMuxAssemble(mux.get(), &assembled.data) != WEBP_MUX_OK)
        return false;
    return WriteAll(file, assembled.data.bytes, assembled.data.size);
}

} // namespace

int WriteWebPWithMetadata(FILE* file, const WebPPicture&, const WebPMemoryWriter& writer,
                          const Metadata& metadata, int flags)
{
    if (!file || !writer.mem || writer.size < kMinimumEncodedSize)
        return 0;
    const uint64_t metadataSize = SelectedMetadataSize(metadata, flags);
    if (writer.size - 8 + metadataSize > kMaxRIFFSize) {
        std::fprintf(stderr, "Error! Addition of metadata would exceed container size limit.\n");
        return 0;
    }
    if (metadataSize == 0)
        return WriteAll(file, writer.mem, writer.size) ? 1 : 0;
    return WriteWithChunks(file, writer, metadata, flags) ? 1 : 0;
}
