#include "toolkit/pdfimages/PDFImageStreamData.h"

#include "toolkit/pdf/PDFObjectValues.h"

#include <Object.h>
#include <Stream.h>

QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

PDFImageStreamData CopyPDFImageStreamData(Stream& stream, std::size_t sampleLimit, bool allowEncoded)
{
    PDFImageStreamData data;
    const StreamKind kind = stream.getKind();
    Stream* encoded = stream.getNextStream();
    if (allowEncoded && encoded && (kind == strDCT || kind == strJPX)) {
        data.format = kind == strDCT ? PDFImageStreamData::Format::JPEG : PDFImageStreamData::Format::JPEG2000;
        data.bytes = ToByteArray(PDFObjectValues::StreamBytes(*encoded, kMaxPDFEncodedImageBytes));
        return data;
    }
    data.bytes = ToByteArray(PDFObjectValues::StreamBytes(stream, sampleLimit));
    return data;
}
