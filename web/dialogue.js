// The page's side of the dialogue: sends what the user typed to the Web Worker
// (worker.js, in pigreco-worker.js) and shows its answer exactly as the
// console program prints it, with progress during a long sum, which the user
// may stop: the workers are then ended and fresh ones started. Beneath a result
// it explains the digits (closeness.js) and charts the sum's way toward π
// (chart.js); the address keeps the count (address.js). A second worker sums
// the same terms as a plain double loop does, for the comparison.
'use strict';
(function () {
  var closeness = pigrecoCloseness;
  var form = document.getElementById('dialogue');
  var prompt = document.getElementById('prompt');
  var field = document.getElementById('count');
  var start = document.getElementById('start');
  var stop = document.getElementById('stop');
  var progressArea = document.getElementById('progress-area');
  var progress = document.getElementById('progress');
  var progressText = document.getElementById('progress-text');
  var answer = document.getElementById('answer');
  var explanation = document.getElementById('explanation');
  var creeping = document.getElementById('creeping');
  var chart = pigrecoChart.create(document.getElementById('chart'), document.getElementById('checkpoints'));

  // A Worker from the text of the function that pigreco-worker.js defines: a
  // page opened from a file may not start one from a script file.
  var workerUrl = URL.createObjectURL(
    new Blob(['(' + pigrecoWorker.toString() + ')();'], {type: 'text/javascript'}));
  var worker = null;      // the program's sum
  var ready = false;      // the worker is there to take a count
  var running = false;    // and sums one, or will as soon as it is ready
  var waiting = null;     // what the user typed before it was ready
  var charted = false;    // the chart shows the running sum
  var sumId = 0;          // of the sum asked for last, which the workers' answers name
  var result = null;      // the program's answer to it, until the double-only sum joins it
  var side = null;        // the double-only sum's worker
  var sideReady = false;  // is there to take a count
  var sideBusy = false;   // sums one
  var sideWaiting = null; // the message for it when it is ready
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

  function hideExplanation() {
    explanation.hidden = true;
    creeping.hidden = true;
    charted = false;
  }

  function startChart(terms) {
    creeping.hidden = false;
    chart.begin(terms);
    charted = true;
  }

  function setText(id, text) {
    document.getElementById(id).textContent = text;
  }

  // `digits` with its first `agreeing` digits marked.
  function showDigits(id, digits, agreeing) {
    var cell = document.getElementById(id);
    var marked = closeness.agreeingPrefixLength(digits, agreeing);
    cell.textContent = '';
    if (marked > 0) cell.appendChild(document.createElement('mark')).textContent = digits.slice(0, marked);
    cell.appendChild(document.createTextNode(digits.slice(marked)));
  }

  function explain(result, doubleOnly) {
    var digits = result.answer.trim().split(' ').pop();
    var agreeing = closeness.agreeingDigits(digits);
    showDigits('result-digits', digits, agreeing);
    showDigits('pi-digits', closeness.piDigits, agreeing);
    setText('agreeing', agreeing === 0 ? 'Nessuna cifra coincide con quelle di π.'
                        : agreeing === 1 ? 'La prima cifra coincide con quella di π (evidenziata).'
                        : 'Le prime ' + agreeing + ' cifre coincidono con quelle di π (evidenziate).');
    var n = Math.max(result.count, 0);
    var difference = closeness.differenceFromPi(result.sum);
    var estimate = n > 0 ? closeness.estimatedDifference(n) : 0;
    // Both in the estimate's power of ten, so that their digits line up.
    var exponent = n > 0 ? Math.floor(Math.log10(Math.abs(estimate))) : 0;
    setText('difference', closeness.scientific(difference, exponent, 8));
    document.getElementById('estimate-row').hidden = n === 0;
    if (n > 0) {
      setText('estimate-formula', (estimate < 0 ? '−' : '') + '1/' + n);
      setText('estimate', closeness.scientific(estimate, exponent, 8));
      setText('estimate-words', 'Dopo n termini la serie dista da π circa 1/n: π − risultato ha il segno del ' +
              'termine successivo (qui il termine numero ' + numbers.format(n + 1) + ', ' +
              (n % 2 === 0 ? 'positivo' : 'negativo') + ').');
    } else {
      setText('estimate-words', 'Nessun termine sommato: il risultato è 0 e dista da π quanto π stesso.');
    }

    setText('double-only-digits', doubleOnly.digits);
    setText('program-digits', digits);
    var ulps = closeness.ulpsBetween(result.sum, doubleOnly.sum);
    var nearer = Math.abs(difference) < Math.abs(closeness.differenceFromPi(doubleOnly.sum));
    setText('double-only-distance', ulps === 0 ? 'Qui i due valori coincidono.'
            : 'I due valori distano ' + numbers.format(ulps) + ' ulp (unità nell’ultima cifra binaria del double); ' +
              'più vicino a π è ' + (nearer ? 'il risultato del programma.' : 'il valore con i soli double.'));
    explanation.hidden = false;
  }

  // The double-only sum has a worker of its own, which sums once the
  // program's sum is done: it then costs that sum no time, even where the two
  // would share a processor core, and the explanation follows the result
  // after about a tenth of the sum's time.
  function startSide() {
    if (side !== null) side.terminate();
    var own = new Worker(workerUrl);
    side = own;
    sideReady = sideBusy = false;
    sideWaiting = null;
    own.onmessage = function (event) {
      if (own !== side) return;
      var message = event.data;
      if ('ready' in message) {
        sideReady = true;
        if (sideWaiting !== null) askSide(sideWaiting);
      } else {
        sideBusy = false;
        if (message.id === sumId && result !== null && result.id === message.id) explain(result, message.doubleOnly);
      }
    };
  }

  function askSide(request) {
    if (!sideReady) {
      sideWaiting = request;
      return;
    }
    sideWaiting = null;
    sideBusy = true;
    side.postMessage(request);
  }

  function send(typed) {
    ++sumId;
    result = null;
    // The double-only sum of an earlier count is of no more use.
    if (sideBusy) startSide();
    worker.postMessage({typed: typed, id: sumId});
  }

  function startWorkers() {
    var own = new Worker(workerUrl);
    worker = own;
    function onReady() {
      ready = true;
      // Only now, so as not to slow the first worker's start.
      startSide();
      start.disabled = running;
      if (waiting !== null) {
        send(waiting);
        waiting = null;
      }
    }
    own.onmessage = function (event) {
      // A stopped worker's messages already on their way are not the page's.
      if (own !== worker) return;
      var message = event.data;
      if ('ready' in message) {
        prompt.textContent = message.ready;
        field.disabled = false;
        onReady();
      } else if ('progress' in message) {
        var done = message.progress[0], total = message.progress[1];
        progress.value = done / total;
        progressText.textContent = 'Termini sommati: ' + numbers.format(done) + ' di ' + numbers.format(total);
        if (!charted) startChart(total);
        chart.add(message.points);
      } else if ('answer' in message) {
        setRunning(false);
        show(message.answer, message.error);
        if (message.error) {
          hideExplanation();
          pigrecoAddress.forget();
        } else {
          pigrecoAddress.keep(message.count);
          // The result line first, on the screen at once; what explains it
          // in a task of its own, unless another sum has begun meanwhile.
          setTimeout(function () {
            if (message.id !== sumId || running) return;
            if (!charted && message.count > 0) startChart(message.count);
            chart.add(message.points);
            chart.finish();
            result = message;
            askSide({typed: String(message.count), id: message.id, doubleOnly: true});
          }, 0);
        }
        field.focus();
      }
    };
    own.onerror = function (event) {
      if (own !== worker) return;
      setRunning(false);
      show('Errore: ' + event.message, true);
    };
  }

  function run(typed) {
    setRunning(true);
    progress.value = 0;
    progressText.textContent = '';
    show('', false);
    hideExplanation();
    if (ready) send(typed);
    else waiting = typed; // sent as soon as the workers are ready
    // The button that stops is where the keyboard is during the sum.
    stop.focus();
  }

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (!running && !field.disabled) run(field.value);
  });

  stop.addEventListener('click', function () {
    if (!running) return;
    worker.terminate();
    if (side !== null) side.terminate();
    side = null;
    ready = false;
    waiting = null;
    setRunning(false);
    hideExplanation();
    show('Calcolo interrotto.', false);
    startWorkers();
    field.focus();
  });

  // A link with a count: run it, as if typed, once the worker is ready.
  function runFromAddress() {
    var count = pigrecoAddress.countToRun();
    if (count === null || running) return;
    field.value = count;
    run(count);
  }
  window.addEventListener('hashchange', runFromAddress);

  startWorkers();
  runFromAddress();
})();
