#include "toolkit/codec/JPEGMarkerMetadata.h"

#include <cstring>
#include <new>

namespace {

constexpr int kICCMarker = JPEG_APP0 + 2;
constexpr int kAPP1Marker = JPEG_APP0 + 1;
const char kICCSignature[] = "ICC_PROFILE"; // with its terminating zero: 12 bytes
constexpr size_t kICCSignatureLength = sizeof kICCSignature;
constexpr size_t kICCHeaderLength = kICCSignatureLength + 2; // then sequence number and count
constexpr int kMaxICCSegments = 255;

struct ICCSegment {
    const JOCTET* data = nullptr;
    size_t size = 0;
};

bool IsICCMarker(const jpeg_marker_struct& marker)
{
    return marker.marker == kICCMarker && marker.data_length > kICCHeaderLength && std::memcmp(marker.data, kICCSignature, kICCSignatureLength) == 0;
}

struct ICCSegments {
    ICCSegment slots[kMaxICCSegments];
    int expectedCount = 0;
    int count = 0;
    int highestSequence = 0;
    size_t totalSize = 0;
};

bool CollectICCSegment(const jpeg_marker_struct& marker, ICCSegments& segments)
{
    const int sequence = marker.data[kICCSignatureLength];
    const int count = marker.data[kICCSignatureLength + 1];
    const size_t size = marker.data_length - kICCHeaderLength;
    if (size == 0 || count == 0 || sequence == 0) {
        std::fprintf(stderr, "[ICCP] size (%d) / count (%d) / sequence number (%d) cannot be 0!\n",
                     static_cast<int>(size), count, sequence);
        return false;
    }
    if (segments.expectedCount == 0) {
        segments.expectedCount = count;
    } else if (segments.expectedCount != count) {
        std::fprintf(stderr, "[ICCP] Inconsistent segment count (%d / %d)!\n", segments.expectedCount, count);
        return false;
    }
    ICCSegment& slot = segments.slots[sequence - 1];
    if (slot.size != 0) {
        std::fprintf(stderr, "[ICCP] Duplicate segment number (%d)!\n", sequence);
        return false;
    }
    slot = {marker.data + kICCHeaderLength, size};
    segments.totalSize += size;
    segments.highestSequence = sequence > segments.highestSequence ? sequence : segments.highestSequence;
    ++segments.count;
    return true;
}

bool StoreICCProfile(const jpeg_decompress_struct& cinfo, CodecBuffer& profile)
{
    ICCSegments segments;
    for (const jpeg_marker_struct* marker = cinfo.marker_list; marker; marker = marker->next) {
        if (IsICCMarker(*marker) && !CollectICCSegment(*marker, segments))
            return false;
    }
    if (segments.count == 0)
        return true;
    if (segments.highestSequence != segments.count) {
        std::fprintf(stderr, "[ICCP] Discontinuous segments, expected: %d actual: %d!\n", segments.count,
                     segments.highestSequence);
        return false;
    }
    if (segments.count != segments.expectedCount) {
        std::fprintf(stderr, "[ICCP] Segment count: %d does not match expected: %d!\n", segments.count,
                     segments.expectedCount);
        return false;
    }
    // The slots are in sequence order already; no gap is left once the checks above pass.
    CodecBuffer joined;
    joined.reserve(segments.totalSize);
    for (int i = 0; i < segments.count; ++i)
        joined.insert(joined.end(), segments.slots[i].data, segments.slots[i].data + segments.slots[i].size);
    profile = std::move(joined);
    return true;
}

struct APP1Payload {
    const char* signature;
    size_t signatureLength;
    CodecBuffer Metadata::*payload;
};

const APP1Payload kAPP1Payloads[] = {
    {"Exif\0", 6, &Metadata::exif},
    {"http://ns.adobe.com/xap/1.0/", 29, &Metadata::xmp},
};

bool StoreAPP1Payloads(const jpeg_decompress_struct& cinfo, Metadata& metadata)
{
    for (const jpeg_marker_struct* marker = cinfo.marker_list; marker; marker = marker->next) {
        if (marker->marker != kAPP1Marker)
            continue;
        for (const APP1Payload& kind : kAPP1Payloads) {
            if (marker->data_length <= kind.signatureLength || std::memcmp(marker->data, kind.signature, kind.signatureLength) != 0)
                continue;
            CodecBuffer& payload = metadata.*kind.payload;
            if (!payload.empty()) {
                std::fprintf(stderr, "Ignoring additional '%s' marker\n", kind.signature);
                continue;
            }
            const char* rest = reinterpret_cast<const char*>(marker->data) + kind.signatureLength;
            if (!MetadataCopy(rest, marker->data_length - kind.signatureLength, &payload))
                return false;
        }
    }
    return true;
}

} // namespace

int ExtractJPEGMetadata(const jpeg_decompress_struct& cinfo, Metadata& metadata)
{
    try {
        return StoreICCProfile(cinfo, metadata.iccp) && StoreAPP1Payloads(cinfo, metadata) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
