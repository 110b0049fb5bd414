#include "ToolkitTestImages.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <ImfArray.h>
#include <ImfRgbaFile.h>
#include <gif_lib.h>
#include <jpeglib.h>
#include <openjpeg.h>
#include <tiffio.h>
#include <webp/encode.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace ToolkitTestImages {

namespace {

void put16(QByteArray& out, int value)
{
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void put32(QByteArray& out, std::uint32_t value)
{
    put16(out, static_cast<int>(value >> 16));
    put16(out, static_cast<int>(value & 0xFFFF));
}

void putLittle16(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void putLittle32(QByteArray& out, std::uint32_t value)
{
    putLittle16(out, static_cast<int>(value & 0xFFFF));
    putLittle16(out, static_cast<int>(value >> 16));
}

// PackBits with literal runs only: always valid, never clever.
QByteArray packLiterally(const QByteArray& row)
{
    QByteArray out;
    for (qsizetype at = 0; at < row.size(); at += 128) {
        const qsizetype run = std::min<qsizetype>(128, row.size() - at);
        out.append(static_cast<char>(run - 1));
        out.append(row.mid(at, run));
    }
    return out;
}

} // namespace

QImage quadrantImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            const bool top = y < height / 2;
            image.setPixel(x, y, top ? (left ? qRgb(255, 0, 0) : qRgb(0, 255, 0)) : (left ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
        }
    }
    return image;
}

QRgb pixelAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000U;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writePNG(const QString& path, const QImage& image, double dpi)
{
    QImage copy = image;
    copy.setDotsPerMeterX(qRound(dpi / 0.0254));
    copy.setDotsPerMeterY(qRound(dpi / 0.0254));
    return copy.save(path, "PNG");
}

bool writeJPEG(const QString& path, const QImage& image, double dpi, bool cmyk)
{
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(dpi);
    info.Y_density = static_cast<UINT16>(dpi);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            JSAMPLE* out = row.data() + static_cast<std::ptrdiff_t>(x) * info.input_components;
            if (cmyk) {
                // No black ink; cyan, magenta and yellow as the complements. libjpeg marks CMYK files with
                // Adobe's marker, whose files hold the inks inverted (255 is no ink).
                out[0] = static_cast<JSAMPLE>(qRed(pixel));
                out[1] = static_cast<JSAMPLE>(qGreen(pixel));
                out[2] = static_cast<JSAMPLE>(qBlue(pixel));
                out[3] = 255;
            } else {
                out[0] = static_cast<JSAMPLE>(qRed(pixel));
                out[1] = static_cast<JSAMPLE>(qGreen(pixel));
                out[2] = static_cast<JSAMPLE>(qBlue(pixel));
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

bool writeTIFF(const QString& path, const QList<QImage>& pages, double dpi)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    for (const QImage& page : pages) {
        const QImage rgb = page.convertToFormat(QImage::Format_RGB888);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(rgb.width()));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(rgb.height()));
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(dpi));
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(rgb.height()));
        for (int y = 0; y < rgb.height(); ++y) {
            if (TIFFWriteScanline(tiff, const_cast<uchar*>(rgb.constScanLine(y)), static_cast<uint32_t>(y), 0) < 0) {
                TIFFClose(tiff);
                return false;
            }
        }
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return true;
}

bool writeDNG(const QString& path, int width, int height)
{
    // A camera's mosaic: one colour a photosite, red-green over green-blue. The left half is lit red,
    // the right half green.
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, 32803); // colour filter array
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    const uint16_t patternSize[2] = {2, 2};
    TIFFSetField(tiff, TIFFTAG_CFAREPEATPATTERNDIM, patternSize);
    const uint8_t pattern[4] = {0, 1, 1, 2};
    TIFFSetField(tiff, TIFFTAG_CFAPATTERN, 4, pattern);
    TIFFSetField(tiff, TIFFTAG_MAKE, "Tomefold");
    TIFFSetField(tiff, TIFFTAG_MODEL, "Test");
    const uint8_t version[4] = {1, 4, 0, 0};
    TIFFSetField(tiff, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tiff, TIFFTAG_DNGBACKWARDVERSION, version);
    TIFFSetField(tiff, TIFFTAG_UNIQUECAMERAMODEL, "Tomefold Test");
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    TIFFSetField(tiff, TIFFTAG_COLORMATRIX1, 9, identity);
    const float neutral[3] = {1, 1, 1};
    TIFFSetField(tiff, TIFFTAG_ASSHOTNEUTRAL, 3, neutral);
    TIFFSetField(tiff, TIFFTAG_CALIBRATIONILLUMINANT1, 21);
    std::vector<uint16_t> row(static_cast<std::size_t>(width));
    bool ok = true;
    for (int y = 0; ok && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int site = (y % 2) * 2 + (x % 2);
            const int colour = site == 0 ? 0 : site == 3 ? 2
                                                         : 1;
            const int lit = x < width / 2 ? 0 : 1;
            row[static_cast<std::size_t>(x)] = colour == lit ? 60000 : 1000;
        }
        ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
    TIFFClose(tiff);
    return ok;
}

