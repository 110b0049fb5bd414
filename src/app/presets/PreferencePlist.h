#pragma once

#include <QString>
#include <QVariantMap>

// The application's preference files: XML property lists whose top level is a dictionary, in
// $XDG_CONFIG_HOME/<bundle id>/, named by a format whose "%@" receives the bundle identifier.
inline const QString kGeneralPrefFileFormat = QStringLiteral("%@-Pref.plist");
inline const QString kPresetPrefFileFormat = QStringLiteral("%@-PresetPref.plist");

// Full path of the preference file of this name format.
QString PreferencePlistPath(const QString& fileNameFormat);

// True when a dictionary was read into *dictionary. A missing file, one that is not an XML property
// list, or one whose top level is not a dictionary reads as nothing and leaves *dictionary alone.
bool ReadPreferencePlist(QVariantMap* dictionary, const QString& fileNameFormat);

// Writes the dictionary as an XML property list through a temporary file that then replaces the
// old one, so a failed write leaves the previous file whole. True when it was written.
bool WritePreferencePlist(const QVariantMap& dictionary, const QString& fileNameFormat);
