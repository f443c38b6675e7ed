// The page in headless Chromium (Debian's, driven by puppeteer-core), opened
// from its folder as a file and from a static server on 127.0.0.1:
//   node page_test.js PAGE_FOLDER NATIVE_PIGRECO [SCREENSHOT_FOLDER]
// Each count typed must show, byte for byte, what the console program
// NATIVE_PIGRECO prints for it after its prompt (its result on standard
// output, its error message on standard error), and beneath a result what
// its digits mean, the double-only sum as a plain double loop in Python
// computes it, and the chart of the sum's way toward π. A long sum must show
// its progress moving, leave the page responsive and stop from the keyboard;
// a stopped sum must send nothing more, and a count typed right after Stop
// must run. A link with #n= must run its count. axe-core must find nothing.
// With SCREENSHOT_FOLDER, the page after a result at desktop and at phone
// width goes there (desktop.png, phone.png), to be looked at.
'use strict';
const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const url = require('node:url');
const puppeteer = require('puppeteer-core');

const [folder, nativeProgram, screenshots] = process.argv.slice(2);
if (!folder || !nativeProgram) {
  console.error('usage: node page_test.js PAGE_FOLDER NATIVE_PIGRECO [SCREENSHOT_FOLDER]');
  process.exit(2);
}

// What is typed, and for a result how many of its leading digits are π's
// (3.1415926535897932384...): 3.1405926538397901382 for 1000 has three.
const typed = [
  {line: '0', agreeing: 0}, {line: '1', agreeing: 0}, {line: '2', agreeing: 0}, {line: '3', agreeing: 1},
  {line: '10', agreeing: 1}, {line: '100', agreeing: 2}, {line: '1000', agreeing: 3}, {line: '-7', agreeing: 0},
  {line: '3000000', agreeing: 7}, {line: 'abc'}, {line: '2147483648'},
];
const piDigits = '3.1415926535897932384';
// The double-only sums of a table of well-known values, in their shortest form:
// the Python loop below must agree with them before the page is held to it.
const knownDoubleOnly = {1: '4', 2: '2.666666666666667', 3: '3.466666666666667', 10: '3.0418396189294032',
                         100: '3.1315929035585537', 1000: '3.140592653839794'};

// What the console program prints for a line typed: its prompt, and what follows.
function consoleAnswer(line) {
  const run = childProcess.spawnSync(nativeProgram, [], {input: line + '\n'});
  const out = run.stdout.toString('utf8');
  const prompt = 'Inserisci il numero di iterazioni: ';
  assert.ok(out.startsWith(prompt), `${nativeProgram} printed ${JSON.stringify(out)}`);
  const error = run.status !== 0;
  return {prompt, text: error ? run.stderr.toString('utf8') : out.slice(prompt.length), error};
}

// The sum of `count` terms as a plain double loop computes it: every term and
// every sum rounded to double.
function plainDoubleSum(count) {
  let sum = 0;
  for (let i = 0; i < count; ++i) sum += (i % 2 === 0 ? 4 : -4) / (2 * i + 1);
  return sum;
}

// For each count, the program's digits for it and the plain double loop's
// sum: that sum as %.20g prints it, its distance in ulps from the program's
// sum, which of the two is nearer π, and the program's sum minus π.
const oracle = String.raw`
import json, struct, sys
from decimal import Decimal, getcontext
getcontext().prec = 60
pi = Decimal('3.14159265358979323846264338327950288419716939937510582097494')
bits = lambda x: struct.unpack('<q', struct.pack('<d', x))[0]
out = {}
for count, (digits, shortest) in json.loads(sys.argv[1]).items():
    program, s = float(digits), float(shortest)
    gap_program, gap_double = abs(Decimal(program) - pi), abs(Decimal(s) - pi)
    out[count] = {'digits': '%.20g' % s, 'ulps': abs(bits(program) - bits(s)),
                  'nearer': 'same' if s == program else 'program' if gap_program < gap_double else 'double',
                  'difference': float(Decimal(program) - pi)}
print(json.dumps(out))
`;

// The oracle for each count and the program's answer to it.
function doubleOnlyOracle(counts, answers) {
  const given = {};
  counts.forEach((count, i) => {
    const shortest = String(plainDoubleSum(count));
    if (count in knownDoubleOnly) assert.equal(shortest, knownDoubleOnly[count], `the plain double loop for ${count}`);
    given[count] = [answers[i].text.trim().split(' ').pop(), shortest];
  });
  const run = childProcess.spawnSync('python3', ['-c', oracle, JSON.stringify(given)]);
  assert.equal(run.status, 0, run.stderr.toString());
  return JSON.parse(run.stdout.toString());
}

