#pragma once

#include <QString>

namespace TestSupport {

// Path of a compiled CHM fixture (build tree), e.g. fixturePath("basic") -> .../basic.chm
QString fixturePath(const QString& name);

// Path of a file below tests/data in the source tree.
QString sourceDataPath(const QString& relative);

} // namespace TestSupport
