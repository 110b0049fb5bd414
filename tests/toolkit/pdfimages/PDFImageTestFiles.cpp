#define POINTERHOLDER_TRANSITION 4
#include "PDFImageTestFiles.h"

#include "toolkit/codec/JPEGCodec.h"

#include <QTemporaryDir>

#include <openjpeg.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <tiffio.h>

#include <stdexcept>

namespace TestFilters {

QByteArray Flate(const QByteArray& bytes)
{
    // qCompress is a zlib stream behind a four-byte length.
    return qCompress(bytes).mid(4);
}

QByteArray ASCIIHex(const QByteArray& bytes)
{
    return bytes.toHex() + ">";
}

QByteArray ASCII85(const QByteArray& bytes)
{
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); i += 4) {
        const qsizetype n = std::min<qsizetype>(4, bytes.size() - i);
        quint32 word = 0;
        for (qsizetype k = 0; k < 4; ++k)
            word = (word << 8) | (k < n ? uchar(bytes[i + k]) : 0);
        if (n == 4 && word == 0) {
            out += 'z';
            continue;
        }
        char digits[5];
        for (int k = 4; k >= 0; --k, word /= 85)
            digits[k] = char('!' + word % 85);
        out.append(digits, n + 1);
    }
    return out + "~>";
}

QByteArray RunLength(const QByteArray& bytes)
{
    // Runs of equal bytes are repeated, the rest literal.
    QByteArray out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype run = 1;
        while (i + run < bytes.size() && run < 128 && bytes[i + run] == bytes[i])
            ++run;
        if (run > 1) {
            out += char(257 - run);
            out += bytes[i];
        } else {
            out += char(0);
            out += bytes[i];
        }
        i += run;
    }
    return out + char(128);
}

QByteArray LZW(const QByteArray& bytes)
{
    // Literal codes only, with a clear code often enough that the codes stay 9 bits wide.
    QByteArray out;
    quint32 buffer = 0;
    int bits = 0;
    auto put = [&](int code) {
        buffer = (buffer << 9) | quint32(code);
        bits += 9;
        while (bits >= 8) {
            out += char((buffer >> (bits - 8)) & 0xff);
            bits -= 8;
        }
    };
    put(256);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 200 == 0)
            put(256);
        put(uchar(bytes[i]));
    }
    put(257);
    if (bits > 0)
        out += char((buffer << (8 - bits)) & 0xff);
    return out;
}

QByteArray JPEG(const QByteArray& pixels, int width, int height, int components)
{
    CodecBuffer jpeg;
    if (EncodeJPEGToMemory(uint32_t(width), uint32_t(height), reinterpret_cast<const uint8_t*>(pixels.constData()),
                           components == 1 ? JCS_GRAYSCALE : JCS_RGB, components, &jpeg, 100, 72, 72)
        != 0)
        throw std::runtime_error("JPEG encoding failed");
    return QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size()));
}

namespace {

struct CodestreamSink {
    QByteArray bytes;
    qsizetype position = 0;
};

OPJ_SIZE_T WriteSink(void* buffer, OPJ_SIZE_T size, void* user)
{
    auto* sink = static_cast<CodestreamSink*>(user);
    if (sink->position + qsizetype(size) > sink->bytes.size())
        sink->bytes.resize(sink->position + qsizetype(size));
    std::memcpy(sink->bytes.data() + sink->position, buffer, size);
    sink->position += qsizetype(size);
    return size;
}

OPJ_OFF_T SkipSink(OPJ_OFF_T size, void* user)
{
    static_cast<CodestreamSink*>(user)->position += qsizetype(size);
    return size;
}

OPJ_BOOL SeekSink(OPJ_OFF_T position, void* user)
{
    static_cast<CodestreamSink*>(user)->position = qsizetype(position);
    return OPJ_TRUE;
}

} // namespace

QByteArray JPEG2000(const QByteArray& pixels, int width, int height)
{
    opj_image_cmptparm_t parameters[3] = {};
    for (auto& component : parameters) {
        component.dx = component.dy = 1;
        component.w = OPJ_UINT32(width);
        component.h = OPJ_UINT32(height);
        component.prec = 8;
    }
    opj_image_t* image = opj_image_create(3, parameters, OPJ_CLRSPC_SRGB);
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (int i = 0; i < width * height; ++i)
        for (int c = 0; c < 3; ++c)
            image->comps[c].data[i] = uchar(pixels[i * 3 + c]);
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.numresolution = 1;
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &settings, image);
    CodestreamSink sink;
    opj_stream_t* stream = opj_stream_default_create(OPJ_FALSE);
    opj_stream_set_user_data(stream, &sink, nullptr);
    opj_stream_set_write_function(stream, WriteSink);
    opj_stream_set_skip_function(stream, SkipSink);
    opj_stream_set_seek_function(stream, SeekSink);
    const bool encoded = opj_start_compress(codec, image, stream) && opj_encode(codec, stream)
                         && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!encoded)
        throw std::runtime_error("JPEG 2000 encoding failed");
    return sink.bytes;
}

