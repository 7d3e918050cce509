// The status bar item of a Vigil script: its error count and code size, as
// the summary line of `vigil check` gives them, read again when a script is
// saved or comes to the front; between saves the counts follow the language
// server's diagnostics of the script as it is typed.

import * as vscode from 'vscode';

import { CheckSummary, parseCheckSummary, Program, runProgram } from './vigilRun';

export interface ScriptStatus {
  item: vscode.StatusBarItem;
  /** Checks the document (or hides the item for anything but a saved script). */
  update(document: vscode.TextDocument | undefined): Promise<void>;
  /** Counts the diagnostics of `uri` again, if it is the script shown. */
  diagnosticsChanged(uris: readonly vscode.Uri[]): void;
}

export function statusText(summary: CheckSummary): string {
  const errors = `$(error) ${summary.errors}`;
  const warnings = `$(warning) ${summary.warnings}`;
  return `${errors} ${warnings} $(package) ${summary.codeBytes} bytes`;
}

export function createScriptStatus(program: () => Program, languageId: string): ScriptStatus {
  const item = vscode.window.createStatusBarItem(vscode.StatusBarAlignment.Left, 50);
  item.name = 'Vigil script';
  item.command = 'vigil.check';
  let shown: { uri: string; summary: CheckSummary } | undefined;
  const update = async (document: vscode.TextDocument | undefined) => {
    if (document === undefined || document.languageId !== languageId || document.uri.scheme !== 'file') {
      item.hide();
      return;
    }
    const output = await runProgram(program(), ['check', document.uri.fsPath]);
    const summary = parseCheckSummary(output.stdout);
    shown = summary === undefined ? undefined : { uri: document.uri.toString(), summary };
    if (summary === undefined) {
      item.text = '$(error) vigil check failed';
      item.tooltip = output.stderr.trim();
    } else {
      item.text = statusText(summary);
      item.tooltip = `${summary.errors} errors, ${summary.warnings} warnings, ${summary.codeBytes} bytes of code (vigil check)`;
    }
    item.show();
  };
  const diagnosticsChanged = (uris: readonly vscode.Uri[]) => {
    const uri = uris.find((u) => u.toString() === shown?.uri);
    if (shown === undefined || uri === undefined) return;
    const diagnostics = vscode.languages.getDiagnostics(uri).filter((d) => d.source === 'vigil');
    const count = (severity: vscode.DiagnosticSeverity) => diagnostics.filter((d) => d.severity === severity).length;
    shown.summary = { ...shown.summary, errors: count(vscode.DiagnosticSeverity.Error), warnings: count(vscode.DiagnosticSeverity.Warning) };
    item.text = statusText(shown.summary);
  };
  return { item, update, diagnosticsChanged };
}
