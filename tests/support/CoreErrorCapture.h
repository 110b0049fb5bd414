#pragma once

#include <QStringList>

// Collects what the PDF core reports while it lives (one at a time), instead of printing it.
class CoreErrorCapture {
public:
    CoreErrorCapture();
    ~CoreErrorCapture();
    CoreErrorCapture(const CoreErrorCapture&) = delete;
    CoreErrorCapture& operator=(const CoreErrorCapture&) = delete;

    const QStringList& messages() const;
    bool contains(const QString& message) const { return messages().contains(message); }
};
