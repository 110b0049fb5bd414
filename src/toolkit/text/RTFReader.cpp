#include "toolkit/text/RTFReader.h"

#include "toolkit/text/RTFParser.h"
#include "toolkit/text/TextReadLimits.h"

#include <QTextDocument>

namespace RTFReader {

bool Read(const QByteArray& rtf, QTextDocument& document, QString* error, const AttachmentLoader& attachments)
{
    if (rtf.size() > TextReadLimits::kMaxDocumentBytes) {
        if (error)
            *error = QStringLiteral("document too large");
        return false;
    }
    document.clear();
    RTFReaderDetail::RTFParser parser(rtf, document, attachments);
    if (!parser.run(error)) {
        document.clear();
        return false;
    }
    return true;
}

} // namespace RTFReader
