#pragma once

#include <QToolBar>

// A toolbar that validates the visible items carrying a control through their controls' targets. It does so
// each time the event loop has run out of events, the moment at which windows bring their items up to date.
class WBQValidatedViewToolbar : public QToolBar {
    Q_OBJECT

public:
    explicit WBQValidatedViewToolbar(QWidget* parent = nullptr);
    explicit WBQValidatedViewToolbar(const QString& title, QWidget* parent = nullptr);

    // Items whose control has no target, and plain actions, are left as they are.
    void validateVisibleItems();

private:
    void validateWhenIdle();
};
