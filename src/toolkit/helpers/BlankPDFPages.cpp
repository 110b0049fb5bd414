#include "toolkit/helpers/BlankPDFPages.h"

#include "common/IsBlankPDFPage.h"
#include "toolkit/imageio/PopplerGlobals.h"

#include <PDFDoc.h>
#include <Stream.h>

QList<int> BlankPageIndexes(const QByteArray& bytes)
{
    EnsurePopplerGlobals();
    // The stream reads the caller's bytes in place; they outlive the document.
    auto stream = new MemStream(bytes.constData(), 0, bytes.size(), Object(objNull));
    PDFDoc document(stream); // takes the stream
    QList<int> blank;
    if (!document.isOk())
        return blank;
    for (int index = 0; index < document.getNumPages(); ++index) {
        if (IsBlankPDFPage(&document, index))
            blank << index;
    }
    return blank;
}
