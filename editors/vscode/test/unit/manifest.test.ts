// The extension's manifest, language configuration and bundle agree with
// each other, with the code and with the language: what package.json
// promises is what ships.

import { strict as assert } from 'node:assert';
import { execFileSync } from 'node:child_process';
import { builtinModules } from 'node:module';
import * as fs from 'node:fs';
import * as path from 'node:path';
import { describe, it } from 'node:test';

import { DEFAULT_SERVER_PATH, SERVER_SETTINGS_SECTION } from '../../src/serverCommand';

const extensionRoot = path.resolve(__dirname, '../../..');
const examplesFolder = path.resolve(extensionRoot, '../../examples');
const readJson = (relative: string): any => JSON.parse(fs.readFileSync(path.join(extensionRoot, relative), 'utf8'));
const manifest = readJson('package.json');
const toRegExp = (setting: { pattern: string; flags?: string }, extra = ''): RegExp =>
  new RegExp(setting.pattern, (setting.flags ?? '') + extra);

describe('package.json', () => {
  it('contributes the vigil language with its grammar and configuration files', () => {
    const [language] = manifest.contributes.languages;
    assert.deepEqual([language.id, language.extensions], ['vigil', ['.vgl', '.vigil']]);
    assert.ok(fs.existsSync(path.join(extensionRoot, language.configuration)));
    const languages = manifest.contributes.languages.map((l: { id: string }) => l.id);
    const grammars = manifest.contributes.grammars;
    assert.deepEqual(grammars.map((g: { language: string }) => g.language), languages, 'a grammar for each language');
    for (const contributed of grammars) {
      assert.equal(readJson(contributed.path).scopeName, contributed.scopeName);
    }
  });

  it('has an icon: a 128x128 PNG that goes into the package', () => {
    const icon = fs.readFileSync(path.join(extensionRoot, manifest.icon));
    assert.deepEqual([...icon.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
    assert.deepEqual([icon.readUInt32BE(16), icon.readUInt32BE(20)], [128, 128]);
    assert.match(fs.readFileSync(path.join(extensionRoot, '.vscodeignore'), 'utf8'), new RegExp(`^!${manifest.icon}$`, 'm'));
  });

  it('defines the task type the task provider provides, with the two tools it knows', () => {
    const [definition] = manifest.contributes.taskDefinitions;
    assert.equal(definition.type, 'vigil');
    assert.deepEqual(definition.properties.tool.enum, ['vigilc', 'check']);
    const matchers = manifest.contributes.problemMatchers.map((m: { name: string }) => `$${m.name}`).sort();
    const source = fs.readFileSync(path.join(extensionRoot, 'src/tasks.ts'), 'utf8');
    assert.deepEqual([...source.matchAll(/'(\$[\w-]+)'/g)].map((m) => m[1]).sort(), matchers);
  });

  it('recognises a file without extension by a MODULE line at its top, and nothing else', () => {
    const firstLine = new RegExp(manifest.contributes.languages[0].firstLine);
    for (const line of ['MODULE = CTRL,0', 'module PANEL = PANEL,0', 'Module=DOOR1,1,0,2,5,30,10']) {
      assert.ok(firstLine.test(line), line);
    }
    for (const line of ['; a comment', 'MODULES = 3', 'MODULE without an equals sign', ' MODULE = CTRL,0']) {
      assert.ok(!firstLine.test(line), line);
    }
  });

  it('declares the settings the code reads, and keeps an untrusted workspace from choosing the program', () => {
    const properties = manifest.contributes.configuration.properties;
    assert.equal(properties[`${SERVER_SETTINGS_SECTION}.path`].default, DEFAULT_SERVER_PATH);
    assert.deepEqual(properties[`${SERVER_SETTINGS_SECTION}.args`].default, []);
    assert.ok(properties['vigil.trace.server'], 'the client reads vigil.trace.server for its id "vigil"');
    const restricted: string[] = manifest.capabilities.untrustedWorkspaces.restrictedConfigurations;
    assert.deepEqual(restricted.sort(), ['vigil.compiler.path', `${SERVER_SETTINGS_SECTION}.args`, `${SERVER_SETTINGS_SECTION}.path`]);
    assert.equal(properties['vigil.compiler.path'].default, 'vigilc');
  });

  it('contributes exactly the commands that the extension registers', () => {
    const sources = fs.readdirSync(path.join(extensionRoot, 'src')).map((name) => path.join(extensionRoot, 'src', name));
    const source = sources.map((file) => fs.readFileSync(file, 'utf8')).join('\n');
    const registered = [...source.matchAll(/registerCommand\(\s*'([^']+)'/g)].map((m) => m[1]).sort();
    const contributed = manifest.contributes.commands.map((c: { command: string }) => c.command).sort();
    assert.deepEqual(registered, contributed);
  });

  it('asks for a VS Code no older than the API it is compiled against', () => {
    const typesVersion: string = JSON.parse(fs.readFileSync(require.resolve('@types/vscode/package.json'), 'utf8')).version;
    const engine = /^\^(\d+)\.(\d+)\.\d+$/.exec(manifest.engines.vscode);
    assert.ok(engine, manifest.engines.vscode);
    const [major, minor] = typesVersion.split('.').map(Number);
    assert.ok(Number(engine[1]) > major || (Number(engine[1]) === major && Number(engine[2]) >= minor), typesVersion);
  });
});

describe('language-configuration.json', () => {
  const configuration = readJson('language-configuration.json');
  const foldStart = toRegExp(configuration.folding.markers.start);
  const foldEnd = toRegExp(configuration.folding.markers.end);
  const indent = toRegExp(configuration.indentationRules.increaseIndentPattern);
  const outdent = toRegExp(configuration.indentationRules.decreaseIndentPattern);

  it('folds and indents at the block words in any case, and nowhere else', () => {
    // line, then whether it opens a fold, closes one, indents after it, outdents itself
    const cases: [string, boolean, boolean, boolean, boolean][] = [
      ['EVENT FRONT.VALID', true, false, true, false],
      ['  if timeplan(2)', true, false, true, false],
      ['  Else', false, false, true, true],
      ['  EndIf', false, true, false, true],
      ['EVENTEND', false, true, false, true],
      ['; IF a comment', false, false, false, false],
      ['IFFY = ON', false, false, false, false],
      ['EVENTS = 1', false, false, false, false],
      ['ENDIFS = 1', false, false, false, false],
      ['  DOOR()', false, false, false, false],
    ];
    for (const [line, ...expected] of cases) {
      assert.deepEqual([foldStart, foldEnd, indent, outdent].map((r) => r.test(line)), expected, line);
    }
  });

  it('folds every block of the example scripts and leaves none open', () => {
    const scripts = fs.readdirSync(examplesFolder).filter((name) => name.endsWith('.txt'));
    assert.ok(scripts.length > 0);
    for (const name of scripts) {
      const lines = fs.readFileSync(path.join(examplesFolder, name), 'latin1').split(/\r?\n|\r/);
      const open: string[] = [];
      let folds = 0;
      lines.forEach((line, index) => {
        if (foldStart.test(line)) {
          open.push(/^\s*event/i.test(line) ? 'EVENTEND' : 'ENDIF');
        } else if (foldEnd.test(line)) {
          assert.equal(open.pop(), line.trim().split(/[\s;]/)[0].toUpperCase(), `${name}:${index + 1}: closes its own block`);
          folds++;
        }
      });
      assert.deepEqual(open, [], `${name}: every block is closed`);
      assert.ok(folds > 0, name);
    }
  });

  it('selects a module name with a dash and a number with an exponent as one word', () => {
    const word = toRegExp(configuration.wordPattern, 'g');
    assert.deepEqual('MAIN-PANEL.EXOUTPUT1 = ON'.match(word), ['MAIN-PANEL', 'EXOUTPUT1', 'ON']);
    assert.deepEqual('LIGHTS = 25E-1'.match(word), ['LIGHTS', '25E-1']);
  });
});

describe('the bundle and the package contents', () => {
  it('dist/extension.js needs nothing but vscode and node built-ins', () => {
    const text = fs.readFileSync(path.join(extensionRoot, 'dist/extension.js'), 'utf8');
    const required = new Set([...text.matchAll(/\brequire\(\s*["']([^"']+)["']\s*\)/g)].map((m) => m[1]));
    assert.ok(required.has('vscode'));
    for (const name of required) {
      assert.ok(name === 'vscode' || builtinModules.includes(name.replace(/^node:/, '')), `bundle requires ${name}`);
    }
  });

  it('packages the bundle, grammar, configuration, README and LICENSE, and no sources', () => {
    const vsce = path.join(extensionRoot, 'node_modules/@vscode/vsce/vsce');
    const listing = execFileSync(process.execPath, [vsce, 'ls', '--no-dependencies'], { cwd: extensionRoot, encoding: 'utf8' });
    const files = listing.split('\n').map((l) => l.trim()).filter((l) => l !== '');
    const wanted = ['package.json', 'dist/extension.js', 'syntaxes/vigil.tmLanguage.json', 'language-configuration.json'];
    for (const file of [...wanted, 'README.md', 'LICENSE']) {
      assert.ok(files.includes(file), `${file} in ${files.join(', ')}`);
    }
    for (const file of files) {
      assert.ok(!/^(node_modules|src|test|out|scripts)\/|\.(ts|vsix|map)$|^tsconfig/.test(file), `${file} is left out`);
    }
  });
});
