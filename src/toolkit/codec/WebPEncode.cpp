#include "toolkit/codec/StagedOutputFile.h"
#include "toolkit/codec/WebPCodec.h"
#include "toolkit/codec/WebPFileWriters.h"
#include "toolkit/codec/WebPPictureReaders.h"

#include <optional>

namespace {

// The encoder's records, released on every way out.
struct EncodeRecords {
    Metadata metadata;
    WebPMemoryWriter writer{};
    WebPPicture picture{};

    EncodeRecords() { WebPMemoryWriterInit(&writer); }
    EncodeRecords(const EncodeRecords&) = delete;
    EncodeRecords& operator=(const EncodeRecords&) = delete;
    ~EncodeRecords()
    {
        WebPMemoryWriterClear(&writer);
        MetadataFree(&metadata);
        WebPPictureFree(&picture);
    }
};

} // namespace

int EncodeImageFileToWebP(const char* inputPath, const char* outputPath, const WebPConfig* config, int metadataFlags)
{
    EncodeRecords records;
    MetadataInit(&records.metadata);
    if (!WebPPictureInit(&records.picture))
        return kWebPEncodePictureInitFailed;
    if (!config || !WebPValidateConfig(config))
        return kWebPEncodeInvalidConfig;
    // Lossy encoding works on YUV: reading straight into it spares a full-size ARGB copy and a pass.
    records.picture.use_argb = config->lossless || config->use_sharp_yuv || config->preprocessing > 0;
    if (!inputPath || !ReadPicture(inputPath, &records.picture, 1, &records.metadata))
        return kWebPEncodeUnreadableInput;

    std::optional<StagedOutputFile> output;
    if (outputPath) {
        output.emplace(outputPath);
        if (!output->file())
            return kWebPEncodeOutputOpenFailed;
        records.picture.writer = WebPMemoryWrite;
        records.picture.custom_ptr = &records.writer;
    }
    if (!WebPEncode(config, &records.picture))
        return kWebPEncodeEncodingFailed;
    if (output) {
        if (!WriteWebPWithMetadata(output->file(), records.picture, records.writer, records.metadata, metadataFlags) || !output->commit())
            return kWebPEncodeWriteFailed;
    }
    return kWebPEncodeSuccess;
}
