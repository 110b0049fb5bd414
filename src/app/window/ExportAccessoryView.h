#pragma once

#include <QWidget>

// What the export's folder chooser shows below its file view: where the PDFs will go.
class ExportAccessoryView : public QWidget {
    Q_OBJECT
public:
    explicit ExportAccessoryView(QWidget* parent = nullptr);
};
