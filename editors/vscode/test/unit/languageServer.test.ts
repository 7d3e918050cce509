// Starts the real `vigil lsp` the way the extension does (same command
// resolution, same server options) and talks to it over stdio: initialize,
// open a script with an error, see the diagnostic, fix it, see it go, shut
// down. Runs when a vigil program with an `lsp` command is found: the one
// named by VIGIL_LSP_SERVER, else one built under the project's build/.

import { strict as assert } from 'node:assert';
import { ChildProcess, spawn, spawnSync } from 'node:child_process';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { pathToFileURL } from 'node:url';
import { describe, it } from 'node:test';
import { createMessageConnection, MessageConnection, StreamMessageReader, StreamMessageWriter } from 'vscode-jsonrpc/node';

import { buildServerOptions, isExecutableFile, resolveServerCommand } from '../../src/serverCommand';

const projectRoot = path.resolve(__dirname, '../../../../..');

/** Executable files named vigil under build/, a few levels down. */
function builtPrograms(folder: string, depth: number): string[] {
  let entries: fs.Dirent[];
  try {
    entries = fs.readdirSync(folder, { withFileTypes: true });
  } catch {
    return [];
  }
  const found: string[] = [];
  for (const entry of entries) {
    const full = path.join(folder, entry.name);
    if (entry.isFile() && entry.name === 'vigil' && isExecutableFile(full)) {
      found.push(full);
    } else if (entry.isDirectory() && depth > 0 && entry.name !== 'CMakeFiles') {
      found.push(...builtPrograms(full, depth - 1));
    }
  }
  return found;
}

function hasLspCommand(program: string): boolean {
  const help = spawnSync(program, ['--help'], { encoding: 'utf8', timeout: 10_000 });
  return /^\s*lsp\b/m.test(`${help.stdout ?? ''}\n${help.stderr ?? ''}`);
}

function findServer(): { program?: string; reason: string } {
  const named = process.env.VIGIL_LSP_SERVER;
  if (named !== undefined && named !== '') {
    // Named explicitly: a missing or unfit program is a failure, not a skip.
    return { program: named, reason: '' };
  }
  const candidates = builtPrograms(path.join(projectRoot, 'build'), 4).filter(hasLspCommand);
  if (candidates.length === 0) {
    return {
      reason: 'no vigil program with an lsp command under build/; set VIGIL_LSP_SERVER to run this test',
    };
  }
  candidates.sort((a, b) => fs.statSync(b).mtimeMs - fs.statSync(a).mtimeMs);
  return { program: candidates[0], reason: '' };
}

const server = findServer();

const SCRIPT_WITH_ERROR = [
  '; Front door of a small office',
  'MODULE = CTRL,0',
  'MODULE = FRONT,1,0,2,5,30,10,1',
  'DEFINE REGISTER VISITS',
  '',
  'EVENT FRONT.VALID',
  '  DOOR(REAR)',
  '  VISITS = VISITS + 1',
  'EVENTEND',
  '',
].join('\r\n');
const ERROR_LINE = 6; // 0-based: "  DOOR(REAR)", REAR is no module
const FIXED_SCRIPT = SCRIPT_WITH_ERROR.replace('DOOR(REAR)', 'DOOR()');

interface Diagnostic {
  range: { start: { line: number; character: number }; end: { line: number; character: number } };
  message: string;
  severity?: number;
}

