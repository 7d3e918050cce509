// From settings to the command line of `vigil lsp`: the logic that the
// extension runs, tested on real files in a temporary folder and, for
// Windows, with an executable check that knows only the files it is given.

import { strict as assert } from 'node:assert';
import { spawnSync } from 'node:child_process';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { after, before, describe, it } from 'node:test';

import {
  buildServerOptions,
  describeStartFailure,
  expandVariables,
  findOnPath,
  formatCommandLine,
  HostEnvironment,
  normalizeServerSettings,
  resolveServerCommand,
  ServerCommandError,
} from '../../src/serverCommand';

const posixOnly = process.platform === 'win32' ? 'needs POSIX file modes' : false;
let scratch: string;

function makeFile(relative: string, mode: number, text = '#!/bin/sh\nexit 0\n'): string {
  const file = path.join(scratch, relative);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, text);
  fs.chmodSync(file, mode);
  return file;
}

function host(overrides: Partial<HostEnvironment> = {}): HostEnvironment {
  return { platform: 'linux', env: { PATH: '' }, homeDir: '/home/installer', ...overrides };
}

function only(...files: string[]): (file: string) => boolean {
  const known = new Set(files.map((f) => f.toLowerCase()));
  return (file) => known.has(file.toLowerCase());
}

/** Asserts that `run` throws a ServerCommandError matching `message` that names `setting`. */
function assertRefused(run: () => unknown, message: RegExp, setting = 'vigil.server.path'): void {
  assert.throws(run, (error: unknown) => {
    assert.ok(error instanceof ServerCommandError, String(error));
    assert.match(error.message, message);
    assert.equal(error.setting, setting);
    return true;
  });
}

before(() => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-vscode-'));
});

after(() => {
  fs.rmSync(scratch, { recursive: true, force: true });
});

describe('normalizeServerSettings', () => {
  it('keeps good values, replaces the wrong types by the defaults and names each problem', () => {
    const cases: [unknown, unknown, { path: string; args: string[] }, RegExp[]][] = [
      [undefined, null, { path: 'vigil', args: [] }, []],
      ['   ', [], { path: 'vigil', args: [] }, []],
      ['  /opt/vigil ', ['--log', 'a b', ''], { path: '/opt/vigil', args: ['--log', 'a b', ''] }, []],
      [42, undefined, { path: 'vigil', args: [] }, [/vigil\.server\.path must be a string, not a number/]],
      [
        'vigil',
        ['--a', 7, { b: 1 }, null],
        { path: 'vigil', args: ['--a'] },
        [/args\[1\] must be a string, not a number/, /args\[2\] .* not an object/, /args\[3\] .* not null/],
      ],
      [undefined, '--log x', { path: 'vigil', args: [] }, [/must be a list of strings, not a string/]],
    ];
    for (const [rawPath, rawArgs, settings, problems] of cases) {
      const result = normalizeServerSettings(rawPath, rawArgs);
      assert.deepEqual(result.settings, settings);
      assert.equal(result.problems.length, problems.length, result.problems.join('\n'));
      problems.forEach((problem, index) => assert.match(result.problems[index], problem));
    }
  });
});

describe('expandVariables', () => {
  const h = host({ env: { PATH: '', VIGIL_HOME: '/opt/vigil' }, workspaceFolder: '/sites/north' });

  it('expands the folder, the home folder, environment variables and a leading ~', () => {
    for (const [value, expanded] of [
      ['${workspaceFolder}/build/vigil', '/sites/north/build/vigil'],
      ['${userHome}/bin/vigil', '/home/installer/bin/vigil'],
      ['${env:VIGIL_HOME}:${env:VIGIL_HOME}', '/opt/vigil:/opt/vigil'],
      ['${env:NOT_SET_ANYWHERE}/vigil', '/vigil'],
      ['~', '/home/installer'],
      ['~/bin/vigil', '/home/installer/bin/vigil'],
      ['~other/bin/vigil', '~other/bin/vigil'],
      ['/opt/~/vigil', '/opt/~/vigil'],
      ['--log=/tmp/a b', '--log=/tmp/a b'],
    ]) {
      assert.equal(expandVariables(value, h), expanded, value);
    }
    const win = host({ platform: 'win32', env: { Path: 'C:\\bin', VigilHome: 'D:\\vigil' } });
    assert.equal(expandVariables('${env:VIGILHOME}\\vigil.exe', win), 'D:\\vigil\\vigil.exe');
  });

  it('refuses an unknown variable, and ${workspaceFolder} when no folder is open', () => {
    assertRefused(() => expandVariables('${workspaceRoot}/vigil', h), /\$\{workspaceRoot\}/, 'vigil.server');
    assertRefused(() => expandVariables('${workspaceFolder}/vigil', host()), /no folder is open/, 'vigil.server');
  });
});

