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

  // What lies beyond the printed width, or inside a box that clips it, is lost on paper. Lines
  // that can wrap are wrapped (keeping the indentation of code); boxes of a fixed width are held
  // to the printed width; content that clips is let out; only what cannot wrap (wide tables,
  // images, boxes whose content will not narrow) is scaled, each on its own, so that one long
  // line never shrinks a whole topic. A last page-wide scale catches whatever is left.
  var WRAP_STYLE =
    'pre, xmp, listing, plaintext { white-space: pre-wrap !important; overflow-wrap: anywhere !important; }\n' +
    'code, tt, kbd, samp { overflow-wrap: anywhere !important; }\n' +
    'body { overflow-wrap: break-word; }\n';
  var MAX_ROUNDS = 4;

  function elementsOf(doc) {
    return doc.body ? Array.prototype.slice.call(doc.body.querySelectorAll('*')) : [];
  }

  function important(element, property, value) {
    element.style.setProperty(property, value, 'important');
  }

  function clips(value) {
    return value === 'hidden' || value === 'auto' || value === 'scroll' || value === 'clip';
  }

  function isMedia(element) {
    var tag = element.tagName;
    return tag === 'IMG' || tag === 'SVG' || tag === 'svg' || tag === 'VIDEO' || tag === 'CANVAS' ||
           tag === 'OBJECT' || tag === 'EMBED';
  }

  function contentWidth(doc) {
    var root = doc.documentElement;
    return Math.max(root.scrollWidth, doc.body ? doc.body.scrollWidth : 0);
  }

  // Boxes that hide part of their content; the document's own scrollers are the page itself.
  function clippingBoxes(doc) {
    var found = [];
    elementsOf(doc).forEach(function (element) {
      if (element === doc.body)
        return;
      var style = getComputedStyle(element);
      var hidesX = clips(style.overflowX) && element.scrollWidth > element.clientWidth + 1;
      var hidesY = clips(style.overflowY) && element.scrollHeight > element.clientHeight + 1;
      if (hidesX || hidesY)
        found.push({ element: element, vertical: hidesY });
    });
    return found;
  }

  function overflows(doc) {
    return contentWidth(doc) > printWidth + 1 || clippingBoxes(doc).length > 0;
  }

  function letOut(doc) {
    // Read everything first, then write: a write between reads would lay the page out anew.
    var boxes = clippingBoxes(doc);
    var unwrapped = [];
    elementsOf(doc).forEach(function (element) {
      var whiteSpace = getComputedStyle(element).whiteSpace;
      if (whiteSpace === 'nowrap' || whiteSpace === 'pre')
        unwrapped.push({ element: element, pre: whiteSpace === 'pre' });
    });
    boxes.forEach(function (box) {
      important(box.element, 'overflow', 'visible');
      if (box.vertical) {
        important(box.element, 'height', 'auto');
        important(box.element, 'max-height', 'none');
      }
    });
    unwrapped.forEach(function (item) {
      important(item.element, 'white-space', item.pre ? 'pre-wrap' : 'normal');
    });
    return boxes.length + unwrapped.length;
  }

  // The outermost elements that reach beyond the printed width.
  function widestOverflowing(doc) {
    var beyond = elementsOf(doc).filter(function (element) {
      return element.getBoundingClientRect().right > printWidth + 1;
    });
    var reaching = new Set(beyond);
    return beyond.filter(function (element) {
      for (var parent = element.parentElement; parent; parent = parent.parentElement) {
        if (reaching.has(parent))
          return false;
      }
      return true;
    });
  }

  // Blocks of a fixed width and media are held to the width of what holds them; media also inside
  // a table, whose column then narrows with them.
  function narrow(doc) {
    var changed = 0;
    var media = elementsOf(doc).filter(function (element) {
      return isMedia(element) && element.getBoundingClientRect().right > printWidth + 1;
    });
    var plans = [];
    widestOverflowing(doc).concat(media).forEach(function (element) {
      var display = getComputedStyle(element).display;
      var medium = isMedia(element);
      if (element.dataset.tomefoldNarrowed || (!medium && (display.indexOf('table') === 0 || display === 'inline')))
        return;
      // A table cell does not narrow for a share of itself: media get the room left of them too.
      var room = Math.max(printWidth - Math.max(element.getBoundingClientRect().left, 0), 16);
      plans.push({ element: element, maxWidth: medium ? room + 'px' : '100%', medium: medium });
    });
    plans.forEach(function (plan) {
      if (plan.element.dataset.tomefoldNarrowed)
        return; // listed twice: outermost and medium
      plan.element.dataset.tomefoldNarrowed = '1';
      important(plan.element, 'max-width', plan.maxWidth);
      important(plan.element, 'min-width', '0');
      important(plan.element, 'box-sizing', 'border-box');
      if (plan.medium)
        important(plan.element, 'height', 'auto');
      ++changed;
    });
    return changed;
  }

  // Scales each outermost overflowing element down to the room left of it.
  function scaleEach(doc) {
    var scaled = 0;
    var plans = widestOverflowing(doc).map(function (element) {
      var rect = element.getBoundingClientRect();
      return { element: element, zoom: (printWidth - Math.max(rect.left, 0)) / rect.width };
    });
    plans.forEach(function (plan) {
      if (!(plan.zoom > 0 && plan.zoom < 1))
        return;
      var current = parseFloat(plan.element.style.zoom) || 1;
      plan.element.style.zoom = String(current * plan.zoom);
      ++scaled;
    });
    return scaled;
  }

  // Measured at the printed width itself, whatever size the view has reached by now.
  function fitWidth(doc) {
    var root = doc.documentElement;
    if (!root)
      return 1;
    root.style.zoom = '';
    var previousWidth = root.style.width;
    root.style.width = printWidth + 'px';
    if (overflows(doc)) {
      var sheet = doc.createElement('style');
      sheet.textContent = WRAP_STYLE;
      (doc.head || root).appendChild(sheet);
      letOut(doc);
      for (var round = 0; round < MAX_ROUNDS && contentWidth(doc) > printWidth + 1 && narrow(doc) > 0; ++round)
        letOut(doc);
      for (round = 0; round < MAX_ROUNDS && contentWidth(doc) > printWidth + 1 && scaleEach(doc) > 0; ++round) { }
    }
    var content = contentWidth(doc);
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
