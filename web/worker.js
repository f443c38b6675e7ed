// The Web Worker's side of the page (pigreco.js is the page's side): built
// into pigreco-worker.js by Emscripten (--pre-js, web/CMakeLists.txt), where it
// sees the module of web/engine.cpp.
//
// Messages to the page: {ready: prompt} once the module runs; then, for each
// {typed: text} it is sent, {progress: [done, total]} now and then during a
// long sum and at last {answer: line, error: whether it is an error message}.
// The page stops a sum by ending the worker.

// Terms between two progress messages: about a twentieth of a second.
var pigrecoPiece = 1 << 20;

Module['onRuntimeInitialized'] = function () {
  var begin = Module['cwrap']('pigreco_begin', 'number', ['string']);
  var advance = Module['cwrap']('pigreco_advance', 'number', ['number']);
  var answer = Module['cwrap']('pigreco_answer', 'string', []);
  self.onmessage = function (event) {
    var total = begin(String(event.data.typed));
    if (total < 0) {
      self.postMessage({answer: answer(), error: true});
      return;
    }
    var done = advance(pigrecoPiece);
    while (done < total) {
      self.postMessage({progress: [done, total]});
      done = advance(pigrecoPiece);
    }
    self.postMessage({answer: answer(), error: false});
  };
  self.postMessage({ready: Module['cwrap']('pigreco_prompt', 'string', [])()});
};
