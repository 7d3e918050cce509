// From settings to the command line of `vigil lsp`: the logic that the
// extension runs, tested on real files in a temporary folder.

import { strict as assert } from 'node:assert';
import { spawnSync } from 'node:child_process';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { after, before, describe, it } from 'node:test';

import {
  buildServerOptions,
  DEFAULT_SERVER_PATH,
  describeStartFailure,
  expandVariables,
  findOnPath,
  formatCommandLine,
  HostEnvironment,
  isExecutableFile,
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
  return {
    platform: 'linux',
    env: { PATH: '' },
    homeDir: '/home/installer',
    ...overrides,
  };
}

/** An executable check that knows only the files it is given, for Windows paths on any machine. */
function only(...files: string[]): (file: string) => boolean {
  const known = new Set(files.map((f) => f.toLowerCase()));
  return (file) => known.has(file.toLowerCase());
}

before(() => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-vscode-'));
});

after(() => {
  fs.rmSync(scratch, { recursive: true, force: true });
});

describe('normalizeServerSettings', () => {
  it('uses vigil and no extra arguments when nothing is set', () => {
    for (const [rawPath, rawArgs] of [
      [undefined, undefined],
      [null, null],
      ['', []],
      ['   ', undefined],
    ]) {
      const { settings, problems } = normalizeServerSettings(rawPath, rawArgs);
      assert.deepEqual(settings, { path: DEFAULT_SERVER_PATH, args: [] });
      assert.deepEqual(problems, []);
    }
  });

  it('keeps a configured path, trimmed, and the arguments in order', () => {
    const { settings, problems } = normalizeServerSettings('  /opt/vigil/bin/vigil ', ['--log', 'a b', '']);
    assert.deepEqual(settings, { path: '/opt/vigil/bin/vigil', args: ['--log', 'a b', ''] });
    assert.deepEqual(problems, []);
  });

  it('replaces a path that is not a string by the default and says so', () => {
    const { settings, problems } = normalizeServerSettings(42, undefined);
    assert.equal(settings.path, 'vigil');
    assert.equal(problems.length, 1);
    assert.match(problems[0], /vigil\.server\.path must be a string, not a number/);
  });

  it('leaves out arguments that are not strings and names each one', () => {
    const { settings, problems } = normalizeServerSettings('vigil', ['--a', 7, { b: 1 }, '--c', null]);
    assert.deepEqual(settings.args, ['--a', '--c']);
    assert.equal(problems.length, 3);
    assert.match(problems[0], /vigil\.server\.args\[1\] must be a string, not a number/);
    assert.match(problems[1], /vigil\.server\.args\[2\] must be a string, not an object/);
    assert.match(problems[2], /vigil\.server\.args\[4\] must be a string, not null/);
  });

  it('refuses arguments given as one string rather than a list', () => {
    const { settings, problems } = normalizeServerSettings(undefined, '--log x');
    assert.deepEqual(settings.args, []);
    assert.match(problems[0], /must be a list of strings, not a string/);
  });
});