// A static server for the folder, on a free port of 127.0.0.1 only.
function serve(root) {
  return new Promise((resolve, reject) => {
    const server = childProcess.spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1',
                                                  '--directory', root], {stdio: ['ignore', 'pipe', 'ignore']});
    server.on('error', reject);
    server.stdout.on('data', (data) => {
      const port = /port (\d+)/.exec(data.toString());
      if (port) resolve({server, base: `http://127.0.0.1:${port[1]}/`});
    });
  });
}

// Empties the field as a user would, whatever puppeteer's way with clicks.
async function clearField(page) {
  await page.focus('#count');
  await page.$eval('#count', (e) => e.select());
  await page.keyboard.press('Backspace');
}

async function answerOf(page, line) {
  await clearField(page);
  await page.type('#count', line);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('answer').textContent !== '' &&
                                    !document.getElementById('start').disabled);
  return page.$eval('#answer', (e) => ({text: e.textContent, error: e.classList.contains('error')}));
}

// What the page shows beneath the answer.
function explanationOf(page) {
  return page.evaluate(() => {
    const text = (id) => document.getElementById(id).textContent;
    const marked = (id) => { const mark = document.querySelector(`#${id} mark`); return mark ? mark.textContent : ''; };
    return {
      shown: !document.getElementById('explanation').hidden,
      resultDigits: text('result-digits'), piDigits: text('pi-digits'),
      markedResult: marked('result-digits'), markedPi: marked('pi-digits'), agreeing: text('agreeing'),
      difference: text('difference'), estimateShown: !document.getElementById('estimate-row').hidden,
      estimate: text('estimate'), doubleOnly: text('double-only-digits'), programDigits: text('program-digits'),
      distance: text('double-only-distance'), address: location.hash,
    };
  });
}

// "−0,99999975 × 10⁻³" as a number.
function italianScientific(text) {
  const superscripts = '⁰¹²³⁴⁵⁶⁷⁸⁹';
  const [mantissa, power] = text.split(' × ');
  const exponent = power ? Number(power.slice(2).replace('⁻', '-').replace(/[⁰-⁹¹²³]/g,
    (c) => String(superscripts.indexOf(c)))) : 0;
  return Number(mantissa.replace('−', '-').replace(',', '.')) * 10 ** exponent;
}

function checkExplanation(shown, line, agreeing, answer, expected, where) {
  const digits = answer.text.trim().split(' ').pop();
  const n = Math.max(Number(line), 0);
  assert.equal(shown.shown, true, `${where}: the explanation`);
  assert.equal(shown.resultDigits, digits, `${where}: the result's digits`);
  assert.equal(shown.piDigits, piDigits, `${where}: π's digits`);
  const agreeingWords = agreeing === 0 ? 'Nessuna cifra' : agreeing === 1 ? 'La prima cifra' : `Le prime ${agreeing} cifre`;
  assert.ok(shown.agreeing.startsWith(agreeingWords), `${where}: ${shown.agreeing}`);
  const prefix = piDigits.slice(0, agreeing + (agreeing > 1 ? 1 : 0));
  assert.deepEqual([shown.markedResult, shown.markedPi], [prefix, prefix], `${where}: the digits marked`);
  const difference = italianScientific(shown.difference);
  assert.ok(Math.abs(difference - expected.difference) <= 1e-7 * Math.abs(expected.difference),
            `${where}: result − π shown as ${shown.difference}, is ${expected.difference}`);
  assert.equal(shown.estimateShown, n > 0, `${where}: the estimate`);
  if (n > 0) {
    // The rest of the series after n terms is 1/n − 1/(4n³) + …, on the side
    // of the next term; the sum's roundings, half a unit of 2^-51 at most
    // each, may add to that.
    const estimate = italianScientific(shown.estimate);
    assert.ok(Math.sign(estimate) === Math.sign(difference) &&
              Math.abs(estimate - difference) <= Math.abs(estimate) / (2 * n * n) + n * 2 ** -52,
              `${where}: estimate ${shown.estimate} beside ${shown.difference}`);
  }
  assert.equal(shown.doubleOnly, expected.digits, `${where}: the double-only sum`);
  assert.equal(shown.programDigits, digits, `${where}: the program's digits beside it`);
  const distance = expected.nearer === 'same' ? 'Qui i due valori coincidono.'
    : `I due valori distano ${expected.ulps} ulp (unità nell’ultima cifra binaria del double); più vicino a π è ` +
      (expected.nearer === 'program' ? 'il risultato del programma.' : 'il valore con i soli double.');
  assert.equal(shown.distance, distance, `${where}: the distance between the two`);
  assert.equal(shown.address, `#n=${line}`, `${where}: the address`);
}

