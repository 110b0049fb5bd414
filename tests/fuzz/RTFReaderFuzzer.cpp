// Fuzzes our RTF reader: every input must be read or refused without a crash, a hang, unbounded
// memory or undefined behaviour. Pictures in the input may name RTFD attachments: the loader
// hands back a fixed picture, so the attachment road is taken too.
#include "toolkit/text/RTFReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// QTextDocument needs an application object; the fuzzer makes one, offscreen, on first use.
void EnsureApplication()
{
    static std::unique_ptr<QGuiApplication> application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "rtf_fuzz";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

const QByteArray kAttachment = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAFklEQVR4nGP4z8DAwMDAxMDAwMDAAAANBAEBgHrTEQAAAABJRU5ErkJggg==");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    RTFReader::Read(bytes, document, nullptr, [](const QString&) { return kAttachment; });
    document.toPlainText();
    return 0;
}
