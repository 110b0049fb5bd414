#pragma once

#include <QString>
#include <QTemporaryDir>

class QComboBox;
class QLineEdit;
class Stepper;

// What a user does with the controls, done through simulated key presses and clicks.
namespace UserActions {

// Selects the field's text, deletes it and types the new text one key at a time.
void retype(QLineEdit& field, const QString& text);
void clear(QLineEdit& field);
// Opens the popup and clicks the item at the index.
void choose(QComboBox& popup, int index);
void chooseText(QComboBox& popup, const QString& itemText);
void stepUp(Stepper& stepper);
void stepDown(Stepper& stepper);

} // namespace UserActions

// Points $XDG_CONFIG_HOME at a fresh folder for the life of the object, so that preference files
// start absent and never touch the real ones.
class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    QString path() const { return m_dir.path(); }
    // Path of a preference file of the application in this folder, e.g. "%@-Pref.plist".
    QString preferenceFile(const QString& fileNameFormat) const;
    void writePreferenceFile(const QString& fileNameFormat, const QByteArray& bytes) const;
    QByteArray readPreferenceFile(const QString& fileNameFormat) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
