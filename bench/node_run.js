// Runs an Emscripten console program of a -sSINGLE_FILE build under Node.js
// with the count as its standard input, given through Emscripten's
// Module.stdin: its own Node.js stdin reader loses piped bytes that are not
// there yet when it first looks.
//   node --no-experimental-fetch bench/node_run.js PROGRAM.js COUNT
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const [program, count] = process.argv.slice(2);
const bytes = Array.from(Buffer.from(count + '\n'));
globalThis.Module = {stdin: () => (bytes.length ? bytes.shift() : null)};
globalThis.require = require;
globalThis.__dirname = path.dirname(path.resolve(program));
vm.runInThisContext(fs.readFileSync(program, 'utf8'), {filename: program});
