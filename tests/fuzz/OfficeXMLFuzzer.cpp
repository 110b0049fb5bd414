// Fuzzes the XML side of our DOCX, WordML and ODT readers: the first byte chooses the reader
// (even: a Word document part, odd: an OpenDocument content part), the rest is the XML. Every
// input must be read or refused without a crash, a hang, unbounded memory or undefined behaviour.
#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/ODTReader.h"

#include "FuzzApplication.h"
#include "FuzzInput.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzApplication::Ensure("office_xml_fuzz");
    const QByteArray xml = FuzzInput::bytes(data + 1, size - 1);
    QTextDocument document;
    if (data[0] % 2 == 0)
        DOCXReader::ReadDocumentXML(xml, document);
    else
        ODTReader::ReadContentXML(xml, document);
    document.toPlainText();
    return 0;
}
