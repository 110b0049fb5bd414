#include "app/window/WindowActions.h"

#include "app/window/WindowIcons.h"
#include "common/LocalizedStrings.h"

#include <QAction>

#include <utility>

namespace {

QAction* MakeAction(QObject* owner, const char* identifier, const char* titleKey, const QString& imageName = {},
                    const QKeySequence& shortcut = {})
{
    auto* action = new QAction(Localized(titleKey), owner);
    action->setObjectName(QString::fromLatin1(identifier));
    if (!imageName.isEmpty())
        action->setIcon(TemplateImage(imageName));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

} // namespace

FileListControls WindowActions::fileListControls() const
{
    FileListControls controls;
    controls.addAction = add;
    controls.exportAction = exportSelected;
    controls.exportAllAction = exportAll;
    controls.selectAllAction = selectAll;
    controls.removeAction = remove;
    controls.removeAllAction = removeAll;
    controls.moveTopAction = moveTop;
    controls.moveUpAction = moveUp;
    controls.moveDownAction = moveDown;
    controls.moveBottomAction = moveBottom;
    return controls;
}

WindowActions CreateWindowActions(QObject* owner)
{
    WindowActions a;
    a.add = MakeAction(owner, "Add", "AddFilesCommand", QStringLiteral("Add"), QKeySequence::Open);
    a.addFolder = MakeAction(owner, "AddFolder", "AddFolderCommand", QStringLiteral("AddFolder"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    a.remove = MakeAction(owner, "Remove", "RemoveCommand", QStringLiteral("Remove"), QKeySequence::Delete);
    a.removeAll = MakeAction(owner, "RemoveAll", "RemoveAllCommand", QStringLiteral("RemoveAll"));
    a.selectAll = MakeAction(owner, "SelectAll", "SelectAllCommand", {}, QKeySequence::SelectAll);
    a.moveTop = MakeAction(owner, "MoveTop", "MoveTopCommand", QStringLiteral("First"));
    a.moveUp = MakeAction(owner, "MoveUp", "MoveUpCommand", QStringLiteral("Previous"));
    a.moveDown = MakeAction(owner, "MoveDown", "MoveDownCommand", QStringLiteral("Next"));
    a.moveBottom = MakeAction(owner, "MoveBottom", "MoveBottomCommand", QStringLiteral("Last"));
    a.exportSelected = MakeAction(owner, "Export", "ExportCommand", QStringLiteral("Convert"),
                                  QKeySequence(Qt::CTRL | Qt::Key_E));
    a.exportAll = MakeAction(owner, "ExportAll", "ExportAllCommand", QStringLiteral("ConvertAll"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    a.rating = MakeAction(owner, "Rating", "RatingCommand", QStringLiteral("Rating"));
    a.help = MakeAction(owner, "Help", "HelpCommand", QStringLiteral("Help"), QKeySequence::HelpContents);
    a.support = MakeAction(owner, "Support", "SupportCommand");
    a.about = MakeAction(owner, "About", "FullAboutMenuTitle");
    a.about->setMenuRole(QAction::AboutRole);
    a.hide = MakeAction(owner, "Hide", "FullHideMenuTitle", {}, QKeySequence(Qt::CTRL | Qt::Key_H));
    a.quit = MakeAction(owner, "Quit", "FullQuitMenuTitle", {}, QKeySequence::Quit);
    a.quit->setMenuRole(QAction::QuitRole);
    // From the progress sheet too, which is a window of its own.
    a.quit->setShortcutContext(Qt::ApplicationShortcut);
    const std::pair<QAction*, const char*> toolbarTitles[] = {
        {a.add, "AddFilesItem"}, {a.addFolder, "AddFolderItem"}, {a.moveTop, "MoveTopItem"}, {a.moveUp, "MoveUpItem"}, {a.moveDown, "MoveDownItem"}, {a.moveBottom, "MoveBottomItem"}, {a.exportSelected, "ExportItem"}, {a.exportAll, "ExportAllItem"}, {a.rating, "RatingItem"}, {a.help, "HelpItem"}};
    for (const auto& [action, key] : toolbarTitles) {
        action->setIconText(Localized(key));
        action->setToolTip(action->text());
    }
    return a;
}
