#include "export/TopicPrintScripts.h"

namespace TopicPrintScripts {
namespace {

const char kPrepareForPrint[] = R"JS(
(function (printWidth, maxHeight) {
  'use strict';
  var LOADED = 'tomefoldLoaded';

  function reachable(frame) {
    try { return frame.contentDocument; } catch (e) { return null; }
  }

  function unfoldFrameset(doc) {
    var frameset = doc.body;
    if (!frameset || frameset.tagName !== 'FRAMESET')
      return;
    var body = doc.createElement('body');
    body.style.margin = '0';
    Array.prototype.forEach.call(frameset.querySelectorAll('frame'), function (frame) {
      var iframe = doc.createElement('iframe');
      iframe.addEventListener('load', function () { iframe.dataset[LOADED] = '1'; });
      iframe.name = frame.name;
      iframe.style.cssText = 'display:block;width:100%;height:0;border:0;margin:0;padding:0';
      iframe.dataset[LOADED] = '';
      iframe.src = frame.src;
      body.appendChild(iframe);
    });
    doc.body = body;
  }

  function contentHeight(doc) {
    var root = doc.documentElement;
    var height = root ? root.scrollHeight : 0;
    if (doc.body)
      height = Math.max(height, doc.body.scrollHeight);
    return height;
  }

  // Grows the inline frames of doc to their content, deepest first; answers the frames still loading.
  function growFrames(doc) {
    var pending = 0;
    Array.prototype.forEach.call(doc.querySelectorAll('iframe'), function (iframe) {
      if (iframe.dataset[LOADED] === '') {
        ++pending;
        return;
      }
      var inner = reachable(iframe);
      if (!inner || !inner.documentElement)
        return;
      unfoldFrameset(inner);
      pending += growFrames(inner);
      var height = Math.min(contentHeight(inner), maxHeight);
      iframe.style.setProperty('height', height + 'px', 'important');
      iframe.setAttribute('scrolling', 'no');
    });
    return pending;
  }

  // Measured at the printed width itself, whatever size the view has reached by now.
  function fitWidth(doc) {
    var root = doc.documentElement;
    if (!root)
      return 1;
    root.style.zoom = '';
    var previousWidth = root.style.width;
    root.style.width = printWidth + 'px';
    var content = Math.max(root.scrollWidth, doc.body ? doc.body.scrollWidth : 0);
    root.style.width = previousWidth;
    if (content <= printWidth + 1)
      return 1;
    var zoom = printWidth / content;
    root.style.zoom = String(zoom);
    return zoom;
  }

  unfoldFrameset(document);
  var pending = growFrames(document);
  var zoom = pending > 0 ? 1 : fitWidth(document);
  return { pending: pending, zoom: zoom };
})(%1, %2)
)JS";

} // namespace

QString prepareForPrint(int printWidthPx, double maxHeightPx)
{
    return QString::fromUtf8(kPrepareForPrint).arg(printWidthPx).arg(maxHeightPx, 0, 'f', 0);
}

} // namespace TopicPrintScripts
