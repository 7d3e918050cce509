// The VS Code side of the extension: starts `vigil lsp` for Vigil event
// scripts and restarts it on request or when its settings change. How the
// command line is found is in serverCommand.ts, which is tested without VS Code.

import * as os from 'node:os';
import * as vscode from 'vscode';
import { LanguageClient, LanguageClientOptions, ServerOptions } from 'vscode-languageclient/node';
import { registerCommands } from './commands';
import { createCoverageMarks } from './coverage';
import { EXPLAIN_SCHEME, explainCodeOf, runExplain } from './explain';
import {
  buildServerOptions,
  describeStartFailure,
  formatCommandLine,
  HostEnvironment,
  normalizeServerSettings,
  resolveServerCommand,
  ServerCommand,
  ServerCommandError,
  SERVER_SETTINGS_SECTION,
} from './serverCommand';
import { createScriptStatus } from './statusBar';
import { createTaskProvider, TASK_TYPE } from './tasks';
import { createScenarioTesting } from './testing';
import { Program } from './vigilRun';

const LANGUAGE_ID = 'vigil';
/** Scenario files: checked and run by the same server against the script beside them. */
const SCENARIOS_LANGUAGE_ID = 'vigil-scenarios';
const CLIENT_ID = 'vigil';
const CLIENT_NAME = 'Vigil Language Server';
const STARTED_CONTEXT_KEY = 'vigil.serverStarted';
/** The setting that names the compiler the compile command and tasks run. */
const COMPILER_SETTING = 'vigil.compiler.path';
const DEFAULT_COMPILER = 'vigilc';

let client: LanguageClient | undefined;
let outputChannel: vscode.OutputChannel | undefined;
/** Start and stop requests run one after the other, never overlapping. */
let pending: Promise<void> = Promise.resolve();

export function activate(context: vscode.ExtensionContext): void {
  outputChannel = vscode.window.createOutputChannel(CLIENT_NAME);
  context.subscriptions.push(outputChannel);

  context.subscriptions.push(
    vscode.commands.registerCommand('vigil.restartServer', () => queue(restartServer)),
    vscode.commands.registerCommand('vigil.showServerOutput', () => outputChannel?.show(true)),
    vscode.workspace.registerTextDocumentContentProvider(EXPLAIN_SCHEME, { provideTextDocumentContent: explanation }),
    vscode.commands.registerCommand('vigil.explain', explainCommand),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration(SERVER_SETTINGS_SECTION)) {
        void queue(restartServer);
      }
    }),
    vscode.workspace.onDidChangeWorkspaceFolders(() => queue(restartServer)),
    vscode.workspace.onDidGrantWorkspaceTrust(() => queue(restartServer)),
  );

  registerTools(context);
  void queue(startServer);
}

/** The commands, tasks, status bar, Testing view and coverage marks, which run `vigil` and `vigilc`. */
function registerTools(context: vscode.ExtensionContext): void {
  const vigil = (): Program => readServerCommand();
  const vigilc = (): Program => readCompilerCommand();
  const coverage = createCoverageMarks(context);
  const testing = createScenarioTesting(vigil, (script, lines) => coverage.show(script, lines));
  const status = createScriptStatus(vigil, LANGUAGE_ID);
  const toolOutput = vscode.window.createOutputChannel('Vigil');
  const runScenarios = async (file?: string) => {
    await testing.refresh();
    const items: vscode.TestItem[] = [];
    testing.controller.items.forEach((item) => {
      if (file === undefined || item.uri?.fsPath === file) items.push(item);
    });
    if (items.length === 0) {
      void vscode.window.showWarningMessage(file === undefined ? 'No scenario files in the workspace.' : `No scenario file ${file}.`);
      return;
    }
    await testing.run(items);
  };
  context.subscriptions.push(
    toolOutput,
    testing.controller,
    testing.watcher,
    status.item,
    ...registerCommands({ vigil, vigilc, output: toolOutput, runScenarios, checked: status.update }),
    vscode.commands.registerCommand('vigil.clearCoverage', () => coverage.clear()),
    vscode.tasks.registerTaskProvider(TASK_TYPE, createTaskProvider(vigil, vigilc)),
    vscode.window.onDidChangeActiveTextEditor((editor) => status.update(editor?.document)),
    vscode.languages.onDidChangeDiagnostics((event) => status.diagnosticsChanged(event.uris)),
    vscode.workspace.onDidSaveTextDocument((document) => {
      if (document === vscode.window.activeTextEditor?.document) void status.update(document);
      if (document.languageId === SCENARIOS_LANGUAGE_ID) void testing.refresh();
    }),
  );
  void status.update(vscode.window.activeTextEditor?.document);
}

