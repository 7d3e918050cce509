// vigil.js and vigil.wasm under node. The wasm's bytes are handed over
// directly: this emscripten's loader would fetch() a file path, which
// node's fetch does not take.
import {readFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {dirname, join, resolve} from 'node:path';

import {wrapVigil} from '../src/vigil_api.js';

export async function loadVigil(vigilJs) {
  const path = resolve(vigilJs);
  const createVigil = createRequire(import.meta.url)(path);
  return wrapVigil(await createVigil({wasmBinary: readFileSync(join(dirname(path), 'vigil.wasm'))}));
}
