// The bundled extension (dist/extension.js, as it ships in the .vsix),
// activated under plain node with a stand-in for the `vscode` module: it
// starts the server named by the settings through vscode-languageclient,
// restarts it on request and on a settings change, reports what it cannot
// start, and shuts the server down on deactivation. The server is
// test/fixtures/recording-server.js, which notes what it receives.

import { strict as assert } from 'node:assert';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { afterEach, beforeEach, describe, it } from 'node:test';

import { createFakeVscode, FakeVscode, loadBundle } from './fakeVscode';

const extensionRoot = path.resolve(__dirname, '../../..');
const bundle = path.join(extensionRoot, 'dist/extension.js');
const recordingServer = path.join(extensionRoot, 'test/fixtures/recording-server.js');

interface Received {
  method: string;
  args: string[];
  cwd: string;
  pid: number;
}

let scratch: string;
let recording: string;
let fake: FakeVscode;
let extension: ReturnType<typeof loadBundle>['extension'];
let restore: () => void;
const savedEnv = { PATH: process.env.PATH, VIGIL_TEST_RECORDING: process.env.VIGIL_TEST_RECORDING };

/** A `vigil` program in `folder` that runs the recording server with its arguments. */
function installServer(folder: string): string {
  fs.mkdirSync(folder, { recursive: true });
  const program = path.join(folder, 'vigil');
  fs.writeFileSync(program, `#!/bin/sh\nexec ${JSON.stringify(process.execPath)} ${JSON.stringify(recordingServer)} "$@"\n`);
  fs.chmodSync(program, 0o755);
  return program;
}

function received(): Received[] {
  if (!fs.existsSync(recording)) {
    return [];
  }
  return fs
    .readFileSync(recording, 'utf8')
    .split('\n')
    .filter((line) => line !== '')
    .map((line) => JSON.parse(line) as Received);
}

async function waitFor<T>(what: string, probe: () => T | undefined | false, ms = 15_000): Promise<T> {
  const deadline = Date.now() + ms;
  for (;;) {
    const value = probe();
    if (value !== undefined && value !== false) {
      return value;
    }
    if (Date.now() > deadline) {
      throw new Error(`timed out waiting for ${what}; server received ${JSON.stringify(received())}; output ${JSON.stringify(fake.output)}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

function isRunning(pid: number): boolean {
  try {
    process.kill(pid, 0);
    return true;
  } catch {
    return false;
  }
}

const initializations = (): Received[] => received().filter((r) => r.method === 'initialized');

describe('the bundled extension', { skip: process.platform === 'win32' ? 'the stand-in server is started by a shell script' : false }, () => {
  beforeEach(() => {
    assert.ok(fs.existsSync(bundle), 'dist/extension.js is built (npm run build)');
    scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-activation-'));
    recording = path.join(scratch, 'received.jsonl');
    process.env.VIGIL_TEST_RECORDING = recording;
    const created = createFakeVscode();
    fake = created.fake;
    fake.workspaceFolder = fs.mkdtempSync(path.join(scratch, 'site '));
    ({ extension, restore } = loadBundle(bundle, created.api));
  });

  afterEach(async () => {
    await extension.deactivate();
    restore();
    process.env.PATH = savedEnv.PATH;
    process.env.VIGIL_TEST_RECORDING = savedEnv.VIGIL_TEST_RECORDING;
    for (const r of received()) {
      if (isRunning(r.pid)) {
        process.kill(r.pid);
      }
    }
    fs.rmSync(scratch, { recursive: true, force: true });
  });

  it('starts <vigil.server.path> lsp <vigil.server.args> in the workspace folder and stops it on deactivation', async () => {
    const program = installServer(path.join(scratch, 'bin'));
    fake.settings['vigil.server.path'] = program;
    fake.settings['vigil.server.args'] = ['--trace', 'two words'];
    extension.activate({ subscriptions: [] });

    const [started] = await waitFor('the server to be initialized', () => initializations().length === 1 && initializations());
    assert.deepEqual(started.args, ['lsp', '--trace', 'two words']);
    assert.equal(fs.realpathSync(started.cwd), fs.realpathSync(fake.workspaceFolder!));
    await waitFor('the started context', () =>
      fake.executed.some((c) => c[0] === 'setContext' && c[1] === 'vigil.serverStarted' && c[2] === true),
    );
    assert.deepEqual([...fake.commands.keys()].sort(), ['vigil.restartServer', 'vigil.showServerOutput']);
    assert.ok(fake.output.some((line) => line.endsWith(`Starting ${program} lsp --trace "two words"`)), fake.output.join('\n'));
    assert.deepEqual(fake.messages, []);

    await extension.deactivate();
    // The client does not wait for the server to read "exit": the server has
    // recorded it once its process has ended.
    await waitFor('the server process to end', () => !isRunning(started.pid));
    const methods = received().map((r) => r.method);
    assert.deepEqual(methods, ['initialize', 'initialized', 'shutdown', 'exit']);
  });

  it('restarts the server on the restart command and when a vigil.server setting changes', async () => {
    const program = installServer(path.join(scratch, 'bin'));
    fake.settings['vigil.server.path'] = program;
    extension.activate({ subscriptions: [] });
    const [first] = await waitFor('the first server', () => initializations().length === 1 && initializations());
    assert.deepEqual(first.args, ['lsp']);

    await fake.commands.get('vigil.restartServer')!();
    const second = await waitFor('the second server', () => initializations()[1]);
    assert.notEqual(second.pid, first.pid);
    await waitFor('the first server process to end', () => !isRunning(first.pid));
    const firstEnd = received().filter((r) => r.pid === first.pid).map((r) => r.method);
    assert.deepEqual(firstEnd, ['initialize', 'initialized', 'shutdown', 'exit'], 'the first server was shut down');

    fake.settings['vigil.server.args'] = ['--again'];
    fake.changeConfiguration('vigil.server.args');
    const third = await waitFor('the third server', () => initializations()[2]);
    assert.deepEqual(third.args, ['lsp', '--again']);

    fake.changeConfiguration('editor.tabSize');
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal(initializations().length, 3, 'other settings leave the server alone');
  });

  it('finds vigil on PATH when the path setting is wrong, and says what was wrong', async () => {
    const program = installServer(path.join(scratch, 'on-path'));
    process.env.PATH = `${path.dirname(program)}${path.delimiter}${process.env.PATH ?? ''}`;
    fake.settings['vigil.server.path'] = 42;
    extension.activate({ subscriptions: [] });

    const [started] = await waitFor('the server from PATH', () => initializations().length === 1 && initializations());
    assert.deepEqual(started.args, ['lsp']);
    assert.deepEqual(fake.messages.map((m) => [m.kind, m.text]), [
      ['warning', 'vigil.server.path must be a string, not a number; using "vigil".'],
    ]);
  });

  it('reports a program that cannot be started, offers the setting, and starts nothing', async () => {
    const missing = path.join(scratch, 'not-built', 'vigil');
    fake.settings['vigil.server.path'] = missing;
    extension.activate({ subscriptions: [] });

    const [error] = await waitFor('the error message', () => fake.messages.length > 0 && fake.messages);
    assert.equal(error.kind, 'error');
    assert.equal(error.text, `vigil.server.path "${missing}" is not an executable file.`);
    assert.deepEqual(error.actions, ['Open Settings', 'Show Output']);
    assert.ok(fake.output.some((line) => line.endsWith(error.text)));
    assert.deepEqual(received(), []);
    assert.ok(!fake.executed.some((c) => c[0] === 'setContext' && c[2] === true));
  });
});
