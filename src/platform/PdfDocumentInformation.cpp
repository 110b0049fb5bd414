// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4

#include "platform/PdfDocument.h"
#include "platform/PdfDocumentInformation.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>

namespace {

// XML 1.0 cannot carry control characters other than tab, line feed and carriage return; a field
// typed with one would make the whole packet unreadable.
QString XMLText(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            kept.append(c);
    }
    return kept.toHtmlEscaped();
}

QString LanguageAlternative(const char* element, const QString& text)
{
    return QStringLiteral("   <%1><rdf:Alt><rdf:li xml:lang=\"x-default\">%2</rdf:li></rdf:Alt></%1>\n")
        .arg(QLatin1String(element), XMLText(text));
}

QPDFObjectHandle TextString(const QString& text)
{
    return QPDFObjectHandle::newUnicodeString(text.toStdString());
}

} // namespace

QByteArray XMPPacketForInformation(const PdfDocumentInformation& information)
{
    QString description;
    description += QStringLiteral("   <dc:format>application/pdf</dc:format>\n");
    if (!information.title.isEmpty())
        description += LanguageAlternative("dc:title", information.title);
    if (!information.author.isEmpty())
        description += QStringLiteral("   <dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n")
                           .arg(XMLText(information.author));
    if (!information.subject.isEmpty())
        description += LanguageAlternative("dc:description", information.subject);
    if (!information.keywords.isEmpty())
        description += QStringLiteral("   <pdf:Keywords>%1</pdf:Keywords>\n").arg(XMLText(information.keywords));
    if (!information.producer.isEmpty())
        description += QStringLiteral("   <pdf:Producer>%1</pdf:Producer>\n").arg(XMLText(information.producer));
    const QString packet = QStringLiteral(
                               "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                               " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                               "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
                               " xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
                               "%1"
                               "  </rdf:Description>\n"
                               " </rdf:RDF>\n"
                               "</x:xmpmeta>\n"
                               "<?xpacket end=\"w\"?>")
                               .arg(description);
    return packet.toUtf8();
}

bool PdfDocument::setDocumentInformation(const PdfDocumentInformation& information)
{
    try {
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        const auto setText = [&info](const char* key, const QString& text) {
            if (!text.isEmpty())
                info.replaceKey(key, TextString(text));
        };
        setText("/Title", information.title);
        setText("/Author", information.author);
        setText("/Subject", information.subject);
        setText("/Keywords", information.keywords);
        setText("/Producer", information.producer);
        m_qpdf->getTrailer().replaceKey("/Info", m_qpdf->makeIndirectObject(info));

        const QByteArray packet = XMPPacketForInformation(information);
        QPDFObjectHandle metadata = QPDFObjectHandle::newStream(m_qpdf.get(), packet.toStdString());
        metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
        metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
        m_qpdf->getRoot().replaceKey("/Metadata", metadata);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
