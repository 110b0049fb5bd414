#include "app/window/ExportAccessoryView.h"

#include "common/LocalizedStrings.h"

#include <QLabel>
#include <QVBoxLayout>

ExportAccessoryView::ExportAccessoryView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("mExportAccessoryView"));
    auto* text = new QLabel(Localized("ExportAccessoryText"), this);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(text);
}
