#include "app/presets/PlistVariant.h"

#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

struct MallocFree {
    void operator()(char* text) const { std::free(text); }
};

// Property-list dates count seconds from 2001-01-01 UTC.
const QDateTime& plistEpoch()
{
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return epoch;
}

QVariant toVariant(plist_t node, int depth);

QVariant dictionaryToVariant(plist_t node, int depth)
{
    QVariantMap map;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &value);
        const std::unique_ptr<char, MallocFree> key(rawKey);
        if (!value)
            break;
        QVariant converted = toVariant(value, depth + 1);
        if (key && converted.isValid())
            map.insert(QString::fromUtf8(key.get()), std::move(converted));
    }
    std::free(iterator);
    return map;
}

QVariant arrayToVariant(plist_t node, int depth)
{
    QVariantList list;
    const uint32_t size = plist_array_get_size(node);
    for (uint32_t i = 0; i < size; ++i) {
        QVariant converted = toVariant(plist_array_get_item(node, i), depth + 1);
        if (converted.isValid())
            list.append(std::move(converted));
    }
    return list;
}

QVariant scalarToVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value != 0);
    }
    case PLIST_UINT: {
        // Negative integers come back in two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<qlonglong>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_STRING: {
        char* raw = nullptr;
        plist_get_string_val(node, &raw);
        const std::unique_ptr<char, MallocFree> text(raw);
        return text ? QString::fromUtf8(text.get()) : QString();
    }
    case PLIST_DATA: {
        char* raw = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &raw, &length);
        const std::unique_ptr<char, MallocFree> bytes(raw);
        return bytes ? QByteArray(bytes.get(), static_cast<qsizetype>(length)) : QByteArray();
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return plistEpoch().addMSecs(qint64(seconds) * 1000 + microseconds / 1000);
    }
    default:
        return {};
    }
}

QVariant toVariant(plist_t node, int depth)
{
    if (!node || depth > PlistVariant::kMaximumDepth)
        return {};
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return dictionaryToVariant(node, depth);
    case PLIST_ARRAY:
        return arrayToVariant(node, depth);
    default:
        return scalarToVariant(node);
    }
}

plist_t fromVariant(const QVariant& value, int depth);

plist_t dictionaryFromMap(const QVariantMap& map, int depth)
{
    plist_t dictionary = plist_new_dict();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (plist_t item = fromVariant(it.value(), depth + 1))
            plist_dict_set_item(dictionary, it.key().toUtf8().constData(), item);
    }
    return dictionary;
}

plist_t arrayFromList(const QVariantList& list, int depth)
{
    plist_t array = plist_new_array();
    for (const QVariant& element : list) {
        if (plist_t item = fromVariant(element, depth + 1))
            plist_array_append_item(array, item);
    }
    return array;
}

plist_t fromVariant(const QVariant& value, int depth)
{
    if (depth > PlistVariant::kMaximumDepth)
        return nullptr;
    switch (value.typeId()) {
    case QMetaType::QVariantMap:
        return dictionaryFromMap(value.toMap(), depth);
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return arrayFromList(value.toList(), depth);
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::Double:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 msecs = plistEpoch().msecsTo(value.toDateTime());
        return plist_new_date(static_cast<int32_t>(msecs / 1000), static_cast<int32_t>((msecs % 1000) * 1000));
    }
    default:
        return nullptr;
    }
}

// libplist parses nesting recursively: refuse files with more containers than a stack can take
// before handing them over (the depth cannot exceed the number of containers).
bool hasFewContainers(const QByteArray& xml)
{
    constexpr qsizetype kMaximumContainers = 4096;
    return xml.count("<dict") + xml.count("<array") <= kMaximumContainers;
}

} // namespace

namespace PlistVariant {

std::optional<QVariant> fromXml(const QByteArray& xml)
{
    // libplist keeps a NUL byte inside a string or key and then asserts (aborting the process)
    // when the string is read out; no XML property list holds one.
    if (xml.isEmpty() || xml.size() > kMaximumBytes || xml.contains('\0') || !hasFewContainers(xml))
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &raw);
    const PlistHandle root(raw);
    if (!root)
        return std::nullopt;
    QVariant value = toVariant(root.get(), 0);
    if (!value.isValid())
        return std::nullopt;
    return value;
}

QByteArray toXml(const QVariant& value)
{
    const PlistHandle root(fromVariant(value, 0));
    if (!root)
        return {};
    char* raw = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &raw, &length);
    if (!raw)
        return {};
    QByteArray xml(raw, static_cast<qsizetype>(length));
    plist_to_xml_free(raw);
    return xml;
}

} // namespace PlistVariant
