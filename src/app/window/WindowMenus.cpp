#include "app/window/WindowMenus.h"

#include "app/window/WindowActions.h"
#include "common/LocalizedStrings.h"

#include <QMenu>
#include <QMenuBar>

void BuildMenus(QMenuBar& menuBar, const WindowActions& actions)
{
    QMenu* file = menuBar.addMenu(Localized("FileMenuTitle"));
    file->addAction(actions.add);
    file->addAction(actions.addFolder);
    file->addSeparator();
    file->addAction(actions.exportSelected);
    file->addAction(actions.exportAll);
    file->addSeparator();
    file->addAction(actions.hide);
    file->addAction(actions.quit);

    QMenu* edit = menuBar.addMenu(Localized("EditMenuTitle"));
    edit->addAction(actions.selectAll);
    edit->addAction(actions.remove);
    edit->addAction(actions.removeAll);
    edit->addSeparator();
    edit->addAction(actions.moveTop);
    edit->addAction(actions.moveUp);
    edit->addAction(actions.moveDown);
    edit->addAction(actions.moveBottom);

    QMenu* help = menuBar.addMenu(Localized("HelpMenuTitle"));
    help->addAction(actions.help);
    help->addAction(actions.support);
    help->addAction(actions.rating);
    help->addSeparator();
    help->addAction(actions.about);
}
