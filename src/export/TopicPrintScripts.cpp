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

  // What lies beyond the printed width, or inside a box that clips it, is lost on paper. Only the
  // elements concerned are changed, each on its own: a style sheet or a pass that rewrote the whole
  // document made the engine lay every line out anew while it printed (long topics took many times
  // longer) and moved its page breaks into lines. Lines that can wrap are wrapped where they
  // overflow (keeping the indentation of code); boxes of a fixed width are held to the printed
  // width; content that clips is let out; only what cannot wrap (wide tables, images, boxes whose
  // content will not narrow) is scaled, each on its own, so that one long line never shrinks a
  // whole topic. A last page-wide scale catches whatever is left.
  var MAX_ROUNDS = 4;
  // The engine rounds the paper to its own units and may lay a page out a pixel narrower than
  // asked: everything is fitted a little inside the printed width.
  var fit = printWidth - 2;

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

  function isInline(display) {
    return display === 'inline' || display === 'contents';
  }

  function contentWidth(doc) {
    var root = doc.documentElement;
    return Math.max(root.scrollWidth, doc.body ? doc.body.scrollWidth : 0);
  }

  function holdsText(element) {
    for (var node = element.firstChild; node; node = node.nextSibling) {
      if (node.nodeType === 3 && /\S/.test(node.nodeValue))
        return true;
    }
    return false;
  }

  // One reading pass, no writes: the boxes that hide part of their content, the elements reaching
  // beyond the printed width (or whose own text does), and the fixed elements. The document's own
  // scrollers are the page itself.
  function survey(doc) {
    var found = { clipping: [], reaching: [], lines: [], fixed: [], listings: [], shifted: [] };
    var viewHeight = doc.defaultView ? doc.defaultView.innerHeight : 0;
    elementsOf(doc).forEach(function (element) {
      var style = getComputedStyle(element);
      var rect = element.getBoundingClientRect();
      if (style.position === 'fixed') {
        var shown = rect.width > 0 && rect.height > 0 && rect.right > 0 && rect.left < printWidth &&
                    rect.bottom > 0 && rect.top < viewHeight && style.visibility !== 'hidden';
        found.fixed.push({ element: element, shown: shown });
      }
      var hidesX = false;
      if (element !== doc.body && (clips(style.overflowX) || clips(style.overflowY))) {
        hidesX = clips(style.overflowX) && element.scrollWidth > element.clientWidth + 1;
        var hidesY = clips(style.overflowY) && element.scrollHeight > element.clientHeight + 1;
        if (hidesX || hidesY)
          found.clipping.push({ element: element, across: hidesX, vertical: hidesY, whiteSpace: style.whiteSpace });
      }
      if (!hidesX && keepsLineBreaks(style.whiteSpace))
        noteListing(found, element, style, doc);
      var reaches = rect.right > fit;
      if (reaches && isShiftedAside(style.transform))
        found.shifted.push(element);
      else if (reaches)
        found.reaching.push({ element: element, display: style.display });
      // Text that overflows its own box, or an element of text that reaches beyond, has lines to wrap.
      var textOverflows = !hidesX && !isInline(style.display) && element.scrollWidth > element.clientWidth + 1 &&
                          rect.left + element.scrollWidth > fit && holdsText(element);
      var lineReaches = reaches && (isInline(style.display) || style.whiteSpace === 'nowrap' ||
                                    style.whiteSpace === 'pre' || holdsText(element));
      if (textOverflows || lineReaches) {
        found.lines.push({ element: element, whiteSpace: style.whiteSpace });
        var block = isInline(style.display) ? unwrappedBlockOf(element) : null;
        if (block)
          found.lines.push(block);
        if (style.display === 'table-cell')
          Array.prototype.push.apply(found.lines, unwrappedNeighbours(element));
      }
    });
    return found;
  }

  // An inline line wrapped on its own wraps on the screen, but the engine prints it unwrapped
  // when the block holding it does not wrap (a listing's numbered lines in <pre>): the page is
  // then laid out wider and shrunk, and lines just past the edge are cut off. Its block wraps too.
  function unwrappedBlockOf(element) {
    for (var parent = element.parentElement; parent; parent = parent.parentElement) {
      var style = getComputedStyle(parent);
      if (isInline(style.display))
        continue;
      return style.whiteSpace === 'nowrap' || style.whiteSpace === 'pre'
        ? { element: parent, whiteSpace: style.whiteSpace } : null;
    }
    return null;
  }

  // A cell that reaches beyond is often pushed there by the cells before it, which never wrap
  // (generated member lists): its whole row may wrap between words, which keeps every column
  // readable where only the last ones would otherwise give way.
  function unwrappedNeighbours(cell) {
    var neighbours = [];
    Array.prototype.forEach.call(cell.parentElement ? cell.parentElement.children : [], function (other) {
      var whiteSpace = other === cell ? '' : getComputedStyle(other).whiteSpace;
      if (whiteSpace === 'nowrap' || whiteSpace === 'pre')
        neighbours.push({ element: other, whiteSpace: whiteSpace });
    });
    return neighbours;
  }

  // Lines break between words first, and only what still reaches beyond in a later round may break
  // between any two letters: breaking anywhere from the start also lets a table narrow a column to
  // a letter a line.
  function wrapLines(element, whiteSpace, anywhere) {
    if (whiteSpace === 'pre')
      important(element, 'white-space', 'pre-wrap');
    else if (whiteSpace === 'nowrap')
      important(element, 'white-space', 'normal');
    important(element, 'overflow-wrap', anywhere ? 'anywhere' : 'break-word');
  }

  // Lines that keep their breaks (a listing, or one line of it) in a box that clips what overflows
  // it: the listing's own box, or the box that holds its lines one element each.
  function noteListing(found, element, style, doc) {
    var box = clips(style.overflowX) ? element : element.parentElement;
    if (!box || box === doc.body || (box !== element && !clips(getComputedStyle(box).overflowX)))
      return;
    found.listings.push({ element: element, whiteSpace: style.whiteSpace, box: box });
  }

  // Moved sideways only, as a page slides aside for a menu beside it on a narrow screen: the print
  // of such a page is its text, in its place.
  function isShiftedAside(transform) {
    var match = /^matrix\(1, 0, 0, 1, ([-0-9.e]+), ([-0-9.e]+)\)$/.exec(transform);
    return !!match && parseFloat(match[1]) > 0;
  }

  function keepsLineBreaks(whiteSpace) {
    return whiteSpace === 'pre' || whiteSpace === 'pre-wrap' || whiteSpace === 'break-spaces';
  }

  // A listing that hides what overflows it fits the screen's layout, but the print lays the page
  // out anew, with the page's own print rules (a sidebar hidden, a column narrower): there its long
  // names would be cut off at its edge. Every such listing is let out and wraps ahead of the print;
  // where it fits, that changes nothing.
  function letOutListings(found) {
    found.listings.forEach(function (listing) {
      important(listing.box, 'overflow', 'visible');
      wrapLines(listing.element, listing.whiteSpace, false);
    });
  }

  // Writes after the reading pass: a write between reads would lay the page out anew.
  function letOut(found) {
    letOutListings(found);
    found.shifted.forEach(function (element) {
      important(element, 'transform', 'none');
    });
    found.clipping.forEach(function (box) {
      important(box.element, 'overflow', 'visible');
      if (box.vertical) {
        important(box.element, 'height', 'auto');
        important(box.element, 'max-height', 'none');
      }
      if (box.across)
        wrapLines(box.element, box.whiteSpace, false);
    });
    var wrappedNow = new Set();
    found.lines.forEach(function (line) {
      var wrapped = line.element.dataset.tomefoldWrapped;
      if (wrapped === 'anywhere' || wrappedNow.has(line.element))
        return;
      wrappedNow.add(line.element);
      line.element.dataset.tomefoldWrapped = wrapped ? 'anywhere' : 'words';
      wrapLines(line.element, line.whiteSpace, !!wrapped);
    });
    return found.clipping.length + found.lines.length + found.shifted.length;
  }

  // Content the page shows once is printed once: the engine repeats a fixed element on every page,
  // over the topic's text. One in view takes its place in the flow; one out of view (a drawer
  // waiting to slide in) shows nothing, and is taken out: repeated on every page it would still
  // be laid out anew for each of them.
  function settleFixed(found) {
    found.fixed.forEach(function (fixed) {
      important(fixed.element, fixed.shown ? 'position' : 'display', fixed.shown ? 'static' : 'none');
    });
  }

  // The outermost of the elements given.
  function outermost(elements) {
    var reaching = new Set(elements);
    return elements.filter(function (element) {
      for (var parent = element.parentElement; parent; parent = parent.parentElement) {
        if (reaching.has(parent))
          return false;
      }
      return true;
    });
  }

  // Blocks of a fixed width and media are held to the width of what holds them; media also inside
  // a table, whose column then narrows with them.
  function narrow(found) {
    var changed = 0;
    var blocks = outermost(found.reaching.map(function (item) { return item.element; }));
    var media = found.reaching.filter(function (item) { return isMedia(item.element); })
                  .map(function (item) { return item.element; });
    var plans = [];
    blocks.concat(media).forEach(function (element) {
      var display = getComputedStyle(element).display;
      var medium = isMedia(element);
      if (element.dataset.tomefoldNarrowed || (!medium && (display.indexOf('table') === 0 || display === 'inline')))
        return;
      // A table cell does not narrow for a share of itself: media get the room left of them too.
      var room = Math.max(fit - Math.max(element.getBoundingClientRect().left, 0), 16);
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

  // Scales each outermost overflowing box down to the room left of it; a line of text is scaled
  // with the box that holds it.
  function scaleEach(doc) {
    var scaled = 0;
    var reaching = elementsOf(doc).filter(function (element) {
      return element.getBoundingClientRect().right > fit;
    }).map(function (element) {
      while (element.parentElement && element.parentElement !== doc.body &&
             isInline(getComputedStyle(element).display))
        element = element.parentElement;
      return element;
    });
    var plans = outermost(reaching).map(function (element) {
      var rect = element.getBoundingClientRect();
      return { element: element, zoom: (fit - Math.max(rect.left, 0)) / rect.width };
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
    root.style.width = fit + 'px';
    var found = survey(doc);
    settleFixed(found);
    if (letOut(found) > 0 || contentWidth(doc) > fit) {
      for (var round = 0; round < MAX_ROUNDS && contentWidth(doc) > fit; ++round) {
        found = survey(doc);
        if (letOut(found) + narrow(found) === 0)
          break;
      }
      for (round = 0; round < MAX_ROUNDS && contentWidth(doc) > fit && scaleEach(doc) > 0; ++round) { }
    }
    var content = contentWidth(doc);
    root.style.width = previousWidth;
    if (content <= fit)
      return 1;
    var zoom = fit / content;
    root.style.zoom = String(zoom);
    return zoom;
  }

  // A document wider than the engine's page by a fraction of a pixel is paginated at one page
  // height and cut into pages of another (the engine rounds its width one way for the one and
  // another way for the other): once the wide code of a long topic was wrapped to fit, its lines
  // were cut across most page edges. Held a whole number of pixels wider than the page by an empty
  // box that takes no room in the flow, a topic is laid out again at that width and shrunk onto the
  // page as a whole (by 0.3 %), and its page breaks fall between lines.
  var WIDER_BY = 2;
  // The width is read rounded one way and floored the other: a quarter pixel over a whole number
  // gives the same page either way, whatever a zoom leaves of it.
  var SNAP = 0.25;

  // Beside the body, at the left edge of the page, outside the text a reader sees.
  function holdWider(doc, zoom) {
    var root = doc.documentElement;
    if (!root || doc.getElementById('tomefold-width-keeper'))
      return;
    var keeper = doc.createElement('div');
    keeper.id = 'tomefold-width-keeper';
    keeper.setAttribute('aria-hidden', 'true');
    keeper.style.cssText = 'position:absolute;left:0;top:0;height:1px;margin:0;padding:0;border:0;visibility:hidden;' +
                           'width:' + ((printWidth + WIDER_BY + SNAP) / zoom) + 'px';
    root.appendChild(keeper);
  }

  // With the page's scripts stopped for the print, the engine would show what a <noscript> holds
  // as the text it was parsed into: the page as a reader sees it shows none of it.
  function hideNoscript(doc) {
    Array.prototype.forEach.call(doc.querySelectorAll('noscript'), function (element) {
      important(element, 'display', 'none');
    });
  }

  // The name an element is found by: its first "name" or "id" attribute, as the anchors are read.
  function nameOf(element) {
    for (var i = 0; i < element.attributes.length; ++i) {
      var attribute = element.attributes[i].name.toLowerCase();
      if (attribute === 'name' || attribute === 'id')
        return element.attributes[i].value;
    }
    return null;
  }

  // The engine writes into the print where each element lies that a link of the same page leads
  // to, wherever its layout put it (beside a sidebar that repeats its words, under a heading painted
  // late): a link to every named element, where nothing shows it, has it tell where each one is.
  // In the head, so that no rule of the page that counts the body's children sees it.
  function linkEveryName(doc) {
    var root = doc.documentElement;
    if (!root || !doc.body || doc.querySelector('[data-tomefold-names]'))
      return;
    var holder = doc.createElement('div');
    holder.setAttribute('data-tomefold-names', '');
    holder.style.setProperty('display', 'none', 'important');
    var seen = new Set();
    [doc.body].concat(Array.prototype.slice.call(doc.body.querySelectorAll('[id],[name]'))).forEach(function (element) {
      var name = nameOf(element);
      if (name === null || name === '' || seen.has(name))
        return;
      seen.add(name);
      var link = doc.createElement('a');
      link.setAttribute('href', '#' + name);
      holder.appendChild(link);
    });
    (doc.head || root).appendChild(holder);
  }

  unfoldFrameset(document);
  var pending = growFrames(document);
  var zoom = pending > 0 ? 1 : fitWidth(document);
  if (pending === 0) {
    holdWider(document, zoom);
    hideNoscript(document);
    linkEveryName(document);
  }
  return { pending: pending, zoom: zoom, height: contentHeight(document) };
})(%1, %2)
)JS";

} // namespace

QString prepareForPrint(int printWidthPx, double maxHeightPx)
{
    return QString::fromUtf8(kPrepareForPrint).arg(printWidthPx).arg(maxHeightPx, 0, 'f', 0);
}

} // namespace TopicPrintScripts
