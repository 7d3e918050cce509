// The decision table of the event under the cursor (vigil_paths_json) and
// the behaviour that changed since a kept version (vigil_diff_text), both
// computed in the page as `vigil paths` and `vigil diff` do.
import {$, element} from './dom.js';

// The event whose block holds `line`: the last event starting at or before it.
export function eventAtLine(events, line) {
  let found = null;
  for (const event of events) {
    if (event.line <= line && (found === null || event.line >= found.line)) found = event;
  }
  return found;
}

function renderTable(table) {
  $('paths-event').textContent = `${table.event}, line ${table.line}: ${table.paths.length} ` +
      `path${table.paths.length === 1 ? '' : 's'}${table.cut ? ' (cut short)' : ''}`;
  $('paths-table').hidden = false;
  $('paths-table').tBodies[0].replaceChildren(...table.paths.map((path) => {
    const row = element('tr');
    row.append(element('td', '', path.when), element('td', '', path.does));
    return row;
  }));
  $('paths-dead').replaceChildren(...table.dead.map(
      (dead) => element('li', 'error', `dead code: line ${dead.line}: ${dead.text}`)));
}

function clearTable(message) {
  $('paths-event').textContent = message;
  $('paths-table').hidden = true;
  $('paths-dead').replaceChildren();
}

// Wires the pane; returns update(result, cursorLine), called after each
// compile and cursor move.
export function setupPaths(vigil, scriptBytes) {
  const pane = {kept: null, shown: ''};
  $('diff-keep').addEventListener('click', () => {
    pane.kept = scriptBytes();
    $('diff-text').textContent = 'Version kept: edit the script to see what its changes change.';
  });
  return (result, cursorLine) => {
    if (result.errorCount > 0) {
      clearTable('The script has errors: fix them to see its paths.');
      return;
    }
    const event = eventAtLine(result.events, cursorLine);
    const key = `${event?.name}\n${result.codeSize}\n${Array.from(scriptBytes()).join(',')}`;
    if (key !== pane.shown) {
      pane.shown = key;
      if (event === null) {
        clearTable('Put the cursor in an event to see its decision table.');
      } else {
        const json = vigil.paths(scriptBytes(), event.name);
        if (json.events?.length === 1) renderTable(json.events[0]);
      }
    }
    if (pane.kept !== null) $('diff-text').textContent = vigil.diff(pane.kept, scriptBytes()) ?? '';
  };
}
