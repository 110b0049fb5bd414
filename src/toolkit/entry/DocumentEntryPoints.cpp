// The entry points of the document converters. Each converter lives on the entry point's stack, so it is
// destroyed on every exit, an exception's included.

#include "toolkit/Toolkit.h"

#include "toolkit/entry/NativeFileNames.h"

#include "toolkit/text/PDFToTextConverter.h"

bool ConvertPDFToDocument(const PDFToDocumentConversionOptions* options)
{
    // A null record is refused rather than read, and a PDF that cannot be opened is a plain false
    // instead of an error code thrown across the host's stack.
    if (!options)
        return false;
    NativeFileNames names;
    PDFToDocumentConversionOptions named = *options;
    named.sourceURL = names.source(options->sourceURL);
    named.destinationURL = names.destinationFolder(options->destinationURL);
    PDFToTextConverter converter(named);
    if (converter.openError() != 0)
        return false;
    return converter.ConvertDocument();
}
