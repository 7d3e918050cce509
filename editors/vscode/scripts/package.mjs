// npm run package: the .vsix named after package.json's version, the same
// on Windows (whose cmd does not expand $npm_package_version) as elsewhere.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const { version } = JSON.parse(readFileSync(join(root, 'package.json'), 'utf8'));
const vsce = join(root, 'node_modules', '@vscode', 'vsce', 'vsce');
execFileSync(
  process.execPath,
  [vsce, 'package', '--no-dependencies', '--allow-missing-repository', '--out', `vigil-${version}.vsix`],
  { cwd: root, stdio: 'inherit' },
);
