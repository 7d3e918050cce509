// The commands that run the Vigil programs on the script in the active
// editor: compile (vigilc), check, simulate an event, run its scenarios and
// fix. What they print goes to the "Vigil" output; a short result is shown
// as a message.

import * as path from 'node:path';
import * as vscode from 'vscode';

import { Program, runProgram, RunOutput, SCRIPT_EXTENSIONS } from './vigilRun';

export interface CommandHost {
  vigil(): Program;
  vigilc(): Program;
  output: vscode.OutputChannel;
  /** Runs the scenarios of one file (a path), or all when none is given. */
  runScenarios(file?: string): Promise<void>;
  /** Called with a script that was checked, so the status bar follows. */
  checked(document: vscode.TextDocument): Promise<void>;
}

/** The saved script (or scenario file) of the active editor, or a message why there is none. */
async function activeFile(languages: string[]): Promise<vscode.TextDocument | undefined> {
  const document = vscode.window.activeTextEditor?.document;
  if (document === undefined || !languages.includes(document.languageId) || document.uri.scheme !== 'file') {
    void vscode.window.showWarningMessage('Open a Vigil script (or its scenario file) in the editor first.');
    return undefined;
  }
  if (document.isDirty && !(await document.save())) {
    return undefined;
  }
  return document;
}

/** Shows a run in the output: the command line, what it printed and its status. */
function show(host: CommandHost, title: string, output: RunOutput): void {
  host.output.appendLine(`> ${title}`);
  host.output.append(`${output.stdout}${output.stderr}`.replace(/\r\n/g, '\n'));
  host.output.appendLine(`(exit status ${output.status ?? 'none: the program could not be started'})`);
}

async function compile(host: CommandHost): Promise<void> {
  const document = await activeFile(['vigil']);
  if (document === undefined) return;
  const script = document.uri.fsPath;
  const output = await runProgram(host.vigilc(), [script]);
  show(host, `vigilc ${script}`, output);
  const report = output.status === 0 ? vscode.window.showInformationMessage : vscode.window.showErrorMessage;
  void report(`vigilc ${path.basename(script)}: ${output.status === 0 ? 'compiled' : 'failed, see the Vigil output'}`);
}

async function check(host: CommandHost): Promise<void> {
  const document = await activeFile(['vigil']);
  if (document === undefined) return;
  const output = await runProgram(host.vigil(), ['check', document.uri.fsPath]);
  show(host, `vigil check ${document.uri.fsPath}`, output);
  await host.checked(document);
  const summary = output.stdout.trim().split('\n').pop() ?? output.stderr.trim();
  void (output.status === 0 ? vscode.window.showInformationMessage : vscode.window.showWarningMessage)(summary);
}

/** The EVENT lines' module.event names of a script, for the pick list. */
export function eventsOf(text: string): string[] {
  const events = new Set<string>();
  for (const match of text.matchAll(/^\s*EVENT\s+([A-Za-z0-9_]+\s*\.\s*[A-Za-z0-9_]+)/gim)) {
    events.add(match[1].replace(/\s+/g, '').toUpperCase());
  }
  return [...events];
}

async function simulate(host: CommandHost, given?: string): Promise<void> {
  const document = await activeFile(['vigil']);
  if (document === undefined) return;
  const event = given ?? (await vscode.window.showQuickPick(eventsOf(document.getText()), { placeHolder: 'Event to simulate' }));
  if (event === undefined) return;
  const output = await runProgram(host.vigil(), ['sim', document.uri.fsPath, event]);
  show(host, `vigil sim ${document.uri.fsPath} ${event}`, output);
  host.output.show(true);
}

async function runScenarios(host: CommandHost): Promise<void> {
  const document = vscode.window.activeTextEditor?.document;
  const file = document?.uri.scheme === 'file' ? document.uri.fsPath : undefined;
  if (file !== undefined && document?.languageId === 'vigil-scenarios') {
    return host.runScenarios(file);
  }
  if (file !== undefined && SCRIPT_EXTENSIONS.includes(path.extname(file))) {
    return host.runScenarios(file.slice(0, -path.extname(file).length) + '.scenarios');
  }
  return host.runScenarios();
}

async function fix(host: CommandHost): Promise<void> {
  const document = await activeFile(['vigil']);
  if (document === undefined) return;
  const output = await runProgram(host.vigil(), ['fix', document.uri.fsPath]);
  show(host, `vigil fix ${document.uri.fsPath}`, output);
  const said = (output.stdout.trim() || output.stderr.trim()).split('\n')[0];
  void (output.status === 0 ? vscode.window.showInformationMessage : vscode.window.showErrorMessage)(said);
}

/** A command whose failure to find its program is shown, not thrown at VS Code. */
function guarded<A extends unknown[]>(step: (...args: A) => Promise<void>): (...args: A) => Promise<void> {
  return async (...args: A) => {
    try {
      await step(...args);
    } catch (error) {
      void vscode.window.showErrorMessage(error instanceof Error ? error.message : String(error));
    }
  };
}

export function registerCommands(host: CommandHost): vscode.Disposable[] {
  return [
    vscode.commands.registerCommand('vigil.compile', guarded(() => compile(host))),
    vscode.commands.registerCommand('vigil.check', guarded(() => check(host))),
    vscode.commands.registerCommand('vigil.simulateEvent', guarded((event?: string) => simulate(host, event))),
    vscode.commands.registerCommand('vigil.runScenarios', guarded(() => runScenarios(host))),
    vscode.commands.registerCommand('vigil.fix', guarded(() => fix(host))),
  ];
}
