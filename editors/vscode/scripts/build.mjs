// Bundles the extension and vscode-languageclient into dist/extension.js, so
// the .vsix needs no node_modules. `vscode` is provided by the editor.
import { build } from 'esbuild';
import { fileURLToPath } from 'node:url';
import { dirname, join } from 'node:path';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');

await build({
  absWorkingDir: root,
  entryPoints: ['src/extension.ts'],
  outfile: 'dist/extension.js',
  bundle: true,
  platform: 'node',
  format: 'cjs',
  // VS Code 1.82, the oldest this extension supports, runs extensions on Node 18.
  target: 'node18',
  external: ['vscode'],
  minify: true,
  // Class and function names stay readable in the stack traces of the log.
  keepNames: true,
  sourcemap: false,
  legalComments: 'none',
  logLevel: 'warning',
});
