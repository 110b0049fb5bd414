#pragma once

#include <QString>

// Writes the files the toolkit command can be tried on into the folder: picture.png (640×480 at 150 dpi),
// document.pdf (three pages of text), album.pdf (four pages with one picture each), notes.txt (500
// lines of plain text) and letter.rtf (styled text). False when a file could not be written.
bool WriteToolkitSamples(const QString& folder);
