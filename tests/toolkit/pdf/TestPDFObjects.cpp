#include "TestPDFObjects.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Stream.h>
#include <XRef.h>

TestPDFObjects::TestPDFObjects() = default;
TestPDFObjects::~TestPDFObjects() = default;

void TestPDFObjects::add(int number, const QByteArray& body)
{
    // Objects read before stay valid: their document is kept, and a new one is written.
    if (m_document) {
        m_retiredDocuments.push_back(std::move(m_document));
        m_retiredFiles.push_back(m_file);
    }
    m_bodies[number] = body;
}

void TestPDFObjects::addStream(int number, const QByteArray& entries, const QByteArray& bytes)
{
    add(number, "");
    m_bodies[number] = "<< " + entries + " /Length " + QByteArray::number(bytes.size()) + " >>\nstream\n" + bytes
                       + "\nendstream";
}

void TestPDFObjects::open()
{
    if (m_document)
        return;
    if (!globalParams)
        globalParams = std::make_unique<GlobalParams>();
    m_bodies[1] = "<< /Type /Catalog /Pages 2 0 R >>";
    m_bodies[2] = "<< /Type /Pages /Kids [] /Count 0 >>";
    const int size = m_bodies.rbegin()->first + 1;
    std::map<int, qsizetype> offsets;
    m_file = "%PDF-1.7\n";
    for (const auto& [number, body] : m_bodies) {
        offsets[number] = m_file.size();
        m_file += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const qsizetype xref = m_file.size();
    m_file += "xref\n0 " + QByteArray::number(size) + "\n";
    for (int number = 0; number < size; ++number) {
        const auto found = offsets.find(number);
        if (found == offsets.end())
            m_file += "0000000000 65535 f\r\n";
        else
            m_file += QByteArray::number(found->second).rightJustified(10, '0') + " 00000 n\r\n";
    }
    m_file += "trailer\n<< /Size " + QByteArray::number(size) + " /Root 1 0 R >>\nstartxref\n"
              + QByteArray::number(xref) + "\n%%EOF\n";
    m_document = std::make_unique<PDFDoc>(new MemStream(m_file.constData(), 0, m_file.size(), Object(objNull)));
}

Object TestPDFObjects::object(int number)
{
    open();
    return m_document->getXRef()->fetch(number, 0);
}

Object TestPDFObjects::parse(const QByteArray& text)
{
    const int number = m_bodies.empty() ? 3 : std::max(3, m_bodies.rbegin()->first + 1);
    add(number, text);
    return object(number);
}

QByteArray HexString(const QByteArray& bytes)
{
    return "<" + bytes.toHex() + ">";
}
