#include "export/pdfcore/PDFCoreSettings.h"

#include "export/pdfcore/CoreSettingsReader.h"
#include "export/pdfcore/CoreTextMaps.h"
#include "export/pdfcore/ResourceFolder.h"

#include <Error.h>
#include <goo/GooString.h>

namespace PDFCore {

CoreSettingsObjects makeCoreSettings(const SettingsFileSources& sources)
{
    CoreSettingsReader reader(sources.resourceFolder);
    if (const std::optional<SettingsFile> file = findSettingsFile(sources))
        reader.parseFile(file->name, file->contents);
    const CoreSettings& settings = reader.settings();

    CoreSettingsObjects objects;
    objects.dataFolder = PopplerDataFolder::create(settings);
    if (!objects.dataFolder) // Poppler then falls back on its own installed data
        error(errIO, -1, "Couldn't make a data folder for the PDF core's settings");
    objects.params = std::make_unique<GlobalParams>(objects.dataFolder ? objects.dataFolder->path().c_str() : nullptr);
    for (const auto& [fontName, path] : settings.fontFiles) {
        const GooString name(fontName);
        const GooString file(path);
        objects.params->addFontFile(&name, &file);
    }
    // Poppler keeps one character per CID-to-Unicode entry and has no Unicode-to-Unicode maps: the
    // export's text device applies those maps whole.
    objects.textMaps =
        CoreTextMaps::registerForSettings(objects.params.get(), std::make_shared<CoreTextMaps>(settings));
    return objects;
}

} // namespace PDFCore

namespace PDFCoreSettings {

bool ensureInitialised()
{
    static const bool textEncodingReady = [] {
        // Lives as long as the process, as the settings that read its data folder do.
        static PDFCore::CoreSettingsObjects objects;
        if (!globalParams) {
            objects = PDFCore::makeCoreSettings({std::string(), PDFCore::getHomeDir(), std::string()});
            globalParams = std::move(objects.params);
        }
        globalParams->setTextEncoding("UTF-8");
        if (!globalParams->getTextEncoding()) {
            error(errConfig, -1, "Couldn't get text encoding");
            return false;
        }
        return true;
    }();
    return textEncodingReady;
}

} // namespace PDFCoreSettings