bool writeCMYKTIFF(const QString& path, const QImage& image)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height()));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
    TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(image.height()));
    std::vector<uchar> row(static_cast<std::size_t>(image.width()) * 4);
    bool ok = true;
    for (int y = 0; ok && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            uchar* ink = row.data() + static_cast<std::ptrdiff_t>(x) * 4;
            ink[0] = static_cast<uchar>(255 - qRed(pixel));
            ink[1] = static_cast<uchar>(255 - qGreen(pixel));
            ink[2] = static_cast<uchar>(255 - qBlue(pixel));
            ink[3] = 0;
        }
        ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
    TIFFClose(tiff);
    return ok;
}

bool writeFax(const QString& path, const QImage& image, bool leastSignificantFirst)
{
    // libtiff's Group 3 encoder writes the rows; the strip's bytes alone are the raw fax file.
    const QString staging = path + QStringLiteral(".staging.tif");
    TIFF* tiff = TIFFOpen(QFile::encodeName(staging).constData(), "w");
    if (!tiff)
        return false;
    const int width = 1728;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    TIFFSetField(tiff, TIFFTAG_GROUP3OPTIONS, 0);
    TIFFSetField(tiff, TIFFTAG_FILLORDER, leastSignificantFirst ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(image.height()));
    std::vector<uchar> row(width / 8);
    bool ok = true;
    for (int y = 0; ok && y < image.height(); ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < std::min(width, image.width()); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                row[static_cast<std::size_t>(x / 8)] = static_cast<uchar>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
        }
        ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
    TIFFClose(tiff);
    tiff = ok ? TIFFOpen(QFile::encodeName(staging).constData(), "r") : nullptr;
    if (!tiff)
        return false;
    QByteArray strip(static_cast<qsizetype>(TIFFRawStripSize(tiff, 0)), '\0');
    ok = TIFFReadRawStrip(tiff, 0, strip.data(), strip.size()) == strip.size();
    TIFFClose(tiff);
    QFile::remove(staging);
    return ok && writeBytes(path, strip);
}

bool writeGIF(const QString& path, const QList<QImage>& frames)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif || frames.isEmpty())
        return false;
    // Eight colours: every mix of full red, green and blue.
    GifColorType colours[8];
    for (int i = 0; i < 8; ++i)
        colours[i] = GifColorType{static_cast<GifByteType>((i & 4) ? 255 : 0), static_cast<GifByteType>((i & 2) ? 255 : 0),
                                  static_cast<GifByteType>((i & 1) ? 255 : 0)};
    ColorMapObject* map = GifMakeMapObject(8, colours);
    const int width = frames.first().width();
    const int height = frames.first().height();
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (const QImage& frame : frames) {
        ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = frame.pixel(x, y);
                line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(((qRed(pixel) > 127) << 2) | ((qGreen(pixel) > 127) << 1) | (qBlue(pixel) > 127));
            }
            ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
        }
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

