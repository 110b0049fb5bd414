#pragma once

#include <QByteArray>

#include <map>
#include <string>
#include <vector>

// What tests of shared fonts look at in a document.
namespace SharedFontsCheck {

// The printed documents' pages copied into one document, with or without shared fonts.
QByteArray copiedPages(const std::vector<QByteArray>& printed, bool shareFonts);
// Embedded TrueType programs by face name (the font name less its subset tag).
std::map<std::string, int> programsByFace(const QByteArray& pdf);
// Every page of both documents shows the same at 72 dpi, anti-aliasing noise aside, and gives
// the same text. Reports the first difference through gtest.
void expectSameReading(const QByteArray& expected, const QByteArray& actual);
// The output of `qpdf --check` on the document; empty when it found nothing wrong.
QString qpdfCheckProblems(const QByteArray& pdf);

} // namespace SharedFontsCheck
