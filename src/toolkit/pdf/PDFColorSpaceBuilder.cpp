#include "toolkit/pdf/PDFColorSpaceBuilder.h"

#include "toolkit/pdf/CalibratedColorProfiles.h"
#include "toolkit/pdf/PDFObjectValues.h"
#include "toolkit/pdf/PDFTintTransform.h"

#include <Object.h>
#include <Array.h>
#include <Dict.h>
#include <Stream.h>

#include <cstring>

using PDFColorSpaceDetail::BuildFromArray;

namespace {

constexpr size_t kMaxProfileBytes = 16 << 20;

// A base or alternate space given as element index: an array is built (one level deeper), a name
// is a device name, anything else (nothing at all included) is device gray.
PDFColorSpacePtr NestedSpace(const Array& array, int index, int depth, ColorSpaceKind& kind)
{
    kind = ColorSpaceKind::None;
    const Object element = array.getLength() > index ? array.get(index) : Object(objNull);
    if (element.isArray()) {
        int count = 0;
        return BuildFromArray(*element.getArray(), kind, count, depth + 1);
    }
    if (element.isName())
        return CreateDeviceColorSpace(element.getName());
    return PDFColorSpace::Device(PDFColorSpace::Model::Gray);
}

const Dict* DictionaryAt(const Array& array, int index, Object& holder)
{
    holder = array.getLength() > index ? array.get(index) : Object(objNull);
    return holder.isDict() ? holder.getDict() : nullptr;
}

PDFColorSpacePtr BuildICCBased(const Array& array)
{
    const Object element = array.getLength() > 1 ? array.get(1) : Object(objNull);
    if (!element.isStream())
        return nullptr;
    Stream& stream = *element.getStream();
    const Dict* dict = stream.getDict();
    if (!dict)
        return nullptr;
    PDFColorSpacePtr alternate;
    const Object alternateName = dict->lookup("Alternate");
    const int n = static_cast<int>(PDFObjectValues::Integer(*dict, "N").value_or(0));
    if (alternateName.isName())
        alternate = CreateDeviceColorSpace(alternateName.getName());
    else if (n == 4 || n == 3 || n == 1)
        alternate = PDFColorSpace::Device(n == 4   ? PDFColorSpace::Model::CMYK
                                          : n == 3 ? PDFColorSpace::Model::RGB
                                                   : PDFColorSpace::Model::Gray);
    std::vector<double> ranges = PDFObjectValues::NumberArray(*dict, "Range").value_or(std::vector<double>());
    const size_t wanted = 2 * static_cast<size_t>(std::max(n, 0));
    ranges.resize(std::min(ranges.size(), wanted));
    for (size_t i = ranges.size(); i < wanted; ++i)
        ranges.push_back(i % 2 == 0 ? 0.0 : 1.0);
    const std::vector<uint8_t> bytes = PDFObjectValues::StreamBytes(stream, kMaxProfileBytes);
    if (PDFColorSpacePtr space = CreateICCColorSpace(bytes, n, std::move(ranges)))
        return space;
    return alternate;
}

PDFColorSpacePtr BuildCalibrated(const char* family, const Array& array)
{
    Object holder;
    const Dict* dict = DictionaryAt(array, 1, holder);
    const bool calibrated = dict && dict->lookup("WhitePoint").isArray();
    if (std::strcmp(family, "CalGray") == 0)
        return calibrated ? CreateCalGrayColorSpace(*dict) : PDFColorSpace::Device(PDFColorSpace::Model::Gray);
    if (std::strcmp(family, "CalRGB") == 0)
        return calibrated ? CreateCalRGBColorSpace(*dict) : PDFColorSpace::Device(PDFColorSpace::Model::RGB);
    return calibrated ? CreateLabColorSpace(*dict) : PDFColorSpace::Device(PDFColorSpace::Model::RGB);
}

// The components of the space the colour table's bytes are written in: a Separation's one tint, a
// DeviceN's colorants, or the base's own.
int TableComponents(ColorSpaceKind baseKind, const Array& baseArray, const PDFColorSpace& base)
{
    if (baseKind == ColorSpaceKind::Separation)
        return 1;
    if (baseKind == ColorSpaceKind::DeviceN)
        return DeviceNColorantCount(baseArray);
    return base.componentCount();
}

QByteArray LookupTable(const Array& array, size_t wanted)
{
    const Object element = array.getLength() > 3 ? array.get(3) : Object(objNull);
    QByteArray table;
    if (element.isStream()) {
        const std::vector<uint8_t> bytes = PDFObjectValues::StreamBytes(*element.getStream(), wanted);
        table = QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    } else if (element.isString()) {
        const GooString* text = element.getString();
        table = QByteArray(text->c_str(), static_cast<qsizetype>(std::min<size_t>(text->getLength(), wanted)));
    }
    if (static_cast<size_t>(table.size()) < wanted)
        table.append(QByteArray(static_cast<qsizetype>(wanted - static_cast<size_t>(table.size())), '\0'));
    return table;
}

PDFColorSpacePtr BuildIndexed(const Array& array, int depth)
{
    ColorSpaceKind baseKind = ColorSpaceKind::None;
    PDFColorSpacePtr base = NestedSpace(array, 1, depth, baseKind);
    if (!base || base->model() == PDFColorSpace::Model::Indexed)
        return nullptr;
    const Object hivalObject = array.getLength() > 2 ? array.get(2) : Object(objNull);
    const int hival = std::clamp(hivalObject.isInt() ? hivalObject.getInt() : 0, 0, 255);
    const Object baseObject = array.get(1);
    const int components = baseObject.isArray() ? TableComponents(baseKind, *baseObject.getArray(), *base)
                                                : base->componentCount();
    if (components <= 0)
        return nullptr;
    QByteArray table = LookupTable(array, static_cast<size_t>(hival + 1) * static_cast<size_t>(components));
    if (baseKind == ColorSpaceKind::Separation || baseKind == ColorSpaceKind::DeviceN) {
        // The table turns into the alternate space's bytes once, instead of every pixel later.
        auto converted = PDFTintTransformDetail::TintTransform(*baseObject.getArray(), table, components,
                                                               base->componentCount(), TintEvaluation::Cached);
        if (!converted)
            return nullptr;
        table = std::move(*converted);
    }
    return PDFColorSpace::Indexed(std::move(base), hival, std::move(table));
}

} // namespace

