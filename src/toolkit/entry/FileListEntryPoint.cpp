// The entry point of the mixed lists. It builds no converter of its own: the runners make one per item
// on their stack.

#include "toolkit/Toolkit.h"

#include "toolkit/entry/NativeFileNames.h"

#include "toolkit/fileslist/FilesToPDF.h"

bool ConvertFilesToPDF(const FilesToPDFConversionOptions* options)
{
    if (!options || options->items.isEmpty() || options->destinationURL.isEmpty())
        return false;
    NativeFileNames names;
    FilesToPDFConversionOptions named = *options;
    named.items = names.sources(options->items);
    named.destinationURL = options->mergeIntoOne ? names.destinationFile(options->destinationURL)
                                                 : names.destinationFolder(options->destinationURL);
    return named.mergeIntoOne ? ConvertFilesToSinglePDF(named) : ConvertFilesToSeparatePDFs(named);
}
