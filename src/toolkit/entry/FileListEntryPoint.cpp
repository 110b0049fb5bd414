// The entry point of the mixed lists. It builds no converter of its own: the runners make one per item
// on their stack.

#include "toolkit/Toolkit.h"

#include "toolkit/fileslist/FilesToPDF.h"

bool ConvertFilesToPDF(const FilesToPDFConversionOptions* options)
{
    if (!options || options->items.isEmpty() || options->destinationURL.isEmpty())
        return false;
    return options->mergeIntoOne ? ConvertFilesToSinglePDF(*options) : ConvertFilesToSeparatePDFs(*options);
}