// The checkpoints of a sum of `count` terms: the powers of two up to it, the
// places of its progress messages (every 2^20 terms) and the count.
function checkpointsOf(count) {
  const places = new Set([count]);
  for (let n = 1; n <= count; n *= 2) places.add(n);
  for (let n = 1 << 20; n < count; n += 1 << 20) places.add(n);
  return [...places].sort((a, b) => a - b);
}

// The chart after a sum of `count` terms against the table beside it, and the
// table's sums against the series.
async function checkChart(page, count, where) {
  const chart = await page.evaluate(() => {
    const number = (element, name) => Number(element.getAttribute(name));
    const line = document.querySelector('#chart line.one-over-n');
    return {
      shown: !document.getElementById('creeping').hidden,
      rows: [...document.querySelectorAll('#checkpoints tr')].map((row) => [...row.cells].map((cell) => cell.textContent)),
      circles: [...document.querySelectorAll('#chart circle')].map((c) => [number(c, 'cx'), number(c, 'cy')]),
      line: ['x1', 'y1', 'x2', 'y2'].map((name) => number(line, name)),
    };
  });
  assert.ok(chart.shown, `${where}: the chart`);
  const ns = chart.rows.map((row) => Number(row[0].replaceAll('.', '')));
  assert.deepEqual(ns, checkpointsOf(count), `${where}: the table's checkpoints`);
  assert.equal(chart.circles.length, ns.length, `${where}: a point for each checkpoint`);
  // π = piHigh + piLow, so that sum − π is right to a few units of 10^-32.
  const piHigh = Math.PI, piLow = 1.2246467991473532e-16;
  const distances = chart.rows.map((row) => Math.abs((Number(row[1]) - piHigh) - piLow));
  ns.forEach((n, i) => {
    const sum = Number(chart.rows[i][1]);
    assert.equal(sum > Math.PI, n % 2 === 1, `${where}: the sum of ${n} terms is on the side of its last term`);
    // Below 1/n by 1/(4n³), far more than rounding, up to 2^10 terms; beyond,
    // by less than the sum's roundings (half a unit of 2^-51 at most each),
    // so there only about 1/n.
    if (n <= 1024) assert.ok(distances[i] < 1 / n, `${where}: |sum − π| ${distances[i]} at ${n}`);
    else assert.ok(Math.abs(distances[i] - 1 / n) < 1 / (2 * n ** 3) + n * 2 ** -52, `${where}: |sum − π| ${distances[i]} at ${n}`);
  });
  // Each point where log n and log |sum − π| put it, on the axes that the
  // first and the last point set; the 1/n line from (1, 1) to the last decade.
  const last = ns.length - 1;
  const position = (i, axis) => {
    const logs = axis === 0 ? ns.map(Math.log10) : distances.map(Math.log10);
    const scale = (chart.circles[last][axis] - chart.circles[0][axis]) / (logs[last] - logs[0]);
    return chart.circles[0][axis] + scale * (logs[i] - logs[0]);
  };
  ns.forEach((n, i) => {
    assert.ok(Math.abs(chart.circles[i][0] - position(i, 0)) < 0.02 && Math.abs(chart.circles[i][1] - position(i, 1)) < 0.02,
              `${where}: the point of ${n} terms at ${chart.circles[i]}`);
  });
  const [x1, y1, x2, y2] = chart.line;
  const lineAt = (x) => y1 + (y2 - y1) * (x - x1) / (x2 - x1);
  assert.equal(chart.circles[0][0], x1, `${where}: the chart starts at n = 1`);
  // One term: 4 − π = 0.858 against 1, a fifteenth of a decade below the line.
  assert.ok(chart.circles[0][1] > lineAt(chart.circles[0][0]) + 1, `${where}: the first point against 1/n`);
  assert.ok(Math.abs(chart.circles[last][1] - lineAt(chart.circles[last][0])) < 0.05,
            `${where}: the last point on 1/n`);
}

