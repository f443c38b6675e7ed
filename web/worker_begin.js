// pigreco-worker.js: the Web Worker's whole program as one function, which the
// page (pigreco.js) turns into a Worker from its text, as a file:// page may.
function pigrecoWorker() {
