// The TextMate grammar against the language reference and the example
// scripts of the project: every word the reference lists is highlighted as
// what it is, and the clean example scripts show nothing as invalid.
// (test/grammar/*.vgl hold the hand-annotated cases.)

import { strict as assert } from 'node:assert';
import * as fs from 'node:fs';
import * as path from 'node:path';
import { before, describe, it } from 'node:test';
import * as oniguruma from 'vscode-oniguruma';
import * as textmate from 'vscode-textmate';

const extensionRoot = path.resolve(__dirname, '../../..');
const projectRoot = path.resolve(extensionRoot, '../..');
const languageReference = path.join(projectRoot, 'docs/language.md');
const examplesFolder = path.join(projectRoot, 'examples');

type Token = { text: string; scopes: string[] };

let grammar: textmate.IGrammar;
let scenarioGrammar: textmate.IGrammar;
const grammarFiles: Record<string, string> = {
  'source.vigil': 'syntaxes/vigil.tmLanguage.json',
  'source.vigil-scenarios': 'syntaxes/vigil-scenarios.tmLanguage.json',
};

async function loadGrammars(): Promise<textmate.IGrammar[]> {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (sources: string[]) => new oniguruma.OnigScanner(sources),
      createOnigString: (text: string) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName: string) => {
      if (!(scopeName in grammarFiles)) {
        return null;
      }
      const file = path.join(extensionRoot, grammarFiles[scopeName]);
      return textmate.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
  const loaded = await Promise.all(Object.keys(grammarFiles).map((scopeName) => registry.loadGrammar(scopeName)));
  loaded.forEach((g, index) => assert.ok(g, `the grammar ${Object.keys(grammarFiles)[index]} loads`));
  return loaded as textmate.IGrammar[];
}

/** Tokenizes a script line by line (CR LF or LF), as the editor does. */
function tokenize(text: string, by: textmate.IGrammar = grammar): Token[][] {
  let stack = textmate.INITIAL;
  return text.split(/\r?\n|\r/).map((line) => {
    const result = by.tokenizeLine(line, stack);
    stack = result.ruleStack;
    return result.tokens.map((t) => ({ text: line.slice(t.startIndex, t.endIndex), scopes: t.scopes }));
  });
}

/** The scopes of `word` on the last line of `script`. */
function scopesOf(script: string, word: string): string[] {
  const lines = tokenize(script);
  const token = lines[lines.length - 1].find((t) => t.text === word);
  assert.ok(token, `"${word}" is one token in: ${script.split('\n').pop()}`);
  return token.scopes;
}

// --- Word lists read from docs/language.md -------------------------------

const reference = fs.readFileSync(languageReference, 'utf8');

/** The text of a section, from its heading to the next heading of the same or a higher level. */
function section(heading: string): string {
  const start = reference.indexOf(heading);
  assert.notEqual(start, -1, `docs/language.md has the heading ${heading}`);
  const level = heading.match(/^#+/)![0];
  const rest = reference.slice(start + heading.length);
  const next = rest.search(new RegExp(`\\n#{1,${level.length}} `));
  return next === -1 ? rest : rest.slice(0, next);
}

function tableRows(text: string): string[][] {
  const rows = text.split('\n').filter((line) => line.startsWith('|') && !/^\|[-| ]+\|$/.test(line));
  return rows.map((line) => line.slice(1, -1).split('|').map((cell) => cell.trim()));
}

/** INPUT1-INPUT8 → INPUT1 ... INPUT8; INPUT1ON-INPUT8ON → INPUT1ON ... INPUT8ON. */
function expandRange(name: string): string[] {
  const range = /^([A-Z]+)(\d+)([A-Z]*)-\1(\d+)\3$/.exec(name);
  if (range === null) {
    return [name];
  }
  const [, prefix, from, suffix, to] = range;
  return Array.from({ length: Number(to) - Number(from) + 1 }, (_, n) => `${prefix}${Number(from) + n}${suffix}`);
}

const isWord = (text: string): boolean => /^[A-Z][A-Z0-9_]*$/.test(text);

/** The word lists of the reference, each with a test line to find its words in and the scope it must get. */
function wordLists(): { what: string; words: string[]; line: (word: string) => string; scopes: string[] }[] {
  const elementsSection = section('### 10.1');
  const keywords = /Keywords \(accepted everywhere\):([\s\S]*?)the ten SYSTEMKEY key words/.exec(elementsSection);
  assert.ok(keywords, 'the keyword list of 10.1 is found');
  const elementRows = tableRows(elementsSection.slice(0, elementsSection.indexOf('Keywords (accepted')));
  const elements = elementRows
    .filter(([kind, list]) => kind !== 'Module kind' && list !== undefined)
    .flatMap(([, list]) => list.split(',').flatMap((item) => expandRange(item.trim())))
    .filter(isWord);
  const commands = section('## 9. Commands');
  const keys = tableRows(section('### 10.5')).find((cells) => cells[0] === 'Key') ?? [];
  const conditions = tableRows(section('## 7. Conditions'))
    .map((row) => /^`([A-Z0-9_]+)(?:\(|`)/.exec(row[1] ?? '')?.[1])
    .filter((word): word is string => word !== undefined);
  const statement = (word: string) => `EVENT CTRL.INIT\n  ${word}`;
  return [
    { what: 'keyword', words: keywords[1].split(',').map((w) => w.trim()).filter(isWord), line: statement, scopes: [] },
    {
      what: 'command',
      words: tableRows(commands.slice(0, commands.indexOf('Details:'))).map((row) => row[0]).filter((c) => isWord(c) && c !== 'Command'),
      line: (word) => statement(`${word}(1)`),
      scopes: ['support.function.command.vigil'],
    },
    {
      what: 'condition',
      words: conditions,
      line: (word) => statement(`IF ${word}(1)`),
      scopes: ['support.function.condition.vigil', 'variable.language.byte.vigil'],
    },
    { what: 'element', words: elements, line: statement, scopes: ['support.variable.element.vigil'] },
    { what: 'element after a module', words: elements.map((e) => e.toLowerCase()), line: (w) => statement(`CTRL.${w} = ON`), scopes: ['support.variable.element.vigil'] },
    { what: 'event', words: elements, line: (word) => `EVENT FRONT.${word}`, scopes: ['entity.name.function.event.vigil'] },
    {
      what: 'flag',
      words: [...new Set(tableRows(section('### 10.4')).flat().filter((cell) => /^F[A-Z]+$/.test(cell)))],
      line: (word) => statement(`IF FLAGS(${word})`),
      scopes: ['support.constant.flag.vigil'],
    },
    { what: 'system key', words: keys.slice(1).filter(isWord), line: (w) => statement(`OFFICE.SYSTEMKEY = ${w}`), scopes: ['support.constant.system-key.vigil'] },
  ];
}

