#pragma once

#include "toolkit/options/ConversionListItem.h"
#include "toolkit/options/FilesToPDFConversionOptions.h"

#include <QUrl>

#include <cstdint>

class HTMLToPDF;
class ImageToPDFConverter;
class TextToPDFConverter;

// What the runners read of a list item, and the converters of its kind set up from the record.
namespace FileListItem {

QUrl file(const ConversionListItem& item);
std::uint32_t type(const ConversionListItem& item);
QString password(const ConversionListItem& item);
// The item's rotation in degrees, taken only from -270 to 270; 0 otherwise.
int angle(const ConversionListItem& item);
// The file's name without its extension: the label of its outline entry.
QString label(const ConversionListItem& item);

void setUp(ImageToPDFConverter& converter, const FilesToPDFConversionOptions& options);
void setUp(TextToPDFConverter& converter, const FilesToPDFConversionOptions& options, bool mergeMode);
// For a merge the printed file is read back at once: written plainly, without the write options.
void setUp(HTMLToPDF& converter, const FilesToPDFConversionOptions& options, bool mergeMode);

// Asked of the progress object after every item, also when it has no message to receive reports.
bool isCancelled(const FilesToPDFConversionOptions& options);

} // namespace FileListItem
