// How the extension finds and starts the language server, `vigil lsp`.
//
// Nothing here imports `vscode`: the extension passes in the raw setting
// values and a description of its surroundings, so the plain node tests in
// test/unit exercise exactly the code that the extension runs.

import * as fs from 'node:fs';
import * as path from 'node:path';

/** The program looked up on PATH when `vigil.server.path` is not set. */
export const DEFAULT_SERVER_PATH = 'vigil';

/** The subcommand of `vigil` that speaks the language server protocol on stdio. */
export const SERVER_SUBCOMMAND = 'lsp';

/** The settings section that holds `path` and `args`. */
export const SERVER_SETTINGS_SECTION = 'vigil.server';

/** The server settings after checking: always a program and a list of strings. */
export interface ServerSettings {
  path: string;
  args: string[];
}

/** What the surroundings of the extension look like; tests make up their own. */
export interface HostEnvironment {
  platform: NodeJS.Platform;
  env: Readonly<Record<string, string | undefined>>;
  homeDir: string;
  /** The first workspace folder's file-system path, if a folder is open. */
  workspaceFolder?: string;
}

/** Tells whether a path names a file that may be run. */
export type ExecutableCheck = (file: string) => boolean;

/** The program, its arguments and the folder it runs in. */
export interface ServerCommand {
  command: string;
  args: string[];
  cwd?: string;
}

/** The shape of vscode-languageclient's `Executable` (stdio is its default transport). */
export interface ExecutableServer {
  command: string;
  args: string[];
  options: {
    cwd?: string;
    env?: Record<string, string | undefined>;
    shell: false;
  };
}

/** The shape of vscode-languageclient's `ServerOptions` for a program. */
export interface ServerLaunch {
  run: ExecutableServer;
  debug: ExecutableServer;
}

/** A problem that keeps the server from being started; `message` is shown to the user. */
export class ServerCommandError extends Error {
  constructor(
    message: string,
    /** The setting to open so the user can fix the problem, if one is to blame. */
    readonly setting?: string,
  ) {
    super(message);
    this.name = 'ServerCommandError';
  }
}

/**
 * Turns the raw values of `vigil.server.path` and `vigil.server.args` into
 * settings that can be used as they are. A value of the wrong type is
 * replaced by the default and reported in `problems`, so that one mistyped
 * setting still leaves a working server.
 */
export function normalizeServerSettings(
  rawPath: unknown,
  rawArgs: unknown,
): { settings: ServerSettings; problems: string[] } {
  const problems: string[] = [];

  let serverPath = DEFAULT_SERVER_PATH;
  if (typeof rawPath === 'string') {
    if (rawPath.trim() !== '') {
      serverPath = rawPath.trim();
    }
  } else if (rawPath !== undefined && rawPath !== null) {
    problems.push(
      `vigil.server.path must be a string, not ${describeType(rawPath)}; using "${DEFAULT_SERVER_PATH}".`,
    );
  }

  const args: string[] = [];
  if (Array.isArray(rawArgs)) {
    rawArgs.forEach((arg, index) => {
      if (typeof arg === 'string') {
        args.push(arg);
      } else {
        problems.push(
          `vigil.server.args[${index}] must be a string, not ${describeType(arg)}; it is left out.`,
        );
      }
    });
  } else if (rawArgs !== undefined && rawArgs !== null) {
    problems.push(
      `vigil.server.args must be a list of strings, not ${describeType(rawArgs)}; no extra arguments are given.`,
    );
  }

  return { settings: { path: serverPath, args }, problems };
}

function describeType(value: unknown): string {
  if (Array.isArray(value)) {
    return 'a list';
  }
  if (value === null) {
    return 'null';
  }
  const type = typeof value;
  return type === 'object' ? 'an object' : `a ${type}`;
}

/**
 * Expands `${workspaceFolder}`, `${userHome}`, `${env:NAME}` anywhere in a
 * setting value, and a leading `~` followed by a separator or nothing.
 * An unknown variable is an error rather than text passed on unchanged.
 */
export function expandVariables(value: string, host: HostEnvironment): string {
  let expanded = value.replace(/\$\{([^}]*)\}/g, (whole, name: string) => {
    if (name === 'workspaceFolder') {
      if (host.workspaceFolder === undefined) {
        throw new ServerCommandError(
          `"${value}" uses \${workspaceFolder}, but no folder is open.`,
          SERVER_SETTINGS_SECTION,
        );
      }
      return host.workspaceFolder;
    }
    if (name === 'userHome') {
      return host.homeDir;
    }
    if (name.startsWith('env:')) {
      return lookupEnv(host, name.slice('env:'.length)) ?? '';
    }
    throw new ServerCommandError(
      `"${value}" uses ${whole}; only \${workspaceFolder}, \${userHome} and \${env:NAME} are known.`,
      SERVER_SETTINGS_SECTION,
    );
  });
  if (expanded === '~' || /^~[\\/]/.test(expanded)) {
    expanded = host.homeDir + expanded.slice(1);
  }
  return expanded;
}

/** Reads an environment variable, without regard to case on Windows as Windows does. */
export function lookupEnv(host: HostEnvironment, name: string): string | undefined {
  if (host.platform !== 'win32') {
    return host.env[name];
  }
  const wanted = name.toUpperCase();
  for (const [key, value] of Object.entries(host.env)) {
    if (key.toUpperCase() === wanted) {
      return value;
    }
  }
  return undefined;
}

function pathModule(platform: NodeJS.Platform): path.PlatformPath {
  return platform === 'win32' ? path.win32 : path.posix;
}

/** Batch files cannot be started without a shell, which the client does not use. */
function isBatchFile(file: string): boolean {
  return /\.(bat|cmd)$/i.test(file);
}

