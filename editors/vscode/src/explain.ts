// The `vigil-explain:E6` links of the diagnostics: what `vigil explain E6`
// prints, read from the same program as the language server. Tested without
// VS Code.

import { execFile } from 'node:child_process';

import { ServerCommand } from './serverCommand';

/** The scheme of the links the language server puts in its diagnostics. */
export const EXPLAIN_SCHEME = 'vigil-explain';

/** "E6" for the path of `vigil-explain:e6`; undefined for anything that is no code. */
export function explainCodeOf(path: string): string | undefined {
  const code = path.trim().toUpperCase();
  return /^[EW][0-9]{1,3}$/.test(code) ? code : undefined;
}

/** The text `vigil explain CODE` prints, or why there is none. */
export function runExplain(server: ServerCommand, code: string): Promise<string> {
  return new Promise((resolve) => {
    execFile(server.command, ['explain', code], { cwd: server.cwd, windowsHide: true }, (error, stdout, stderr) => {
      if (error && !stdout) {
        resolve(`vigil explain ${code} failed: ${stderr || error.message}`);
      } else {
        resolve(stdout);
      }
    });
  });
}
