#pragma once

#include <QByteArray>
#include <QString>

#include <Object.h>

#include <map>
#include <memory>
#include <vector>

class PDFDoc;

// A small PDF document written in memory from object bodies, opened with Poppler, so that tests
// read functions and colour spaces as real PDF objects (indirect references included).
class TestPDFObjects {
public:
    TestPDFObjects();
    ~TestPDFObjects();

    // Objects 1 and 2 are the catalog and the page tree; use numbers from 3 on.
    void add(int number, const QByteArray& body);
    // A stream object: dictionary entries without "<< >>", and its bytes (Length is added).
    void addStream(int number, const QByteArray& entries, const QByteArray& bytes);
    // Writes and opens the document (once); then fetches the object.
    Object object(int number);
    // Parses a direct object written in PDF syntax, e.g. "[/Indexed /DeviceRGB 1 <ff0000 00ff00>]".
    Object parse(const QByteArray& text);

private:
    void open();

    std::map<int, QByteArray> m_bodies;
    QByteArray m_file;
    std::unique_ptr<PDFDoc> m_document;
    std::vector<std::unique_ptr<PDFDoc>> m_retiredDocuments;
    std::vector<QByteArray> m_retiredFiles;
};

// A binary string of samples, written as a PDF hex string.
QByteArray HexString(const QByteArray& bytes);