QByteArray CCITTGroup4(const QByteArray& rows, int width, int height)
{
    QTemporaryDir folder;
    const QByteArray path = folder.filePath("fax.tif").toLocal8Bit();
    TIFF* tiff = TIFFOpen(path.constData(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    const int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        QByteArray row = rows.mid(qsizetype(y) * rowBytes, rowBytes);
        TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0);
    }
    TIFFClose(tiff);
    tiff = TIFFOpen(path.constData(), "r");
    QByteArray fax(qsizetype(TIFFRawStripSize(tiff, 0)), '\0');
    const tmsize_t read = TIFFReadRawStrip(tiff, 0, fax.data(), fax.size());
    TIFFClose(tiff);
    return fax.left(qsizetype(read));
}

namespace {

QByteArray BigEndian(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

} // namespace

QByteArray JBIG2Segment(quint32 number, int type, const QByteArray& data)
{
    return BigEndian(number) + char(type) + char(0) + char(1) + BigEndian(quint32(data.size())) + data;
}

QByteArray JBIG2Page(quint32 width, quint32 height, const QByteArray& after)
{
    const QByteArray information = BigEndian(width) + BigEndian(height) + QByteArray(8, '\0') + QByteArray(3, '\0');
    return JBIG2Segment(0, 48, information) + after;
}

QByteArray JBIG2GenericRegion(quint32 number, quint32 width, quint32 height)
{
    // Region information, the MMR flag, and sixteen rows coded as white like the row above.
    const QByteArray data = BigEndian(width) + BigEndian(height) + BigEndian(0) + BigEndian(0) + char(0) + char(1)
                            + QByteArray(2, '\xFF');
    return JBIG2Segment(number, 38, data);
}

} // namespace TestFilters

namespace {

QPDFObjectHandle MakeXObject(QPDF& pdf, const TestXObject& xobject)
{
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf, xobject.bytes.toStdString());
    QByteArray entries = xobject.entries;
    entries.replace("@self", QByteArray::number(stream.getObjectID()) + " 0 R");
    for (size_t i = xobject.referenced.size(); i > 0; --i) {
        const QPDFObjectHandle target = MakeXObject(pdf, xobject.referenced[i - 1]);
        entries.replace("@" + QByteArray::number(qulonglong(i)),
                        QByteArray::number(target.getObjectID()) + " 0 R");
    }
    stream.replaceDict(QPDFObjectHandle::parse(&pdf, "<< " + entries.toStdString() + " >>"));
    return stream;
}

} // namespace

void WriteTestPDF(const QString& path, const std::vector<TestPage>& pages, const QByteArray& ownerPassword)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper document(pdf);
    for (const TestPage& page : pages) {
        QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
        for (const TestXObject& xobject : page.xobjects)
            xobjects.replaceKey("/" + xobject.name.toStdString(), MakeXObject(pdf, xobject));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", xobjects);
        if (!page.colorSpaces.isEmpty())
            resources.replaceKey("/ColorSpace",
                                 QPDFObjectHandle::parse(&pdf, "<< " + page.colorSpaces.toStdString() + " >>"));
        QPDFObjectHandle dict = QPDFObjectHandle::parse("<< /Type /Page /MediaBox " + page.mediaBox.toStdString() + " "
                                                        + page.pageEntries.toStdString() + " >>");
        dict.replaceKey("/Resources", resources);
        dict.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, page.content.toStdString()));
        document.addPage(pdf.makeIndirectObject(dict), false);
    }
    // The writer keeps the file name until it writes.
    const QByteArray fileName = path.toLocal8Bit();
    QPDFWriter writer(pdf, fileName.constData());
    writer.setStreamDataMode(qpdf_s_uncompress);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(false);
    if (!ownerPassword.isEmpty())
        writer.setR6EncryptionParameters("", ownerPassword.constData(), true, true, true, true, true, true, qpdf_r3p_full,
                                         true);
    writer.write();
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}
