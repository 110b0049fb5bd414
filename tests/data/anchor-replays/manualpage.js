// Writes an imaginary C library's manual page in the shape its documentation tools give it: each
// function an empty name before its heading, a signature box, a parameter table whose last cells
// hold annotations, and a "Returns" part. The shape follows from a seed, as in classpage.js.
function writeManualPage(seed) {
  var state = seed >>> 0;
  function random(n) {
    state = (state * 1103515245 + 12345) >>> 0;
    return (state >>> 8) % n;
  }
  function pick(list) { return list[random(list.length)]; }
  var nouns = ['stroke', 'brush', 'sheet', 'nib', 'ink', 'blot', 'wash', 'margin', 'layer', 'trail'];
  var verbs = ['draws', 'lifts', 'turns', 'thins', 'holds', 'joins', 'spreads', 'clears'];
  var notes = [['not optional', 'The value must be given.'], ['taken over', 'The callee takes the value over.'],
               ['list of strokes', 'Points to several values.'], ['written out', 'Written by the call.']];
  function annotation(note) {
    return '<span class="annotation">[<acronym title="' + note[1] + '"><span class="acronym">' + note[0] +
           '</span></acronym>]</span>';
  }
  function sentence() {
    var words = ['A', pick(nouns), 'that', pick(verbs), 'the', pick(nouns)];
    for (var n = random(12); n > 0; --n)
      words.push(pick(['and', 'with', 'its', 'each', 'once']), pick(nouns));
    return words.join(' ') + '.';
  }
  function text(sentences) {
    var list = [];
    for (var n = 0; n < sentences; ++n)
      list.push(sentence());
    return list.join(' ');
  }
  var prefix = 'ql_' + pick(nouns);
  var html = '<div class="refsect1"><a name="' + prefix + '.description"></a><h2>Description</h2><p>' + text(3 + random(5)) +
             '</p></div><div class="refsect1"><a name="' + prefix + '.functions_details"></a><h2>Functions</h2>';
  for (var f = 8 + random(12); f > 0; --f) {
    var name = prefix + '_' + pick(verbs).replace(/s$/, '') + '_' + pick(nouns) + (random(3) ? '' : '_full');
    var id = name.replace(/_/g, '-') + '-' + f;
    var params = [];
    for (var p = 1 + random(6); p > 0; --p)
      params.push([pick(['QlStroke *', 'QlSheet *', 'qlpointer ', 'int ', 'const char *']), pick(nouns) + (p > 1 ? '_' + p : '')]);
    var indent = new Array(name.length + 3).join(' ');
    // The annotations only a wide screen shows are printed, and the last parameter's may read like
    // the end of the text after "Returns", which shows its annotation in the text itself.
    var lastIndex = params.length - 1;
    var lastNote = pick(notes);
    html += '<div class="refsect2"><a name="' + id + '"></a><h3>' + name + ' ()</h3>' +
      '<pre class="programlisting"><span class="returnvalue">' + pick(['void', 'qlboolean', 'QlStroke *']) + '</span>\n' +
      name + ' (' + params.map(function (q) {
        return '<em class="parameter"><code><span class="type">' + q[0] + '</span>' + q[1] + '</code></em>';
      }).join(',\n' + indent) + ');</pre><p>' + text(1 + random(4)) + '</p>' +
      '<div class="refsect3"><a name="' + id + '.parameters"></a><h4>Parameters</h4>' +
      '<div class="informaltable"><table class="informaltable" width="100%" border="0"><colgroup>' +
      '<col width="150px" class="parameters_name"><col class="parameters_description">' +
      '<col width="200px" class="parameters_annotations"></colgroup><tbody>' +
      params.map(function (q, index) {
        var note = index === lastIndex ? lastNote : random(2) ? pick(notes) : null;
        return '<tr><td class="parameter_name"><p>' + q[1] + '</p></td><td class="parameter_description"><p>' +
          text(1) + '</p></td><td class="parameter_annotations">' + (note ? annotation(note) : ' ') + '</td></tr>';
      }).join('') + '</tbody></table></div></div>' +
      (random(2) ? '<div class="refsect3"><a name="' + id + '.returns"></a><h4>Returns</h4><p>' + text(1) + ' ' + annotation(lastNote) + '</p></div>' : '') +
      '</div><hr>';
  }
  document.getElementById('entry').insertAdjacentHTML('beforeend', html + '</div>');
}