async function checkPage(browser, address, answers, tenMillion, expected) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(String(error)));
  page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
  await page.goto(address);
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  assert.equal(await page.$eval('#prompt', (e) => e.textContent), answers[0].prompt, `${address}: the prompt`);
  for (const [i, {line, agreeing}] of typed.entries()) {
    const where = `${address}: typed ${line}`;
    assert.deepEqual(await answerOf(page, line), {text: answers[i].text, error: answers[i].error}, where);
    // The double-only sum is summed once the result is there, and the explanation follows.
    if (!answers[i].error) await page.waitForFunction(() => !document.getElementById('explanation').hidden);
    const shown = await explanationOf(page);
    if (answers[i].error) assert.deepEqual([shown.shown, shown.address], [false, ''], `${where}: no explanation`);
    else checkExplanation(shown, line, agreeing, answers[i], expected[Number(line)], where);
  }

  // The largest count: progress moves while the page answers, the chart grows,
  // the keyboard stops it.
  await clearField(page);
  await page.type('#count', '2147483647');
  await page.keyboard.press('Enter');
  const progressNow = () => page.evaluate(() => ({value: document.getElementById('progress').value,
                                                  text: document.getElementById('progress-text').textContent,
                                                  points: document.querySelectorAll('#chart circle').length}));
  await page.waitForFunction(() => document.getElementById('progress').value > 0 &&
                                    document.querySelectorAll('#chart circle').length > 0);
  const first = await progressNow();
  const asked = Date.now();
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 600)));
  assert.ok(Date.now() - asked < 2000, `${address}: the page stalls during a sum`);
  const later = await progressNow();
  assert.ok(later.value > first.value && later.value < 1, `${address}: progress ${first.value}, then ${later.value}`);
  for (const shown of [first, later]) {
    const words = /^Termini sommati: (\d{1,3}(?:\.\d{3})*) di 2\.147\.483\.647$/.exec(shown.text);
    assert.ok(words, `${address}: progress text ${JSON.stringify(shown.text)}`);
    const done = Number(words[1].replaceAll('.', ''));
    assert.ok(done > 0 && done % 2 ** 20 === 0 && Math.abs(done / 2147483647 - shown.value) < 1e-9,
              `${address}: progress ${shown.text} beside ${shown.value}`);
  }
  assert.ok(later.points > first.points && first.points >= 21, `${address}: the chart's points ${first.points}, then ${later.points}`);
  assert.equal(await page.$eval('#explanation', (e) => e.hidden), true, `${address}: an explanation before the result`);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'stop', `${address}: focus during a sum`);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('progress-area').hidden);
  assert.equal(await page.$eval('#answer', (e) => e.textContent), 'Calcolo interrotto.');
  // The stopped sum's workers are gone, the fresh ones there (one for the
  // program's sum, one for the double-only sum).
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  for (let tries = 0; page.workers().length !== 2 && tries < 50; ++tries) await new Promise((resolve) => setTimeout(resolve, 100));
  assert.equal(page.workers().length, 2, `${address}: workers after Stop`);
  assert.equal(await page.$eval('#creeping', (e) => e.hidden), true, `${address}: the chart of a stopped sum`);

  // Stop, and at once another count, before the fresh worker can take it: it
  // runs when it can, and only its own numbers show, never the stopped sum's.
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  await clearField(page);
  await page.type('#count', '2147483647');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('progress').value > 0);
  const takenAtOnce = await page.evaluate(() => {
    // Every progress text and every answer shown from the Stop on.
    window.shownSince = [];
    const note = () => window.shownSince.push(document.getElementById('progress-text').textContent + ' | ' +
                                               document.getElementById('answer').textContent);
    new MutationObserver(note).observe(document.querySelector('main'), {subtree: true, childList: true, characterData: true});
    document.getElementById('stop').click();
    document.getElementById('count').value = '10000000';
    document.getElementById('dialogue').requestSubmit(); // what Enter in the field does
    return document.getElementById('start').disabled && !document.getElementById('progress-area').hidden;
  });
  assert.ok(takenAtOnce, `${address}: a count typed right after Stop waits for the fresh worker`);
  await page.waitForFunction(() => document.getElementById('answer').textContent !== '' &&
                                    !document.getElementById('start').disabled, {timeout: 20000})
    .catch(() => assert.fail(`${address}: no answer to the count typed right after Stop`));
  assert.equal(await page.$eval('#answer', (e) => e.textContent), tenMillion.text, `${address}: the count typed after Stop`);
  await page.waitForFunction(() => !document.getElementById('explanation').hidden);
  checkExplanation(await explanationOf(page), '10000000', 7, tenMillion, expected[10000000], `${address}: 10000000`);
  const shownSince = await page.evaluate(() => window.shownSince);
  const foreign = shownSince.filter((text) => !/^(Termini sommati: [\d.]+ di 10\.000\.000)? \| $/.test(text) &&
                                              !text.endsWith(' | Calcolo interrotto.') && text !== ' | ' &&
                                              !text.endsWith(' | ' + tenMillion.text));
  assert.deepEqual(foreign, [], `${address}: shown after Stop`);
  assert.ok(shownSince.some((text) => text.startsWith('Termini sommati: ')), `${address}: progress of the sum after Stop`);
  await checkChart(page, 10000000, address);
  await page.$eval('#creeping details', (e) => { e.open = true; });
  await checkAccessibility(page, address);
  assert.deepEqual(problems, [], `${address}: errors in the page`);
  await page.close();
  console.log(`${address}: ${typed.length} counts as the console program answers them, explained; ` +
              'a long sum shown and stopped; the chart of 10^7 terms; no accessibility violation');
}