/**
 * Looks a bare program name up on PATH as a shell would: the first folder
 * holding an executable file of that name wins. On Windows the extensions of
 * PATHEXT are tried too, batch files left out. Empty PATH entries (the
 * current folder) are skipped, so a workspace cannot slip in its own `vigil`.
 */
export function findOnPath(
  name: string,
  host: HostEnvironment,
  isExecutable: ExecutableCheck = isExecutableFile,
): string | undefined {
  const paths = pathModule(host.platform);
  const pathValue = lookupEnv(host, 'PATH') ?? '';
  const folders = pathValue
    .split(paths.delimiter)
    .map((folder) => (host.platform === 'win32' ? folder.replace(/^"(.*)"$/, '$1') : folder))
    .filter((folder) => folder !== '' && paths.isAbsolute(folder));

  let candidates = [name];
  if (host.platform === 'win32') {
    const extensions = (lookupEnv(host, 'PATHEXT') ?? '.COM;.EXE')
      .split(';')
      .map((ext) => ext.trim())
      .filter((ext) => ext !== '' && !isBatchFile(ext));
    const hasExtension = extensions.some((ext) => name.toLowerCase().endsWith(ext.toLowerCase()));
    candidates = hasExtension ? [name] : extensions.map((ext) => name + ext.toLowerCase());
  }

  for (const folder of folders) {
    for (const candidate of candidates) {
      const file = paths.join(folder, candidate);
      if (isExecutable(file)) {
        return file;
      }
    }
  }
  return undefined;
}

/** Whether a file exists, is a regular file and may be run by this process. */
export function isExecutableFile(file: string): boolean {
  try {
    if (!fs.statSync(file).isFile()) {
      return false;
    }
    if (process.platform === 'win32') {
      return true;
    }
    fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

/**
 * Works out the program and arguments of the language server:
 * `<vigil.server.path> lsp <vigil.server.args...>`.
 *
 * - A bare name (no folder in it) is looked up on PATH.
 * - A relative path is taken from the first workspace folder.
 * - The program must exist and be executable; otherwise a ServerCommandError
 *   says what was looked for and which setting to change.
 *
 * The server runs in the first workspace folder, when one is open.
 */
export function resolveServerCommand(
  settings: ServerSettings,
  host: HostEnvironment,
  isExecutable: ExecutableCheck = isExecutableFile,
): ServerCommand {
  const paths = pathModule(host.platform);
  const configured = expandVariables(settings.path, host);
  const args = [SERVER_SUBCOMMAND, ...settings.args.map((arg) => expandVariables(arg, host))];
  const cwd = host.workspaceFolder;

  const hasFolder = configured.includes('/') || (host.platform === 'win32' && configured.includes('\\'));
  if (!hasFolder) {
    const found = findOnPath(configured, host, isExecutable);
    if (found === undefined) {
      throw new ServerCommandError(
        `The language server program "${configured}" was not found on PATH. ` +
          'Install Vigil, or set vigil.server.path to the vigil program.',
        `${SERVER_SETTINGS_SECTION}.path`,
      );
    }
    return { command: found, args, cwd };
  }

  let command = configured;
  if (!paths.isAbsolute(command)) {
    if (host.workspaceFolder === undefined) {
      throw new ServerCommandError(
        `vigil.server.path "${settings.path}" is a relative path, but no folder is open to take it from. ` +
          'Use an absolute path or ${workspaceFolder}.',
        `${SERVER_SETTINGS_SECTION}.path`,
      );
    }
    command = paths.resolve(host.workspaceFolder, command);
  }
  command = paths.normalize(command);

  if (host.platform === 'win32' && isBatchFile(command)) {
    throw new ServerCommandError(
      `vigil.server.path "${command}" is a batch file, which cannot be started without a shell. ` +
        'Point it at vigil.exe.',
      `${SERVER_SETTINGS_SECTION}.path`,
    );
  }
  if (!isExecutable(command)) {
    throw new ServerCommandError(
      `vigil.server.path "${command}" is not an executable file.`,
      `${SERVER_SETTINGS_SECTION}.path`,
    );
  }
  return { command, args, cwd };
}

/**
 * The server options for vscode-languageclient: the same program for normal
 * runs and for debugging the extension, spoken to over stdio, never through
 * a shell (so no argument is ever interpreted by one).
 */
export function buildServerOptions(
  server: ServerCommand,
  env?: Readonly<Record<string, string | undefined>>,
): ServerLaunch {
  const executable = (): ExecutableServer => ({
    command: server.command,
    args: [...server.args],
    options: {
      ...(server.cwd !== undefined ? { cwd: server.cwd } : {}),
      ...(env !== undefined ? { env: { ...env } } : {}),
      shell: false,
    },
  });
  return { run: executable(), debug: executable() };
}

/** Puts a command line together for the output channel, quoting what needs it. */
export function formatCommandLine(server: ServerCommand): string {
  return [server.command, ...server.args]
    .map((word) => (word === '' || /[\s"'\\$`]/.test(word) ? JSON.stringify(word) : word))
    .join(' ');
}

/**
 * A message for a failure to start the server process, from the error that
 * spawning it gave, naming the command line that was tried.
 */
export function describeStartFailure(error: unknown, server: ServerCommand): string {
  const commandLine = formatCommandLine(server);
  const code = typeof error === 'object' && error !== null ? (error as { code?: unknown }).code : undefined;
  switch (code) {
    case 'ENOENT':
      return `Could not start the Vigil language server: ${server.command} does not exist (${commandLine}).`;
    case 'EACCES':
      return `Could not start the Vigil language server: ${server.command} may not be run (${commandLine}).`;
    default: {
      const reason = error instanceof Error ? error.message : String(error);
      return `Could not start the Vigil language server (${commandLine}): ${reason}`;
    }
  }
}
