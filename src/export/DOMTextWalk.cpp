#include "export/DOMTextWalk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace DOMTextWalk {
namespace {

// Answers a JSON array: a string is a printed text run, {unprinted: text} one the page does not
// print, [name, followsText] an anchor.
// Iterative, so that deeply nested markup cannot exhaust the script's stack.
const char kWalkScript[] = R"JS(
(function () {
  'use strict';
  var COMMENT_NODE = 8, CDATA_SECTION_NODE = 4, ELEMENT_NODE = 1, TEXT_NODE = 3;
  var runs = [];

  function IsNodeIgnore(node) {
    return node.nodeType === COMMENT_NODE || node.nodeType === CDATA_SECTION_NODE;
  }

  function anchorName(node) {
    var attributes = node.attributes;
    if (!attributes)
      return null;
    for (var i = 0; i < attributes.length; ++i) {
      var name = attributes[i].name.toLowerCase();
      if (name === 'name' || name === 'id')
        return attributes[i].value;
    }
    return null;
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
          var name = anchorName(node);
          if (name !== null)
            runs.push([name, followsText(node)]);
        }
        var body = frameBody(node);
        if (body) {
          stack.push({ node: body, anchors: false });
        } else if (!node.hasChildNodes()) {
          var text = ignored ? '' : node.textContent;
          if (text)
            runs.push(printsText(node.parentNode) ? text : { unprinted: text });
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
        else if (run.isArray() && !run.toArray().isEmpty() && run.toArray().first().isString())
            text.addAnchor(run.toArray().first().toString(), run.toArray().last().toBool());
    }
    return text;
}

} // namespace DOMTextWalk
