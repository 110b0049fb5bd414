#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

class Stream;

// The bytes of an image stream as the decoder takes them: every filter undone, except that a final
// DCT or JPX filter is left for the toolkit's codecs and its input comes back with the format.
struct PDFImageStreamData {
    enum class Format {
        Samples = 0,
        JPEG = 1,
        JPEG2000 = 2
    };
    Format format = Format::Samples;
    QByteArray bytes;
};

// Encoded JPEG and JPEG 2000 data larger than this is not read.
inline constexpr std::size_t kMaxPDFEncodedImageBytes = std::size_t(1) << 30;

// With allowEncoded false the last filter is undone too (inline images, and a second attempt when
// the toolkit's codec refused the bytes). Decoded samples are read up to sampleLimit bytes only.
PDFImageStreamData CopyPDFImageStreamData(Stream& stream, std::size_t sampleLimit, bool allowEncoded);

// The bytes of the stream reader and of the codecs as the decoder holds them.
QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes);
