// The metadata objects "/#WINDOWS", "/#STRINGS" and "/#SYSTEM" of a CHM file, given as three parts.

#include "chm/CHMMetadataReader.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts = FuzzInput::parts(FuzzInput::bytes(data, size), 3);
    // An empty part stands for a missing object.
    const auto object = [](const QByteArray& part) { return part.isEmpty() ? QByteArray() : part; };
    const auto exists = [](const QString& path) { return path.size() % 2 == 0; };
    CHMMetadataReader::read(object(parts[0]), object(parts[1]), object(parts[2]), exists);
    CHMMetadata known;
    known.encodingName = QStringLiteral("CP932");
    CHMMetadataReader::read(object(parts[0]), object(parts[1]), object(parts[2]), exists, known);
    return 0;
}
