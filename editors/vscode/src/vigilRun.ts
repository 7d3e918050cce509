// Running the `vigil` and `vigilc` programs and reading what they print:
// the `vigil check` summary, the `vigil test` report, scenario files and lcov
// coverage. Nothing here imports `vscode`, so the node tests run this code
// as the extension does.

import { execFile } from 'node:child_process';
import * as fs from 'node:fs';
import * as path from 'node:path';

/** A program and the folder it runs in (as serverCommand.ts resolves them). */
export interface Program {
  command: string;
  cwd?: string;
}

export interface RunOutput {
  /** The exit status; undefined when the program could not be started. */
  status: number | undefined;
  stdout: string;
  stderr: string;
}

/** Runs `program args...` without a shell and without colour; never rejects. */
export function runProgram(program: Program, args: string[]): Promise<RunOutput> {
  return new Promise((resolve) => {
    const options = { cwd: program.cwd, windowsHide: true, env: { ...process.env, NO_COLOR: '1' } };
    execFile(program.command, args, options, (error, stdout, stderr) => {
      const code = error ? (error as { code?: unknown }).code : 0;
      const status = typeof code === 'number' ? code : undefined;
      resolve({ status, stdout, stderr: status === undefined && error ? `${stderr}${error.message}` : stderr });
    });
  });
}

/** The endings a script beside a scenario file may have, in the order the server tries them. */
export const SCRIPT_EXTENSIONS = ['.txt', '.vgl', '.vigil'];

/** The script a scenario file is run against: the first of office.txt, .vgl, .vigil beside office.scenarios. */
export function scriptBeside(scenarioFile: string, exists: (file: string) => boolean = fs.existsSync): string | undefined {
  const stem = scenarioFile.slice(0, scenarioFile.length - path.extname(scenarioFile).length);
  return SCRIPT_EXTENSIONS.map((ext) => stem + ext).find((file) => exists(file));
}

/** What `vigil check` says in its last line: "FILE: 1 error, 2 warnings, 345 bytes of code". */
export interface CheckSummary {
  errors: number;
  warnings: number;
  codeBytes: number;
}

export function parseCheckSummary(text: string): CheckSummary | undefined {
  const match = /(\d+) errors?, (\d+) warnings?, (\d+) bytes of code\s*$/.exec(text);
  return match ? { errors: Number(match[1]), warnings: Number(match[2]), codeBytes: Number(match[3]) } : undefined;
}

/** A SCENARIO line of a scenario file (lines count from 1). */
export interface ScenarioHeading {
  name: string;
  line: number;
}

const SCENARIO_LINE = /^\s*SCENARIO\s+(.*?)\s*$/i;
const PROPERTY_LINE = /^\s*(ALWAYS|NEVER)\b/i;

export function scenarioHeadings(text: string): ScenarioHeading[] {
  const headings: ScenarioHeading[] = [];
  text.split(/\r?\n/).forEach((line, index) => {
    const match = SCENARIO_LINE.exec(line);
    if (match) {
      headings.push({ name: match[1], line: index + 1 });
    }
  });
  return headings;
}

/**
 * The scenario file with only the scenarios that start on `keep` (line
 * numbers): every other scenario's lines and every ALWAYS/NEVER line become
 * blank, so the lines that remain keep their numbers in the report.
 */
export function keepScenarios(text: string, keep: ReadonlySet<number>): string {
  let kept = true;
  return text
    .split(/(?<=\n)/)
    .map((line, index) => {
      if (SCENARIO_LINE.test(line)) {
        kept = keep.has(index + 1);
      }
      const blank = !kept || PROPERTY_LINE.test(line);
      return blank ? line.replace(/[^\r\n]+/, '') : line;
    })
    .join('');
}

export interface ScenarioFailure {
  line: number;
  message: string;
}

/** One scenario's PASS or FAIL in the `vigil test` report. */
export interface ScenarioOutcome {
  name: string;
  passed: boolean;
  failures: ScenarioFailure[];
  trace: string;
}

/**
 * Reads the report of `vigil test`: "PASS  name", or "FAIL  name" followed
 * by "  FILE:LINE: message" lines and an indented trace.
 */
export function parseTestReport(text: string): ScenarioOutcome[] {
  const outcomes: ScenarioOutcome[] = [];
  let current: ScenarioOutcome | undefined;
  let inTrace = false;
  for (const line of text.split(/\r?\n/)) {
    const heading = /^(PASS|FAIL) {2}(.*)$/.exec(line);
    if (heading) {
      current = { name: heading[2], passed: heading[1] === 'PASS', failures: [], trace: '' };
      outcomes.push(current);
      inTrace = false;
      continue;
    }
    if (current === undefined || !line.startsWith('  ')) {
      current = undefined;
      continue;
    }
    if (line === '  trace:') {
      inTrace = true;
    } else if (inTrace) {
      current.trace += `${line.replace(/^ {4}/, '')}\n`;
    } else {
      const failure = /^ {2}.*:(\d+): (.*)$/.exec(line);
      if (failure) {
        current.failures.push({ line: Number(failure[1]), message: failure[2] });
      }
    }
  }
  return outcomes;
}

/** Lines of one script that the scenarios ran and did not run. */
export interface LineCoverage {
  covered: number[];
  uncovered: number[];
}

/** The DA records of an lcov tracefile, by the file of their SF record. */
export function parseLcov(text: string): Map<string, LineCoverage> {
  const files = new Map<string, LineCoverage>();
  let current: LineCoverage | undefined;
  for (const line of text.split(/\r?\n/)) {
    if (line.startsWith('SF:')) {
      current = { covered: [], uncovered: [] };
      files.set(line.slice(3), current);
    } else if (line.startsWith('DA:') && current !== undefined) {
      const [lineNumber, runs] = line.slice(3).split(',').map(Number);
      (runs > 0 ? current.covered : current.uncovered).push(lineNumber);
    } else if (line === 'end_of_record') {
      current = undefined;
    }
  }
  return files;
}
