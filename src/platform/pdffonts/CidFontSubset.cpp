#include "platform/pdffonts/CidFontSubset.h"

#include <qpdf/Buffer.hh>

#include <exception>
#include <set>

namespace {

// "ABCDEF+Name" -> "Name"; a name without a tag stays as it is.
std::string withoutSubsetTag(const std::string& name)
{
    if (name.size() > 7 && name[6] == '+') {
        bool tag = true;
        for (int i = 0; i < 6; ++i)
            tag = tag && name[static_cast<size_t>(i)] >= 'A' && name[static_cast<size_t>(i)] <= 'Z';
        if (tag)
            return name.substr(7);
    }
    return name;
}

// The dictionary's entries but the named ones, resolved, in a stable order; none when an entry
// left in is a stream (it would not compare by value).
std::optional<std::string> valuesExcept(QPDFObjectHandle dictionary, const std::set<std::string>& left)
{
    std::string values;
    for (auto [key, value] : dictionary.ditems()) {
        if (left.count(key) != 0 || value.isNull())
            continue;
        if (value.isStream())
            return std::nullopt;
        values += key + " " + value.unparseResolved() + " ";
    }
    return values;
}

std::string decodedStream(QPDFObjectHandle stream)
{
    const std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

bool isZero(QPDFObjectHandle number)
{
    return number.getNumericValue() == 0.0;
}

// The W array: "c [w1 w2 ...]" and "first last w" runs.
std::optional<std::map<uint16_t, std::string>> widthsOf(QPDFObjectHandle array)
{
    std::map<uint16_t, std::string> widths;
    if (array.isNull())
        return widths;
    if (!array.isArray())
        return std::nullopt;
    const int count = array.getArrayNItems();
    for (int i = 0; i < count;) {
        QPDFObjectHandle first = array.getArrayItem(i);
        QPDFObjectHandle next = array.getArrayItem(i + 1);
        if (!first.isInteger() || first.getIntValue() < 0)
            return std::nullopt;
        long long id = first.getIntValue();
        if (next.isArray()) {
            for (QPDFObjectHandle width : next.aitems()) {
                if (!width.isNumber() || id > 0xFFFF)
                    return std::nullopt;
                if (!isZero(width))
                    widths[static_cast<uint16_t>(id)] = width.unparse();
                ++id;
            }
            i += 2;
            continue;
        }
        QPDFObjectHandle width = array.getArrayItem(i + 2);
        if (!next.isInteger() || !width.isNumber() || next.getIntValue() < id || next.getIntValue() > 0xFFFF)
            return std::nullopt;
        for (; !isZero(width) && id <= next.getIntValue(); ++id)
            widths[static_cast<uint16_t>(id)] = width.unparse();
        i += 3;
    }
    return widths;
}

} // namespace

std::optional<CidFontSubset> CidFontSubset::read(QPDFObjectHandle font)
{
    try {
        if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type0")
            || !font.getKey("/BaseFont").isName())
            return std::nullopt;
        QPDFObjectHandle encoding = font.getKey("/Encoding");
        QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
        if (!(encoding.isNameAndEquals("/Identity-H") || encoding.isNameAndEquals("/Identity-V"))
            || !descendants.isArray() || descendants.getArrayNItems() != 1)
            return std::nullopt;
        QPDFObjectHandle descendant = descendants.getArrayItem(0);
        if (!descendant.isDictionary() || !descendant.getKey("/Subtype").isNameAndEquals("/CIDFontType2"))
            return std::nullopt;
        // Widths left out of W fall back to DW: with a DW of 0, a zero in W and a width left out
        // mean the same, so subsets that list different glyphs can be merged.
        QPDFObjectHandle defaultWidth = descendant.getKey("/DW");
        if (!defaultWidth.isNumber() || !isZero(defaultWidth))
            return std::nullopt;
        QPDFObjectHandle cidToGid = descendant.getKey("/CIDToGIDMap");
        if (!cidToGid.isNull() && !cidToGid.isNameAndEquals("/Identity"))
            return std::nullopt;
        QPDFObjectHandle descriptor = descendant.getKey("/FontDescriptor");
        if (!descriptor.isDictionary() || !descriptor.getKey("/FontFile2").isStream()
            || descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile3"))
            return std::nullopt;

        CidFontSubset subset;
        subset.faceName = withoutSubsetTag(font.getKey("/BaseFont").getName().substr(1));
        const auto type0 = valuesExcept(font, {"/BaseFont", "/DescendantFonts", "/ToUnicode"});
        const auto cid = valuesExcept(descendant, {"/BaseFont", "/FontDescriptor", "/W"});
        const auto metrics = valuesExcept(descriptor, {"/FontName", "/FontFile2"});
        const auto widths = widthsOf(descendant.getKey("/W"));
        if (!type0 || !cid || !metrics || !widths)
            return std::nullopt;
        subset.type0Values = *type0;
        subset.descendantValues = *cid;
        subset.descriptorValues = *metrics;
        subset.widths = *widths;
        QPDFObjectHandle toUnicode = font.getKey("/ToUnicode");
        if (toUnicode.isStream()) {
            subset.toUnicode = ToUnicodeCMap::parse(decodedStream(toUnicode));
            if (!subset.toUnicode)
                return std::nullopt;
        } else if (!toUnicode.isNull()) {
            return std::nullopt; // a predefined map by name
        }
        subset.faceKey = subset.faceName + "\n" + subset.type0Values + "\n" + subset.descendantValues + "\n"
                         + subset.descriptorValues + (subset.toUnicode ? "\nToUnicode" : "");
        subset.program = decodedStream(descriptor.getKey("/FontFile2"));
        return subset;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
