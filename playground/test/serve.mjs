// A static file server for the built site, on the loopback interface, as a test or a benchmark
// needs one: `python3 -m http.server -d build-playground/site` does the same for a person.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.cfg': 'application/octet-stream',
};

// Serves `root`; resolves to the server and its address once it listens.
export function serve(root) {
  const server = createServer(async (request, response) => {
    let path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    path = path.endsWith('/') ? `${path}index.html` : path;
    try {
      const body = await readFile(join(root, path));
      response.writeHead(200, { 'Content-Type': types[extname(path)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, origin: `http://127.0.0.1:${server.address().port}` }));
  });
}

// Debian's Chromium, headless, as this machine allows it: no sandbox (root), no background
// network (the machine's network is closed), a profile of its own.
export const chromiumOptions = {
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: [
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
  ],
};
