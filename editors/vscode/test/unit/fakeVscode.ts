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

/** A test run as the fake controller records it: each item's state, in order. */
export interface RecordedRun {
  include: FakeTestItem[] | undefined;
  states: { id: string; state: 'started' | 'passed' | 'failed' | 'errored'; messages: FakeTestMessage[] }[];
  output: string;
  ended: boolean;
}

export interface FakeTestItem {
  id: string;
  label: string;
  uri?: FakeUri;
  range?: FakeRange;
  parent?: FakeTestItem;
  children: ItemCollection;
}

export interface FakeUri {
  scheme: string;
  fsPath: string;
  path: string;
  toString(): string;
}

export class FakePosition {
  constructor(
    readonly line: number,
    readonly character: number,
  ) {}
}

export class FakeRange {
  readonly start: FakePosition;
  readonly end: FakePosition;
  constructor(startLine: number, startCharacter: number, endLine: number, endCharacter: number) {
    this.start = new FakePosition(startLine, startCharacter);
    this.end = new FakePosition(endLine, endCharacter);
  }
}

export class FakeTestMessage {
  location?: { uri: FakeUri; range: FakePosition | FakeRange };
  constructor(readonly message: string) {}
}

/** A TestItemCollection: items by id, each added one given its parent. */
export class ItemCollection {
  private readonly items = new Map<string, FakeTestItem>();
  constructor(private readonly owner?: FakeTestItem) {}
  get size() {
    return this.items.size;
  }
  add(item: FakeTestItem) {
    item.parent = this.owner;
    this.items.set(item.id, item);
  }
  replace(items: FakeTestItem[]) {
    this.items.clear();
    items.forEach((item) => this.add(item));
  }
  get(id: string) {
    return this.items.get(id);
  }
  delete(id: string) {
    this.items.delete(id);
  }
  forEach(visit: (item: FakeTestItem) => void) {
    this.items.forEach((item) => visit(item));
  }
}

/** An editor showing a file: the decorations set on it by type. */
export interface FakeEditor {
  document: { uri: FakeUri; languageId: string; isDirty: boolean; getText(): string; save(): Promise<boolean> };
  decorations: Map<unknown, FakeRange[]>;
  setDecorations(type: unknown, ranges: FakeRange[]): void;
}

export interface FakeVscode {
  /** The test controllers created, with their run profiles and the runs made. */
  controllers: {
    items: ItemCollection;
    resolveHandler?: (item: FakeTestItem | undefined) => Promise<void>;
    profiles: { label: string; kind: number; run: (request: { include?: FakeTestItem[] }, token: unknown) => Promise<void> }[];
    runs: RecordedRun[];
  }[];
  statusBarItems: { text: string; tooltip?: string; command?: string; visible: boolean }[];
  taskProviders: Map<string, { provideTasks(): Promise<unknown[]>; resolveTask(task: unknown): unknown }>;
  /** The editor in front, and all that are visible. */
  activeEditor?: FakeEditor;
  visibleEditors: FakeEditor[];
  /** Tells the file system watchers of the extension that `file` was made. */
  createFile(file: string): void;
  /** The diagnostics of each URI (languages.getDiagnostics), by its text. */
  diagnostics: Map<string, { severity: number; source?: string }[]>;
  /** Tells the extension that the diagnostics of these files changed. */
  changeDiagnostics(files: string[]): void;
  /** The open documents (workspace.textDocuments). */
  documents: FakeEditor['document'][];
  /** What the next quick pick returns; the lists shown are kept. */
  pick?: string;
  picks: string[][];
  /** Values of vigil.server.path and vigil.server.args. */
  settings: Record<string, unknown>;
  workspaceFolder?: string;
  output: string[];
  messages: Message[];
  commands: Map<string, Handler>;
  executed: unknown[][];
  /** Tells the extension that the settings under `section` changed. */
  changeConfiguration(section: string): void;
  /** An editor for `file` in `languageId`, made the active one. */
  openEditor(file: string, languageId: string): FakeEditor;
}

export function fileUri(fsPath: string): FakeUri {
  return { scheme: 'file', fsPath, path: fsPath, toString: () => `file://${fsPath}` };
}

/** The files under `folder` whose names end in one of the endings of a glob such as `** /*.{vgl,vigil}`. */
function findFiles(folder: string | undefined, glob: string): FakeUri[] {
  const endings = (/\*\.\{([^}]*)\}$/.exec(glob)?.[1].split(',') ?? [/\*\.(\w+)$/.exec(glob)![1]]).map((e) => `.${e}`);
  if (folder === undefined) return [];
  const found: FakeUri[] = [];
  const walk = (dir: string) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      else if (endings.includes(path.extname(entry.name))) found.push(fileUri(file));
    }
  };
  walk(folder);
  return found.sort((a, b) => a.fsPath.localeCompare(b.fsPath));
}

