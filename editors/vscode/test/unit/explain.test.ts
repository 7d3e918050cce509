// The vigil-explain: links: which paths name a code, and the text behind one
// from the built `vigil explain` (skipped when there is no build).

import { strict as assert } from 'node:assert';
import * as fs from 'node:fs';
import * as path from 'node:path';
import { describe, it } from 'node:test';

import { explainCodeOf, runExplain } from '../../src/explain';

const builtServer = ['debug', 'release']
  .map((preset) => path.resolve(__dirname, `../../../../../build/${preset}/src/cli/vigil`))
  .find((file) => fs.existsSync(file));

describe('explain links', () => {
  it('reads the code of a link', () => {
    const cases: [string, string | undefined][] = [
      ['E6', 'E6'],
      ['e6', 'E6'],
      [' w3 ', 'W3'],
      ['E31', 'E31'],
      ['6', undefined],
      ['E', undefined],
      ['X6', undefined],
      ['E6; rm -rf /', undefined],
      ['E1234', undefined],
    ];
    for (const [link, code] of cases) {
      assert.equal(explainCodeOf(link), code, link);
    }
  });

  it('shows what vigil explain prints', { skip: builtServer === undefined }, async () => {
    const text = await runExplain({ command: builtServer!, args: ['lsp'] }, 'E6');
    assert.match(text, /Unknown command/);
  });

  it('says why when the program cannot run', async () => {
    const text = await runExplain({ command: '/nonexistent/vigil', args: [] }, 'E6');
    assert.match(text, /^vigil explain E6 failed: /);
  });
});
