// pdf-function-bench: converts 24-megapixel images in Separation and DeviceN colour spaces through
// PostScript calculator tint transforms, once evaluating the function for every pixel and once
// with results cached per distinct pixel value, and prints megapixels per second and the speed-up.
// Poppler's own function evaluation over the same pixels (what a Poppler-based renderer does) is
// printed beside them.
#include "toolkit/pdf/PDFTintTransform.h"

#include <Object.h>
#include <Array.h>
#include <Dict.h>
#include <Function.h>
#include <Stream.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

Object Pairs(int count)
{
    auto* array = new Array(static_cast<XRef*>(nullptr));
    for (int i = 0; i < count; ++i) {
        array->add(Object(0.0));
        array->add(Object(1.0));
    }
    return Object(array);
}

// A colour-space array [/Family names /Alternate program-stream]; the program text lives in text.
Object ColorSpace(const char* family, int colorants, const char* alternate, int outputs, const std::string& text)
{
    auto* dict = new Dict(static_cast<XRef*>(nullptr));
    dict->add("FunctionType", Object(4));
    dict->add("Domain", Pairs(colorants));
    dict->add("Range", Pairs(outputs));
    auto* stream = new MemStream(text.data(), 0, static_cast<Goffset>(text.size()), Object(dict));
    auto* array = new Array(static_cast<XRef*>(nullptr));
    array->add(Object(objName, family));
    if (colorants == 1) {
        array->add(Object(objName, "Spot"));
    } else {
        auto* names = new Array(static_cast<XRef*>(nullptr));
        for (int i = 0; i < colorants; ++i)
            names->add(Object(objName, ("Ink" + std::to_string(i)).c_str()));
        array->add(Object(names));
    }
    array->add(Object(objName, alternate));
    array->add(Object(static_cast<Stream*>(stream)));
    return Object(array);
}

// Smooth ramps across the image, one per colorant, as a scanned or rendered picture has them.
QByteArray Image(int colorants)
{
    QByteArray data(static_cast<qsizetype>(kWidth) * kHeight * colorants, Qt::Uninitialized);
    char* out = data.data();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < colorants; ++c) {
                const int value = c == 0 ? x * 255 / kWidth : c == 1 ? y * 255 / kHeight
                                                                     : ((x + y) / 16 + c * 40) % 256;
                *out++ = static_cast<char>(value);
            }
        }
    }
    return data;
}

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Poppler's PostScriptFunction over every pixel, bytes out as the toolkit writes them.
double PopplerSeconds(const Array& colorSpace, const QByteArray& data, int colorants)
{
    Object functionObject = colorSpace.get(3);
    std::unique_ptr<Function> function(Function::parse(&functionObject));
    if (!function)
        return 0.0;
    const int outputs = function->getOutputSize();
    QByteArray result(data.size() / colorants * outputs, Qt::Uninitialized);
    return Seconds([&] {
        const auto* in = reinterpret_cast<const uint8_t*>(data.constData());
        auto* out = reinterpret_cast<uint8_t*>(result.data());
        double inputs[32];
        double values[32];
        for (qsizetype p = 0; p < data.size() / colorants; ++p) {
            for (int c = 0; c < colorants; ++c)
                inputs[c] = in[c] / 255.0;
            function->transform(inputs, values);
            for (int j = 0; j < outputs; ++j)
                out[j] = static_cast<uint8_t>(values[j] <= 0 ? 0 : values[j] >= 1 ? 255
                                                                                  : values[j] * 255 + 0.5);
            in += colorants;
            out += outputs;
        }
    });
}

void Measure(const char* label, const char* family, int colorants, const char* alternate, int outputs,
             const std::string& program)
{
    Object colorSpace = ColorSpace(family, colorants, alternate, outputs, program);
    const Array& array = *colorSpace.getArray();
    const QByteArray data = Image(colorants);
    const bool separation = colorants == 1;
    auto convert = [&](TintEvaluation evaluation) {
        return separation ? ApplySeparationTintTransform(array, data, evaluation)
                          : ApplyDeviceNTintTransform(array, data, evaluation);
    };
    std::optional<QByteArray> perPixel, cached;
    const double perPixelSeconds = Seconds([&] { perPixel = convert(TintEvaluation::PerPixel); });
    const double cachedSeconds = Seconds([&] { cached = convert(TintEvaluation::Cached); });
    const double popplerSeconds = PopplerSeconds(array, data, colorants);
    const double megapixels = static_cast<double>(kWidth) * kHeight / 1e6;
    std::printf("%-34s per pixel %7.1f MP/s   cached %7.1f MP/s   speed-up %6.1fx   Poppler per pixel %7.1f MP/s"
                "   same bytes: %s\n",
                label, megapixels / perPixelSeconds, megapixels / cachedSeconds, perPixelSeconds / cachedSeconds,
                megapixels / popplerSeconds, perPixel && cached && *perPixel == *cached ? "yes" : "NO");
}

} // namespace

int main()
{
    std::printf("%d x %d pixels (%.0f megapixels), PostScript calculator tint transforms\n", kWidth, kHeight,
                kWidth * kHeight / 1e6);
    Measure("Separation -> DeviceCMYK", "Separation", 1, "DeviceCMYK", 4,
            "{ dup 0.84 mul exch 0 exch dup 0.44 mul exch 0.21 mul }");
    Measure("DeviceN, 2 inks -> DeviceRGB", "DeviceN", 2, "DeviceRGB", 3,
            "{ 2 copy mul 0.5 mul 3 1 roll 1 exch sub exch 1 exch sub 3 -1 roll }");
    Measure("DeviceN, 4 inks -> DeviceCMYK", "DeviceN", 4, "DeviceCMYK", 4,
            "{ 4 -1 roll 0.9 mul 4 1 roll 3 -1 roll dup 0.5 gt { 0.8 mul } { 1.1 mul } ifelse 3 1 roll "
            "exch 0.2 add exch 0.7 mul }");
    return 0;
}
