// The playground page: an editor, live diagnostics, the four files, the code
// beside the script lines, share links and the simulator. Everything is compiled in the
// page by vigil.wasm; nothing is sent anywhere.
import {EditorState} from '@codemirror/state';
import {EditorView, keymap, lineNumbers, highlightActiveLine} from '@codemirror/view';
import {defaultKeymap, history, historyKeymap} from '@codemirror/commands';
import {syntaxHighlighting, defaultHighlightStyle} from '@codemirror/language';
import {lintGutter, setDiagnostics} from '@codemirror/lint';

import {localDateText, wrapVigil} from './vigil_api.js';
import {bytesOfLines, scriptOfFragment, shareFragment, textOfBytes} from './script_bytes.js';
import {scriptLanguage} from './script_language.js';
import {renderCode, renderDiagnostics, renderFiles, toEditorDiagnostics} from './panes.js';
import {setupSimulator} from './simulator.js';
import {setupPaths} from './paths.js';
import {coverageField, showCoverage} from './coverage.js';
import {$} from './dom.js';

const kWelcome = [
  '; Paste or type a script here; it is compiled as you type.',
  'MODULE PANEL = PANEL,0',
  'MODULE FRONT = FRONT,1,0,2,5,30,10',
  'DEVICE = FRONT.CARDREADER,1',
  '',
  'EVENT FRONT.VALID',
  '  DOOR()',
  'EVENTEND',
  '',
];

// What the page compiles: the opened file's bytes while it is unchanged,
// else the editor's lines with CR LF.
const state = {vigil: null, view: null, fileBytes: null, fileName: null, origin: '', loading: false,
  last: null, timer: 0, updateSimulator: null, updatePaths: null};

function scriptBytes() {
  return state.fileBytes ?? bytesOfLines(state.view.state.doc.toJSON());
}

function stem() {
  const name = state.fileName ?? 'script.txt';
  return name.length >= 3 ? name.slice(0, -3) : 'script.';
}

function showLineEnds(bytes) {
  $('line-ends').textContent = state.fileBytes ?
    `${state.origin}: compiled from its own ${bytes.length} bytes, line ends as they are.` :
    'Typed or pasted text is compiled with CR LF line ends (a browser editor holds lines, ' +
    'not line-end bytes), one byte per character.';
}

function compileNow() {
  const bytes = scriptBytes();
  const started = performance.now();
  const result = state.vigil.compile(bytes, localDateText());
  const elapsed = performance.now() - started;
  if (window.vigilStats.firstCompileMs === null) window.vigilStats.firstCompileMs = elapsed;
  window.vigilStats.compiles++;
  window.vigilStats.lastCompileMs = elapsed;
  state.last = {bytes, result};
  state.view.dispatch(setDiagnostics(state.view.state,
      toEditorDiagnostics(state.view.state.doc, result.diagnostics, showExplanation)));
  renderDiagnostics($('diagnostics'), result.diagnostics, showExplanation);
  renderFiles(result, stem());
  renderCode($('code'), state.view.state.doc, result.code);
  state.updateSimulator(result);
  updatePaths();
  $('summary').textContent = `${result.lineCount} counted lines, ${result.errorCount} ` +
      `error${result.errorCount === 1 ? '' : 's'}, ${result.codeSize} bytes of code ` +
      `(compiled in ${elapsed.toFixed(1)} ms)`;
  $('summary').className = result.errorCount > 0 ? 'bad' : 'good';
  showLineEnds(bytes);
}

// The table of the event under the cursor, after a compile or a cursor move.
function updatePaths() {
  if (!state.last) return;
  const doc = state.view.state.doc;
  state.updatePaths(state.last.result, doc.lineAt(state.view.state.selection.main.head).number);
}

function scheduleCompile() {
  clearTimeout(state.timer);
  state.timer = setTimeout(compileNow, 150);
}

function showExplanation(code) {
  const text = state.vigil.explanation(code);
  $('explanation-title').textContent = code;
  $('explanation').textContent = text ?? `No explanation for ${code}.`;
  $('explanation-box').hidden = false;
  $('explanation-box').scrollIntoView({block: 'nearest'});
}

// Puts `bytes` in the editor as they are and compiles them unchanged;
// `origin` says where they came from.
function openBytes(bytes, name, origin) {
  state.loading = true;
  state.view.dispatch({changes: {from: 0, to: state.view.state.doc.length,
    insert: textOfBytes(bytes)}});
  state.loading = false;
  state.fileBytes = bytes;
  state.fileName = name;
  state.origin = origin;
  compileNow();
}

async function openFile(file) {
  openBytes(new Uint8Array(await file.arrayBuffer()), file.name, file.name);
}

async function share() {
  const fragment = await shareFragment(scriptBytes());
  const link = `${location.origin}${location.pathname}#${fragment}`;
  window.history.replaceState(null, '', '#' + fragment);
  $('share-link').value = link;
  $('share-note').textContent = 'The script is in the link itself; no server keeps it.';
  $('share-box').hidden = false;
  $('share-link').select();
  navigator.clipboard?.writeText(link).then(
      () => { $('share-note').textContent += ' Copied.'; }, () => {});
}

function makeEditor(words) {
  return new EditorView({
    parent: $('editor'),
    state: EditorState.create({
      doc: kWelcome.join('\n'),
      extensions: [
        lineNumbers(), history(), highlightActiveLine(), lintGutter(),
        keymap.of([...defaultKeymap, ...historyKeymap]),
        scriptLanguage(words), syntaxHighlighting(defaultHighlightStyle), coverageField,
        EditorView.updateListener.of((update) => {
          if (update.selectionSet && !update.docChanged) updatePaths();
          if (!update.docChanged || state.loading) return;
          state.fileBytes = null;  // edited: from now on the editor's lines count
          scheduleCompile();
        }),
      ],
    }),
  });
}

async function main() {
  window.vigilStats = {wasmLoadMs: null, firstCompileMs: null, lastCompileMs: null, compiles: 0};
  const started = performance.now();
  // eslint-disable-next-line no-undef
  state.vigil = wrapVigil(await createVigil());
  window.vigilStats.wasmLoadMs = performance.now() - started;
  $('version').textContent = `vigilc ${state.vigil.version()}`;
  state.view = makeEditor(state.vigil.wordLists());
  state.updateSimulator = setupSimulator(state.vigil, scriptBytes,
      (coverage) => showCoverage(state.view, coverage));
  state.updatePaths = setupPaths(state.vigil, scriptBytes);

  $('open').addEventListener('change', (event) => {
    if (event.target.files.length > 0) openFile(event.target.files[0]);
  });
  $('share').addEventListener('click', share);
  $('explanation-close').addEventListener('click', () => { $('explanation-box').hidden = true; });

  // A share link pasted into the address bar of an open page.
  window.addEventListener('hashchange', async () => {
    const script = await scriptOfFragment(location.hash).catch(() => null);
    if (script) openBytes(script, 'shared.txt', 'The shared script');
  });
  const shared = await scriptOfFragment(location.hash).catch(() => null);
  if (shared) {
    openBytes(shared, 'shared.txt', 'The shared script');
  } else {
    compileNow();
  }
  // For tests and the console: the bytes of the last compile.
  window.vigilPage = {compiledBytes: () => state.last.bytes};
  document.body.dataset.ready = 'true';
}

main();
