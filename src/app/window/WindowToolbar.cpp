#include "app/window/WindowToolbar.h"

#include "app/window/WindowActions.h"

#include <QMainWindow>
#include <QSizePolicy>
#include <QToolBar>

QToolBar* BuildMainToolbar(QMainWindow& window, const WindowActions& actions)
{
    auto* toolbar = window.addToolBar(QStringLiteral("Main"));
    toolbar->setObjectName(QStringLiteral("mainToolbar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->addAction(actions.add);
    toolbar->addAction(actions.addFolder);
    toolbar->addAction(actions.remove);
    toolbar->addAction(actions.removeAll);
    toolbar->addSeparator();
    toolbar->addAction(actions.moveTop);
    toolbar->addAction(actions.moveUp);
    toolbar->addAction(actions.moveDown);
    toolbar->addAction(actions.moveBottom);
    toolbar->addSeparator();
    toolbar->addAction(actions.exportSelected);
    toolbar->addAction(actions.exportAll);

    auto* spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    toolbar->addAction(actions.rating);
    toolbar->addAction(actions.help);
    return toolbar;
}
