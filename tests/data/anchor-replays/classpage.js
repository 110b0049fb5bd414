// Writes an imaginary library's class reference in the shape C++ documentation generators give
// it: a table of the declarations, then each member as an empty name, a heading floated above its
// box ("[n/m]" tells overloads apart) and a box whose signature is painted with a shadow. The
// shape (how many members and overloads, how long signatures and texts are) follows from a seed,
// so that one line of a page picks where its page breaks fall.
function writeClassPage(seed) {
  var state = seed >>> 0;
  function random(n) { // 0 .. n-1
    state = (state * 1103515245 + 12345) >>> 0;
    return (state >>> 8) % n;
  }
  function pick(list) { return list[random(list.length)]; }
  function escape(text) { return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;'); }
  var nouns = ['stroke', 'brush', 'sheet', 'nib', 'ink', 'blot', 'wash', 'margin', 'layer', 'trail'];
  var verbs = ['draws', 'lifts', 'turns', 'thins', 'holds', 'joins', 'spreads', 'clears'];
  var cls = 'quill::' + pick(nouns) + '_' + pick(['adaptor', 'signal', 'relay', 'holder', 'tracker']);
  // One in three pages documents the form with every argument kind left empty: its overloads'
  // signatures repeat the same words for longer than runs of words are compared.
  var empty = random(3) === 0;
  var kinds = ['T_result'];
  for (var k = 1; k <= (empty ? 14 : 7); ++k)
    kinds.push(!empty && random(3) === 0 ? 'T_arg' + k : 'none');
  var full = cls + '< ' + kinds.join(', ') + ' >';
  function sentence() {
    var words = ['The', pick(nouns), pick(verbs), 'the', pick(nouns)];
    for (var n = random(14); n > 0; --n)
      words.push(pick(['and', 'then', 'its', 'each', 'once', 'every']), pick(nouns));
    return words.join(' ') + '.';
  }
  function text(sentences) {
    var list = [];
    for (var n = 0; n < sentences; ++n)
      list.push(sentence());
    return list.join(' ');
  }
  function params(count) {
    var list = [];
    for (var i = 1; i <= count; ++i)
      list.push([!empty && random(2) ? 'type_trait_take_t< T_arg' + i + ' >' : 'const ' + full + ' &', '_A_' + pick(nouns) + i]);
    return list;
  }
  function prototype(name, list) {
    var rows = list.map(function (p, i) {
      return '<tr><td class="paramkey"></td><td>' + (i === 0 ? '(' : '') + '</td><td class="paramtype">' +
        escape(p[0]) + '&#160;</td><td class="paramname"><em>' + p[1] + '</em>' +
        (i + 1 < list.length ? ', ' : '&#160;') + '</td></tr>';
    }).join('');
    return '<table class="memname"><tr><td class="memname">' + escape(name) + '</td>' +
      (list.length ? '</tr>' + rows + '<tr><td></td><td>)</td><td></td><td></td></tr>'
                   : '<td>(</td><td class="paramname"></td><td>)</td></tr>') + '</table>';
  }
  // Overloads that take one more tracked object each: their signatures and template lines read
  // alike for longer and longer.
  var growing = !empty && random(2) === 1;
  // Or many short members whose texts repeat stock sentences word for word, several headings to
  // a page.
  var stock = !empty && !growing && random(2) === 1;
  var stockSentences = ['Adds a stroke to the path from the current point to the point given.',
                        'Moves the current point of the path without drawing.',
                        'Gives back the sheet the path is drawn on, or nothing once it is closed.',
                        'Closes the path with a stroke back to where it began.'];
  function tracked(count) {
    var list = [['const T_functor &', '_A_func']];
    for (var i = 1; i <= count; ++i)
      list.push(['const T_obj' + i + ' &', '_A_obj' + i]);
    return list;
  }
  function templateLine(list) {
    return 'template&lt;' + (list.length ? list.map(function (p, i) {
      return 'typename ' + (i ? 'T_obj' + i : 'T_functor');
    }).join(' , ') : 'class T_result') + ' &gt;';
  }
  var serial = 0;
  var declarations = '';
  var docs = '';
  for (var groups = stock ? 10 + random(12) : (growing ? 4 : 3) + random(growing ? 8 : 5); groups > 0; --groups) {
    var title = pick(verbs).replace(/s$/, '') + '_' + pick(nouns);
    var count = stock ? pick([1, 1, 1, 2]) : growing ? 2 + random(6) : pick([1, 1, 2, 3, 3, 4, 8]);
    // A growing family's overloads share one long text and example, nearly a page each.
    var shared = '';
    if (growing) {
      shared = text(6 + random(8)) + '</p><p>Example:</p><pre>';
      for (var line = 4 + random(8); line > 0; --line)
        shared += 'quill::' + title + '(' + pick(nouns) + ', ' + pick(nouns) + ');  // ' + sentence() + '\n';
      shared += '</pre><p>' + text(2 + random(3));
    }
    if (!stock || groups % 6 === 0)
      docs += '<h2 class="groupheader">' + pick(['Member Function Documentation', 'Constructor Documentation',
                                               'Member Data Documentation']) + '</h2>';
    for (var i = 0; i < count; ++i) {
      serial += 1;
      var id = 'a' + ((seed * 7919 + serial * 2654435761) >>> 0).toString(16) + serial;
      var list = growing ? tracked(i + 1) : params(random(4));
      declarations += '<tr><td class="memItemLeft">result_type&#160;</td><td class="memItemRight"><a href="#' + id +
        '">' + title + '</a> (' + list.map(function (p) { return escape(p[0] + ' ' + p[1]); }).join(', ') + ')</td></tr>';
      docs += '<a id="' + id + '" name="' + id + '"></a><h2 class="memtitle"><span class="permalink"><a href="#' + id +
        '">&#9670;&#160;</a></span>' + title + '()' +
        (count > 1 ? ' <span class="overload">[' + (i + 1) + '/' + count + ']</span>' : '') + '</h2>' +
        '<div class="memitem"><div class="memproto"><div class="memtemplate">' + (growing ? templateLine(list) : 'template &lt;class T_result&gt;') + '</div>' +
        '<table class="mlabels"><tr><td class="mlabels-left">' + prototype(full + '::' + title, list) +
        '</td><td class="mlabels-right"><span class="mlabel">inline</span></td></tr></table></div>' +
        '<div class="memdoc"><p>' + (stock ? pick(stockSentences) + (random(2) ? ' ' + text(1) : '') : growing ? shared : text(1 + random(4))) + '</p>' +
        (list.length ? '<dl class="params"><dt>Parameters</dt><dd><table class="params">' +
          list.map(function (p) { return '<tr><td class="paramname">' + p[1] + '</td><td>' + text(1) + '</td></tr>'; }).join('') +
          '</table></dd></dl>' : '') +
        (random(2) ? '<dl class="section return"><dt>Returns</dt><dd>' + text(1) + '</dd></dl>' : '') + '</div></div>';
    }
  }
  var intro = '';
  for (var p = 1 + random(5); p > 0; --p)
    intro += '<p>' + text(2 + random(4)) + '</p>';
  document.getElementById('contents').innerHTML =
    '<div class="headertitle"><div class="title">' + escape(full) + ' Class Reference</div></div>' +
    '<table class="memberdecls"><tr class="heading"><td colspan="2"><h2 class="groupheader">' +
    '<a id="pub-methods" name="pub-methods"></a>Public Member Functions</h2></td></tr>' + declarations + '</table>' +
    '<a name="details" id="details"></a><h2 class="groupheader">Detailed Description</h2><div class="textblock">' +
    intro + '</div>' + docs;
}