/** The compiler: `vigil.compiler.path`, found as the server is. */
function readCompilerCommand(): ServerCommand {
  const configured = vscode.workspace.getConfiguration().get(COMPILER_SETTING);
  const { settings } = normalizeServerSettings(typeof configured === 'string' ? configured : DEFAULT_COMPILER, []);
  try {
    return resolveServerCommand(settings, hostEnvironment());
  } catch (error) {
    const reason = error instanceof Error ? error.message : String(error);
    throw new ServerCommandError(`The compiler "${settings.path}" cannot be run (${reason}); set ${COMPILER_SETTING}.`, COMPILER_SETTING);
  }
}

export function deactivate(): Thenable<void> {
  return queue(stopServer);
}

/** The text behind a `vigil-explain:E6` link. */
async function explanation(uri: vscode.Uri): Promise<string> {
  const code = explainCodeOf(uri.path);
  if (code === undefined) {
    return `${uri.path} is no error or warning code (E1, W3, ...)`;
  }
  try {
    return await runExplain(readServerCommand(), code);
  } catch (error) {
    return `vigil explain ${code}: ${error instanceof Error ? error.message : String(error)}`;
  }
}

/** Vigil: Explain: the code given (a link's argument) or asked for, in an editor. */
async function explainCommand(given?: string): Promise<void> {
  const code = given ?? (await vscode.window.showInputBox({ prompt: 'Error or warning code', placeHolder: 'E6' }));
  if (code === undefined || explainCodeOf(code) === undefined) {
    return;
  }
  const document = await vscode.workspace.openTextDocument(vscode.Uri.parse(`${EXPLAIN_SCHEME}:${explainCodeOf(code)}`));
  await vscode.window.showTextDocument(document, { preview: true });
}

function queue(step: () => Promise<void>): Promise<void> {
  pending = pending.then(step, step);
  return pending;
}

function log(message: string): void {
  outputChannel?.appendLine(`[${new Date().toLocaleTimeString()}] ${message}`);
}

function hostEnvironment(): HostEnvironment {
  const folder = vscode.workspace.workspaceFolders?.find((f) => f.uri.scheme === 'file');
  return {
    platform: process.platform,
    env: process.env,
    homeDir: os.homedir(),
    workspaceFolder: folder?.uri.fsPath,
  };
}

function readServerCommand(): ServerCommand {
  const config = vscode.workspace.getConfiguration(SERVER_SETTINGS_SECTION);
  const { settings, problems } = normalizeServerSettings(config.get('path'), config.get('args'));
  for (const problem of problems) {
    log(problem);
    void vscode.window.showWarningMessage(problem);
  }
  return resolveServerCommand(settings, hostEnvironment());
}

async function startServer(): Promise<void> {
  let server: ServerCommand;
  try {
    server = readServerCommand();
  } catch (error) {
    reportSetupError(error);
    return;
  }

  log(`Starting ${formatCommandLine(server)}`);
  const serverOptions: ServerOptions = buildServerOptions(server);
  const clientOptions: LanguageClientOptions = {
    documentSelector: [
      { scheme: 'file', language: LANGUAGE_ID },
      { scheme: 'untitled', language: LANGUAGE_ID },
      { scheme: 'file', language: SCENARIOS_LANGUAGE_ID },
    ],
    outputChannel,
  };
  const newClient = new LanguageClient(CLIENT_ID, CLIENT_NAME, serverOptions, clientOptions);
  client = newClient;
  try {
    await newClient.start();
    await vscode.commands.executeCommand('setContext', STARTED_CONTEXT_KEY, true);
  } catch (error) {
    const message = describeStartFailure(error, server);
    log(message);
    client = undefined;
    try {
      await newClient.dispose();
    } catch {
      // The client never got going; there is nothing left to stop.
    }
    offerFix(message, `${SERVER_SETTINGS_SECTION}.path`);
  }
}

async function stopServer(): Promise<void> {
  const oldClient = client;
  client = undefined;
  await vscode.commands.executeCommand('setContext', STARTED_CONTEXT_KEY, false);
  if (oldClient === undefined) {
    return;
  }
  try {
    await oldClient.dispose();
  } catch (error) {
    log(`Stopping the server: ${error instanceof Error ? error.message : String(error)}`);
  }
}

async function restartServer(): Promise<void> {
  await stopServer();
  await startServer();
}

function reportSetupError(error: unknown): void {
  if (error instanceof ServerCommandError) {
    log(error.message);
    offerFix(error.message, error.setting);
    return;
  }
  const message = `Could not start the Vigil language server: ${error instanceof Error ? error.message : String(error)}`;
  log(message);
  offerFix(message, undefined);
}

/**
 * Shows an error with buttons that lead to the fix. It is not awaited: the
 * notification may stay open for long, and a restart must not wait for it.
 */
function offerFix(message: string, setting: string | undefined): void {
  const openSettings = 'Open Settings';
  const showOutput = 'Show Output';
  const actions = setting !== undefined ? [openSettings, showOutput] : [showOutput];
  void vscode.window.showErrorMessage(message, ...actions).then((choice) => {
    if (choice === openSettings && setting !== undefined) {
      void vscode.commands.executeCommand('workbench.action.openSettings', setting);
    } else if (choice === showOutput) {
      outputChannel?.show(true);
    }
  });
}
