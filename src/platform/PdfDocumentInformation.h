#pragma once

#include <QString>

// What a PDF tells of itself in its document information dictionary and its XMP metadata. Empty
// fields are left out; the producer is always written.
struct PdfDocumentInformation {
    QString title;
    QString author;
    QString subject;
    QString keywords;
    QString producer = QStringLiteral("Tomefold");
};

// The XMP packet for the information: title and subject as Dublin Core title and description
// (default language), the author as the sole creator, keywords and producer as PDF properties.
QByteArray XMPPacketForInformation(const PdfDocumentInformation& information);
