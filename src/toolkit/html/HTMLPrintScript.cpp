#include "toolkit/html/HTMLPrintScript.h"

namespace HTMLPrintScript {

namespace {

const char* const kPrepareForPrint = R"JS(
(function (printWidth) {
  // A frame still showing its first empty document has not begun to show what it names.
  function isLoading(frame) {
    var doc = null;
    try { doc = frame.contentDocument; } catch (e) { return false; }
    if (!doc)
      return false; // another origin (or refused): nothing of it can be waited for
    var named = frame.getAttribute('src');
    var waiting = named && named !== 'about:blank' && doc.URL === 'about:blank';
    return waiting || doc.readyState !== 'complete';
  }
  function pendingFrames(doc) {
    var pending = 0;
    Array.prototype.forEach.call(doc.querySelectorAll('iframe, frame'), function (frame) {
      if (isLoading(frame)) {
        ++pending;
        return;
      }
      var inner = null;
      try { inner = frame.contentDocument; } catch (e) { }
      if (inner)
        pending += pendingFrames(inner);
    });
    return pending;
  }

  var pending = pendingFrames(document);
  var root = document.documentElement;
  if (pending > 0 || !root)
    return { pending: pending, zoom: 1, height: 0 };
  root.style.removeProperty('zoom');
  var width = Math.max(root.scrollWidth, document.body ? document.body.scrollWidth : 0);
  // measured before any zoom: never less than what prints
  var height = Math.max(root.scrollHeight, document.body ? document.body.scrollHeight : 0);
  var zoom = 1;
  if (width > printWidth + 1) {
    zoom = printWidth / width;
    root.style.setProperty('zoom', String(zoom), 'important');
  }
  return { pending: 0, zoom: zoom, height: height };
})(%1)
)JS";

} // namespace

QString prepareForPrint(int printWidthPx)
{
    return QString::fromUtf8(kPrepareForPrint).arg(printWidthPx);
}

} // namespace HTMLPrintScript
