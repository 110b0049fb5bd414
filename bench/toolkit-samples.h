#pragma once

#include <QString>

// Writes the files the toolkit command can be tried on into the folder: picture.png (640×480 at 150 dpi)
// and document.pdf (three pages of text). False when a file could not be written.
bool WriteToolkitSamples(const QString& folder);
