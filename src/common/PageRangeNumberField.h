#pragma once

#include <QLineEdit>

// A line edit for page ranges such as "1-3,5": while the user types, the text is cut back to its leading
// run of digits, "-" and ",", a lone separator is removed, and a second separator in a row is dropped.
class PageRangeNumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit PageRangeNumberField(QWidget* parent = nullptr);

    // "1-3,5" stays; "1-3,," gives "1-3,"; "1-3a" gives "1-3"; "," and "-" give ""; ",5" stays.
    static QString filteredPageRange(const QString& text);

private:
    void textDidChange();
};
