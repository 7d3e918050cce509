// A stand-in for the `vscode` module, so the bundled extension can be
// activated under plain node. What the extension itself uses (settings,
// workspace folder, commands, messages, output) are recorded and can be
// driven by a test; everything else that vscode-languageclient touches is a
// permissive placeholder that accepts any call and returns another one.

import * as fs from 'node:fs';
import * as path from 'node:path';

const Module = require('node:module') as {
  _load: (request: string, parent: unknown, isMain: boolean) => unknown;
};

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

/** Accepts any property access, call or `new`, and is never a promise. */
function placeholder(name: string): unknown {
  const target = function () {
    /* placeholder */
  };
  return new Proxy(target, {
    get(_target, property) {
      if (property === 'then') {
        return undefined;
      }
      if (property === Symbol.iterator) {
        return function* () {
          /* nothing */
        };
      }
      if (property === Symbol.toPrimitive) {
        return () => name;
      }
      if (property === 'dispose') {
        return () => undefined;
      }
      return placeholder(`${name}.${String(property)}`);
    },
    apply: () => placeholder(`${name}()`),
    construct: () => placeholder(`new ${name}`) as object,
  });
}

function disposable(): { dispose(): void } {
  return { dispose: () => undefined };
}

/** Every top-level name the VS Code API declares, as a placeholder. */
function apiPlaceholders(): Record<string, unknown> {
  const declarations = fs.readFileSync(require.resolve('@types/vscode/index.d.ts'), 'utf8');
  const api: Record<string, unknown> = {};
  for (const match of declarations.matchAll(/^\t(?:export )?(?:class|namespace|enum|const|function|let)\s+([A-Za-z_]\w*)/gm)) {
    api[match[1]] = placeholder(match[1]);
  }
  return api;
}

/** A namespace whose listed members are real and whose others are placeholders. */
function namespace(name: string, members: Record<string, unknown>): unknown {
  return new Proxy(members, {
    get(target, property) {
      if (typeof property === 'string' && property in target) {
        return target[property];
      }
      return placeholder(`${name}.${String(property)}`);
    },
  });
}

export function createFakeVscode(): { fake: FakeVscode; api: Record<string, unknown> } {
  const configurationListeners: Handler[] = [];
  const fake: FakeVscode = {
    settings: {},
    output: [],
    messages: [],
    commands: new Map(),
    executed: [],
    changeConfiguration(section: string) {
      const event = { affectsConfiguration: (wanted: string) => wanted === section || section.startsWith(`${wanted}.`) || wanted.startsWith(`${section}.`) };
      for (const listener of configurationListeners) {
        listener(event);
      }
    },
  };

  const message =
    (kind: Message['kind']) =>
    (text: string, ...actions: string[]): Promise<undefined> => {
      fake.messages.push({ kind, text, actions });
      return Promise.resolve(undefined);
    };

  const api = apiPlaceholders();
  api.version = '1.82.0';
  api.window = namespace('window', {
    createOutputChannel: (name: string) => ({
      name,
      append: (text: string) => fake.output.push(text),
      appendLine: (text: string) => fake.output.push(text),
      replace: () => undefined,
      clear: () => undefined,
      show: () => undefined,
      hide: () => undefined,
      dispose: () => undefined,
    }),
    showErrorMessage: message('error'),
    showWarningMessage: message('warning'),
    showInformationMessage: message('information'),
  });
  api.commands = namespace('commands', {
    registerCommand: (id: string, handler: Handler) => {
      fake.commands.set(id, handler);
      return disposable();
    },
    executeCommand: async (...args: unknown[]) => {
      fake.executed.push(args);
      return undefined;
    },
  });
  api.workspace = namespace('workspace', {
    getConfiguration: (section?: string) => ({
      get: (key: string, fallback?: unknown) => {
        const full = section ? `${section}.${key}` : key;
        return full in fake.settings ? fake.settings[full] : fallback;
      },
      has: (key: string) => (section ? `${section}.${key}` : key) in fake.settings,
      inspect: () => undefined,
      update: async () => undefined,
    }),
    get workspaceFolders() {
      if (fake.workspaceFolder === undefined) {
        return undefined;
      }
      const fsPath = fake.workspaceFolder;
      return [{ uri: { scheme: 'file', fsPath, path: fsPath, toString: () => `file://${fsPath}` }, name: path.basename(fsPath), index: 0 }];
    },
    textDocuments: [],
    isTrusted: true,
    onDidChangeConfiguration: (listener: Handler) => {
      configurationListeners.push(listener);
      return disposable();
    },
    onDidChangeWorkspaceFolders: () => disposable(),
    onDidGrantWorkspaceTrust: () => disposable(),
  });
  return { fake, api };
}

/**
 * Loads a fresh copy of the bundled extension with `api` as its `vscode`.
 * Returns the module and a function that undoes the redirection.
 */
export function loadBundle(bundle: string, api: Record<string, unknown>): {
  extension: { activate(context: { subscriptions: unknown[] }): void; deactivate(): PromiseLike<void> };
  restore(): void;
} {
  const previous = Module._load;
  Module._load = function (request: string, parent: unknown, isMain: boolean) {
    return request === 'vscode' ? api : previous.call(this, request, parent, isMain);
  };
  delete require.cache[require.resolve(bundle)];
  const extension = require(bundle);
  return {
    extension,
    restore: () => {
      Module._load = previous;
      delete require.cache[require.resolve(bundle)];
    },
  };
}