// --- Tests ---------------------------------------------------------------

before(async () => {
  [grammar, scenarioGrammar] = await loadGrammars();
});

describe('words of the language reference', () => {
  it('highlights every word of each list as what it is (keywords in both cases as known words)', () => {
    const minimum: Record<string, number> = { keyword: 40, command: 19, condition: 15, element: 100, flag: 17, 'system key': 10 };
    for (const { what, words, line, scopes } of wordLists()) {
      assert.ok(words.length >= (minimum[what] ?? 1), `${what}: the list is read from docs/language.md`);
      for (const word of what === 'keyword' ? [...words, ...words.map((w) => w.toLowerCase())] : words) {
        const found = scopesOf(line(word), word);
        const where = `${what} ${word}: ${found.join(' ')}`;
        if (scopes.length > 0) {
          assert.ok(scopes.some((scope) => found.includes(scope)), where);
        } else {
          assert.ok(found.length > 1 && !found.includes('variable.other.vigil'), where);
        }
        assert.ok(!found.some((s) => s.startsWith('invalid.')), where);
      }
    }
  });

  it('does not mistake a longer word for a known one', () => {
    for (const word of ['DOORS', 'IFS', 'RELAY9', 'INPUT9', 'USEREVENT74', 'ONE', 'MARKS', 'EXINPUT12']) {
      assert.ok(scopesOf(`EVENT CTRL.INIT\n  ${word}`, word).includes('variable.other.vigil'), word);
    }
  });
});

describe('the example scripts', () => {
  it('show comments only on ; lines, nothing as invalid, and every event and declared name', () => {
    const scripts = fs.readdirSync(examplesFolder).filter((name) => name.endsWith('.txt'));
    assert.ok(scripts.length > 0, `scripts in ${examplesFolder}`);
    for (const name of scripts) {
      const text = fs.readFileSync(path.join(examplesFolder, name), 'latin1');
      const tokens = tokenize(text);
      text.split(/\r?\n|\r/).forEach((line, index) => {
        const where = `${name}:${index + 1}: ${line}`;
        const words = tokens[index].filter((t) => t.text.trim() !== '');
        for (const token of words) {
          assert.ok(!token.scopes.some((s) => s.startsWith('invalid.')), `${where}: "${token.text}" ${token.scopes.join(' ')}`);
          assert.equal(token.scopes.includes('comment.line.semicolon.vigil'), /^ *;/.test(line), `${where}: "${token.text}"`);
        }
        const named = /^\s*EVENT\s/i.test(line)
          ? /^entity\.name\.function\.event\.vigil$/
          : /^(MODULE|PARTITION)\b/i.test(line)
            ? /^entity\.name\.type\.(module|partition)\.vigil$/
            : undefined;
        if (named !== undefined) {
          assert.ok(words.some((t) => t.scopes.some((s) => named.test(s))), `${where}: the name is highlighted`);
        }
      });
    }
  });
});

describe('the example scenario files', () => {
  it('show nothing as invalid, comments only on ; lines, and a keyword at the start of every other line', () => {
    const files = fs.readdirSync(examplesFolder).filter((name) => name.endsWith('.scenarios'));
    assert.ok(files.length > 0, `scenario files in ${examplesFolder}`);
    for (const name of files) {
      const text = fs.readFileSync(path.join(examplesFolder, name), 'latin1');
      const tokens = tokenize(text, scenarioGrammar);
      text.split(/\r?\n|\r/).forEach((line, index) => {
        const where = `${name}:${index + 1}: ${line}`;
        const words = tokens[index].filter((t) => t.text.trim() !== '');
        for (const token of words) {
          assert.ok(!token.scopes.some((s) => s.startsWith('invalid.')), `${where}: "${token.text}" ${token.scopes.join(' ')}`);
        }
        const comment = /^\s*;/.test(line);
        if (words.length > 0) {
          const first = words[0].scopes.join(' ');
          assert.ok(comment ? first.includes('comment.line') : /keyword\.control\.\w+\.vigil-scenarios/.test(first), `${where}: ${first}`);
        }
      });
    }
  });
});
