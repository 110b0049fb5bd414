#include "chm/reader/CHMReaderWindow.h"

#include "common/UserDefaults.h"

#include <QAction>
#include <QSplitter>

#include <algorithm>

int CHMReaderWindow::sidebarWidth() const
{
    const QList<int> sizes = m_splitView->sizes();
    return sizes.isEmpty() ? 0 : sizes.first();
}

void CHMReaderWindow::moveDivider(int position)
{
    const QList<int> sizes = m_splitView->sizes();
    int total = 0;
    for (int size : sizes)
        total += size;
    if (total <= 0)
        total = m_splitView->width();
    m_splitView->setSizes({position, std::max(total - position, 0)});
}

void CHMReaderWindow::restoreSidebar()
{
    const int width = static_cast<int>(WBQUtil::GetUserDefault(kSidebarWidthKey).toDouble());
    m_isSidebarRestored = true;
    if (!m_toggleSidebarAction->isChecked())
        m_toggleSidebarAction->setChecked(true);
    moveDivider(std::max(width, kSidebarMinWidth));
}

void CHMReaderWindow::hideSidebar()
{
    m_isSidebarRestored = false;
    if (m_toggleSidebarAction->isChecked())
        m_toggleSidebarAction->setChecked(false);
    moveDivider(0);
}

void CHMReaderWindow::toggleSidebar()
{
    if (sidebarWidth() > kSidebarHideThreshold)
        hideSidebar();
    else
        restoreSidebar();
}

void CHMReaderWindow::splitViewDidResizeSubviews()
{
    const int width = sidebarWidth();
    if (m_isSidebarRestored && width > kSidebarMinWidth)
        WBQUtil::SetUserDefault(static_cast<float>(width), kSidebarWidthKey);
}

int CHMReaderWindow::constrainMinCoordinate(int proposed) const
{
    return m_isSidebarRestored ? kSidebarMinWidth : proposed;
}

int CHMReaderWindow::constrainMaxCoordinate(int proposed) const
{
    if (!m_isSidebarRestored)
        return proposed;
    return m_splitView != nullptr ? m_splitView->width() - kSidebarMinWidth : -kSidebarMinWidth;
}

void CHMReaderWindow::dividerMoved(int position)
{
    // The lower bound wins when the window is too narrow for both.
    const int constrained
        = std::max(std::min(position, constrainMaxCoordinate(position)), constrainMinCoordinate(position));
    if (constrained != sidebarWidth())
        moveDivider(constrained);
    splitViewDidResizeSubviews();
}
