#pragma once

#include "export/pdfcore/PopplerDataFolder.h"
#include "export/pdfcore/SettingsFileLookup.h"

#include <GlobalParams.h>

#include <memory>

namespace PDFCore {

// The core's settings object and the data folder it reads; the folder outlives the settings.
struct CoreSettingsObjects
{
    std::unique_ptr<PopplerDataFolder> dataFolder;
    std::unique_ptr<GlobalParams> params;
    // Keeps the maps the export's text device applies beside Poppler (CoreTextMaps) known as
    // those of `params`.
    std::shared_ptr<void> textMaps;
};

// Builds the core's settings: Poppler's defaults, then what the first settings file found through
// `sources` asks for. The settings know no system-wide or per-user data, only what the file names.
CoreSettingsObjects makeCoreSettings(const SettingsFileSources& sources);

} // namespace PDFCore

namespace PDFCoreSettings {

// The one place that makes the PDF core's global settings: once per process, from the "xpdfrc" found
// in the resources folder or else in the current folder, with UTF-8 as the text encoding. Safe to call
// from any thread and as often as wanted. Settings that already exist are kept (only their text
// encoding is set). Returns whether the text encoding's map can be had; when it cannot, that is
// reported once and text cannot be matched.
bool ensureInitialised();

} // namespace PDFCoreSettings