describe('expandVariables', () => {
  const h = host({
    env: { PATH: '', VIGIL_HOME: '/opt/vigil' },
    workspaceFolder: '/sites/north',
  });

  it('expands the workspace folder, the home folder and environment variables', () => {
    assert.equal(expandVariables('${workspaceFolder}/build/vigil', h), '/sites/north/build/vigil');
    assert.equal(expandVariables('${userHome}/bin/vigil', h), '/home/installer/bin/vigil');
    assert.equal(expandVariables('${env:VIGIL_HOME}/bin/vigil', h), '/opt/vigil/bin/vigil');
    assert.equal(expandVariables('${env:VIGIL_HOME}:${env:VIGIL_HOME}', h), '/opt/vigil:/opt/vigil');
  });

  it('expands a missing environment variable to nothing', () => {
    assert.equal(expandVariables('${env:NOT_SET_ANYWHERE}/vigil', h), '/vigil');
  });

  it('expands a leading ~ only when it stands for the home folder', () => {
    assert.equal(expandVariables('~', h), '/home/installer');
    assert.equal(expandVariables('~/bin/vigil', h), '/home/installer/bin/vigil');
    assert.equal(expandVariables('~other/bin/vigil', h), '~other/bin/vigil');
    assert.equal(expandVariables('/opt/~/vigil', h), '/opt/~/vigil');
  });

  it('leaves text without variables alone', () => {
    assert.equal(expandVariables('--log=/tmp/a b', h), '--log=/tmp/a b');
  });

  it('refuses an unknown variable instead of passing it on', () => {
    assert.throws(
      () => expandVariables('${workspaceRoot}/vigil', h),
      (error: unknown) =>
        error instanceof ServerCommandError && /\$\{workspaceRoot\}/.test(error.message) && error.setting === 'vigil.server',
    );
  });

  it('refuses ${workspaceFolder} when no folder is open', () => {
    assert.throws(
      () => expandVariables('${workspaceFolder}/vigil', host()),
      (error: unknown) => error instanceof ServerCommandError && /no folder is open/.test(error.message),
    );
  });

  it('reads environment variables without regard to case on Windows', () => {
    const win = host({ platform: 'win32', env: { Path: 'C:\\bin', VigilHome: 'D:\\vigil' } });
    assert.equal(expandVariables('${env:VIGILHOME}\\vigil.exe', win), 'D:\\vigil\\vigil.exe');
  });
});

describe('findOnPath', { skip: posixOnly }, () => {
  it('takes the first folder on PATH that holds an executable vigil', () => {
    const first = path.join(scratch, 'path-a');
    const second = path.join(scratch, 'path-b');
    const third = path.join(scratch, 'path-c');
    makeFile('path-a/vigil', 0o644); // not executable: skipped
    const wanted = makeFile('path-b/vigil', 0o755);
    makeFile('path-c/vigil', 0o755);
    const h = host({ env: { PATH: [first, second, third].join(':') } });
    assert.equal(findOnPath('vigil', h), wanted);
  });

  it('skips a folder named vigil', () => {
    fs.mkdirSync(path.join(scratch, 'path-d/vigil'), { recursive: true });
    const wanted = makeFile('path-e/vigil', 0o755);
    const h = host({ env: { PATH: `${path.join(scratch, 'path-d')}:${path.join(scratch, 'path-e')}` } });
    assert.equal(findOnPath('vigil', h), wanted);
  });

  it('skips empty and relative PATH entries, which would mean the current folder', () => {
    makeFile('path-f/vigil', 0o755);
    const h = host({ env: { PATH: `::.:path-f:${path.join(scratch, 'nowhere')}` } });
    const cwd = process.cwd();
    process.chdir(scratch);
    try {
      assert.equal(findOnPath('vigil', h), undefined);
    } finally {
      process.chdir(cwd);
    }
  });

  it('finds nothing when PATH is not set', () => {
    assert.equal(findOnPath('vigil', host({ env: {} })), undefined);
  });
});

describe('findOnPath on Windows', () => {
  it('tries the extensions of PATHEXT in order, folder by folder', () => {
    const h = host({
      platform: 'win32',
      env: { Path: 'C:\\tools;"C:\\Program Files\\Vigil"', PATHEXT: '.COM;.EXE;.BAT;.CMD' },
    });
    assert.equal(
      findOnPath('vigil', h, only('C:\\Program Files\\Vigil\\vigil.exe', 'C:\\Program Files\\Vigil\\vigil.com')),
      'C:\\Program Files\\Vigil\\vigil.com',
    );
    assert.equal(findOnPath('vigil', h, only('C:\\tools\\vigil.exe', 'C:\\Program Files\\Vigil\\vigil.com')), 'C:\\tools\\vigil.exe');
  });

  it('never picks a batch file, which cannot run without a shell', () => {
    const h = host({ platform: 'win32', env: { PATH: 'C:\\tools', PATHEXT: '.BAT;.CMD;.EXE' } });
    assert.equal(findOnPath('vigil', h, only('C:\\tools\\vigil.cmd', 'C:\\tools\\vigil.bat')), undefined);
    assert.equal(findOnPath('vigil', h, only('C:\\tools\\vigil.cmd', 'C:\\tools\\vigil.exe')), 'C:\\tools\\vigil.exe');
  });

  it('takes a name that already ends in an extension as it is', () => {
    const h = host({ platform: 'win32', env: { PATH: 'C:\\tools' } });
    assert.equal(findOnPath('vigil.exe', h, only('C:\\tools\\vigil.exe')), 'C:\\tools\\vigil.exe');
  });
});