function createTestController(fake: FakeVscode) {
  const controller: FakeVscode['controllers'][number] & Record<string, unknown> = {
    items: new ItemCollection(),
    profiles: [],
    runs: [],
    createTestItem: (id: string, label: string, uri?: FakeUri): FakeTestItem => {
      const item: FakeTestItem = { id, label, uri, children: new ItemCollection() };
      item.children = new ItemCollection(item);
      return item;
    },
    createRunProfile: (label: string, kind: number, run: FakeVscode['controllers'][number]['profiles'][number]['run']) => {
      controller.profiles.push({ label, kind, run });
      return disposable();
    },
    createTestRun: (request: { include?: FakeTestItem[] }) => {
      const run: RecordedRun = { include: request.include, states: [], output: '', ended: false };
      controller.runs.push(run);
      const state = (name: RecordedRun['states'][number]['state']) => (item: FakeTestItem, messages?: FakeTestMessage | FakeTestMessage[]) =>
        run.states.push({ id: item.id, state: name, messages: messages === undefined ? [] : [messages].flat() });
      return {
        started: state('started'),
        passed: state('passed'),
        failed: state('failed'),
        errored: state('errored'),
        appendOutput: (text: string) => (run.output += text),
        end: () => (run.ended = true),
      };
    },
    dispose: () => undefined,
  };
  fake.controllers.push(controller);
  return controller;
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
  const diagnosticListeners: Handler[] = [];
  const createListeners: Handler[] = [];
  const fake: FakeVscode = {
    controllers: [],
    statusBarItems: [],
    taskProviders: new Map(),
    visibleEditors: [],
    createFile: (file) => createListeners.forEach((listener) => listener(fileUri(file))),
    diagnostics: new Map(),
    changeDiagnostics: (files) => diagnosticListeners.forEach((listener) => listener({ uris: files.map(fileUri) })),
    documents: [],
    picks: [],
    openEditor(file: string, languageId: string) {
      const editor: FakeEditor = {
        document: { uri: fileUri(file), languageId, isDirty: false, getText: () => fs.readFileSync(file, 'latin1'), save: async () => true },
        decorations: new Map(),
        setDecorations: (type, ranges) => editor.decorations.set(type, ranges),
      };
      fake.activeEditor = editor;
      fake.visibleEditors = [editor];
      return editor;
    },
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
  class Described {
    constructor(...args: unknown[]) {
      Object.assign(this, { args });
    }
  }
  Object.assign(api, {
    Position: FakePosition,
    Range: FakeRange,
    TestMessage: FakeTestMessage,
    Location: class {
      constructor(
        readonly uri: FakeUri,
        readonly range: FakePosition | FakeRange,
      ) {}
    },
    TestRunRequest: class {
      constructor(readonly include?: FakeTestItem[]) {}
    },
    Uri: { file: fileUri },
    TestRunProfileKind: { Run: 1, Debug: 2, Coverage: 3 },
    StatusBarAlignment: { Left: 1, Right: 2 },
    OverviewRulerLane: { Left: 1, Center: 2, Right: 4, Full: 7 },
    TaskScope: { Global: 1, Workspace: 2 },
    TaskGroup: { Build: { id: 'build' }, Test: { id: 'test' } },
    ProcessExecution: class extends Described {},
    Task: class extends Described {
      group: unknown;
      get definition() {
        return (this as unknown as { args: unknown[] }).args[0];
      }
    },
  });
  api.DiagnosticSeverity = { Error: 0, Warning: 1, Information: 2, Hint: 3 };
  api.languages = namespace('languages', {
    getDiagnostics: (uri: FakeUri) => fake.diagnostics.get(uri.toString()) ?? [],
    onDidChangeDiagnostics: (listener: Handler) => diagnosticListeners.push(listener) && disposable(),
  });
  api.tests = namespace('tests', { createTestController: () => createTestController(fake) });
  api.tasks = namespace('tasks', {
    registerTaskProvider: (type: string, provider: FakeVscode['taskProviders'] extends Map<string, infer P> ? P : never) =>
      fake.taskProviders.set(type, provider) && disposable(),
  });
  api.window = namespace('window', {
    get activeTextEditor() {
      return fake.activeEditor;
    },
    get visibleTextEditors() {
      return fake.visibleEditors;
    },
    createStatusBarItem: () => {
      const item = { text: '', visible: false, show: () => (item.visible = true), hide: () => (item.visible = false), dispose: () => undefined };
      fake.statusBarItems.push(item);
      return item;
    },
    createTextEditorDecorationType: (options: object) => ({ options, dispose: () => undefined }),
    showQuickPick: async (items: string[]) => {
      fake.picks.push(items);
      return fake.pick;
    },
    onDidChangeActiveTextEditor: disposable,
    onDidChangeVisibleTextEditors: disposable,
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
    get textDocuments() {
      return fake.documents;
    },
    isTrusted: true,
    onDidChangeConfiguration: (listener: Handler) => listeners.push(listener) && disposable(),
    onDidChangeWorkspaceFolders: disposable,
    onDidGrantWorkspaceTrust: disposable,
    onDidSaveTextDocument: disposable,
    createFileSystemWatcher: () => ({
      onDidCreate: (listener: Handler) => createListeners.push(listener) && disposable(),
      onDidChange: disposable,
      onDidDelete: disposable,
      dispose: () => undefined,
    }),
    findFiles: async (glob: string) => findFiles(fake.workspaceFolder, glob),
    asRelativePath: (uri: FakeUri) => (fake.workspaceFolder ? path.relative(fake.workspaceFolder, uri.fsPath) : uri.fsPath),
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
