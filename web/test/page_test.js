// The page in headless Chromium (Debian's, driven by puppeteer-core), opened
// from its folder as a file and from a static server on 127.0.0.1:
//   node page_test.js PAGE_FOLDER NATIVE_PIGRECO [SCREENSHOT.png]
// Each count typed must show, byte for byte, what the console program
// NATIVE_PIGRECO prints for it after its prompt (its result on standard
// output, its error message on standard error); a long sum must show its
// progress moving, leave the page responsive and stop from the keyboard.
'use strict';
const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const url = require('node:url');
const puppeteer = require('puppeteer-core');

const [folder, nativeProgram, screenshot] = process.argv.slice(2);
if (!folder || !nativeProgram) {
  console.error('usage: node page_test.js PAGE_FOLDER NATIVE_PIGRECO [SCREENSHOT.png]');
  process.exit(2);
}

const typed = ['0', '1', '2', '-7', '1000', '3000000', 'abc', '2147483648'];

// What the console program prints for a line typed: its prompt, and what follows.
function consoleAnswer(line) {
  const run = childProcess.spawnSync(nativeProgram, [], {input: line + '\n'});
  const out = run.stdout.toString('utf8');
  const prompt = 'Inserisci il numero di iterazioni: ';
  assert.ok(out.startsWith(prompt), `${nativeProgram} printed ${JSON.stringify(out)}`);
  const error = run.status !== 0;
  return {prompt, text: error ? run.stderr.toString('utf8') : out.slice(prompt.length), error};
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

async function answerOf(page, line) {
  await page.click('#count', {clickCount: 3});
  await page.keyboard.press('Backspace');
  await page.type('#count', line);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('answer').textContent !== '' &&
                                    !document.getElementById('start').disabled);
  return page.$eval('#answer', (e) => ({text: e.textContent, error: e.classList.contains('error')}));
}

async function checkPage(browser, address, answers) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(String(error)));
  page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
  await page.goto(address);
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  assert.equal(await page.$eval('#prompt', (e) => e.textContent), answers[0].prompt, `${address}: the prompt`);
  for (const [i, line] of typed.entries()) {
    assert.deepEqual(await answerOf(page, line), {text: answers[i].text, error: answers[i].error},
                     `${address}: typed ${line}`);
  }

  // The largest count: progress moves while the page answers, the keyboard stops it.
  await page.click('#count', {clickCount: 3});
  await page.type('#count', '2147483647');
  await page.keyboard.press('Enter');
  const progressNow = () => page.$eval('#progress', (e) => e.value);
  await page.waitForFunction(() => document.getElementById('progress').value > 0);
  const first = await progressNow();
  const asked = Date.now();
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 300)));
  assert.ok(Date.now() - asked < 2000, `${address}: the page stalls during a sum`);
  const later = await progressNow();
  assert.ok(later > first && later < 1, `${address}: progress ${first}, then ${later}`);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'stop', `${address}: focus during a sum`);
  if (screenshot && address.startsWith('file:')) await page.screenshot({path: screenshot});
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('progress-area').hidden);
  assert.equal(await page.$eval('#answer', (e) => e.textContent), 'Calcolo interrotto.');
  // A fresh worker takes the next count.
  await page.waitForFunction(() => !document.getElementById('start').disabled);
  assert.deepEqual(await answerOf(page, '2'), {text: answers[2].text, error: false}, `${address}: after stopping`);
  assert.deepEqual(problems, [], `${address}: errors in the page`);
  await page.close();
  console.log(`${address}: ${typed.length} counts as the console program answers them; a long sum shown and stopped`);
}

(async () => {
  const answers = typed.map(consoleAnswer);
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
    await checkPage(browser, url.pathToFileURL(path.resolve(folder, 'index.html')).href, answers);
    await checkPage(browser, base + 'index.html', answers);
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
