#pragma once

#include <QUrl>
#include <QVariantMap>

class PdfDocument;

// How a finished PDF of the toolkit takes its target's place: written whole to a scratch file on
// the target's file system, then renamed over the target in one step, so that a failure at any
// point leaves the old target as it was and no scratch file behind. True when the target now
// holds the document.
//
// writeOptions are the caller's PDF write options; the document is written as it stands.
bool WritePDFByReplaceByMove(const PdfDocument& document, const QUrl& target, const QVariantMap& writeOptions);
