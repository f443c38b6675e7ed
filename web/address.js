// The page's address carries the count of the last result (index.html#n=1000),
// so that a link hands out a given sum: a page opened with one fills the field
// and runs it. Anything but a count in the program's range, written as this
// page writes it, is ignored.
'use strict';
var pigrecoAddress = (function () {
  var pattern = /^#n=(-?(?:0|[1-9][0-9]{0,9}))$/;
  var written = null; // the fragment that the page wrote last

  // The count in the address, as text, to run; null when there is none or
  // when the page wrote it itself.
  function countToRun() {
    if (location.hash === written) return null;
    var match = pattern.exec(location.hash);
    if (!match) return null;
    var count = Number(match[1]);
    if (count < -2147483648 || count > 2147483647 || match[1] === '-0') return null;
    return match[1];
  }

  // Replaces the address's fragment, adding no step to the browser's history.
  function replaceFragment(fragment) {
    written = fragment;
    var address = location.href.replace(/#.*$/, '') + fragment;
    try {
      history.replaceState(history.state, '', address);
    } catch (error) {
      // A browser that refuses this for a page opened from a file.
      written = fragment || '#';
      location.replace(written);
    }
  }

  return {
    countToRun: countToRun,
    // After a result: the address now names its count.
    keep: function (count) { replaceFragment('#n=' + count); },
    // After an error: the address names no count.
    forget: function () { if (location.hash) replaceFragment(''); },
  };
})();
