// Serves a folder on 127.0.0.1 at a free port, as any static file host would,
// and keeps the paths it was asked for. serveFolder() puts another in its place.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.ttf': 'font/ttf',
  '.gz': 'application/gzip', '.txt': 'text/plain; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
};

function serve(folder) {
  let root = path.resolve(folder);
  const requests = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    requests.push(name);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                               'Cache-Control': 'no-store'});
      response.end(bytes);
    });
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({server, url: `http://127.0.0.1:${server.address().port}/`, requests,
               serveFolder: (other) => { root = path.resolve(other); }});
    });
  });
}

module.exports = {serve};
