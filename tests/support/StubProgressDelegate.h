#pragma once

#include "common/ConversionProgressDelegate.h"

// A progress delegate with no controls whose cancel answer is a plain flag. Tests derive from it
// to watch the reports or to hand the export controls of their own.
class StubProgressDelegate : public ConversionProgressDelegate {
public:
    explicit StubProgressDelegate(bool cancelled = false)
        : cancel(cancelled)
    {}

    bool isConversionCancelled() const override { return cancel; }
    void setIsConversionCancelled(bool cancelled) override { cancel = cancelled; }
    QLabel* exportFilenameLabel() const override { return nullptr; }
    QLabel* exportNoticeLabel() const override { return nullptr; }
    QProgressBar* exportProgressIndicator() const override { return nullptr; }
    QWidget* exportProgressSheet() const override { return nullptr; }
    QWidget* window() const override { return nullptr; }

    bool cancel = false;
};
