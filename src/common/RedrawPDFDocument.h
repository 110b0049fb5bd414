#pragma once

#include <QByteArray>

class QPDF;

namespace WBQUtil {

// A new PDF document whose pages show the document's pages as they are displayed: each page is as large as
// the source page's crop box (its media box when the crop box is empty), turned by the page's rotation, and
// draws the source page's content unrotated inside it, clipped to that box. The new document carries no
// document information. Pages that cannot be read are left out. Returns empty data when nothing could be
// written. Adds unreferenced objects to the source document while it works.
QByteArray RedrawPDFDocument(QPDF& document);

} // namespace WBQUtil