async function checkAccessibility(page, where) {
  await page.addScriptTag({path: require.resolve('axe-core')});
  const violations = await page.evaluate(async () => (await window.axe.run(document)).violations
    .map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(' ')).join(', ')}`));
  assert.deepEqual(violations, [], `${where}: axe-core`);
}

// A link with the count runs it; anything else in the address is ignored.
async function checkLinks(browser, address, answers) {
  const page = await browser.newPage();
  for (const [fragment, line] of [['#n=1000', '1000'], ['#n=-7', '-7'], ['#n=abc', null], ['#n=2147483648', null]]) {
    await page.goto('about:blank');
    await page.goto(address + fragment);
    await page.waitForFunction(() => !document.getElementById('start').disabled);
    const where = `${address}${fragment}`;
    if (line === null) {
      await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 200)));
      assert.deepEqual(await page.evaluate(() => [document.getElementById('count').value,
                                                  document.getElementById('answer').textContent]), ['', ''], where);
    } else {
      const answer = answers[typed.findIndex((t) => t.line === line)];
      assert.deepEqual(await page.evaluate(() => [document.getElementById('count').value,
                                                  document.getElementById('answer').textContent]), [line, answer.text], where);
    }
  }
  await page.close();
  console.log(`${address}: a link with a count runs it, others are ignored`);
}

// The page after a result, at a desktop's and at a phone's width: nothing
// wider than the screen, and a screenshot of each.
async function checkWidths(browser, address) {
  const page = await browser.newPage();
  for (const [name, width] of [['desktop', 1280], ['phone', 360]]) {
    await page.setViewport({width, height: 800});
    await page.goto('about:blank');
    await page.goto(address + '#n=10000000');
    await page.waitForFunction(() => !document.getElementById('explanation').hidden);
    if (screenshots) {
      fs.mkdirSync(screenshots, {recursive: true});
      await page.screenshot({path: path.join(screenshots, `${name}.png`), fullPage: true});
    }
    await page.$eval('#creeping details', (e) => { e.open = true; });
    const widths = await page.evaluate(() => [document.documentElement.scrollWidth,
      ...[...document.querySelectorAll('main *')].map((e) => e.scrollWidth - e.clientWidth)]);
    assert.ok(widths[0] <= width && Math.max(...widths.slice(1)) <= 1, `${address} at ${width} px: ${widths[0]} px wide`);
  }
  await page.close();
  console.log(`${address}: nothing wider than a desktop's or a phone's screen`);
}

(async () => {
  const answers = typed.map(({line}) => consoleAnswer(line));
  const results = typed.map(({line}, i) => [Number(line), answers[i]]).filter(([, answer]) => !answer.error);
  const tenMillion = consoleAnswer('10000000');
  results.push([10000000, tenMillion]);
  const expected = doubleOnlyOracle(results.map(([count]) => count), results.map(([, answer]) => answer));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pigreco-chromium-'));
  const {server, base} = await serve(path.resolve(folder));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${profile}`],
  });
  let status = 0;
  try {
    const fileAddress = url.pathToFileURL(path.resolve(folder, 'index.html')).href;
    for (const address of [fileAddress, base + 'index.html']) {
      await checkPage(browser, address, answers, tenMillion, expected);
    }
    await checkLinks(browser, base + 'index.html', answers);
    await checkWidths(browser, fileAddress);
  } catch (error) {
    console.error(error.message);
    status = 1;
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(profile, {recursive: true, force: true});
  }
  process.exit(status);
})();
