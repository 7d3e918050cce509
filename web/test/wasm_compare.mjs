// The WebAssembly build gives the same four files as the native vigilc, byte
// for byte, for every example script and every fuzz seed.
//   node test/wasm_compare.mjs VIGILC VIGIL_JS SCRIPT...
import {execFileSync} from 'node:child_process';
import {copyFileSync, mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {basename, join} from 'node:path';

import {loadVigil} from './load_vigil.mjs';

const [vigilc, vigilJs, ...scripts] = process.argv.slice(2);
if (!vigilc || !vigilJs || scripts.length === 0) {
  console.error('usage: node test/wasm_compare.mjs VIGILC VIGIL_JS SCRIPT...');
  process.exit(2);
}
const vigil = await loadVigil(vigilJs);

// The listing's date line, so that both listings carry the same date.
function dateOf(listing) {
  const match = /\r\nDate = ([0-9: -]{19})\r\n/.exec(listing.toString('latin1'));
  if (!match) throw new Error('no Date line in the native listing');
  return match[1];
}

function firstDifference(a, b) {
  let i = 0;
  while (i < a.length && i < b.length && a[i] === b[i]) i++;
  return i;
}

const dir = mkdtempSync(join(tmpdir(), 'vigil-wasm-'));
let failures = 0;
try {
  for (const [n, script] of scripts.entries()) {
    // Distinct names: the corpus and the examples may share one.
    const copy = join(dir, `${n}_${basename(script)}`);
    copyFileSync(script, copy);
    try {
      execFileSync(vigilc, [copy], {stdio: 'ignore'});
    } catch (error) {
      if (error.status !== 1) throw error;  // 1: the script has errors
    }
    const stem = copy.slice(0, -3);
    const native = Object.fromEntries(['BIN', 'LST', 'ERR', 'SET'].map(
        (ext) => [ext, readFileSync(stem + ext)]));
    const wasm = vigil.compile(new Uint8Array(readFileSync(script)), dateOf(native.LST));
    for (const [ext, key] of [['BIN', 'bin'], ['LST', 'lst'], ['ERR', 'err'], ['SET', 'set']]) {
      if (Buffer.compare(native[ext], Buffer.from(wasm[key])) !== 0) {
        failures++;
        console.error(`${script}: ${ext} differs at byte ${firstDifference(native[ext], wasm[key])} ` +
            `(native ${native[ext].length} bytes, wasm ${wasm[key].length})`);
      }
    }
  }
} finally {
  rmSync(dir, {recursive: true, force: true});
}
console.log(`wasm vs native: ${scripts.length} scripts, four files each, ` +
    `${failures === 0 ? 'all identical' : failures + ' differ'}`);
process.exit(failures === 0 ? 0 : 1);
