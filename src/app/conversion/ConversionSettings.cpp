#include "app/conversion/ConversionSettings.h"

#include "common/TomefoldConversionOptions.h"
#include "app/options/ExportOptionsPanel.h"

bool GetConversionSettings(const ExportOptionsPanel& panel, ConversionProgressDelegate* progressObject,
                           TomefoldConversionOptions* options)
{
    options->exportHyperlinks = panel.exportsHyperlinks() ? 1 : 0;
    options->exportTOC = panel.exportsTOC() ? 1 : 0;
    options->encodingName = panel.GetCurrentEncodingName();
    // Set per file by the single-file step.
    options->destinationURL = QUrl();
    options->sourceURL = QUrl();
    options->progressCallback.object = progressObject;

    const ExportOptionsPanel::PageGeometry points = panel.pageGeometryInPoints();
    options->pageWidth = points.width;
    options->pageHeight = points.height;
    options->leftMargin = points.left;
    options->rightMargin = points.right;
    options->topMargin = points.top;
    options->bottomMargin = points.bottom;
    options->orientation = panel.orientation();

    options->title = panel.documentTitle();
    options->author = panel.documentAuthor();
    options->subject = panel.documentSubject();
    options->keywords = panel.documentKeywords();
    return true;
}
