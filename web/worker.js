// The Web Worker's side of the page (pigreco.js is the page's side): built
// into pigreco-worker.js by Emscripten (--pre-js, web/CMakeLists.txt), where it
// sees the module of web/engine.cpp. The page runs two: one sums as the
// program does, the other, for comparison, as a plain double loop does.
//
// Messages to the page: {ready: prompt} once the module runs; then, for each
// {typed: text, id} it is sent, {progress: [done, total], points} now and
// then during a long sum and at last {answer: line, error: whether it is an
// error message} with, for a result, {count, sum, points}. points are the
// checkpoints [terms summed, the program's sum then] passed since the last
// message: every power of two up to the count, every progress message's
// place, and the count. For {typed, id, doubleOnly: true} it sends only
// {doubleOnly: {sum, digits} or null for an error, id} at the end. The page
// stops a sum by ending the workers.

// Terms between two progress messages: about a twentieth of a second. A power
// of two, so that the checkpoints before the first message are the powers of
// two and those after it include them.
var pigrecoPiece = 1 << 20;

Module['onRuntimeInitialized'] = function () {
  var begin = Module['cwrap']('pigreco_begin', 'number', ['string']);
  var advance = Module['cwrap']('pigreco_advance', 'number', ['number']);
  var advanceDoubleOnly = Module['cwrap']('pigreco_advance_double_only', 'number', ['number']);
  var answer = Module['cwrap']('pigreco_answer', 'string', []);
  var count = Module['cwrap']('pigreco_count', 'number', []);
  var sum = Module['cwrap']('pigreco_sum', 'number', []);
  var doubleOnlySum = Module['cwrap']('pigreco_double_only_sum', 'number', []);
  var doubleOnlyDigits = Module['cwrap']('pigreco_double_only_digits', 'string', []);

  // Where the sum stops next: doubling up to the first piece, then piece by piece.
  function nextStop(done, total) {
    return Math.min(total, done < pigrecoPiece ? Math.max(1, 2 * done) : done + pigrecoPiece);
  }

  // In pieces too: a WebAssembly call runs to its end in the code it began
  // in, and only the later calls run optimised code.
  function sumDoubleOnly(id, total) {
    if (total < 0) {
      self.postMessage({doubleOnly: null, id: id});
      return;
    }
    for (var done = advanceDoubleOnly(0); done < total;) done = advanceDoubleOnly(pigrecoPiece);
    self.postMessage({doubleOnly: {sum: doubleOnlySum(), digits: doubleOnlyDigits()}, id: id});
  }

  self.onmessage = function (event) {
    var id = event.data.id;
    var total = begin(String(event.data.typed));
    if (event.data.doubleOnly) {
      sumDoubleOnly(id, total);
      return;
    }
    if (total < 0) {
      self.postMessage({answer: answer(), error: true, id: id});
      return;
    }
    var points = [];
    // Once even for no terms at all: the last step makes the answer.
    var done = advance(nextStop(0, total));
    if (done > 0) points.push([done, sum()]);
    while (done < total) {
      if (done % pigrecoPiece === 0) {
        self.postMessage({progress: [done, total], points: points, id: id});
        points = [];
      }
      done = advance(nextStop(done, total) - done);
      points.push([done, sum()]);
    }
    self.postMessage({answer: answer(), error: false, count: count(), sum: sum(), points: points, id: id});
  };
  self.postMessage({ready: Module['cwrap']('pigreco_prompt', 'string', [])()});
};
