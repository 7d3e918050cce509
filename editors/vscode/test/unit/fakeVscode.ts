// A stand-in for the `vscode` module, so the bundled extension can be
// activated under plain node. What the extension itself uses (settings,
// workspace folder, commands, messages, output) is recorded and can be
// driven by a test; everything else that vscode-languageclient touches is a
// permissive placeholder that accepts any call and returns another one.

import * as fs from 'node:fs';
import * as path from 'node:path';

const Module = require('node:module') as { _load: (request: string, parent: unknown, isMain: boolean) => unknown };

type Handler = (...args: unknown[]) => unknown;

export interface Message {
  kind: 'error' | 'warning' | 'information';
  text: string;
  actions: string[];
}

export interface FakeVscode {
  /** Values of vigil.server.path and vigil.server.args. */
  settings: Record<string, unknown>;
  workspaceFolder?: string;
  output: string[];
  messages: Message[];
  commands: Map<string, Handler>;
  executed: unknown[][];
  /** Tells the extension that the settings under `section` changed. */
  changeConfiguration(section: string): void;
}

const disposable = () => ({ dispose: () => undefined });

/** Accepts any property access, call or `new`, and is never a promise. */
function placeholder(name: string): unknown {
  const special: Record<string | symbol, unknown> = {
    then: undefined,
    dispose: () => undefined,
    [Symbol.iterator]: function* () {},
    [Symbol.toPrimitive]: () => name,
  };
  return new Proxy(function () {}, {
    get: (_target, property) => (property in special ? special[property] : placeholder(`${name}.${String(property)}`)),
    apply: () => placeholder(`${name}()`),
    construct: () => placeholder(`new ${name}`) as object,
  });
}

/** A namespace whose listed members are real and whose others are placeholders. */
function namespace(name: string, members: Record<string, unknown>): unknown {
  return new Proxy(members, {
    get: (target, property) =>
      typeof property === 'string' && property in target ? target[property] : placeholder(`${name}.${String(property)}`),
  });
}

export function createFakeVscode(): { fake: FakeVscode; api: Record<string, unknown> } {
  const listeners: Handler[] = [];
  const fake: FakeVscode = {
    settings: {},
    output: [],
    messages: [],
    commands: new Map(),
    executed: [],
    changeConfiguration(section: string) {
      const affects = (wanted: string) => wanted === section || section.startsWith(`${wanted}.`) || wanted.startsWith(`${section}.`);
      listeners.forEach((listener) => listener({ affectsConfiguration: affects }));
    },
  };
  const message = (kind: Message['kind']) => async (text: string, ...actions: string[]) => {
    fake.messages.push({ kind, text, actions });
    return undefined;
  };

  // Every top-level name the VS Code API declares, as a placeholder.
  const declarations = fs.readFileSync(require.resolve('@types/vscode/index.d.ts'), 'utf8');
  const api: Record<string, unknown> = { version: '1.82.0' };
  for (const match of declarations.matchAll(/^\t(?:export )?(?:class|namespace|enum|const|function|let)\s+([A-Za-z_]\w*)/gm)) {
    api[match[1]] ??= placeholder(match[1]);
  }
  const output = (text: string) => fake.output.push(text);
  api.window = namespace('window', {
    createOutputChannel: (name: string) => namespace('channel', { name, append: output, appendLine: output }),
    showErrorMessage: message('error'),
    showWarningMessage: message('warning'),
    showInformationMessage: message('information'),
  });
  api.commands = namespace('commands', {
    registerCommand: (id: string, handler: Handler) => fake.commands.set(id, handler) && disposable(),
    executeCommand: async (...args: unknown[]) => void fake.executed.push(args),
  });
  const key = (section: string | undefined, name: string) => (section ? `${section}.${name}` : name);
  api.workspace = namespace('workspace', {
    getConfiguration: (section?: string) => ({
      get: (name: string, fallback?: unknown) => (key(section, name) in fake.settings ? fake.settings[key(section, name)] : fallback),
      has: (name: string) => key(section, name) in fake.settings,
      inspect: () => undefined,
      update: async () => undefined,
    }),
    get workspaceFolders() {
      const fsPath = fake.workspaceFolder;
      const uri = { scheme: 'file', fsPath, path: fsPath, toString: () => `file://${fsPath}` };
      return fsPath === undefined ? undefined : [{ uri, name: path.basename(fsPath), index: 0 }];
    },
    textDocuments: [],
    isTrusted: true,
    onDidChangeConfiguration: (listener: Handler) => listeners.push(listener) && disposable(),
    onDidChangeWorkspaceFolders: disposable,
    onDidGrantWorkspaceTrust: disposable,
  });
  return { fake, api };
}

/**
 * Loads a fresh copy of the bundled extension with `api` as its `vscode`.
 * Returns the module and a function that undoes the redirection.
 */
export function loadBundle(bundle: string, api: Record<string, unknown>) {
  const previous = Module._load;
  Module._load = function (request: string, parent: unknown, isMain: boolean) {
    return request === 'vscode' ? api : previous.call(this, request, parent, isMain);
  };
  delete require.cache[require.resolve(bundle)];
  const extension: { activate(context: { subscriptions: unknown[] }): void; deactivate(): PromiseLike<void> } = require(bundle);
  const restore = () => {
    Module._load = previous;
    delete require.cache[require.resolve(bundle)];
  };
  return { extension, restore };
}
