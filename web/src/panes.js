// What the page shows of one compilation: the diagnostics in the editor and
// in a list, the four files with download buttons, the code beside the lines.
import {element} from './dom.js';

const kFiles = [
  {key: 'bin', ext: 'BIN', title: 'Download file'},
  {key: 'lst', ext: 'LST', title: 'Listing'},
  {key: 'err', ext: 'ERR', title: 'Error file'},
  {key: 'set', ext: 'SET', title: 'Settings table'},
];

const latin1 = new TextDecoder('latin1');

function codeLink(code, explain) {
  const link = element('a', 'code-link', code);
  link.href = '#';
  link.title = `What ${code} means`;
  link.addEventListener('click', (event) => {
    event.preventDefault();
    explain(code);
  });
  return link;
}

// The editor range of a diagnostic: its line of the file and 1-based byte
// columns, which are the editor's columns (one character per byte).
function rangeOf(doc, diagnostic) {
  if (diagnostic.line === null || diagnostic.line > doc.lines) return {from: 0, to: 0};
  const line = doc.line(diagnostic.line);
  const from = Math.min(line.from + diagnostic.column - 1, line.to);
  const to = Math.min(line.from + diagnostic.end_column - 1, line.to);
  return {from, to: Math.max(to, from)};
}

export function toEditorDiagnostics(doc, diagnostics, explain) {
  return diagnostics.map((d) => ({
    ...rangeOf(doc, d),
    severity: d.severity,
    source: d.code,
    message: d.message,
    renderMessage() {
      const box = element('div', 'lint-message');
      box.append(codeLink(d.code, explain), ` ${d.message}`);
      for (const note of d.notes) box.append(element('div', 'note', `note: ${note}`));
      return box;
    },
  }));
}

export function renderDiagnostics(list, diagnostics, explain) {
  list.replaceChildren();
  if (diagnostics.length === 0) {
    list.append(element('li', 'none', 'No errors, no warnings.'));
    return;
  }
  for (const d of diagnostics) {
    const item = element('li', d.severity);
    item.append(element('span', 'where', d.line === null ? 'script' : `line ${d.line}`), ' ',
        element('span', 'severity', d.severity), ' ', codeLink(d.code, explain),
        ` ${d.message}`);
    for (const note of d.notes) item.append(element('div', 'note', `note: ${note}`));
    list.append(item);
  }
}

function download(bytes, name) {
  const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
  const link = element('a');
  link.href = url;
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// Each file's text as it is (CR LF shown as a line break) and a button that
// saves its exact bytes under the name vigilc would give it.
export function renderFiles(result, stem) {
  for (const file of kFiles) {
    const bytes = result[file.key];
    const pane = document.getElementById(`file-${file.key}`);
    pane.querySelector('pre').textContent = latin1.decode(bytes).replace(/\r\n/g, '\n');
    pane.querySelector('.size').textContent = `${stem}${file.ext}, ${bytes.length} bytes`;
    const button = pane.querySelector('button');
    button.onclick = () => download(bytes, stem + file.ext);
  }
}

// Every script line, and under it the code that line produced.
export function renderCode(pre, doc, items) {
  const byLine = new Map();
  for (const item of items) {
    if (!byLine.has(item.line)) byLine.set(item.line, []);
    byLine.get(item.line).push(item);
  }
  const out = [];
  const codeOf = (line) => {
    for (const item of byLine.get(line) ?? []) {
      for (const text of item.text.replace(/\n$/, '').split('\n')) out.push(element('div', 'code-item', text));
    }
  };
  for (let n = 1; n <= doc.lines; n++) {
    const row = element('div', 'script-line');
    row.append(element('span', 'line-number', String(n).padStart(5)), ' | ', doc.line(n).text);
    out.push(row);
    codeOf(n);
  }
  codeOf(0);
  pre.replaceChildren(...out);
}
