// The game's pictures travel as one gzip-compressed tar file: fetched and
// inflated by the browser (DecompressionStream) as the page starts, the first
// of its scripts, so that the inflating is done while the others load; then
// laid out in the program's own folder before it runs, byte for byte the
// files that the desktop program reads.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.pictures = (function () {
  var url = 'pictures.tar.gz';

  function inflate(bytes) {
    var head = new Uint8Array(bytes, 0, Math.min(2, bytes.byteLength));
    // A host that sends the file as Content-Encoding: gzip has had the
    // browser inflate it already.
    if (head[0] !== 0x1f || head[1] !== 0x8b) return bytes;
    var inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Response(inflated).arrayBuffer();
  }

  function field(bytes, at, length) {
    var end = at;
    while (end < at + length && bytes[end] !== 0) end++;
    return String.fromCharCode.apply(null, bytes.subarray(at, end)).trim();
  }

  // The regular files of a ustar archive: 512-byte headers (name, octal
  // size, type), each followed by its contents in 512-byte blocks.
  function unpack(archive) {
    var bytes = new Uint8Array(archive);
    var files = [];
    for (var at = 0; at + 512 <= bytes.length;) {
      var name = field(bytes, at, 100);
      var size = parseInt(field(bytes, at + 124, 12), 8);
      if (name === '' || !(size >= 0) || at + 512 + size > bytes.length) break;
      var type = bytes[at + 156];
      if (type === 48 || type === 0) files.push({name: name, bytes: bytes.subarray(at + 512, at + 512 + size)});
      at += 512 + Math.ceil(size / 512) * 512;
    }
    return files;
  }

  function fetchAll() {
    return fetch(url)
        .then(function (response) {
          if (!response.ok) throw new Error(url + ': ' + response.status);
          return response.arrayBuffer();
        })
        .then(inflate)
        .then(unpack);
  }

  // The files, once they are there: [{name, bytes}]. A failure waits for
  // the page's start to report it.
  var ready = fetchAll();
  ready.catch(function () {});
  return {ready: ready};
})();