describe('resolveServerCommand', () => {
  it('runs the vigil found on PATH with lsp and the extra arguments, in the workspace folder', { skip: posixOnly }, () => {
    const found = makeFile('resolve-path/vigil', 0o755);
    const h = host({ env: { PATH: path.dirname(found) }, workspaceFolder: scratch });
    const server = resolveServerCommand({ path: 'vigil', args: ['--log', '${workspaceFolder}/lsp.log'] }, h);
    assert.deepEqual(server, {
      command: found,
      args: ['lsp', '--log', `${scratch}/lsp.log`],
      cwd: scratch,
    });
  });

  it('says where it looked when vigil is not on PATH', () => {
    const h = host({ env: { PATH: path.join(scratch, 'empty-folder') } });
    assert.throws(
      () => resolveServerCommand({ path: 'vigil', args: [] }, h),
      (error: unknown) =>
        error instanceof ServerCommandError &&
        /"vigil" was not found on PATH/.test(error.message) &&
        /vigil\.server\.path/.test(error.message) &&
        error.setting === 'vigil.server.path',
    );
  });

  it('takes a relative path from the workspace folder', { skip: posixOnly }, () => {
    const built = makeFile('site/build/release/src/vigil', 0o755);
    const h = host({ workspaceFolder: path.join(scratch, 'site') });
    for (const configured of ['build/release/src/vigil', './build/release/src/vigil', '${workspaceFolder}/build/release/src/vigil']) {
      const server = resolveServerCommand({ path: configured, args: [] }, h);
      assert.equal(server.command, built, configured);
      assert.deepEqual(server.args, ['lsp']);
      assert.equal(server.cwd, path.join(scratch, 'site'));
    }
  });

  it('refuses a relative path when no folder is open', () => {
    assert.throws(
      () => resolveServerCommand({ path: 'build/vigil', args: [] }, host()),
      (error: unknown) => error instanceof ServerCommandError && /relative path, but no folder is open/.test(error.message),
    );
  });

  it('refuses a configured file that does not exist or may not be run', { skip: posixOnly }, () => {
    const notExecutable = makeFile('plain/vigil', 0o644);
    for (const configured of [notExecutable, path.join(scratch, 'missing/vigil'), scratch]) {
      assert.throws(
        () => resolveServerCommand({ path: configured, args: [] }, host()),
        (error: unknown) =>
          error instanceof ServerCommandError &&
          error.message.includes(`"${configured}" is not an executable file`) &&
          error.setting === 'vigil.server.path',
        configured,
      );
    }
  });

  it('expands ~ in the configured path', () => {
    const h = host({ homeDir: '/home/installer' });
    const server = resolveServerCommand({ path: '~/bin/vigil', args: [] }, h, only('/home/installer/bin/vigil'));
    assert.equal(server.command, '/home/installer/bin/vigil');
  });

  it('on Windows takes backslash paths from the workspace folder and refuses batch files', () => {
    const h = host({ platform: 'win32', env: { PATH: '' }, workspaceFolder: 'C:\\sites\\north' });
    const server = resolveServerCommand({ path: 'build\\vigil.exe', args: [] }, h, only('C:\\sites\\north\\build\\vigil.exe'));
    assert.equal(server.command, 'C:\\sites\\north\\build\\vigil.exe');
    assert.throws(
      () => resolveServerCommand({ path: 'C:\\tools\\vigil.cmd', args: [] }, h, only('C:\\tools\\vigil.cmd')),
      (error: unknown) => error instanceof ServerCommandError && /batch file/.test(error.message),
    );
  });

  it('passes errors in an argument on', () => {
    const h = host({ workspaceFolder: '/w' });
    assert.throws(
      () => resolveServerCommand({ path: '/opt/vigil', args: ['${nope}'] }, h, only('/opt/vigil')),
      (error: unknown) => error instanceof ServerCommandError && /\$\{nope\}/.test(error.message),
    );
  });
});

