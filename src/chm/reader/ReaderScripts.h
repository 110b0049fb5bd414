#pragma once

#include <QString>

// The scripts the reader runs in its pages. Texts a person typed go into a script only as a
// properly escaped string literal, so no text can end the literal and run script of its own.
namespace ReaderScripts {

// The text as a JavaScript string literal, quotes included.
QString stringLiteral(const QString& text);

// Runs the script so that an exception is logged to the console instead of escaping.
QString guarded(const QString& script);

QString highlightString(const QString& text);
QString removeHighlight();
// 1: the next highlight, -1: the previous one.
QString scrollToHighlight(int direction);

// The find-in-page script compiled into the application (defines the functions above); empty
// when the resource is missing.
QString highlightSource();

} // namespace ReaderScripts
