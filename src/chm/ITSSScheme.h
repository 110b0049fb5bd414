#pragma once

#include <QByteArray>
#include <QUrl>

// The "itss" URL scheme through which web pages load the objects of an open CHM file:
// itss://chm/<path inside the file>.
namespace ITSSScheme {

inline constexpr char kName[] = "itss";

// Makes the scheme known to the web engine; must run before the application object exists.
void registerITSSScheme();

// True exactly when the URL's scheme is "itss".
bool isITSS(const QUrl& url);

} // namespace ITSSScheme

using ITSSScheme::registerITSSScheme;