bool writeJP2(const QString& path, const QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    opj_image_cmptparm_t parameters[3] = {};
    for (auto& component : parameters) {
        component.dx = component.dy = 1;
        component.w = static_cast<OPJ_UINT32>(width);
        component.h = static_cast<OPJ_UINT32>(height);
        component.prec = 8;
        component.sgnd = 0;
    }
    opj_image_t* picture = opj_image_create(3, parameters, OPJ_CLRSPC_SRGB);
    if (!picture)
        return false;
    picture->x1 = static_cast<OPJ_UINT32>(width);
    picture->y1 = static_cast<OPJ_UINT32>(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
            picture->comps[0].data[at] = qRed(pixel);
            picture->comps[1].data[at] = qGreen(pixel);
            picture->comps[2].data[at] = qBlue(pixel);
        }
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0; // lossless
    settings.cp_disto_alloc = 1;
    settings.numresolution = 3; // small pictures: each level halves the size
    opj_codec_t* codec = opj_create_compress(OPJ_CODEC_JP2);
    bool ok = codec && opj_setup_encoder(codec, &settings, picture);
    opj_stream_t* stream = ok ? opj_stream_create_default_file_stream(QFile::encodeName(path).constData(), OPJ_FALSE) : nullptr;
    ok = ok && stream && opj_start_compress(codec, picture, stream) && opj_encode(codec, stream) && opj_end_compress(codec, stream);
    if (stream)
        opj_stream_destroy(stream);
    if (codec)
        opj_destroy_codec(codec);
    opj_image_destroy(picture);
    return ok;
}

bool writeSGI(const QString& path, const QImage& image, bool compressed)
{
    const int width = image.width();
    const int height = image.height();
    QByteArray out;
    put16(out, 474);
    out.append(static_cast<char>(compressed ? 1 : 0));
    out.append(static_cast<char>(1));
    put16(out, 3);
    put16(out, width);
    put16(out, height);
    put16(out, 3);
    out.append(QByteArray(512 - out.size(), '\0'));
    QList<QByteArray> rows; // channel by channel, bottom row first
    for (int channel = 0; channel < 3; ++channel) {
        for (int y = height - 1; y >= 0; --y) {
            QByteArray row;
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = image.pixel(x, y);
                row.append(static_cast<char>(channel == 0 ? qRed(pixel) : channel == 1 ? qGreen(pixel)
                                                                                       : qBlue(pixel)));
            }
            if (compressed) {
                QByteArray packed;
                for (qsizetype at = 0; at < row.size(); at += 127) {
                    const qsizetype run = std::min<qsizetype>(127, row.size() - at);
                    packed.append(static_cast<char>(0x80 | run));
                    packed.append(row.mid(at, run));
                }
                packed.append('\0');
                row = packed;
            }
            rows.append(row);
        }
    }
    if (compressed) {
        std::uint32_t offset = static_cast<std::uint32_t>(512 + rows.size() * 8);
        QByteArray starts;
        QByteArray lengths;
        for (const QByteArray& row : rows) {
            put32(starts, offset);
            put32(lengths, static_cast<std::uint32_t>(row.size()));
            offset += static_cast<std::uint32_t>(row.size());
        }
        out.append(starts);
        out.append(lengths);
    }
    for (const QByteArray& row : rows)
        out.append(row);
    return writeBytes(path, out);
}

bool writePhotoshop(const QString& path, const QImage& image, double dpi)
{
    QByteArray out("8BPS");
    put16(out, 1);
    out.append(QByteArray(6, '\0'));
    put16(out, 3);
    put32(out, static_cast<std::uint32_t>(image.height()));
    put32(out, static_cast<std::uint32_t>(image.width()));
    put16(out, 8);
    put16(out, 3);
    put32(out, 0); // no colour mode data
    QByteArray resolution;
    put32(resolution, static_cast<std::uint32_t>(dpi * 65536));
    put16(resolution, 1);
    put16(resolution, 1);
    put32(resolution, static_cast<std::uint32_t>(dpi * 65536));
    put16(resolution, 1);
    put16(resolution, 1);
    QByteArray resources("8BIM");
    put16(resources, 0x03ED);
    put16(resources, 0); // empty name, padded
    put32(resources, static_cast<std::uint32_t>(resolution.size()));
    resources.append(resolution);
    put32(out, static_cast<std::uint32_t>(resources.size()));
    out.append(resources);
    put32(out, 0); // no layers
    put16(out, 1); // PackBits
    QList<QByteArray> rows;
    for (int channel = 0; channel < 3; ++channel) {
        for (int y = 0; y < image.height(); ++y) {
            QByteArray row;
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                row.append(static_cast<char>(channel == 0 ? qRed(pixel) : channel == 1 ? qGreen(pixel)
                                                                                       : qBlue(pixel)));
            }
            rows.append(packLiterally(row));
        }
    }
    for (const QByteArray& row : rows)
        put16(out, static_cast<int>(row.size()));
    for (const QByteArray& row : rows)
        out.append(row);
    return writeBytes(path, out);
}

