#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QTemporaryDir;

namespace FixtureFiles {

QByteArray readAll(const QString& path);

// Writes bytes to a new file in the folder and returns its path.
QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes);

// A copy of a compiled fixture, changed by `patch`, in the folder.
QString patchedFixture(const QTemporaryDir& folder, const QString& fixture,
                       const std::function<void(QByteArray&)>& patch);

// Replaces the only occurrence of `from` by `to` (same length); fails the test otherwise.
void replaceOnce(QByteArray& bytes, const QByteArray& from, const QByteArray& to);

} // namespace FixtureFiles
