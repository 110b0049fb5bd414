#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace WBQUtil {

// Orders two names as a file browser lists them: case and character width (full-width and half-width
// forms) ignored, runs of digits compared by their value ("Chapter 2" before "chapter 10"), and names that
// are equal under those rules still put in a fixed order, so the result is 0 only for identical strings.
// Returns -1, 0 or 1. Without a locale, and for the C locale (which has no collation rules and would
// ignore numbers), English rules apply, so the order is the same whatever the process's locale is.
int FinderCompare(const QString& string, const QString& other, const std::optional<QLocale>& locale = std::nullopt);

} // namespace WBQUtil
