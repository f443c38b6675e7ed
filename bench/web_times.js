// Whole-run timings of the WebAssembly build beside the native one, each with
// the floor of its own engine (pow_floor_main.cpp, the same pow calls):
//   node bench/web_times.js NATIVE_BUILD WASM_BUILD COUNT [RUNS]
// NATIVE_BUILD and WASM_BUILD are build folders configured with
// -DPIGRECO_BUILD_BENCH=ON, the WebAssembly one with Emscripten and
// -DCMAKE_EXE_LINKER_FLAGS=-sSINGLE_FILE=1 (a page opened from a file loads no
// separate .wasm). Native and Node.js: the whole process, the count on standard
// input (under Node.js given by bench/node_run.js). Chromium (headless, Debian's, through web/test's puppeteer-core): the
// page from pressing Enter to the result shown, and the floor program from
// loading its script to its line printed. Prints the fastest of RUNS (3).
//   node bench/web_times.js --pages COUNT RUNS PAGE_FOLDER...
// times only the pages in the folders given (each one's index.html, say of two
// builds, before and after a change), one run of each in turn, and prints
// every run, the fastest of each and the load average before and after; on
// Linux also the processor time of the page's busiest Web Worker thread and
// of all of them together, which a loaded machine inflates far less than
// wall time.
'use strict';
const childProcess = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const url = require('node:url');
const puppeteer = require(path.join(__dirname, '..', 'web', 'test', 'node_modules', 'puppeteer-core'));

const pagesOnly = process.argv[2] === '--pages';
const [nativeBuild, wasmBuild, count, runsText] = pagesOnly ? [null, null, ...process.argv.slice(3, 5)] : process.argv.slice(2);
const pageFolders = pagesOnly ? process.argv.slice(5) : [];
const runs = Number(runsText || 3);
const countFile = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'pigreco-count-')), 'count');
fs.writeFileSync(countFile, count + '\n');

function processSeconds(command, args) {
  const start = process.hrtime.bigint();
  // From a file: Emscripten's Node.js loader reads a pipe on standard input
  // only when its bytes are already there.
  const input = fs.openSync(countFile, 'r');
  const run = childProcess.spawnSync(command, args, {stdio: [input, 'pipe', 'pipe']});
  fs.closeSync(input);
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  if (run.status !== 0) throw new Error(`${command} ${args.join(' ')}: status ${run.status}: ${run.stderr}`);
  return {seconds, line: run.stdout.toString().split(': ').slice(1).join(': ').trim()};
}

// The processor time so far of each Web Worker thread of the browser's
// processes, by process and thread id (Linux's /proc; empty elsewhere).
function workerSeconds(browser) {
  const parents = new Map();
  let ids = [];
  try { ids = fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name)); } catch { return new Map(); }
  for (const id of ids) {
    try {
      const stat = fs.readFileSync(`/proc/${id}/stat`, 'utf8');
      parents.set(id, stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
    } catch { /* ended meanwhile */ }
  }
  const browserId = String(browser.process().pid);
  const ofBrowser = (id) => { for (; id && id !== '1'; id = parents.get(id)) if (id === browserId) return true; return false; };
  const seconds = new Map();
  for (const id of ids.filter(ofBrowser)) {
    try {
      for (const thread of fs.readdirSync(`/proc/${id}/task`)) {
        const stat = fs.readFileSync(`/proc/${id}/task/${thread}/stat`, 'utf8');
        if (!stat.slice(stat.indexOf('(') + 1, stat.lastIndexOf(')')).startsWith('DedicatedWorker')) continue;
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        // utime and stime, in the kernel's clock ticks of 1/100 s.
        seconds.set(`${id}/${thread}`, (Number(fields[11]) + Number(fields[12])) / 100);
      }
    } catch { /* ended meanwhile */ }
  }
  return seconds;
}

async function pageSeconds(browser, pageFolder = path.join(wasmBuild, 'web')) {
  const page = await browser.newPage();
  await page.goto(url.pathToFileURL(path.resolve(pageFolder, 'index.html')).href);
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  await page.type('#count', count);
  const before = workerSeconds(browser);
  const start = Date.now();
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('answer').textContent !== '', {timeout: 0, polling: 'mutation'});
  const seconds = (Date.now() - start) / 1000;
  const used = [...workerSeconds(browser)].map(([thread, total]) => total - (before.get(thread) || 0));
  const line = (await page.$eval('#answer', (e) => e.textContent)).trim();
  await page.close();
  return {seconds, line, busiestWorker: Math.max(0, ...used), allWorkers: used.reduce((a, b) => a + b, 0)};
}

