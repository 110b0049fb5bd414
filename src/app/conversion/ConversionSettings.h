#pragma once

class ConversionProgressDelegate;
class ExportOptionsPanel;
struct TomefoldConversionOptions;

// Fills a zero-filled options record from the window's export options, as they stand: the values
// were checked when the export was asked for. Sizes are in points; the progress object is the
// delegate given. Reads widgets: main thread only. Always true.
bool GetConversionSettings(const ExportOptionsPanel& panel, ConversionProgressDelegate* progressObject,
                           TomefoldConversionOptions* options);
