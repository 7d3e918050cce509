// Builds the static site: the page's script bundled with esbuild (CodeMirror
// included, nothing fetched at run time), the page, its style, and the
// compiler's vigil.js and vigil.wasm from the wasm preset's build.
//   node build.mjs WASM_DIR OUT_DIR
import {build} from 'esbuild';
import {copyFileSync, mkdirSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [wasmDir, outDir] = process.argv.slice(2);
if (!wasmDir || !outDir) {
  console.error('usage: node build.mjs WASM_DIR OUT_DIR');
  process.exit(2);
}
mkdirSync(outDir, {recursive: true});
await build({
  entryPoints: [join(here, 'src/page.js')],
  bundle: true,
  minify: true,
  format: 'iife',
  target: 'es2020',
  outfile: join(outDir, 'page.js'),
  logLevel: 'warning',
});
for (const file of ['index.html', 'style.css']) copyFileSync(join(here, file), join(outDir, file));
for (const file of ['vigil.js', 'vigil.wasm']) copyFileSync(join(wasmDir, file), join(outDir, file));
console.log(`site: ${outDir}`);
