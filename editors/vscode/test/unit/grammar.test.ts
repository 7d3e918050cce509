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

interface Token {
  text: string;
  scopes: string[];
}

let grammar: textmate.IGrammar;

async function loadGrammar(): Promise<textmate.IGrammar> {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (sources: string[]) => new oniguruma.OnigScanner(sources),
      createOnigString: (text: string) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName: string) => {
      if (scopeName !== 'source.vigil') {
        return null;
      }
      const file = path.join(extensionRoot, 'syntaxes/vigil.tmLanguage.json');
      return textmate.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
  const loaded = await registry.loadGrammar('source.vigil');
  assert.ok(loaded, 'the grammar source.vigil loads');
  return loaded;
}

/** Tokenizes a script line by line (CR LF or LF), as the editor does. */
function tokenize(text: string): Token[][] {
  let stack = textmate.INITIAL;
  return text.split(/\r?\n|\r/).map((line) => {
    const result = grammar.tokenizeLine(line, stack);
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

/** Scopes of a word standing alone as a statement inside an event. */
function statementScopes(word: string): string[] {
  return scopesOf(`EVENT CTRL.INIT\n  ${word}`, word);
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
  return text
    .split('\n')
    .filter((line) => line.startsWith('|') && !/^\|[-| ]+\|$/.test(line))
    .map((line) =>
      line
        .slice(1, -1)
        .split('|')
        .map((cell) => cell.trim()),
    );
}

/** INPUT1-INPUT8 → INPUT1 ... INPUT8; INPUT1ON-INPUT8ON → INPUT1ON ... INPUT8ON. */
function expandRange(name: string): string[] {
  const range = /^([A-Z]+)(\d+)([A-Z]*)-\1(\d+)\3$/.exec(name);
  if (range === null) {
    return [name];
  }
  const [, prefix, from, suffix, to] = range;
  const names: string[] = [];
  for (let n = Number(from); n <= Number(to); n++) {
    names.push(`${prefix}${n}${suffix}`);
  }
  return names;
}

const isWord = (text: string): boolean => /^[A-Z][A-Z0-9_]*$/.test(text);

function keywordsFromReference(): string[] {
  const text = section('### 10.1');
  const match = /Keywords \(accepted everywhere\):([\s\S]*?)the ten SYSTEMKEY key words/.exec(text);
  assert.ok(match, 'the keyword list of 10.1 is found');
  return match[1]
    .split(',')
    .map((w) => w.trim())
    .filter(isWord);
}

function elementNamesFromReference(): string[] {
  const text = section('### 10.1');
  const names = new Set<string>();
  for (const [kind, list] of tableRows(text.slice(0, text.indexOf('Keywords (accepted everywhere)')))) {
    if (kind === 'Module kind' || list === undefined) {
      continue;
    }
    for (const item of list.split(',').map((w) => w.trim())) {
      for (const name of expandRange(item)) {
        if (isWord(name)) {
          names.add(name);
        }
      }
    }
  }
  return [...names];
}

function commandsFromReference(): string[] {
  const text = section('## 9. Commands');
  const table = text.slice(0, text.indexOf('Details:'));
  return [...new Set(tableRows(table).map((row) => row[0]).filter((cell) => isWord(cell) && cell !== 'Command'))];
}

function flagsFromReference(): string[] {
  const rows = tableRows(section('### 10.4'));
  return [...new Set(rows.flat().filter((cell) => /^F[A-Z]+$/.test(cell)))];
}

function systemKeysFromReference(): string[] {
  const row = tableRows(section('### 10.5')).find((cells) => cells[0] === 'Key');
  assert.ok(row, 'the key row of 10.5 is found');
  return row.slice(1).filter(isWord);
}

function conditionWordsFromReference(): string[] {
  // The syntax column of the condition table of section 7: TIMEPLAN(n), PASSED, ...
  const rows = tableRows(section('## 7. Conditions'));
  const words = new Set<string>();
  for (const row of rows) {
    const syntax = /^`([A-Z0-9_]+)(?:\(|`)/.exec(row[1] ?? '');
    if (syntax !== null) {
      words.add(syntax[1]);
    }
  }
  return [...words];
}

// --- Tests ---------------------------------------------------------------

before(async () => {
  grammar = await loadGrammar();
});

describe('words of the language reference', () => {
  it('finds the word lists (a guard against reading docs/language.md wrong)', () => {
    assert.ok(keywordsFromReference().length >= 40);
    assert.ok(elementNamesFromReference().length >= 100);
    assert.ok(commandsFromReference().length >= 19);
    assert.ok(flagsFromReference().length >= 17);
    assert.equal(systemKeysFromReference().length, 10);
    assert.ok(conditionWordsFromReference().length >= 15);
  });

  it('highlights every keyword, in upper and lower case, as a known word', () => {
    for (const keyword of keywordsFromReference()) {
      for (const spelling of [keyword, keyword.toLowerCase()]) {
        const scopes = statementScopes(spelling);
        const own = scopes.filter((s) => s !== 'source.vigil');
        assert.ok(own.length > 0, `${spelling} has a scope`);
        assert.ok(!scopes.includes('variable.other.vigil'), `${spelling} is not a plain name: ${scopes.join(' ')}`);
        assert.ok(!scopes.some((s) => s.startsWith('invalid.')), `${spelling} is not invalid: ${scopes.join(' ')}`);
      }
    }
  });

  it('highlights each command of section 9 as a command', () => {
    for (const command of commandsFromReference()) {
      assert.ok(statementScopes(command).includes('support.function.command.vigil'), command);
      assert.ok(scopesOf(`EVENT CTRL.INIT\n  ${command}(1)`, command).includes('support.function.command.vigil'), command);
    }
  });

  it('highlights each condition of section 7 as a condition or a byte', () => {
    for (const word of conditionWordsFromReference()) {
      const scopes = scopesOf(`EVENT CTRL.INIT\n  IF ${word}(1)`, word);
      assert.ok(
        scopes.includes('support.function.condition.vigil') || scopes.includes('variable.language.byte.vigil'),
        `${word}: ${scopes.join(' ')}`,
      );
    }
  });

  it('highlights every element name of 10.1, bare and after a module name', () => {
    for (const element of elementNamesFromReference()) {
      assert.ok(statementScopes(element).includes('support.variable.element.vigil'), element);
      const qualified = scopesOf(`EVENT CTRL.INIT\n  CTRL.${element.toLowerCase()} = ON`, element.toLowerCase());
      assert.ok(qualified.includes('support.variable.element.vigil'), `CTRL.${element}`);
    }
  });

  it('highlights every event name of 10.1 in an EVENT line as the event', () => {
    for (const element of elementNamesFromReference()) {
      assert.ok(scopesOf(`EVENT FRONT.${element}`, element).includes('entity.name.function.event.vigil'), element);
    }
  });

  it('highlights the flags of 10.4 and the key words of 10.5 as constants', () => {
    for (const flag of flagsFromReference()) {
      assert.ok(scopesOf(`EVENT PANEL.EXINPUT1\n  IF FLAGS(${flag})`, flag).includes('support.constant.flag.vigil'), flag);
    }
    for (const key of systemKeysFromReference()) {
      assert.ok(scopesOf(`EVENT CTRL.INIT\n  OFFICE.SYSTEMKEY = ${key}`, key).includes('support.constant.system-key.vigil'), key);
    }
  });

  it('does not mistake a longer word for a known one', () => {
    for (const word of ['DOORS', 'IFS', 'RELAY9', 'INPUT9', 'USEREVENT74', 'ONE', 'MARKS', 'EXINPUT12']) {
      assert.ok(statementScopes(word).includes('variable.other.vigil'), word);
    }
  });
});

describe('the example scripts', () => {
  const scripts = fs
    .readdirSync(examplesFolder)
    .filter((name) => name.endsWith('.txt'))
    .map((name) => path.join(examplesFolder, name));

  it('are there to read', () => {
    assert.ok(scripts.length > 0, `scripts in ${examplesFolder}`);
  });

  for (const script of scripts) {
    it(`${path.basename(script)}: comments are the ; lines, nothing is invalid, every event is named`, () => {
      const text = fs.readFileSync(script, 'latin1');
      const lines = text.split(/\r?\n|\r/);
      const tokens = tokenize(text);
      lines.forEach((line, index) => {
        const where = `${path.basename(script)}:${index + 1}: ${line}`;
        const lineTokens = tokens[index].filter((t) => t.text.trim() !== '');
        for (const token of lineTokens) {
          assert.ok(!token.scopes.some((s) => s.startsWith('invalid.')), `${where}: "${token.text}" ${token.scopes.join(' ')}`);
        }
        const isComment = /^ *;/.test(line);
        for (const token of lineTokens) {
          assert.equal(token.scopes.includes('comment.line.semicolon.vigil'), isComment, `${where}: "${token.text}"`);
        }
        if (/^\s*EVENT\s/i.test(line)) {
          assert.ok(
            lineTokens.some((t) => t.scopes.includes('entity.name.function.event.vigil')),
            `${where}: the event is named`,
          );
        }
        if (/^(MODULE|PARTITION)\b/i.test(line)) {
          assert.ok(
            lineTokens.some((t) => t.scopes.some((s) => /^entity\.name\.type\.(module|partition)\.vigil$/.test(s))),
            `${where}: the declared name is highlighted`,
          );
        }
      });
    });
  }
});