async function floorInPageSeconds(browser) {
  const page = await browser.newPage();
  // A page of the same build folder, which may load the script from a file.
  await page.goto(url.pathToFileURL(path.resolve(wasmBuild, 'web', 'index.html')).href);
  page.on('console', (message) => console.error('floor page:', message.text()));
  const script = url.pathToFileURL(path.resolve(wasmBuild, 'bench', 'pigreco_floor.js')).href;
  const result = await page.evaluate((script, input) => new Promise((resolve) => {
    const bytes = Array.from(new TextEncoder().encode(input + '\n'));
    let start;
    window.Module = {
      stdin: () => (bytes.length ? bytes.shift() : null),
      print: (line) => resolve({seconds: (performance.now() - start) / 1000, line}),
    };
    const tag = document.createElement('script');
    tag.src = script;
    start = performance.now();
    document.head.appendChild(tag);
  }), script, count);
  await page.close();
  result.line = result.line.split(': ').slice(1).join(': ');
  return result;
}

async function fastest(name, measure) {
  let best = null;
  for (let i = 0; i < runs; ++i) {
    const got = await measure();
    if (!best || got.seconds < best.seconds) best = got;
  }
  console.log(`${name}\t${count}\t${best.seconds.toFixed(3)} s\t${best.line}`);
  return best.seconds;
}

// The pages in turn, so that a change of the machine's load falls on all alike.
async function timePages(browser) {
  console.log(`load average before: ${os.loadavg().map((x) => x.toFixed(2)).join(' ')}`);
  const best = pageFolders.map(() => Infinity);
  const bestWorker = pageFolders.map(() => Infinity);
  const lines = pageFolders.map(() => new Set());
  for (let i = 0; i < runs; ++i) {
    for (const [j, folder] of pageFolders.entries()) {
      const {seconds, line, busiestWorker, allWorkers} = await pageSeconds(browser, folder);
      console.log(`${folder}\t${count}\t${seconds.toFixed(3)} s\tbusiest worker ${busiestWorker.toFixed(2)} s, ` +
                  `all workers ${allWorkers.toFixed(2)} s of processor time`);
      best[j] = Math.min(best[j], seconds);
      bestWorker[j] = Math.min(bestWorker[j], busiestWorker);
      lines[j].add(line);
    }
  }
  console.log(`load average after: ${os.loadavg().map((x) => x.toFixed(2)).join(' ')}`);
  pageFolders.forEach((folder, j) => {
    console.log(`fastest\t${folder}\t${best[j].toFixed(3)} s\t${(best[j] / best[0]).toFixed(3)} of the first\t` +
                `busiest worker at least ${bestWorker[j].toFixed(2)} s\t${[...lines[j]].join(' / ')}`);
  });
}

(async () => {
  const node = [process.execPath, '--no-experimental-fetch'];
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pigreco-bench-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, protocolTimeout: 0,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--allow-file-access-from-files', `--user-data-dir=${profile}`],
  });
  try {
    if (pagesOnly) {
      await timePages(browser);
      return;
    }
    const t = {};
    t.native = await fastest('native pigreco', () => processSeconds(path.join(nativeBuild, 'pigreco'), []));
    t.nativeFloor = await fastest('native floor', () => processSeconds(path.join(nativeBuild, 'bench', 'pigreco_floor'), []));
    const underNode = (program) => processSeconds(node[0], [node[1], path.join(__dirname, 'node_run.js'), program, count]);
    t.node = await fastest('Node.js pigreco.js', () => underNode(path.join(wasmBuild, 'pigreco.js')));
    t.nodeFloor = await fastest('Node.js floor', () => underNode(path.join(wasmBuild, 'bench', 'pigreco_floor.js')));
    // The console build sums in one call of the block pass, which stays in the
    // baseline compiler's code (WebAssembly has no on-stack replacement); the
    // page's worker sums in pieces, and the later ones run optimised code.
    await fastest('Node.js pigreco.js --no-liftoff', () => processSeconds(node[0], [node[1], '--no-liftoff',
      path.join(__dirname, 'node_run.js'), path.join(wasmBuild, 'pigreco.js'), count]));
    t.page = await fastest('Chromium page', () => pageSeconds(browser));
    t.pageFloor = await fastest('Chromium floor', () => floorInPageSeconds(browser));
    console.log(`ratios to own floor: native ${(t.native / t.nativeFloor).toFixed(3)}, Node.js ${(t.node / t.nodeFloor).toFixed(3)}, ` +
                `Chromium ${(t.page / t.pageFloor).toFixed(3)}; Node.js / native ${(t.node / t.native).toFixed(2)}, ` +
                `Chromium / native ${(t.page / t.native).toFixed(2)}`);
  } finally {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }
})();
