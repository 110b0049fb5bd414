#include "common/LocalizedStrings.h"

#include <QLatin1StringView>

#include <utility>

namespace {

constexpr std::pair<const char*, const char*> kTexts[] = {
    {"Exporting", "Exporting %1"},
    {"Processing", "Processing %1"},
    {"Saving", "Saving %1"},
    {"pages", "pages"},
    {"Export as PDF", "Export as PDF"},
    {"OpenPDFFileTitle", "Open PDF File"},
    // The main window, its menus and commands.
    {"FullAppTitle", "Tomefold \u2013 CHM to PDF"},
    {"FullAboutMenuTitle", "About Tomefold"},
    {"FullHideMenuTitle", "Hide Tomefold"},
    {"FullQuitMenuTitle", "Quit Tomefold"},
    {"AboutText", "Tomefold %1\nConverts CHM help files into PDF documents."},
    {"FileMenuTitle", "&File"},
    {"EditMenuTitle", "&Edit"},
    {"HelpMenuTitle", "&Help"},
    {"AddFilesCommand", "Add Files\u2026"},
    {"AddFolderCommand", "Add Folder\u2026"},
    {"RemoveCommand", "Remove"},
    {"RemoveAllCommand", "Remove All"},
    {"SelectAllCommand", "Select All"},
    {"MoveTopCommand", "Move to Top"},
    {"MoveUpCommand", "Move Up"},
    {"MoveDownCommand", "Move Down"},
    {"MoveBottomCommand", "Move to Bottom"},
    {"ExportCommand", "Export\u2026"},
    {"ExportAllCommand", "Export All\u2026"},
    {"RatingCommand", "Rate Tomefold\u2026"},
    {"HelpCommand", "Tomefold User Manual"},
    {"SupportCommand", "Contact Support\u2026"},
    // Shorter titles of the same commands under their toolbar images.
    {"AddFilesItem", "Add"},
    {"AddFolderItem", "Add Folder"},
    {"MoveTopItem", "Top"},
    {"MoveUpItem", "Up"},
    {"MoveDownItem", "Down"},
    {"MoveBottomItem", "Bottom"},
    {"ExportItem", "Export"},
    {"ExportAllItem", "Export All"},
    {"RatingItem", "Rate"},
    {"HelpItem", "Help"},
    {"ManualMissingTitle", "The user manual is not installed."},
    {"ManualMissingMessage", "Tomefold looked for it at \"%1\"."},
    // The add-files dialog.
    {"OpenDialogTitle", "Add CHM Files"},
    {"OpenDialogButton", "Add"},
    // The page-size preset dialog. A text that names a preset takes the name in place of %1.
    {"EmptyPresetAlertTitle", "Please enter a name for the preset."},
    {"DefaultPresetAlertTitle", "\"%1\" is the name of a standard page size. Please choose another name."},
    {"PresetExistAlertMsg", "A preset named \"%1\" already exists. Do you want to replace it?"},
    {"ReplaceButtonTitle", "Replace"},
    {"NoTitle", "No"},
    {"RemoveExistPresetAlertMsg", "Do you want to remove the preset \"%1\"?"},
    {"RemoveButtonTitle", "Remove"},
    {"PresetNotExistAlertMsg", "There is no preset named \"%1\"."},
    // A batch export.
    {"Export", "Export"},
    {"ExportAccessoryText",
     "Each CHM file becomes a PDF of the same name in the chosen folder; a name already taken gets a number "
     "added. Kept folders become sub-folders."},
    {"ExportingOne", "Exporting %1 of %2 file"},
    {"ExportingMany", "Exporting %1 of %2 files"},
    {"CancelButtonString", "Cancel"},
    {"ExportCompleted", "Export completed"},
    {"SuccessfullConvertMsg", "The CHM files were converted to PDF."},
    {"OkButtonString", "OK"},
    {"OpenDestinationTitle", "Open Destination Folder"},
};

} // namespace

QString Localized(const char* key)
{
    for (const auto& [name, text] : kTexts) {
        if (QLatin1StringView(name) == QLatin1StringView(key))
            return QString::fromUtf8(text);
    }
    return QString::fromUtf8(key);
}
