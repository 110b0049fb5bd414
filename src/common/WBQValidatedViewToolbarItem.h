#pragma once

#include <QWidgetAction>

// A toolbar item that shows its own control (a button, a segmented control) and is enabled or disabled,
// with its control, by the control's target answering validateToolbarItem, as plain items are.
class WBQValidatedViewToolbarItem : public QWidgetAction {
    Q_OBJECT

public:
    explicit WBQValidatedViewToolbarItem(QObject* parent = nullptr);

    // The item takes ownership of the view.
    void setView(QWidget* view);
    QWidget* view() const;

    void validate();
};
