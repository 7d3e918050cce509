// A static file server for the built site on 127.0.0.1, with the types a
// browser needs (a .wasm must come as application/wasm to be compiled while
// it streams in).
//   node serve.mjs SITE_DIR [PORT]      prints the URL; PORT 0 picks a free one
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Resolves with {server, url} once listening.
export function serve(siteDir, port = 0) {
  const root = resolve(siteDir);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Cache-Control': 'no-store'});
      response.end(body);
    } catch {
      response.writeHead(404).end('not found');
    }
  });
  return new Promise((done) => server.listen(port, '127.0.0.1',
      () => done({server, url: `http://127.0.0.1:${server.address().port}/`})));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [siteDir, port] = process.argv.slice(2);
  if (!siteDir) {
    console.error('usage: node serve.mjs SITE_DIR [PORT]');
    process.exit(2);
  }
  const {url} = await serve(siteDir, Number(port ?? 8080));
  console.log(`Vigil playground: ${url}  (Ctrl-C stops it)`);
}
