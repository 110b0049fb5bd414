// Fuzzes our HTML and web archive readers: the first byte chooses the reader (even: an HTML page,
// odd: a web archive, binary or XML property list), the rest is the file. Every input must be read or refused without a crash, a
// hang, unbounded memory, a file read from outside the page's folder, or undefined behaviour.
#include "toolkit/text/HTMLReader.h"

#include "FuzzApplication.h"
#include "FuzzInput.h"

#include <QTextDocument>
#include <QUrl>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzApplication::Ensure("html_reader_fuzz");
    const QByteArray bytes = FuzzInput::bytes(data + 1, size - 1);
    QTextDocument document;
    // A folder that holds nothing: whatever the page names, nothing of the disk may be read.
    const bool read = data[0] % 2 == 0
                          ? HTMLReader::ReadHTML(bytes, QUrl::fromLocalFile(QStringLiteral("/nonexistent/fuzz/page.html")), document)
                          : HTMLReader::ReadWebArchive(bytes, document);
    if (read)
        document.toPlainText();
    return 0;
}
