#pragma once

// What the export tests hand the exporter: the batch's letter-sized pages with links and outline,
// and a progress delegate that cancels after a number of reports.

#include "common/TomefoldConversionOptions.h"
#include "support/StubProgressDelegate.h"

inline TomefoldConversionOptions letterOptions()
{
    TomefoldConversionOptions options;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    options.exportHyperlinks = 1;
    options.exportTOC = 1;
    return options;
}

// Answers the cancel question with yes from its n-th asking on.
class CancellingDelegate : public StubProgressDelegate {
public:
    explicit CancellingDelegate(int cancelAt)
        : m_cancelAt(cancelAt)
    {}
    bool isConversionCancelled() const override { return ++m_asked >= m_cancelAt; }
    int asked() const { return m_asked; }

private:
    int m_cancelAt;
    mutable int m_asked = 0;
};
