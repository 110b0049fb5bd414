// The store lookup's answer, scanned for the two keys the lookup reads and for a key the input
// names itself (its first part).

#include "app/rating/JSONValueScan.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts = FuzzInput::parts(FuzzInput::bytes(data, size), 2);
    const QString json = QString::fromUtf8(parts[1]);
    ScanJSONValueForKey(QStringLiteral("bundleId"), json);
    ScanJSONValueForKey(QStringLiteral("trackId"), json);
    ScanJSONValueForKey(QString::fromUtf8(parts[0]), json);
    return 0;
}
