#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

// Helpers for the fuzz targets: the input as Qt bytes, and inputs made of several parts.
namespace FuzzInput {

inline QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The parts of an input that holds several, separated by "#PART#" (seeds are written that way).
inline QList<QByteArray> parts(const QByteArray& input, qsizetype count)
{
    QList<QByteArray> result;
    qsizetype start = 0;
    while (result.size() + 1 < count) {
        const qsizetype at = input.indexOf("#PART#", start);
        if (at < 0)
            break;
        result.append(input.mid(start, at - start));
        start = at + 6;
    }
    result.append(input.mid(start));
    while (result.size() < count)
        result.append(QByteArray());
    return result;
}

} // namespace FuzzInput
