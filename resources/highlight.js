// Find in page for the reader window: marks every occurrence of a text in the page and moves
// between the marks. Defines highlight(node, text), removeHighlight() and scrollToHighlight(direction).
var tomefoldHighlightClass = "tomefold-highlight";
var tomefoldCurrentClass = "tomefold-highlight-current";
var tomefoldHighlightIndex = -1;

function tomefoldHighlights() {
    return document.getElementsByClassName(tomefoldHighlightClass);
}

function tomefoldMarkTextNode(textNode, lowerText) {
    var value = textNode.nodeValue;
    var lowerValue = value.toLowerCase();
    // A few letters change length in lower case; such text is searched as it stands.
    if (lowerValue.length !== value.length)
        lowerValue = value;
    var at = lowerValue.indexOf(lowerText);
    if (at < 0)
        return;
    var parent = textNode.parentNode;
    var fragment = document.createDocumentFragment();
    var start = 0;
    while (at >= 0) {
        fragment.appendChild(document.createTextNode(value.substring(start, at)));
        var mark = document.createElement("span");
        mark.className = tomefoldHighlightClass;
        mark.style.backgroundColor = "yellow";
        mark.style.color = "black";
        mark.appendChild(document.createTextNode(value.substr(at, lowerText.length)));
        fragment.appendChild(mark);
        start = at + lowerText.length;
        at = lowerValue.indexOf(lowerText, start);
    }
    fragment.appendChild(document.createTextNode(value.substring(start)));
    parent.replaceChild(fragment, textNode);
}

function tomefoldCollectTextNodes(node, found) {
    if (node.nodeType === Node.TEXT_NODE) {
        found.push(node);
        return;
    }
    if (node.nodeType !== Node.ELEMENT_NODE)
        return;
    var name = node.nodeName.toLowerCase();
    if (name === "script" || name === "style" || name === "noscript" || name === "textarea")
        return;
    for (var child = node.firstChild; child; child = child.nextSibling)
        tomefoldCollectTextNodes(child, found);
}

function highlight(node, text) {
    removeHighlight();
    if (!node || !text)
        return 0;
    var lowerText = String(text).toLowerCase();
    var textNodes = [];
    tomefoldCollectTextNodes(node, textNodes);
    for (var i = 0; i < textNodes.length; ++i)
        tomefoldMarkTextNode(textNodes[i], lowerText);
    return tomefoldHighlights().length;
}

function removeHighlight() {
    var marks = Array.prototype.slice.call(tomefoldHighlights());
    for (var i = 0; i < marks.length; ++i) {
        var mark = marks[i];
        var parent = mark.parentNode;
        parent.replaceChild(document.createTextNode(mark.textContent), mark);
        parent.normalize();
    }
    tomefoldHighlightIndex = -1;
}

function scrollToHighlight(direction) {
    var marks = tomefoldHighlights();
    if (marks.length === 0)
        return -1;
    if (tomefoldHighlightIndex >= 0 && tomefoldHighlightIndex < marks.length) {
        marks[tomefoldHighlightIndex].classList.remove(tomefoldCurrentClass);
        marks[tomefoldHighlightIndex].style.backgroundColor = "yellow";
    }
    var step = direction < 0 ? -1 : 1;
    if (tomefoldHighlightIndex < 0 || tomefoldHighlightIndex >= marks.length)
        tomefoldHighlightIndex = step > 0 ? 0 : marks.length - 1;
    else
        tomefoldHighlightIndex = (tomefoldHighlightIndex + step + marks.length) % marks.length;
    var current = marks[tomefoldHighlightIndex];
    current.classList.add(tomefoldCurrentClass);
    current.style.backgroundColor = "orange";
    current.scrollIntoView({block: "center"});
    return tomefoldHighlightIndex;
}
