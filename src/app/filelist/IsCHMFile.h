#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The file-name extensions taken as CHM files; also the add-files dialog's filter. The test is
// case-sensitive on purpose: only these three spellings count.
inline const QStringList kAcceptedCHMTypes = {QStringLiteral("chm"), QStringLiteral("CHM"), QStringLiteral("Chm")};

// The accepted extension that the URL's path ends in, or a null string when it is not a CHM file.
// Only the name is looked at, so a folder named "x.chm" passes as well.
QString IsCHMFile(const QUrl& fileURL);
