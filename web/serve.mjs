// A small static server for the web folder, on 127.0.0.1 at a free port.
//   node web/serve.mjs FOLDER   serves FOLDER and prints the address to open
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

// Resolves to the listening server; its address is server.url. `folders`
// is one folder, served at /, or folders by the path each is served at, as
// { '/': one, '/beta/': another }. With `gzip`, what a browser accepts
// gzipped goes out gzipped, as real hosts send it (not the icons).
export function serve(folders, { gzip = false } = {}) {
  const mounts = Object.entries(typeof folders === 'string' ? { '/': folders } : folders)
    .sort(([a], [b]) => b.length - a.length);
  const server = createServer(async (request, response) => {
    try {
      let path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
      if (path.endsWith('/')) path += 'index.html';
      const [at, folder] = mounts.find(([prefix]) => path.startsWith(prefix));
      const root = resolve(folder);
      const file = join(root, path.slice(at.length - 1));
      if (!file.startsWith(root + sep)) throw new Error('outside the folder');
      let body = await readFile(file);
      const headers = { 'Content-Type': types[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-store' };
      if (gzip && extname(file) !== '.png' && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
        body = gzipSync(body);
        headers['Content-Encoding'] = 'gzip';
      }
      response.writeHead(200, headers);
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    }
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(0, '127.0.0.1', () => {
      server.url = `http://127.0.0.1:${server.address().port}/`;
      done(server);
    });
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const server = await serve(process.argv[2] ?? '.');
  console.log(server.url);
}