namespace PDFColorSpaceDetail {

PDFColorSpacePtr BuildFromArray(const Array& array, ColorSpaceKind& kind, int& componentCount, int depth)
{
    if (depth > kMaxColorSpaceNesting || array.getLength() < 1)
        return nullptr;
    const Object familyObject = array.get(0);
    if (!familyObject.isName())
        return nullptr;
    const char* family = familyObject.getName();
    PDFColorSpacePtr space;
    if (std::strcmp(family, "ICCBased") == 0) {
        kind = ColorSpaceKind::ICCBased;
        space = BuildICCBased(array);
    } else if (std::strcmp(family, "Indexed") == 0 || std::strcmp(family, "I") == 0) {
        kind = ColorSpaceKind::Indexed;
        space = BuildIndexed(array, depth);
    } else if (std::strcmp(family, "CalRGB") == 0 || std::strcmp(family, "CalGray") == 0
               || std::strcmp(family, "Lab") == 0) {
        kind = std::strcmp(family, "CalRGB") == 0    ? ColorSpaceKind::CalRGB
               : std::strcmp(family, "CalGray") == 0 ? ColorSpaceKind::CalGray
                                                     : ColorSpaceKind::Lab;
        space = BuildCalibrated(family, array);
    } else if (std::strcmp(family, "Separation") == 0 || std::strcmp(family, "DeviceN") == 0) {
        kind = family[0] == 'S' ? ColorSpaceKind::Separation : ColorSpaceKind::DeviceN;
        ColorSpaceKind alternateKind = ColorSpaceKind::None;
        space = NestedSpace(array, 2, depth, alternateKind);
        // A special space cannot stand in for another one: its tint transform would never run.
        if (alternateKind == ColorSpaceKind::Indexed || alternateKind == ColorSpaceKind::Separation
            || alternateKind == ColorSpaceKind::DeviceN)
            space = nullptr;
    } else if (array.getLength() == 1) {
        // [/DeviceRGB] and the like: the device space the one name names.
        space = CreateDeviceColorSpace(family);
    }
    if (space)
        componentCount = space->componentCount();
    return space;
}

} // namespace PDFColorSpaceDetail

PDFColorSpacePtr CreateColorSpaceFromArray(const Array& array, ColorSpaceKind& kind, int& componentCount)
{
    return BuildFromArray(array, kind, componentCount, 0);
}

PDFColorSpacePtr CreateDeviceColorSpace(const char* name)
{
    if (!name)
        return nullptr;
    using Model = PDFColorSpace::Model;
    if (std::strcmp(name, "DeviceRGB") == 0 || std::strcmp(name, "RGB") == 0)
        return PDFColorSpace::Device(Model::RGB);
    if (std::strcmp(name, "DeviceCMYK") == 0 || std::strcmp(name, "CMYK") == 0)
        return PDFColorSpace::Device(Model::CMYK);
    if (std::strcmp(name, "DeviceGray") == 0 || std::strcmp(name, "G") == 0)
        return PDFColorSpace::Device(Model::Gray);
    return nullptr;
}

PDFColorSpacePtr CreateColorSpaceFromName(const char* name, int& componentCount)
{
    PDFColorSpacePtr space = CreateDeviceColorSpace(name);
    if (space)
        componentCount = space->componentCount();
    return space;
}

PDFColorSpacePtr CreateColorSpaceFromKind(ColorSpaceKind kind)
{
    switch (kind) {
    case ColorSpaceKind::Gray: return PDFColorSpace::Device(PDFColorSpace::Model::Gray);
    case ColorSpaceKind::RGB: return PDFColorSpace::Device(PDFColorSpace::Model::RGB);
    case ColorSpaceKind::CMYK: return PDFColorSpace::Device(PDFColorSpace::Model::CMYK);
    default: return nullptr;
    }
}
