// Coverage in the editor: after a "Run with Coverage" of the scenarios, the
// lines of a script that they ran and did not run are marked in every editor
// that shows it, until the next coverage run or Vigil: Clear Coverage.

import * as path from 'node:path';
import * as vscode from 'vscode';

import { LineCoverage } from './vigilRun';

export interface CoverageMarks {
  /** Remembers the coverage of `script` and marks the editors that show it. */
  show(script: string, lines: LineCoverage): void;
  clear(): void;
  /** The coverage remembered for a script, if any. */
  of(script: string): LineCoverage | undefined;
}

export function createCoverageMarks(context: { subscriptions: { dispose(): unknown }[] }): CoverageMarks {
  const covered = vscode.window.createTextEditorDecorationType({
    isWholeLine: true,
    backgroundColor: 'rgba(40, 160, 60, 0.12)',
    overviewRulerColor: 'rgba(40, 160, 60, 0.6)',
    overviewRulerLane: vscode.OverviewRulerLane.Left,
  });
  const uncovered = vscode.window.createTextEditorDecorationType({
    isWholeLine: true,
    backgroundColor: 'rgba(200, 40, 40, 0.15)',
    overviewRulerColor: 'rgba(200, 40, 40, 0.7)',
    overviewRulerLane: vscode.OverviewRulerLane.Left,
  });
  const scripts = new Map<string, LineCoverage>();
  const key = (file: string) => path.resolve(file);
  const ranges = (lines: number[]) => lines.map((line) => new vscode.Range(line - 1, 0, line - 1, 0));

  const mark = (editors: readonly vscode.TextEditor[]) => {
    for (const editor of editors) {
      const lines = scripts.get(key(editor.document.uri.fsPath));
      editor.setDecorations(covered, ranges(lines?.covered ?? []));
      editor.setDecorations(uncovered, ranges(lines?.uncovered ?? []));
    }
  };
  context.subscriptions.push(covered, uncovered, vscode.window.onDidChangeVisibleTextEditors(mark));
  return {
    show(script, lines) {
      scripts.set(key(script), lines);
      mark(vscode.window.visibleTextEditors);
    },
    clear() {
      scripts.clear();
      mark(vscode.window.visibleTextEditors);
    },
    of: (script) => scripts.get(key(script)),
  };
}
