// Scenarios in the Testing view: one item per scenario file, one child per
// SCENARIO line. A run gives `vigil test` the script beside the file and the
// file with only the chosen scenarios left (the others blanked, so line
// numbers hold); a failure is shown at its EXPECT line with the trace. The
// coverage profile also asks for an lcov file and hands it to `onCoverage`.

import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import * as vscode from 'vscode';

import {
  keepScenarios,
  LineCoverage,
  parseLcov,
  parseTestReport,
  Program,
  runProgram,
  SCRIPT_EXTENSIONS,
  scenarioHeadings,
  ScenarioOutcome,
  scriptBeside,
} from './vigilRun';

export interface ScenarioTesting {
  controller: vscode.TestController;
  watcher: vscode.FileSystemWatcher;
  /** Reads the scenario files of the workspace again. */
  refresh(): Promise<void>;
  /** Runs the given items (all when none are given), as the Run profile does. */
  run(items?: readonly vscode.TestItem[], coverage?: boolean): Promise<void>;
}

export function createScenarioTesting(
  program: () => Program,
  onCoverage: (script: string, lines: LineCoverage) => void,
): ScenarioTesting {
  const controller = vscode.tests.createTestController('vigil.scenarios', 'Vigil scenarios');

  const refreshFile = (uri: vscode.Uri): vscode.TestItem => {
    const file = controller.createTestItem(uri.toString(), path.basename(uri.fsPath), uri);
    const text = fs.readFileSync(uri.fsPath, 'utf8');
    for (const heading of scenarioHeadings(text)) {
      const item = controller.createTestItem(`${uri.toString()}#${heading.line}`, heading.name, uri);
      item.range = new vscode.Range(heading.line - 1, 0, heading.line - 1, 0);
      file.children.add(item);
    }
    controller.items.add(file);
    return file;
  };

  const refresh = async (): Promise<void> => {
    const uris = await vscode.workspace.findFiles('**/*.scenarios', '**/node_modules/**');
    controller.items.replace([]);
    uris.forEach(refreshFile);
  };

  const run = async (items?: readonly vscode.TestItem[], coverage = false, token?: vscode.CancellationToken) => {
    const chosen = items ?? topItems(controller);
    const testRun = controller.createTestRun(new vscode.TestRunRequest(chosen), undefined, false);
    try {
      for (const [file, scenarios] of byFile(chosen)) {
        if (token?.isCancellationRequested) {
          break;
        }
        try {
          await runFile(testRun, program(), file, scenarios, coverage ? onCoverage : undefined);
        } catch (error) {
          // No program to run (vigil.server.path): each scenario says why.
          const message = new vscode.TestMessage(error instanceof Error ? error.message : String(error));
          scenarios.forEach((item) => testRun.errored(item, message));
        }
      }
    } finally {
      testRun.end();
    }
  };

  controller.resolveHandler = async (item) => {
    if (item === undefined) {
      await refresh();
    }
  };
  controller.refreshHandler = refresh;
  // Scenario files made, changed or removed outside the editor too.
  const watcher = vscode.workspace.createFileSystemWatcher('**/*.scenarios');
  [watcher.onDidCreate, watcher.onDidChange, watcher.onDidDelete].forEach((event) => event(() => void refresh()));
  controller.createRunProfile('Run', vscode.TestRunProfileKind.Run, (request, token) => run(request.include, false, token), true);
  controller.createRunProfile('Run with Coverage', vscode.TestRunProfileKind.Coverage, (request, token) =>
    run(request.include, true, token),
  );
  return { controller, watcher, refresh, run: (items, coverage) => run(items, coverage) };
}

function topItems(controller: vscode.TestController): vscode.TestItem[] {
  const items: vscode.TestItem[] = [];
  controller.items.forEach((item) => items.push(item));
  return items;
}

/** The chosen scenarios grouped by their file: a file item stands for all of its scenarios. */
function byFile(items: readonly vscode.TestItem[]): Map<vscode.TestItem, vscode.TestItem[]> {
  const files = new Map<vscode.TestItem, vscode.TestItem[]>();
  for (const item of items) {
    const file = item.parent ?? item;
    const scenarios = files.get(file) ?? [];
    if (item.parent === undefined) {
      item.children.forEach((child) => scenarios.push(child));
    } else {
      scenarios.push(item);
    }
    files.set(file, scenarios);
  }
  return files;
}

const lineOf = (item: vscode.TestItem) => (item.range?.start.line ?? 0) + 1;

async function runFile(
  testRun: vscode.TestRun,
  program: Program,
  file: vscode.TestItem,
  scenarios: vscode.TestItem[],
  onCoverage: ((script: string, lines: LineCoverage) => void) | undefined,
): Promise<void> {
  const scenarioFile = file.uri!.fsPath;
  scenarios.sort((a, b) => lineOf(a) - lineOf(b));
  scenarios.forEach((item) => testRun.started(item));
  const fail = (message: string) => scenarios.forEach((item) => testRun.errored(item, new vscode.TestMessage(message)));
  await saveOpen([scenarioFile, ...SCRIPT_EXTENSIONS.map((ext) => scenarioFile.replace(/\.scenarios$/, ext))]);
  const script = scriptBeside(scenarioFile);
  if (script === undefined) {
    return fail(`No script beside ${path.basename(scenarioFile)} (the same name ending in .txt, .vgl or .vigil).`);
  }
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-scenarios-'));
  try {
    const chosen = path.join(scratch, path.basename(scenarioFile));
    const text = fs.readFileSync(scenarioFile, 'utf8');
    fs.writeFileSync(chosen, keepScenarios(text, new Set(scenarios.map(lineOf))));
    const lcov = path.join(scratch, 'coverage.lcov');
    const args = ['test', script, chosen, ...(onCoverage ? ['--lcov', lcov] : [])];
    const output = await runProgram(program, args);
    testRun.appendOutput(`${output.stdout}${output.stderr}`.replace(/\r?\n/g, '\r\n'));
    if (output.status !== 0 && output.status !== 1) {
      return fail(output.stderr.trim() || `vigil test ended with status ${String(output.status)}`);
    }
    reportOutcomes(testRun, file.uri!, scenarios, parseTestReport(output.stdout));
    if (onCoverage && fs.existsSync(lcov)) {
      parseLcov(fs.readFileSync(lcov, 'utf8')).forEach((lines) => onCoverage(script, lines));
    }
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
}

/** Saves the open documents of these files that have changes, so that the run sees what the editor shows. */
async function saveOpen(files: string[]): Promise<void> {
  const dirty = vscode.workspace.textDocuments.filter((d) => d.isDirty && files.includes(d.uri.fsPath));
  await Promise.all(dirty.map((document) => document.save()));
}

/** The outcomes come in the order of the scenarios that were kept. */
function reportOutcomes(testRun: vscode.TestRun, uri: vscode.Uri, scenarios: vscode.TestItem[], outcomes: ScenarioOutcome[]) {
  scenarios.forEach((item, index) => {
    const outcome = outcomes[index];
    if (outcome === undefined) {
      testRun.errored(item, new vscode.TestMessage('vigil test reported no result for this scenario.'));
    } else if (outcome.passed) {
      testRun.passed(item);
    } else {
      const messages = outcome.failures.map((failure) => {
        const message = new vscode.TestMessage(`${failure.message}\n\ntrace:\n${outcome.trace}`);
        message.location = new vscode.Location(uri, new vscode.Position(failure.line - 1, 0));
        return message;
      });
      testRun.failed(item, messages.length > 0 ? messages : new vscode.TestMessage(outcome.trace));
    }
  });
}