describe('buildServerOptions', () => {
  const server = { command: '/opt/vigil/bin/vigil', args: ['lsp', '--log', 'x'], cwd: '/sites/north' };

  it('starts the same program for running and debugging, over stdio, without a shell', () => {
    const options = buildServerOptions(server);
    const expected = { command: '/opt/vigil/bin/vigil', args: ['lsp', '--log', 'x'], options: { cwd: '/sites/north', shell: false } };
    assert.deepEqual(options.run, expected);
    assert.deepEqual(options.debug, expected);
    assert.equal('transport' in options.run, false, 'stdio is the client default');
  });

  it('gives each launch its own argument list', () => {
    const options = buildServerOptions(server);
    options.run.args.push('--changed');
    assert.deepEqual(options.debug.args, ['lsp', '--log', 'x']);
    assert.deepEqual(server.args, ['lsp', '--log', 'x']);
  });

  it('leaves out the folder when none is open and passes an environment when given', () => {
    const options = buildServerOptions({ command: 'vigil', args: ['lsp'] }, { VIGIL_TRACE: '1' });
    assert.deepEqual(options.run.options, { env: { VIGIL_TRACE: '1' }, shell: false });
  });

  it('hands every argument to the program unchanged', { skip: posixOnly }, () => {
    // A stand-in for vigil that prints where it runs and what it was given.
    const echo = makeFile(
      'echo-server/vigil',
      0o755,
      '#!/bin/sh\npwd\nfor a in "$@"; do printf "<%s>\\n" "$a"; done\n',
    );
    const folder = fs.mkdtempSync(path.join(scratch, 'site with blanks '));
    const h = host({ env: { PATH: path.dirname(echo) }, workspaceFolder: folder });
    const args = ['--log', 'a file.log', '$HOME', '`id`', ';', '*'];
    const launch = buildServerOptions(resolveServerCommand({ path: 'vigil', args }, h)).run;
    const result = spawnSync(launch.command, launch.args, { ...launch.options, encoding: 'utf8' });
    assert.equal(result.status, 0, result.stderr);
    const lines = result.stdout.trimEnd().split('\n');
    assert.equal(fs.realpathSync(lines[0]), fs.realpathSync(folder));
    assert.deepEqual(lines.slice(1), ['<lsp>', ...args.map((a) => `<${a}>`)]);
  });
});

describe('messages', () => {
  const server = { command: '/opt/vigil/bin/vigil', args: ['lsp', '--log', 'a b.log'] };

  it('quotes the words of a command line that need it', () => {
    assert.equal(formatCommandLine(server), '/opt/vigil/bin/vigil lsp --log "a b.log"');
    assert.equal(formatCommandLine({ command: 'vigil', args: ['lsp', ''] }), 'vigil lsp ""');
  });

  it('explains the usual ways a start fails', () => {
    const enoent = Object.assign(new Error('spawn /opt/vigil/bin/vigil ENOENT'), { code: 'ENOENT' });
    const eacces = Object.assign(new Error('spawn EACCES'), { code: 'EACCES' });
    assert.match(describeStartFailure(enoent, server), /\/opt\/vigil\/bin\/vigil does not exist/);
    assert.match(describeStartFailure(eacces, server), /may not be run/);
    assert.match(
      describeStartFailure(new Error('Connection to server got closed.'), server),
      /\(\/opt\/vigil\/bin\/vigil lsp --log "a b\.log"\): Connection to server got closed\./,
    );
    assert.match(describeStartFailure('odd', server), /: odd$/);
  });
});

describe('isExecutableFile', { skip: posixOnly }, () => {
  it('accepts executable regular files only', () => {
    assert.equal(isExecutableFile(makeFile('exec/yes', 0o755)), true);
    assert.equal(isExecutableFile(makeFile('exec/no', 0o600)), false);
    assert.equal(isExecutableFile(path.join(scratch, 'exec')), false);
    assert.equal(isExecutableFile(path.join(scratch, 'exec/missing')), false);
  });
});
