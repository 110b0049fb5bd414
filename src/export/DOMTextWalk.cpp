#include "export/DOMTextWalk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace DOMTextWalk {
namespace {

// Answers a JSON array: a string is a printed text run, {unprinted: text} one the page does not
// print, [name, followsText, leadX, leadY, labelled, boxless, linkName] an anchor, with the distance
// in CSS pixels from its box's top-left corner to the first character of the printed text that
// follows it (0 when unknown), whether the element prints words of its own before that text, whether
// it has no box at all, and the name the engine records its place under when that is not its own.
// Iterative, so that deeply nested markup cannot exhaust the script's stack.
const char kWalkScript[] = R"JS(
(function () {
  'use strict';
  var COMMENT_NODE = 8, CDATA_SECTION_NODE = 4, ELEMENT_NODE = 1, TEXT_NODE = 3;
  var runs = [];

  function IsNodeIgnore(node) {
    return node.nodeType === COMMENT_NODE || node.nodeType === CDATA_SECTION_NODE;
  }

  // The node's first "name" or "id" attribute, or null.
  function anchorAttribute(node) {
    var attributes = node.attributes;
    if (!attributes)
      return null;
    for (var i = 0; i < attributes.length; ++i) {
      var name = attributes[i].name.toLowerCase();
      if (name === 'name' || name === 'id')
        return attributes[i];
    }
    return null;
  }

  // The print records where a link of the page leads to an element by its id, or to a link by
  // its name, when the element has a box: its place needs nothing from its text.
  function placedByPrint(node, attribute, boxless) {
    return node.nodeType === ELEMENT_NODE && !boxless &&
           (attribute.name.toLowerCase() === 'id' || node.localName.toLowerCase() === 'a');
  }

  // Whether the element shows its text on paper: it has boxes (script, style and elements hidden
  // by display have none) and they are visible.
  var printedElements = new Map();
  function printsText(element) {
    if (!element || element.nodeType !== ELEMENT_NODE)
      return true;
    var known = printedElements.get(element);
    if (known !== undefined)
      return known;
    var view = element.ownerDocument.defaultView;
    var style = view ? view.getComputedStyle(element) : null;
    var prints;
    if (!style || style.display === 'contents')
      prints = printsText(element.parentElement); // no boxes of its own, its children print
    else
      prints = element.getClientRects().length > 0 && style.visibility === 'visible';
    printedElements.set(element, prints);
    return prints;
  }

  function isInline(element) {
    var view = element.ownerDocument.defaultView;
    var style = view ? view.getComputedStyle(element) : null;
    return !!style && (style.display === 'inline' || style.display === 'contents');
  }

  function hasText(node) {
    return node.textContent.trim() !== '';
  }

  // An inline element without text of its own that comes after text in the same line (an empty
  // <a name> closing a paragraph) prints where that text ends. Looks back through the element's
  // earlier siblings, and those of its inline ancestors, until text or the start of the line.
  function followsText(element) {
    if (element.nodeType !== ELEMENT_NODE || element.children.length > 0 || hasText(element) || !isInline(element))
      return false;
    for (var node = element; node; ) {
      for (var sibling = node.previousSibling; sibling; sibling = sibling.previousSibling) {
        if (sibling.nodeType === ELEMENT_NODE) {
          if (!isInline(sibling) || sibling.localName.toLowerCase() === 'br')
            return false;
          if (hasText(sibling))
            return true;
        } else if (sibling.nodeType === TEXT_NODE && hasText(sibling)) {
          return true;
        }
      }
      node = node.parentElement;
      if (!node || !isInline(node))
        return false;
    }
    return false;
  }

  // An element without any box (hidden, or inside something hidden) prints nothing: no link can
  // show it. One whose box is given over to its children (display: contents) prints with them.
  function hasNoBox(node) {
    if (node.nodeType !== ELEMENT_NODE || node.getClientRects().length > 0)
      return false;
    var view = node.ownerDocument.defaultView;
    var style = view ? view.getComputedStyle(node) : null;
    return !style || style.display !== 'contents';
  }

  // The name under which the engine records where a link of the page to this name leads: the
  // fragment as the link's URL spells it (escaped where a URL must escape it). Empty when it is the
  // name itself.
  var probe = document.createElement('a');
  function linkName(name) {
    probe.setAttribute('href', '#' + name);
    var spelled = probe.hash.length > 1 ? probe.hash.substring(1) : '';
    return spelled === name ? '' : spelled;
  }

  // Anchors whose lead waits for the next printed text: the entry in runs, and the element.
  var waitingForText = [];

  function isEmptyRect(rect) {
    return rect.width === 0 || rect.height === 0;
  }

  function firstFilledRect(node) {
    var rects = node.nodeType === TEXT_NODE ? [firstCharacterRect(node)] : node.getClientRects();
    for (var i = 0; i < rects.length; ++i) {
      if (rects[i] && !isEmptyRect(rects[i]))
        return rects[i];
    }
    return null;
  }

  // Where the element's box begins. An element without a box of its own (an empty <a name> before
  // a picture) begins, as the engine sees it, where the next thing that has one begins.
  // One on a line of its own between two boxes of its container (an empty <a name> after a table,
  // before a heading) begins on that line, where the box before it ends: above the margin of the
  // box after it. The first thing in its container begins with the container, where the margins
  // of the container and of the box after it meet, as the next box does.
  var kBoxSearchSteps = 200;
  function followsABox(element) {
    for (var sibling = element.previousElementSibling; sibling; sibling = sibling.previousElementSibling) {
      if (sibling.getClientRects().length > 0)
        return true;
    }
    return false;
  }

  function boxStart(element) {
    var own = firstFilledRect(element);
    if (own)
      return own;
    var rects = element.getClientRects();
    var line = rects.length > 0 ? rects[0] : null;
    var walker = element.ownerDocument.createTreeWalker(element.ownerDocument.documentElement,
                                                        NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
    walker.currentNode = element;
    for (var steps = 0; steps < kBoxSearchSteps && walker.nextNode(); ++steps) {
      var next = firstFilledRect(walker.currentNode);
      if (next && line && aboveItsMargin(line, next, walker.currentNode) && followsABox(element))
        return { left: next.left, top: line.top };
      if (next)
        return next;
    }
    return line;
  }

  // Whether the empty line lies above the next box by that box's top margin: the margin lies
  // between them. A line further above stands apart from the box, and the name goes with the box.
  function aboveItsMargin(line, next, node) {
    var box = node.nodeType === ELEMENT_NODE ? node : node.parentElement;
    var view = box ? box.ownerDocument.defaultView : null;
    var margin = view ? parseFloat(view.getComputedStyle(box).marginTop) || 0 : 0;
    var gap = next.top - line.top;
    return gap > 1 && gap <= margin + 2;
  }

  // Generated content before the element's own is not where the engine says it begins.
  function hasGeneratedStart(element) {
    var view = element.ownerDocument.defaultView;
    var before = view ? view.getComputedStyle(element, '::before') : null;
    return !!before && before.content !== 'none' && before.content !== 'normal';
  }

  function firstCharacterRect(textNode) {
    var index = textNode.data.search(/\S/);
    if (index < 0)
      return null;
    var range = textNode.ownerDocument.createRange();
    range.setStart(textNode, index);
    range.setEnd(textNode, index + 1);
    var rects = range.getClientRects();
    return rects.length > 0 ? rects[0] : null;
  }

  // A link to the element opens where its box begins; the export places it at its first printed
  // word, and moves it back by this much: the box's padding, a banner or an empty block above the
  // word, or the empty line of an element without text of its own.
  function leadTo(element, textNode) {
    if (element.ownerDocument !== textNode.ownerDocument)
      return null;
    if (hasGeneratedStart(element))
      return null;
    var box = boxStart(element);
    var text = firstCharacterRect(textNode);
    if (!box || !text)
      return null;
    return [Math.max(0, text.left - box.left), Math.max(0, text.top - box.top)];
  }

  function hasMarker(element) {
    var view = element.ownerDocument.defaultView;
    var style = view ? view.getComputedStyle(element) : null;
    return !!style && style.display === 'list-item' && style.listStyleType !== 'none';
  }

  // Whether the element prints words before its first text that the text does not hold: generated
  // content or a list marker of the element, or of an element inside it that holds that text.
  // An element that holds no text of its own has no such words: those before the text that
  // follows it are another element's.
  function printsLabel(element, textNode) {
    if (!element.contains(textNode))
      return false;
    for (var node = textNode.parentElement; node; node = node.parentElement) {
      if (hasGeneratedStart(node) || hasMarker(node))
        return true;
      if (node === element)
        break;
    }
    return false;
  }

  function textPrinted(textNode) {
    if (textNode.data.trim() === '')
      return;
    waitingForText.forEach(function (waiting) {
      var lead = null;
      try { lead = leadTo(waiting.element, textNode); } catch (e) { lead = null; }
      if (lead) {
        waiting.entry[2] = lead[0];
        waiting.entry[3] = lead[1];
      }
      try { waiting.entry[4] = printsLabel(waiting.element, textNode); } catch (e) { waiting.entry[4] = false; }
    });
    waitingForText = [];
  }

  function frameBody(node) {
    if (node.nodeType !== ELEMENT_NODE)
      return null;
    var tag = node.localName.toLowerCase();
    if ((tag !== 'iframe' && tag !== 'frame') || !printsText(node))
      return null;
    var inner = null;
    try { inner = node.contentDocument; } catch (e) { return null; }
    return inner ? inner.getElementsByTagName('body')[0] || null : null;
  }

  // Each entry of the stack is a sibling list being walked: its next node, and whether its
  // names are the topic's anchors.
  function FindLinkCharIndexInsidePage(first, recordsAnchors) {
    var stack = [{ node: first, anchors: recordsAnchors }];
    while (stack.length > 0) {
      var list = stack[stack.length - 1];
      var node = list.node;
      if (!node) {
        stack.pop();
        continue;
      }
      try {
        list.node = node.nextSibling;
        var ignored = IsNodeIgnore(node);
        if (list.anchors) {
          var attribute = anchorAttribute(node);
          if (attribute !== null) {
            var name = attribute.value;
            var boxless = hasNoBox(node);
            var byPrint = placedByPrint(node, attribute, boxless);
            var follows = !byPrint && followsText(node);
            var entry = [name, follows, 0, 0, false, boxless, linkName(name)];
            runs.push(entry);
            if (!byPrint && !follows && node.nodeType === ELEMENT_NODE)
              waitingForText.push({ entry: entry, element: node });
          }
        }
        var body = frameBody(node);
        if (body) {
          stack.push({ node: body, anchors: false });
        } else if (!node.hasChildNodes()) {
          var text = ignored ? '' : node.textContent;
          if (text) {
            var printed = printsText(node.parentNode);
            runs.push(printed ? text : { unprinted: text });
            if (printed && node.nodeType === TEXT_NODE)
              textPrinted(node);
          }
        } else {
          stack.push({ node: node.firstChild, anchors: list.anchors });
        }
      } catch (e) {
        list.node = null;
      }
    }
  }

  FindLinkCharIndexInsidePage(document.getElementsByTagName('body')[0] || null, true);
  return JSON.stringify(runs);
})()
)JS";

} // namespace

QString script()
{
    return QString::fromUtf8(kWalkScript);
}

std::optional<TopicText> readResult(const QVariant& result)
{
    if (result.typeId() != QMetaType::QString)
        return std::nullopt;
    const QJsonDocument json = QJsonDocument::fromJson(result.toString().toUtf8());
    if (!json.isArray())
        return std::nullopt;
    TopicText text;
    const QJsonArray runs = json.array();
    for (const QJsonValue& run : runs) {
        if (run.isString())
            text.appendText(run.toString());
        else if (run.isObject())
            text.appendUnprintedText(run.toObject().value(QStringLiteral("unprinted")).toString());
        else if (run.isArray() && !run.toArray().isEmpty() && run.toArray().first().isString()) {
            const QJsonArray anchor = run.toArray();
            text.addAnchor(anchor.at(0).toString(), anchor.at(1).toBool(),
                           QPointF(anchor.at(2).toDouble(), anchor.at(3).toDouble()), anchor.at(4).toBool());
            text.setLastAnchorPrinting(anchor.at(5).toBool(), anchor.at(6).toString());
        }
    }
    return text;
}

} // namespace DOMTextWalk
