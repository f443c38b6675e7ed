// How close a sum of the series is to π, in the words and numbers that the
// page shows beneath the result: π's digits beside the result's, the leading
// digits that agree, the difference from π beside the series' own estimate of
// it, and how far the double-only sum is from the program's.
'use strict';
var pigrecoCloseness = (function () {
  // π to 20 significant digits, as many as the result line shows; truncated,
  // not rounded, so that each digit shown is one of π's.
  var piDigits = '3.1415926535897932384';
  // π = piHigh + piLow to well beyond a double: x - piHigh is exact for every
  // sum of one term or more (Sterbenz: x lies within [π/2, 2π]), so the
  // difference from π is rounded once, when piLow is taken off.
  var piHigh = Math.PI;
  var piLow = 1.2246467991473532e-16;

  function differenceFromPi(x) {
    return (x - piHigh) - piLow;
  }

  // How many leading significant digits of `digits` (as printed by %.20g) are π's.
  function agreeingDigits(digits) {
    var mine = digits.replace('.', '');
    var pis = piDigits.replace('.', '');
    var n = 0;
    while (n < mine.length && n < pis.length && mine[n] === pis[n]) ++n;
    return n;
  }

  // The leading characters of `digits` that hold its first `agreeing` digits.
  function agreeingPrefixLength(digits, agreeing) {
    var seen = 0, i = 0;
    while (seen < agreeing) {
      if (digits[i] !== '.') ++seen;
      ++i;
    }
    return i;
  }

  // The sum of the first n terms differs from π by about 1/n, on the side
  // away from the next term's sign: result − π ≈ −(−1)^n / n.
  function estimatedDifference(n) {
    return (n % 2 === 0 ? -1 : 1) / n;
  }

  // Units in the last place between two doubles of the same sign: the
  // difference of their bit patterns read as integers, taken in two 32-bit
  // halves, exact while it is below 2^53.
  function ulpsBetween(a, b) {
    var view = new DataView(new ArrayBuffer(16));
    view.setFloat64(0, Math.abs(a));
    view.setFloat64(8, Math.abs(b));
    return Math.abs((view.getUint32(0) - view.getUint32(8)) * 4294967296 +
                    (view.getUint32(4) - view.getUint32(12)));
  }

  var superscripts = {'-': '⁻', '0': '⁰', '1': '¹', '2': '²', '3': '³', '4': '⁴',
                      '5': '⁵', '6': '⁶', '7': '⁷', '8': '⁸', '9': '⁹'};
  function powerOfTen(exponent) {
    return '10' + String(exponent).replace(/./g, function (c) { return superscripts[c]; });
  }

  function italianNumber(text) {
    return text.replace('-', '−').replace('.', ',');
  }

  // x as m × 10^exponent, with m to `decimals` decimal places, the Italian way.
  function scientific(x, exponent, decimals) {
    var mantissa = italianNumber((x / Math.pow(10, exponent)).toFixed(decimals));
    return exponent === 0 ? mantissa : mantissa + ' × ' + powerOfTen(exponent);
  }

  // x with `significant` digits, in the decimal exponent of its own size.
  function shortScientific(x, significant) {
    if (x === 0) return '0';
    var exponent = Math.floor(Math.log10(Math.abs(x)));
    // Rounding may carry into the next power of ten.
    if (Math.abs(x) / Math.pow(10, exponent) >= 10 - 0.5 * Math.pow(10, 1 - significant)) ++exponent;
    return scientific(x, exponent, significant - 1);
  }

  return {
    piDigits: piDigits,
    differenceFromPi: differenceFromPi,
    agreeingDigits: agreeingDigits,
    agreeingPrefixLength: agreeingPrefixLength,
    estimatedDifference: estimatedDifference,
    ulpsBetween: ulpsBetween,
    powerOfTen: powerOfTen,
    scientific: scientific,
    shortScientific: shortScientific,
  };
})();
