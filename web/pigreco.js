// The page's side of the dialogue: sends what the user typed to the Web Worker
// (worker.js, in pigreco-worker.js) and shows its answer exactly as the
// console program prints it, with progress during a long sum, which the user
// may stop: the worker is then ended and a fresh one started.
'use strict';
(function () {
  var form = document.getElementById('dialogue');
  var prompt = document.getElementById('prompt');
  var field = document.getElementById('count');
  var start = document.getElementById('start');
  var stop = document.getElementById('stop');
  var progressArea = document.getElementById('progress-area');
  var progress = document.getElementById('progress');
  var progressText = document.getElementById('progress-text');
  var answer = document.getElementById('answer');

  // A Worker from the text of the function that pigreco-worker.js defines: a
  // page opened from a file may not start one from a script file.
  var workerUrl = URL.createObjectURL(
    new Blob(['(' + pigrecoWorker.toString() + ')();'], {type: 'text/javascript'}));
  var worker = null;
  var ready = false;   // the worker is there to take a count
  var running = false; // and sums one
  var numbers = new Intl.NumberFormat('it-IT');

  function show(text, isError) {
    answer.textContent = text;
    answer.classList.toggle('error', isError);
  }

  function setRunning(now) {
    running = now;
    field.readOnly = now;
    start.disabled = now || !ready;
    stop.hidden = !now;
    progressArea.hidden = !now;
  }

  function startWorker() {
    worker = new Worker(workerUrl);
    worker.onmessage = function (event) {
      var message = event.data;
      if ('ready' in message) {
        ready = true;
        prompt.textContent = message.ready;
        field.disabled = false;
        start.disabled = running;
      } else if ('progress' in message) {
        var done = message.progress[0], total = message.progress[1];
        progress.value = done / total;
        progressText.textContent = 'Termini sommati: ' + numbers.format(done) + ' di ' + numbers.format(total);
      } else if ('answer' in message) {
        setRunning(false);
        show(message.answer, message.error);
        field.focus();
      }
    };
    worker.onerror = function (event) {
      setRunning(false);
      show('Errore: ' + event.message, true);
    };
  }

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (running || !ready) return;
    setRunning(true);
    progress.value = 0;
    progressText.textContent = '';
    show('', false);
    worker.postMessage({typed: field.value});
    // The button that stops is where the keyboard is during the sum.
    stop.focus();
  });

  stop.addEventListener('click', function () {
    if (!running) return;
    worker.terminate();
    ready = false;
    setRunning(false);
    show('Calcolo interrotto.', false);
    startWorker();
    field.focus();
  });

  startWorker();
})();
