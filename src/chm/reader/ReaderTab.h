#pragma once

#include <QWidget>

class QLineEdit;
class QWebEngineProfile;
class QWebEngineView;

// One tab of the reader window: a topic view over the document's profile, and a find bar under
// it (hidden until asked for).
class ReaderTab : public QWidget {
    Q_OBJECT
public:
    ReaderTab(QWebEngineProfile* profile, QWidget* parent = nullptr);

    QWebEngineView* webView() const { return m_webView; }
    QLineEdit* searchField() const { return m_searchField; }
    void showFindPanel();
    void hideFindPanel();

signals:
    // The find bar's field was confirmed, its previous/next buttons pressed (segment 0 / 1), or
    // its done button.
    void findRequested();
    void findStepRequested(int segment);
    void findDone();

private:
    QWebEngineView* m_webView = nullptr;
    QWidget* m_findPanel = nullptr;
    QLineEdit* m_searchField = nullptr;
};
