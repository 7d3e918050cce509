// A task provider for Vigil scripts: "vigilc SCRIPT" (compile, with the
// $vigilc problem matcher) and "vigil check SCRIPT" ($vigil-check) for each
// script in the workspace, and any task of type "vigil" written in tasks.json.

import * as vscode from 'vscode';

import { Program } from './vigilRun';

export const TASK_TYPE = 'vigil';

/** What a "vigil" task in tasks.json says: which tool, on which script. */
export interface VigilTaskDefinition extends vscode.TaskDefinition {
  tool: 'vigilc' | 'check';
  script: string;
}

/** The command line of a task: the program and its arguments. */
export function taskCommandLine(
  definition: VigilTaskDefinition,
  vigil: Program,
  vigilc: Program,
): { program: Program; args: string[]; matcher: string } {
  return definition.tool === 'vigilc'
    ? { program: vigilc, args: [definition.script], matcher: '$vigilc' }
    : { program: vigil, args: ['check', definition.script], matcher: '$vigil-check' };
}

export function makeTask(definition: VigilTaskDefinition, vigil: Program, vigilc: Program): vscode.Task {
  const line = taskCommandLine(definition, vigil, vigilc);
  const name = `${definition.tool === 'vigilc' ? 'vigilc' : 'vigil check'} ${definition.script}`;
  const execution = new vscode.ProcessExecution(line.program.command, line.args, { cwd: line.program.cwd });
  const task = new vscode.Task(definition, vscode.TaskScope.Workspace, name, TASK_TYPE, execution, line.matcher);
  task.group = definition.tool === 'vigilc' ? vscode.TaskGroup.Build : undefined;
  return task;
}

export function createTaskProvider(
  vigil: () => Program,
  vigilc: () => Program,
): vscode.TaskProvider {
  return {
    async provideTasks() {
      const scripts = await vscode.workspace.findFiles('**/*.{vgl,vigil}', '**/node_modules/**');
      return scripts.flatMap((uri) => {
        const script = vscode.workspace.asRelativePath(uri, false);
        return (['vigilc', 'check'] as const).map((tool) => makeTask({ type: TASK_TYPE, tool, script }, vigil(), vigilc()));
      });
    },
    resolveTask(task) {
      const definition = task.definition as VigilTaskDefinition;
      if (definition.tool !== 'vigilc' && definition.tool !== 'check') {
        return undefined;
      }
      return makeTask(definition, vigil(), vigilc());
    },
  };
}
