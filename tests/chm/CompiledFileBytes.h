#pragma once

// Reading and patching the bytes of a compiled fixture in place, for tests that damage a sound file
// a few bytes at a time.

#include <QByteArray>

#include <gtest/gtest.h>

inline const QByteArray kResetTable = QByteArrayLiteral(
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
inline const QByteArray kControlData = QByteArrayLiteral("::DataSpace/Storage/MSCompressed/ControlData");
inline const QByteArray kCompressedContent = QByteArrayLiteral("::DataSpace/Storage/MSCompressed/Content");

inline quint64 readLE(const QByteArray& bytes, qsizetype at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline void writeLE(QByteArray& bytes, qsizetype at, quint64 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The headers of a container made by a test: a directory at kOwnDirectoryAt of two chunks of
// chunkLength bytes (a listing, chunk 0, and an index over it, chunk 1, the root), in a file with
// room for fileChunks chunks. The chunks' own bytes are the caller's.
inline constexpr qsizetype kOwnDirectoryAt = 0x60;
inline QByteArray twoChunkDirectory(qsizetype chunkLength, qsizetype fileChunks = 2)
{
    QByteArray file(kOwnDirectoryAt + 0x54 + fileChunks * chunkLength, '\0');
    file.replace(0, 4, "ITSF");
    writeLE(file, 4, 3, 4);
    writeLE(file, 8, kOwnDirectoryAt, 4);
    writeLE(file, 0x48, kOwnDirectoryAt, 8);
    writeLE(file, 0x50, static_cast<quint64>(0x54 + 2 * chunkLength), 8);
    writeLE(file, 0x58, static_cast<quint64>(file.size()), 8);
    file.replace(kOwnDirectoryAt, 4, "ITSP");
    writeLE(file, kOwnDirectoryAt + 4, 1, 4);
    writeLE(file, kOwnDirectoryAt + 8, 0x54, 4);
    writeLE(file, kOwnDirectoryAt + 0x10, static_cast<quint64>(chunkLength), 4);
    writeLE(file, kOwnDirectoryAt + 0x1C, 1, 4); // index root
    writeLE(file, kOwnDirectoryAt + 0x20, 0, 4); // listing head
    return file;
}

inline quint64 readEncoded(const QByteArray& bytes, qsizetype& at)
{
    quint64 value = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        value = value << 7 | (byte & 0x7F);
        if (byte < 0x80)
            return value;
    }
}

// A directory entry of the fixture: where its section number is, and where its bytes are.
struct Entry {
    qsizetype sectionAt = 0;
    qsizetype lengthAt = 0;
    qsizetype dataAt = 0;
    quint64 length = 0;
};

inline Entry entryOf(const QByteArray& file, const QByteArray& name)
{
    qsizetype at = file.indexOf(name);
    EXPECT_GT(at, 0);
    EXPECT_EQ(static_cast<unsigned char>(file[at - 1]), name.size()); // one-byte name length
    at += name.size();
    Entry entry;
    entry.sectionAt = at;
    readEncoded(file, at);
    const quint64 start = readEncoded(file, at);
    entry.lengthAt = at;
    entry.length = readEncoded(file, at);
    entry.dataAt = static_cast<qsizetype>(readLE(file, 0x58, 8) + start);
    return entry;
}
