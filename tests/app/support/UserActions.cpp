#include "app/support/UserActions.h"

#include "support/AlertAnswerer.h"

#include "app/AppInfo.h"
#include "app/options/Stepper.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace UserActions {

void retype(QLineEdit& field, const QString& text)
{
    clear(field);
    QTest::keyClicks(&field, text);
}

void clear(QLineEdit& field)
{
    field.setFocus(Qt::MouseFocusReason);
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_Backspace);
}

void choose(QComboBox& popup, int index)
{
    popup.showPopup();
    QAbstractItemView* list = popup.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QModelIndex item = list->model()->index(index, popup.modelColumn(), list->rootIndex());
    list->scrollTo(item);
    const QPoint centre = list->visualRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(spinUntil([list] { return !list->isVisible(); }));
}

void chooseText(QComboBox& popup, const QString& itemText)
{
    const int index = popup.findText(itemText);
    ASSERT_GE(index, 0) << itemText.toStdString();
    choose(popup, index);
}

void stepUp(Stepper& stepper)
{
    QTest::mouseClick(stepper.upButton(), Qt::LeftButton);
}

void stepDown(Stepper& stepper)
{
    QTest::mouseClick(stepper.downButton(), Qt::LeftButton);
}

} // namespace UserActions

ScopedConfigHome::ScopedConfigHome()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
    , m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

ScopedConfigHome::~ScopedConfigHome()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString ScopedConfigHome::preferenceFile(const QString& fileNameFormat) const
{
    QString name = fileNameFormat;
    name.replace(QStringLiteral("%@"), AppInfo::kBundleIdentifier);
    return QDir(QDir(m_dir.path()).filePath(AppInfo::kBundleIdentifier)).filePath(name);
}

void ScopedConfigHome::writePreferenceFile(const QString& fileNameFormat, const QByteArray& bytes) const
{
    QDir().mkpath(QDir(m_dir.path()).filePath(AppInfo::kBundleIdentifier));
    QFile file(preferenceFile(fileNameFormat));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ScopedConfigHome::readPreferenceFile(const QString& fileNameFormat) const
{
    QFile file(preferenceFile(fileNameFormat));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
