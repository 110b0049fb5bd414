// Fuzzes the XML side of our DOCX, WordML and ODT readers: the first byte chooses the reader
// (even: a Word document part, odd: an OpenDocument content part), the rest is the XML. Every
// input must be read or refused without a crash, a hang, unbounded memory or undefined behaviour.
#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/ODTReader.h"

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
        static char name[] = "office_xml_fuzz";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    EnsureApplication();
    const QByteArray xml(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QTextDocument document;
    if (data[0] % 2 == 0)
        DOCXReader::ReadDocumentXML(xml, document);
    else
        ODTReader::ReadContentXML(xml, document);
    document.toPlainText();
    return 0;
}
