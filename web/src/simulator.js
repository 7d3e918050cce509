// The simulator pane: runs one event of the compiled script on the
// controller model (vigil_sim_json) after the states the user sets, and
// shows the trace as a table; runs scenario text (vigil_scenarios_json) and
// shows what passed and failed, and what they covered (vigil_coverage_json)
// on the editor's lines. Everything runs in the page.
import {bytesOfLines} from './script_bytes.js';
import {$, element} from './dom.js';

// The bytes of a text box: its lines with CR LF, one byte per character.
function bytesOfBox(box) {
  return bytesOfLines(box.value.split('\n'));
}

// "state line 2, column 5: Unknown command [E6]", then the line as it was
// read; `lineName(n)` names line n, or is null for none.
function errorItem(error, lineName) {
  const place = [lineName(error.line), error.column > 0 ? `column ${error.column}` : null]
      .filter(Boolean).join(', ');
  const item = element('li', 'error');
  item.append(element('span', 'where', place ? `${place}:` : ''),
      ` ${error.message}${error.code ? ` [${error.code}]` : ''}`);
  if (error.text) item.append(element('div', 'note', error.text));
  return item;
}

function cell(row, text, className) {
  const td = element('td', className, text);
  row.append(td);
  return td;
}

// "FRONT.VALID (door FRONT, id 1)", "at 3 s: FRONT.VALID resumes ...".
function bannerRow(entry) {
  const row = element('tr', `sim-${entry.kind}`);
  const prefix = entry.time > 0 ? `at ${entry.time} s: ` : '';
  cell(row, `${prefix}${entry.instruction} ${entry.effect}`).colSpan = 6;
  return row;
}

function stepRow(entry) {
  const row = element('tr', `sim-${entry.kind}`);
  cell(row, `${entry.time} s`, 'sim-time');
  cell(row, entry.line > 0 ? String(entry.line) : '', 'line-number');
  const shown = entry.source || (entry.instruction ? `(${entry.instruction})` : '');
  const source = cell(row, shown, 'sim-source');
  source.style.paddingLeft = `${0.4 + entry.depth * 1.2}em`;
  source.title = entry.instruction;
  cell(row, entry.effect);
  const branch = entry.taken === undefined ? '' : entry.taken ? 'taken' : 'not taken';
  cell(row, branch, entry.taken === undefined ? '' : `sim-branch ${entry.taken}`);
  const changes = cell(row, '', 'sim-changes');
  for (const change of entry.changes) {
    const text = change.before === change.after ? `${change.what} stays ${change.after}` :
      `${change.what}: ${change.before} → ${change.after}`;
    changes.append(element('div', '', text));
  }
  return row;
}

function renderTrace(trace) {
  $('sim-trace').hidden = trace.length === 0;
  $('sim-trace').tBodies[0].replaceChildren(...trace.map(
      (entry) => entry.kind === 'event' || entry.kind === 'resume' ? bannerRow(entry) : stepRow(entry)));
}

function scenarioItem(scenario) {
  const item = element('li', scenario.passed ? 'pass' : 'fail');
  item.append(element('span', 'verdict', scenario.passed ? 'PASS' : 'FAIL'), ` ${scenario.name}`);
  for (const failure of scenario.failures) {
    item.append(element('div', 'note', `line ${failure.line}: ${failure.message}`));
  }
  if (!scenario.passed) {
    const details = element('details');
    details.append(element('summary', '', 'Trace'), element('pre', '', scenario.trace));
    item.append(details);
  }
  return item;
}

// `scriptBytes()` gives the bytes the page compiles; `showCoverage(coverage)`
// draws a run's coverage on the editor (null clears it).
export function setupSimulator(vigil, scriptBytes, showCoverage) {
  const picker = $('sim-event');
  let ranOn = null;  // the script bytes the shown results are of

  function clearResults() {
    for (const id of ['sim-errors', 'scenarios-errors', 'scenarios-results']) $(id).replaceChildren();
    renderTrace([]);
    $('sim-result').textContent = '';
    $('scenarios-summary').textContent = '';
    $('coverage-summary').textContent = '';
    showCoverage(null);
  }

  function run() {
    ranOn = scriptBytes();
    const answer = vigil.simulate(ranOn, picker.value, bytesOfBox($('sim-state')));
    const errors = answer.errors ?? [];
    $('sim-errors').replaceChildren(...errors.map((error) => errorItem(error,
        (line) => line === 0 ? 'event' : `state line ${line}`)));
    renderTrace(answer.trace ?? []);
    $('sim-result').textContent = answer.result ?? '';
  }

  function runScenarios() {
    ranOn = scriptBytes();
    const report = vigil.runScenarios(ranOn, bytesOfBox($('scenarios')));
    $('scenarios-errors').replaceChildren(...report.errors.map((error) => errorItem(error,
        (line) => line === 0 ? null : `line ${line}`)));
    $('scenarios-results').replaceChildren(...report.scenarios.map(scenarioItem));
    const summary = $('scenarios-summary');
    summary.textContent = report.errors.length > 0 ?
      `Not run: ${report.errors.length} error${report.errors.length === 1 ? '' : 's'}` : report.summary;
    summary.className = report.errors.length === 0 && report.failed === 0 ? 'good' : 'bad';
    const coverage = report.errors.length === 0 ? vigil.coverage(ranOn, bytesOfBox($('scenarios'))) : null;
    $('coverage-summary').textContent = coverage ? `coverage: ${coverage.summary}` : '';
    showCoverage(coverage);
  }

  $('sim-run').addEventListener('click', run);
  $('scenarios-run').addEventListener('click', runScenarios);

  // After each compile: the script's events in the picker, the choice kept
  // while the event is still there; results of another script are cleared.
  return function update(result) {
    const bytes = scriptBytes();
    if (ranOn !== null && (ranOn.length !== bytes.length || ranOn.some((b, i) => b !== bytes[i]))) {
      ranOn = null;
      clearResults();
    }
    const chosen = picker.value;
    const names = result.events.map((event) => event.name);
    picker.replaceChildren(...result.events.map((event) => {
      const option = element('option', '', event.name);
      option.value = event.name;
      option.title = `line ${event.line}, ${event.blocks} block${event.blocks === 1 ? '' : 's'}`;
      return option;
    }));
    if (names.includes(chosen)) picker.value = chosen;
    const runnable = result.errorCount === 0 && names.length > 0;
    $('sim-run').disabled = !runnable;
    $('scenarios-run').disabled = result.errorCount > 0;
    $('sim-status').textContent = result.errorCount > 0 ? 'The script has errors: fix them to run it.' :
      names.length === 0 ? 'The script has no event blocks.' : '';
  };
}
