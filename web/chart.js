// The series creeping toward π: |sum − π| against the number of terms, both
// axes logarithmic, beside the line 1/n (about the size of the series' rest
// after n terms), from the checkpoints that the worker sends as the sum
// passes them, redrawn as they arrive. The same checkpoints fill a table, the
// chart's text alternative. During a sum it is redrawn a few times a second,
// not at every message: the page's main thread shares the processor with the
// worker. Hand-written SVG: a few dozen lines, nothing to
// ship beside the page and no licence but the program's own.
'use strict';
var pigrecoChart = (function () {
  var closeness = pigrecoCloseness;
  var numbers = new Intl.NumberFormat('it-IT');

  // A decade's label: 1, 10, 10², … across; 1, 0,1, 0,01, 0,001, 10⁻⁴, … down.
  function decadeLabel(exponent) {
    if (exponent === 0) return '1';
    if (exponent === 1) return '10';
    if (exponent < 0 && exponent >= -3) return '0,' + '0'.repeat(-exponent - 1) + '1';
    return closeness.powerOfTen(exponent);
  }

  // Every first, second or fifth decade: as many as fit `length` at `room` each.
  function tickStep(decades, length, room) {
    var steps = [1, 2, 5, 10];
    for (var i = 0; i < steps.length; ++i) if (length * steps[i] / decades >= room) return steps[i];
    return 10;
  }

  function create(box, tableBody) {
    var total = 0;
    var points = []; // [terms summed, |sum − π|, sum]
    var rows = 0; // of them in the table
    var pending = null; // the timer of the next redrawing

    function draw() {
      var font = parseFloat(getComputedStyle(box).fontSize);
      var width = Math.max(16 * font, box.clientWidth);
      var height = Math.round(Math.min(Math.max(width * 0.62, 14 * font), 26 * font));
      var left = 3.6 * font, right = 1.2 * font, top = 2 * font, bottom = 3.2 * font;
      var plotWidth = width - left - right, plotHeight = height - top - bottom;
      // n from 1 to a power of ten at or beyond the count; |sum − π| from 1
      // down to where 1/n ends, so that the line runs corner to corner.
      var decades = Math.max(1, Math.ceil(Math.log10(Math.max(total, 1))));
      var x = function (log) { return (left + plotWidth * log / decades).toFixed(2); };
      var y = function (log) { return (top + plotHeight * -log / decades).toFixed(2); };
      var parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="' + width + '" height="' + height +
                   '" viewBox="0 0 ' + width + ' ' + height + '" role="img" aria-labelledby="chart-caption">'];
      var stepX = tickStep(decades, plotWidth, 3.4 * font), stepY = tickStep(decades, plotHeight, 1.8 * font);
      for (var k = 0; k <= decades; ++k) {
        if (k % stepX === 0) {
          parts.push('<line class="grid" x1="' + x(k) + '" y1="' + y(0) + '" x2="' + x(k) + '" y2="' + y(-decades) + '"/>',
                     '<text x="' + x(k) + '" y="' + (top + plotHeight + 1.3 * font) + '" text-anchor="middle">' +
                     decadeLabel(k) + '</text>');
        }
        if (k % stepY === 0) {
          parts.push('<line class="grid" x1="' + x(0) + '" y1="' + y(-k) + '" x2="' + x(decades) + '" y2="' + y(-k) + '"/>',
                     '<text x="' + (left - 0.4 * font) + '" y="' + y(-k) + '" dy="0.35em" text-anchor="end">' +
                     decadeLabel(-k) + '</text>');
        }
      }
      parts.push('<text x="' + (left + plotWidth) + '" y="' + (height - 0.4 * font) + '" text-anchor="end">termini sommati (n)</text>',
                 '<text x="' + (left - 0.4 * font) + '" y="' + (top - 0.7 * font) + '">|somma − π|</text>',
                 '<line class="one-over-n" x1="' + x(0) + '" y1="' + y(0) + '" x2="' + x(decades) + '" y2="' + y(-decades) + '"/>');
      var path = points.map(function (p) { return x(Math.log10(p[0])) + ',' + y(Math.log10(p[1])); });
      if (path.length > 1) parts.push('<polyline class="distance" points="' + path.join(' ') + '"/>');
      path.forEach(function (at) {
        var xy = at.split(',');
        parts.push('<circle class="distance" cx="' + xy[0] + '" cy="' + xy[1] + '" r="' + (0.22 * font).toFixed(2) + '"/>');
      });
      parts.push('</svg>');
      box.innerHTML = parts.join('');
    }

    function fillTable() {
      for (; rows < points.length; ++rows) {
        var point = points[rows], row = tableBody.insertRow();
        [numbers.format(point[0]), String(point[2]), closeness.shortScientific(point[1], 4)].forEach(function (text) { row.insertCell().textContent = text; });
      }
    }

    function drawNow() {
      clearTimeout(pending);
      pending = null;
      draw();
      fillTable();
    }

    window.addEventListener('resize', function () { if (total > 0) drawNow(); });

    return {
      // A new sum of `terms` terms: the axes are those of its last checkpoint.
      begin: function (terms) {
        total = terms;
        points = [];
        rows = 0;
        tableBody.textContent = '';
        drawNow();
      },
      // Checkpoints [terms summed, the program's sum then], in order.
      add: function (checkpoints) {
        checkpoints.forEach(function (point) {
          points.push([point[0], Math.abs(closeness.differenceFromPi(point[1])), point[1]]);
        });
        if (pending === null) pending = setTimeout(drawNow, 400);
      },
      // The sum is done: its last checkpoints now.
      finish: drawNow,
    };
  }

  return {create: create};
})();