describe('findOnPath', () => {
  it('takes the first executable vigil on PATH, skipping folders and relative entries', { skip: posixOnly }, () => {
    makeFile('a/vigil', 0o644); // not executable
    fs.mkdirSync(path.join(scratch, 'b/vigil'), { recursive: true });
    const wanted = makeFile('c/vigil', 0o755);
    makeFile('d/vigil', 0o755);
    const folders = ['', '.', 'd', ...['a', 'b', 'c', 'd'].map((f) => path.join(scratch, f))];
    const cwd = process.cwd();
    process.chdir(scratch);
    try {
      assert.equal(findOnPath('vigil', host({ env: { PATH: folders.join(':') } })), wanted);
      assert.equal(findOnPath('vigil', host({ env: { PATH: '::.:d' } })), undefined);
      assert.equal(findOnPath('vigil', host({ env: {} })), undefined);
    } finally {
      process.chdir(cwd);
    }
  });

  it('on Windows tries PATHEXT in order, folder by folder, and never a batch file', () => {
    const env = { Path: 'C:\\tools;"C:\\Program Files\\Vigil"', PATHEXT: '.BAT;.COM;.EXE;.CMD' };
    const h = host({ platform: 'win32', env });
    const cases: [string, string[], string | undefined][] = [
      ['vigil', ['C:\\Program Files\\Vigil\\vigil.exe', 'C:\\Program Files\\Vigil\\vigil.com'], 'C:\\Program Files\\Vigil\\vigil.com'],
      ['vigil', ['C:\\tools\\vigil.exe', 'C:\\Program Files\\Vigil\\vigil.com'], 'C:\\tools\\vigil.exe'],
      ['vigil', ['C:\\tools\\vigil.cmd', 'C:\\tools\\vigil.bat'], undefined],
      ['vigil.exe', ['C:\\tools\\vigil.exe'], 'C:\\tools\\vigil.exe'],
    ];
    for (const [name, files, found] of cases) {
      assert.equal(findOnPath(name, h, only(...files)), found, files.join(' '));
    }
  });
});

describe('resolveServerCommand', () => {
  it('runs the vigil found on PATH, or a relative path from the folder, with lsp and the arguments', { skip: posixOnly }, () => {
    const site = path.join(scratch, 'site');
    const onPath = makeFile('resolve-path/vigil', 0o755);
    const built = makeFile('site/build/vigil', 0o755);
    const h = host({ env: { PATH: path.dirname(onPath) }, workspaceFolder: site });
    assert.deepEqual(resolveServerCommand({ path: 'vigil', args: ['--log', '${workspaceFolder}/lsp.log'] }, h), {
      command: onPath,
      args: ['lsp', '--log', `${site}/lsp.log`],
      cwd: site,
    });
    for (const configured of ['build/vigil', './build/vigil', '${workspaceFolder}/build/vigil']) {
      assert.equal(resolveServerCommand({ path: configured, args: [] }, h).command, built, configured);
    }
  });

  it('refuses what cannot be run and says which setting to change', { skip: posixOnly }, () => {
    const plain = makeFile('plain/vigil', 0o644);
    for (const configured of [plain, path.join(scratch, 'missing/vigil'), scratch]) {
      assertRefused(() => resolveServerCommand({ path: configured, args: [] }, host()), /is not an executable file/);
    }
    const empty = host({ env: { PATH: path.join(scratch, 'empty') } });
    assertRefused(() => resolveServerCommand({ path: 'vigil', args: [] }, empty), /"vigil" was not found on PATH/);
    assertRefused(() => resolveServerCommand({ path: 'build/vigil', args: [] }, host()), /relative path, but no folder/);
    const args = { path: '/opt/vigil', args: ['${nope}'] };
    assertRefused(() => resolveServerCommand(args, host(), only('/opt/vigil')), /\$\{nope\}/, 'vigil.server');
  });

  it('on Windows takes backslash paths from the folder and refuses batch files', () => {
    const h = host({ platform: 'win32', workspaceFolder: 'C:\\sites\\north' });
    const exe = 'C:\\sites\\north\\build\\vigil.exe';
    assert.equal(resolveServerCommand({ path: 'build\\vigil.exe', args: [] }, h, only(exe)).command, exe);
    const batch = { path: 'C:\\tools\\vigil.cmd', args: [] };
    assertRefused(() => resolveServerCommand(batch, h, only('C:\\tools\\vigil.cmd')), /batch file/);
  });
});

describe('buildServerOptions', () => {
  it('runs the program without a shell, in the folder, with every argument unchanged', { skip: posixOnly }, () => {
    const echo = makeFile('echo/vigil', 0o755, '#!/bin/sh\npwd\nfor a in "$@"; do printf "<%s>\\n" "$a"; done\n');
    const folder = fs.mkdtempSync(path.join(scratch, 'site with blanks '));
    const h = host({ env: { PATH: path.dirname(echo) }, workspaceFolder: folder });
    const args = ['--log', 'a file.log', '$HOME', '`id`', ';', '*'];
    const options = buildServerOptions(resolveServerCommand({ path: 'vigil', args }, h));
    assert.deepEqual(options.debug, options.run);
    const launch = options.run;
    const result = spawnSync(launch.command, launch.args, { ...launch.options, encoding: 'utf8' });
    assert.equal(result.status, 0, result.stderr);
    const lines = result.stdout.trimEnd().split('\n');
    assert.equal(fs.realpathSync(lines[0]), fs.realpathSync(folder));
    assert.deepEqual(lines.slice(1), ['<lsp>', ...args.map((a) => `<${a}>`)]);
  });
});

describe('messages', () => {
  it('quote the command line and explain the usual ways a start fails', () => {
    const server = { command: '/opt/vigil', args: ['lsp', '--log', 'a b.log', ''] };
    const line = '/opt/vigil lsp --log "a b.log" ""';
    assert.equal(formatCommandLine(server), line);
    const failure = (code: string) => Object.assign(new Error(`spawn ${code}`), { code });
    assert.match(describeStartFailure(failure('ENOENT'), server), /\/opt\/vigil does not exist/);
    assert.match(describeStartFailure(failure('EACCES'), server), /may not be run/);
    assert.ok(describeStartFailure(new Error('closed.'), server).endsWith(`(${line}): closed.`));
    assert.match(describeStartFailure('odd', server), /: odd$/);
  });
});
