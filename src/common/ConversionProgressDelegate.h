#pragma once

class QLabel;
class QProgressBar;
class QWidget;

// What the object that follows a conversion answers: the cancel flag of the batch, and the
// progress controls an export writes to. The controls are not owned: they belong to the window.
class ConversionProgressDelegate {
public:
    virtual ~ConversionProgressDelegate() = default;

    virtual bool isConversionCancelled() const = 0;
    virtual void setIsConversionCancelled(bool cancelled) = 0;

    virtual QLabel* exportFilenameLabel() const = 0;
    virtual QLabel* exportNoticeLabel() const = 0;
    virtual QProgressBar* exportProgressIndicator() const = 0;
    virtual QWidget* exportProgressSheet() const = 0;
    virtual QWidget* window() const = 0;
};
