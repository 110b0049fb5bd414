// Fuzzes our RTF reader: every input must be read or refused without a crash, a hang, unbounded
// memory or undefined behaviour. Pictures in the input may name RTFD attachments: the loader
// hands back a fixed picture, so the attachment road is taken too.
#include "toolkit/text/RTFReader.h"

#include "FuzzApplication.h"
#include "FuzzInput.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {

const QByteArray kAttachment = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAFklEQVR4nGP4z8DAwMDAxMDAwMDAAAANBAEBgHrTEQAAAABJRU5ErkJggg==");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzApplication::Ensure("rtf_fuzz");
    const QByteArray bytes = FuzzInput::bytes(data, size);
    QTextDocument document;
    RTFReader::Read(bytes, document, nullptr, [](const QString&) { return kAttachment; });
    document.toPlainText();
    return 0;
}
