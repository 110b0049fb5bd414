#include "chm/reader/ReaderTab.h"

#include "chm/reader/CHMReaderWebPage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

QToolButton* makeButton(const QString& text, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    return button;
}

} // namespace

ReaderTab::ReaderTab(QWebEngineProfile* profile, QWidget* parent) : QWidget(parent)
{
    m_webView = new QWebEngineView(this);
    m_webView->setPage(new CHMReaderWebPage(profile, m_webView));

    m_findPanel = new QWidget(this);
    m_searchField = new QLineEdit(m_findPanel);
    m_searchField->setClearButtonEnabled(true);
    QToolButton* previous = makeButton(QStringLiteral("<"), m_findPanel);
    QToolButton* next = makeButton(QStringLiteral(">"), m_findPanel);
    QToolButton* done = makeButton(QStringLiteral("Done"), m_findPanel);
    auto* findLayout = new QHBoxLayout(m_findPanel);
    findLayout->setContentsMargins(4, 2, 4, 2);
    findLayout->addWidget(m_searchField, 1);
    findLayout->addWidget(previous);
    findLayout->addWidget(next);
    findLayout->addWidget(done);
    m_findPanel->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_webView, 1);
    layout->addWidget(m_findPanel);

    connect(m_searchField, &QLineEdit::returnPressed, this, &ReaderTab::findRequested);
    connect(m_searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            emit findRequested();
    });
    connect(previous, &QToolButton::clicked, this, [this] { emit findStepRequested(0); });
    connect(next, &QToolButton::clicked, this, [this] { emit findStepRequested(1); });
    connect(done, &QToolButton::clicked, this, &ReaderTab::findDone);
}

void ReaderTab::showFindPanel()
{
    m_findPanel->show();
    m_searchField->setFocus();
    m_searchField->selectAll();
}

void ReaderTab::hideFindPanel()
{
    m_findPanel->hide();
}
