// The Web Worker's side of the page (pigreco.js is the page's side): built
// into pigreco-worker.js by Emscripten (--pre-js, web/CMakeLists.txt), where it
// sees the module of web/engine.cpp.
//
// Messages to the page: {ready: prompt} once the module runs; then, for each
// {typed: text} it is sent, {progress: [done, total], points} now and then
// during a long sum and at last {answer: line, error: whether it is an error
// message} with, for a result, {count, sum, doubleOnly: {sum, digits}, points}.
// points are the checkpoints [terms summed, the program's sum then] passed
// since the last message: every power of two up to the count, every progress
// message's place, and the count. The page stops a sum by ending the worker.

// Terms between two progress messages: about a twentieth of a second. A power
// of two, so that the checkpoints before the first message are the powers of
// two and those after it include them.
var pigrecoPiece = 1 << 20;

Module['onRuntimeInitialized'] = function () {
  var begin = Module['cwrap']('pigreco_begin', 'number', ['string']);
  var advance = Module['cwrap']('pigreco_advance', 'number', ['number']);
  var answer = Module['cwrap']('pigreco_answer', 'string', []);
  var count = Module['cwrap']('pigreco_count', 'number', []);
  var sum = Module['cwrap']('pigreco_sum', 'number', []);
  var doubleOnlySum = Module['cwrap']('pigreco_double_only_sum', 'number', []);
  var doubleOnlyDigits = Module['cwrap']('pigreco_double_only_digits', 'string', []);

  // Where the sum stops next: doubling up to the first piece, then piece by piece.
  function nextStop(done, total) {
    return Math.min(total, done < pigrecoPiece ? Math.max(1, 2 * done) : done + pigrecoPiece);
  }

  self.onmessage = function (event) {
    var total = begin(String(event.data.typed));
    if (total < 0) {
      self.postMessage({answer: answer(), error: true});
      return;
    }
    var points = [];
    // Once even for no terms at all: the last step makes the answer.
    var done = advance(nextStop(0, total));
    if (done > 0) points.push([done, sum()]);
    while (done < total) {
      if (done % pigrecoPiece === 0) {
        self.postMessage({progress: [done, total], points: points});
        points = [];
      }
      done = advance(nextStop(done, total) - done);
      points.push([done, sum()]);
    }
    self.postMessage({answer: answer(), error: false, count: count(), sum: sum(),
                      doubleOnly: {sum: doubleOnlySum(), digits: doubleOnlyDigits()}, points: points});
  };
  self.postMessage({ready: Module['cwrap']('pigreco_prompt', 'string', [])()});
};