bool writeMacPaint(const QString& path, const QImage& image)
{
    QByteArray out(512, '\0');
    out[3] = 2;
    for (int y = 0; y < 720; ++y) {
        QByteArray row(72, '\0');
        for (int x = 0; x < 576; ++x) {
            const bool black = x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
            if (black)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(packLiterally(row));
    }
    return writeBytes(path, out);
}

bool writeTGA(const QString& path, const QImage& image, bool runLength)
{
    QByteArray out;
    out.append('\0');                        // no identification field
    out.append('\0');                        // no colour map
    out.append(runLength ? '\x0A' : '\x02'); // true colour
    out.append(QByteArray(5, '\0'));
    putLittle16(out, 0);
    putLittle16(out, 0);
    putLittle16(out, image.width());
    putLittle16(out, image.height());
    out.append(static_cast<char>(24));
    out.append(static_cast<char>(0x20)); // rows top first
    auto pixelBytes = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        const char bgr[] = {static_cast<char>(qBlue(pixel)), static_cast<char>(qGreen(pixel)), static_cast<char>(qRed(pixel))};
        return QByteArray(bgr, 3);
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width();) {
            if (!runLength) {
                out.append(pixelBytes(x++, y));
                continue;
            }
            // Runs of one colour as run packets, up to 128 pixels, within the row.
            int run = 1;
            while (x + run < image.width() && run < 128 && image.pixel(x + run, y) == image.pixel(x, y))
                ++run;
            out.append(static_cast<char>(0x80 | (run - 1)));
            out.append(pixelBytes(x, y));
            x += run;
        }
    }
    return writeBytes(path, out);
}

bool writeICO(const QString& path, const QList<QImage>& sizes)
{
    // An icon directory whose entries hold PNG data, as icon files may.
    QList<QByteArray> pngs;
    for (const QImage& size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!size.save(&buffer, "PNG"))
            return false;
        pngs.append(png);
    }
    QByteArray out;
    putLittle16(out, 0);
    putLittle16(out, 1);
    putLittle16(out, static_cast<int>(sizes.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        out.append(static_cast<char>(sizes[i].width() >= 256 ? 0 : sizes[i].width()));
        out.append(static_cast<char>(sizes[i].height() >= 256 ? 0 : sizes[i].height()));
        out.append('\0');
        out.append('\0');
        putLittle16(out, 1);
        putLittle16(out, 32);
        putLittle32(out, static_cast<std::uint32_t>(pngs[i].size()));
        putLittle32(out, offset);
        offset += static_cast<std::uint32_t>(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    return writeBytes(path, out);
}

bool writeEXR(const QString& path, const QImage& image)
{
    Imf::Array2D<Imf::Rgba> samples(image.height(), image.width());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            // Full or no light in each channel: the same in linear light and in the sRGB curve.
            samples[y][x] = Imf::Rgba(qRed(pixel) / 255.0f, qGreen(pixel) / 255.0f, qBlue(pixel) / 255.0f, 1.0f);
        }
    }
    try {
        Imf::RgbaOutputFile file(QFile::encodeName(path).constData(), image.width(), image.height(), Imf::WRITE_RGBA);
        file.setFrameBuffer(&samples[0][0], 1, static_cast<std::size_t>(image.width()));
        file.writePixels(image.height());
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool writeWebP(const QString& path, const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    uint8_t* output = nullptr;
    const size_t size = WebPEncodeLosslessRGBA(rgba.constBits(), rgba.width(), rgba.height(), static_cast<int>(rgba.bytesPerLine()), &output);
    const bool ok = size > 0 && writeBytes(path, QByteArray(reinterpret_cast<const char*>(output), static_cast<qsizetype>(size)));
    WebPFree(output);
    return ok;
}

bool writePDF(const QString& path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QSizeF(200, 100), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.fillRect(QRectF(0, 0, writer.width() / 2.0, writer.height()), Qt::red);
    }
    return painter.end();
}

} // namespace ToolkitTestImages
