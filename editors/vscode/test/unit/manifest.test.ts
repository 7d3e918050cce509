// The extension's manifest, language configuration and bundle agree with
// each other and with the code: what package.json promises is what ships.

import { strict as assert } from 'node:assert';
import { execFileSync } from 'node:child_process';
import { builtinModules } from 'node:module';
import * as fs from 'node:fs';
import * as path from 'node:path';
import { describe, it } from 'node:test';

import { DEFAULT_SERVER_PATH, normalizeServerSettings, SERVER_SETTINGS_SECTION } from '../../src/serverCommand';

const extensionRoot = path.resolve(__dirname, '../../..');
const examplesFolder = path.resolve(extensionRoot, '../../examples');

function readJson(relative: string): any {
  return JSON.parse(fs.readFileSync(path.join(extensionRoot, relative), 'utf8'));
}

const manifest = readJson('package.json');

interface RegExpSetting {
  pattern: string;
  flags?: string;
}

function toRegExp(setting: string | RegExpSetting): RegExp {
  return typeof setting === 'string' ? new RegExp(setting) : new RegExp(setting.pattern, setting.flags);
}

describe('package.json', () => {
  it('names the extension and keeps the version a plain x.y.z field', () => {
    assert.equal(manifest.name, 'vigil');
    assert.equal(manifest.publisher, 'vigil');
    assert.equal(manifest.displayName, 'Vigil event scripts');
    assert.match(manifest.version, /^\d+\.\d+\.\d+$/);
    assert.match(manifest.scripts.package, /vigil-\$npm_package_version\.vsix/);
  });

  it('contributes the vigil language with its grammar and configuration files', () => {
    const [language] = manifest.contributes.languages;
    assert.equal(language.id, 'vigil');
    assert.deepEqual(language.extensions, ['.vgl', '.vigil']);
    assert.ok(fs.existsSync(path.join(extensionRoot, language.configuration)));

    const [contributed] = manifest.contributes.grammars;
    assert.equal(contributed.language, 'vigil');
    const grammar = readJson(contributed.path);
    assert.equal(grammar.scopeName, contributed.scopeName);
    assert.equal(grammar.scopeName, 'source.vigil');
  });

  it('recognises a file without extension by a MODULE line at its top, and nothing else', () => {
    const firstLine = new RegExp(manifest.contributes.languages[0].firstLine);
    for (const line of ['MODULE = CTRL,0', 'module PANEL = PANEL,0', 'Module=DOOR1,1,0,2,5,30,10']) {
      assert.ok(firstLine.test(line), line);
    }
    for (const line of ['; a comment', 'MODULES = 3', 'MODULE without an equals sign', ' MODULE = CTRL,0', '[module]']) {
      assert.ok(!firstLine.test(line), line);
    }
  });

  it('declares the server settings that the code reads, with the same defaults', () => {
    const properties = manifest.contributes.configuration.properties;
    const pathSetting = properties[`${SERVER_SETTINGS_SECTION}.path`];
    const argsSetting = properties[`${SERVER_SETTINGS_SECTION}.args`];
    assert.equal(pathSetting.default, DEFAULT_SERVER_PATH);
    assert.deepEqual(argsSetting.default, []);
    assert.deepEqual(normalizeServerSettings(pathSetting.default, argsSetting.default), {
      settings: { path: DEFAULT_SERVER_PATH, args: [] },
      problems: [],
    });
    assert.ok(properties['vigil.trace.server'], 'the client reads vigil.trace.server for its id "vigil"');
  });

  it('keeps an untrusted workspace from choosing the program that is run', () => {
    const restricted: string[] = manifest.capabilities.untrustedWorkspaces.restrictedConfigurations;
    assert.ok(restricted.includes(`${SERVER_SETTINGS_SECTION}.path`));
    assert.ok(restricted.includes(`${SERVER_SETTINGS_SECTION}.args`));
  });

  it('contributes exactly the commands that the extension registers', () => {
    const source = fs.readFileSync(path.join(extensionRoot, 'src/extension.ts'), 'utf8');
    const registered = [...source.matchAll(/registerCommand\(\s*'([^']+)'/g)].map((m) => m[1]).sort();
    const contributed = manifest.contributes.commands.map((c: { command: string }) => c.command).sort();
    assert.deepEqual(registered, contributed);
    assert.ok(contributed.includes('vigil.restartServer'));
  });

  it('asks for a VS Code no newer than the API it is compiled against allows', () => {
    const typesVersion: string = JSON.parse(
      fs.readFileSync(require.resolve('@types/vscode/package.json'), 'utf8'),
    ).version;
    const engine = /^\^(\d+)\.(\d+)\.\d+$/.exec(manifest.engines.vscode);
    assert.ok(engine, manifest.engines.vscode);
    const [major, minor] = typesVersion.split('.').map(Number);
    assert.ok(
      Number(engine[1]) > major || (Number(engine[1]) === major && Number(engine[2]) >= minor),
      `engines.vscode ${manifest.engines.vscode} covers @types/vscode ${typesVersion}`,
    );
  });
});

describe('language-configuration.json', () => {
  const configuration = readJson('language-configuration.json');
  const foldStart = toRegExp(configuration.folding.markers.start);
  const foldEnd = toRegExp(configuration.folding.markers.end);
  const indent = toRegExp(configuration.indentationRules.increaseIndentPattern);
  const outdent = toRegExp(configuration.indentationRules.decreaseIndentPattern);

  it('comments with ; and pairs round brackets', () => {
    assert.equal(configuration.comments.lineComment, ';');
    assert.deepEqual(configuration.brackets, [['(', ')']]);
  });

  it('opens folds at EVENT and IF and closes them at EVENTEND and ENDIF, in any case', () => {
    for (const line of ['EVENT FRONT.VALID', '  if timeplan(2)', 'Event ctrl.init', '  IF NOT PASSED']) {
      assert.ok(foldStart.test(line), line);
    }
    for (const line of ['EVENTEND', '  endif', '; IF a comment', 'IFFY = ON', '  ELSE', 'EVENTS = 1']) {
      assert.ok(!foldStart.test(line), line);
    }
    for (const line of ['EVENTEND', '  EndIf']) {
      assert.ok(foldEnd.test(line), line);
    }
    for (const line of ['EVENT FRONT.VALID', 'ENDIFS = 1', '; ENDIF']) {
      assert.ok(!foldEnd.test(line), line);
    }
  });

  it('indents after EVENT, IF and ELSE and outdents EVENTEND, ELSE and ENDIF', () => {
    for (const line of ['EVENT FRONT.VALID', '  IF PASSED', '  else']) {
      assert.ok(indent.test(line), line);
    }
    for (const line of ['EVENTEND', '  ELSE', '  endif']) {
      assert.ok(outdent.test(line), line);
    }
    for (const line of ['  DOOR()', '; EVENT', '  RELAY1 = ON']) {
      assert.ok(!indent.test(line) && !outdent.test(line), line);
    }
  });

  it('folds every block of the example scripts and leaves none open', () => {
    const scripts = fs.readdirSync(examplesFolder).filter((name) => name.endsWith('.txt'));
    assert.ok(scripts.length > 0);
    for (const name of scripts) {
      const lines = fs.readFileSync(path.join(examplesFolder, name), 'latin1').split(/\r?\n|\r/);
      const open: { line: number; kind: string }[] = [];
      let folds = 0;
      lines.forEach((line, index) => {
        const where = `${name}:${index + 1}: ${line}`;
        if (foldStart.test(line)) {
          open.push({ line: index, kind: /^\s*event/i.test(line) ? 'EVENT' : 'IF' });
        } else if (foldEnd.test(line)) {
          const block = open.pop();
          assert.ok(block, `${where}: closes an open block`);
          assert.equal(block.kind === 'EVENT', /^\s*eventend/i.test(line), `${where}: closes its own kind`);
          folds++;
        }
      });
      assert.deepEqual(open, [], `${name}: every block is closed`);
      assert.equal(folds, lines.filter((l) => /^\s*(EVENTEND|ENDIF)\b/i.test(l)).length);
      assert.ok(folds > 0, name);
    }
  });

  it('selects a module name with a dash and a number with an exponent as one word', () => {
    const word = new RegExp(configuration.wordPattern.pattern, `${configuration.wordPattern.flags ?? ''}g`);
    assert.deepEqual('MAIN-PANEL.EXOUTPUT1 = ON'.match(word), ['MAIN-PANEL', 'EXOUTPUT1', 'ON']);
    assert.deepEqual('LIGHTS = 25E-1'.match(word), ['LIGHTS', '25E-1']);
    assert.deepEqual('DELAY(5)'.match(word), ['DELAY', '5']);
  });
});

describe('the bundle and the package contents', () => {
  it('dist/extension.js needs nothing but vscode and node built-ins', () => {
    const bundle = path.join(extensionRoot, 'dist/extension.js');
    assert.ok(fs.existsSync(bundle), 'dist/extension.js is built (npm run build)');
    const text = fs.readFileSync(bundle, 'utf8');
    const required = new Set([...text.matchAll(/\brequire\(\s*["']([^"']+)["']\s*\)/g)].map((m) => m[1]));
    assert.ok(required.has('vscode'));
    const builtins = new Set(builtinModules);
    for (const name of required) {
      assert.ok(name === 'vscode' || builtins.has(name.replace(/^node:/, '')), `bundle requires ${name}`);
    }
  });

  it('packages the bundle, grammar, configuration, README and LICENSE, and no sources or node_modules', () => {
    const vsce = path.join(extensionRoot, 'node_modules/@vscode/vsce/vsce');
    const listing = execFileSync(process.execPath, [vsce, 'ls', '--no-dependencies'], {
      cwd: extensionRoot,
      encoding: 'utf8',
    });
    const files = listing.split('\n').map((l) => l.trim()).filter((l) => l !== '');
    for (const wanted of [
      'package.json',
      'dist/extension.js',
      'syntaxes/vigil.tmLanguage.json',
      'language-configuration.json',
      'README.md',
      'LICENSE',
    ]) {
      assert.ok(files.includes(wanted), `${wanted} in ${files.join(', ')}`);
    }
    for (const file of files) {
      assert.ok(!/^(node_modules|src|test|out|scripts)\//.test(file), `${file} is left out`);
      assert.ok(!/\.(ts|vsix|map)$/.test(file) && !file.startsWith('tsconfig'), `${file} is left out`);
    }
  });
});
