// The bundled extension (dist/extension.js, as it ships in the .vsix),
// activated under plain node with a stand-in for the `vscode` module: it
// starts the server named by the settings through vscode-languageclient,
// restarts it on request and on a settings change, reports what it cannot
// start, and shuts the server down on deactivation. The server is
// test/fixtures/recording-server.js, which notes what it receives, and the
// built `vigil lsp` when there is one.

import { strict as assert } from 'node:assert';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { afterEach, beforeEach, describe, it } from 'node:test';

import { createFakeVscode, FakeVscode, loadBundle } from './fakeVscode';

const extensionRoot = path.resolve(__dirname, '../../..');
const recordingServer = path.join(extensionRoot, 'test/fixtures/recording-server.js');
const builtServer = ['debug', 'release']
  .map((preset) => path.resolve(extensionRoot, `../../build/${preset}/src/cli/vigil`))
  .find((file) => fs.existsSync(file));

type Received = { method: string; args: string[]; cwd: string; pid: number };

let scratch: string;
let fake: FakeVscode;
let extension: ReturnType<typeof loadBundle>['extension'];
let restore: () => void;
const savedPath = process.env.PATH;

/** A `vigil` program in `folder` that runs the recording server with its arguments. */
function installServer(folder: string): string {
  fs.mkdirSync(folder, { recursive: true });
  const program = path.join(folder, 'vigil');
  fs.writeFileSync(program, `#!/bin/sh\nexec ${JSON.stringify(process.execPath)} ${JSON.stringify(recordingServer)} "$@"\n`);
  fs.chmodSync(program, 0o755);
  return program;
}

function received(): Received[] {
  const recording = process.env.VIGIL_TEST_RECORDING!;
  const lines = fs.existsSync(recording) ? fs.readFileSync(recording, 'utf8').split('\n') : [];
  return lines.filter((line) => line !== '').map((line) => JSON.parse(line) as Received);
}

async function waitFor<T>(what: string, probe: () => T | undefined | false): Promise<T> {
  const deadline = Date.now() + 15_000;
  for (let value = probe(); ; value = probe()) {
    if (value !== undefined && value !== false) {
      return value;
    }
    if (Date.now() > deadline) {
      throw new Error(`timed out waiting for ${what}; received ${JSON.stringify(received())}; output ${fake.output.join('\n')}`);
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

const started = (count: number) => waitFor(`server ${count}`, () => received().filter((r) => r.method === 'initialized')[count - 1]);
const methodsOf = (pid: number) => received().filter((r) => r.pid === pid).map((r) => r.method);
const startedContext = () => fake.executed.some((c) => c[0] === 'setContext' && c[1] === 'vigil.serverStarted' && c[2] === true);

describe('the bundled extension', { skip: process.platform === 'win32' ? 'the stand-in server is a shell script' : false }, () => {
  beforeEach(() => {
    scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-activation-'));
    process.env.VIGIL_TEST_RECORDING = path.join(scratch, 'received.jsonl');
    const created = createFakeVscode();
    fake = created.fake;
    fake.workspaceFolder = fs.mkdtempSync(path.join(scratch, 'site '));
    ({ extension, restore } = loadBundle(path.join(extensionRoot, 'dist/extension.js'), created.api));
  });

  afterEach(async () => {
    await extension.deactivate();
    restore();
    process.env.PATH = savedPath;
    received().filter((r) => isRunning(r.pid)).forEach((r) => process.kill(r.pid));
    fs.rmSync(scratch, { recursive: true, force: true });
  });

  it('starts vigil from PATH with lsp and the arguments in the folder, warns of a bad setting, stops it', async () => {
    const program = installServer(path.join(scratch, 'bin'));
    process.env.PATH = `${path.dirname(program)}${path.delimiter}${savedPath ?? ''}`;
    fake.settings['vigil.server.path'] = 42;
    fake.settings['vigil.server.args'] = ['--trace', 'two words'];
    extension.activate({ subscriptions: [] });

    const first = await started(1);
    assert.deepEqual(first.args, ['lsp', '--trace', 'two words']);
    assert.equal(fs.realpathSync(first.cwd), fs.realpathSync(fake.workspaceFolder!));
    await waitFor('the started context', startedContext);
    assert.ok(fake.output.some((line) => line.endsWith(`Starting ${program} lsp --trace "two words"`)), fake.output.join('\n'));
    assert.deepEqual(fake.messages.map((m) => [m.kind, m.text]), [
      ['warning', 'vigil.server.path must be a string, not a number; using "vigil".'],
    ]);

    await extension.deactivate();
    // The client does not wait for the server to read "exit": the server has
    // recorded it once its process has ended.
    await waitFor('the server process to end', () => !isRunning(first.pid));
    assert.deepEqual(methodsOf(first.pid), ['initialize', 'initialized', 'shutdown', 'exit']);
  });

  it('restarts the server on the restart command and when a vigil.server setting changes', async () => {
    fake.settings['vigil.server.path'] = installServer(path.join(scratch, 'bin'));
    extension.activate({ subscriptions: [] });
    const first = await started(1);

    await fake.commands.get('vigil.restartServer')!();
    assert.notEqual((await started(2)).pid, first.pid);
    await waitFor('the first server process to end', () => !isRunning(first.pid));
    assert.deepEqual(methodsOf(first.pid), ['initialize', 'initialized', 'shutdown', 'exit']);

    fake.settings['vigil.server.args'] = ['--again'];
    fake.changeConfiguration('vigil.server.args');
    assert.deepEqual((await started(3)).args, ['lsp', '--again']);

    fake.changeConfiguration('editor.tabSize');
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal(received().filter((r) => r.method === 'initialized').length, 3, 'other settings leave the server alone');
  });

  it('reports a program that cannot be started, offers the setting, and starts nothing', async () => {
    const missing = path.join(scratch, 'not-built', 'vigil');
    fake.settings['vigil.server.path'] = missing;
    extension.activate({ subscriptions: [] });

    const [error] = await waitFor('the error message', () => fake.messages.length > 0 && fake.messages);
    assert.deepEqual(error, {
      kind: 'error',
      text: `vigil.server.path "${missing}" is not an executable file.`,
      actions: ['Open Settings', 'Show Output'],
    });
    assert.deepEqual(received(), []);
    assert.ok(!startedContext());
  });

  it('starts the built vigil lsp, whose answer to initialize the client accepts', { skip: builtServer === undefined && 'no vigil built under build/' }, async () => {
    fake.settings['vigil.server.path'] = builtServer;
    extension.activate({ subscriptions: [] });
    await waitFor('the started context', startedContext);
    assert.deepEqual(fake.messages, []);
  });
});