function withTimeout<T>(promise: Promise<T>, ms: number, what: string): Promise<T> {
  let timer: NodeJS.Timeout | undefined;
  const timeout = new Promise<never>((_, reject) => {
    timer = setTimeout(() => reject(new Error(`no answer within ${ms} ms: ${what}`)), ms);
  });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

describe('vigil lsp', () => {
  const skip = server.program === undefined ? server.reason : false;
  it('reports an error in an open script, clears it when fixed, and shuts down cleanly', { skip }, async () => {
    const workspace = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-lsp-'));
    const launch = buildServerOptions(
      resolveServerCommand({ path: server.program!, args: [] }, {
        platform: process.platform,
        env: process.env,
        homeDir: os.homedir(),
        workspaceFolder: workspace,
      }),
    ).run;

    const child: ChildProcess = spawn(launch.command, launch.args, { ...launch.options, stdio: ['pipe', 'pipe', 'pipe'] });
    let stderr = '';
    child.stderr!.on('data', (chunk) => (stderr += chunk));
    const exited = new Promise<number | null>((resolve) => child.on('exit', (code) => resolve(code)));
    const connection: MessageConnection = createMessageConnection(
      new StreamMessageReader(child.stdout!),
      new StreamMessageWriter(child.stdin!),
    );

    const uri = pathToFileURL(path.join(workspace, 'office.vgl')).href;
    const published: Diagnostic[][] = [];
    const waiters: (() => void)[] = [];
    connection.onNotification('textDocument/publishDiagnostics', (params: { uri: string; diagnostics: Diagnostic[] }) => {
      if (params.uri === uri) {
        published.push(params.diagnostics);
        waiters.splice(0).forEach((wake) => wake());
      }
    });
    connection.listen();

    try {
      const init = (await withTimeout(
        connection.sendRequest('initialize', {
          processId: process.pid,
          clientInfo: { name: 'vigil-vscode-test' },
          rootUri: pathToFileURL(workspace).href,
          workspaceFolders: [{ uri: pathToFileURL(workspace).href, name: 'site' }],
          capabilities: {
            textDocument: {
              synchronization: { dynamicRegistration: false },
              publishDiagnostics: { relatedInformation: false },
              diagnostic: { dynamicRegistration: false },
            },
          },
        }),
        10_000,
        'initialize',
      )) as { capabilities: Record<string, unknown> };
      assert.equal(typeof init.capabilities, 'object');
      assert.ok(init.capabilities.textDocumentSync !== undefined, 'the server takes open documents');
      const pulls = init.capabilities.diagnosticProvider !== undefined;
      await connection.sendNotification('initialized', {});

      /** The diagnostics for the document after `since` pushes, by push or by pull. */
      const diagnostics = async (since: number): Promise<Diagnostic[]> => {
        if (pulls) {
          const report = (await withTimeout(
            connection.sendRequest('textDocument/diagnostic', { textDocument: { uri } }),
            10_000,
            'textDocument/diagnostic',
          )) as { kind: string; items?: Diagnostic[] };
          assert.equal(report.kind, 'full');
          return report.items ?? [];
        }
        while (published.length <= since) {
          await withTimeout(new Promise<void>((wake) => waiters.push(wake)), 10_000, 'publishDiagnostics');
        }
        return published[published.length - 1];
      };

      await connection.sendNotification('textDocument/didOpen', {
        textDocument: { uri, languageId: 'vigil', version: 1, text: SCRIPT_WITH_ERROR },
      });
      const found = await diagnostics(0);
      const atError = found.filter((d) => d.range.start.line === ERROR_LINE);
      assert.ok(atError.length > 0, `a diagnostic on line ${ERROR_LINE + 1}: ${JSON.stringify(found)}`);
      assert.ok(atError.some((d) => /unknown command/i.test(d.message)), JSON.stringify(atError));
      assert.ok(atError.every((d) => d.severity === undefined || d.severity === 1), 'reported as an error');

      const pushedBefore = published.length;
      await connection.sendNotification('textDocument/didChange', {
        textDocument: { uri, version: 2 },
        contentChanges: [{ text: FIXED_SCRIPT }],
      });
      const remaining = await diagnostics(pushedBefore);
      assert.deepEqual(
        remaining.filter((d) => d.severity === undefined || d.severity === 1),
        [],
        'no error is left in the fixed script',
      );

      await withTimeout(connection.sendRequest('shutdown'), 10_000, 'shutdown');
      await connection.sendNotification('exit');
      assert.equal(await withTimeout(exited, 10_000, 'exit'), 0, `exit status; stderr: ${stderr}`);
    } finally {
      connection.dispose();
      if (child.exitCode === null) {
        child.kill();
      }
      fs.rmSync(workspace, { recursive: true, force: true });
    }
  });
});
