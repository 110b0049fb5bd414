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
    bool read = false;
    {
        // the parser ends its work on the document before a failed one is emptied
        RTFReaderDetail::RTFParser parser(rtf, document, attachments);
        read = parser.run(error);
    }
    if (!read)
        document.clear();
    return read;
}

} // namespace RTFReader
