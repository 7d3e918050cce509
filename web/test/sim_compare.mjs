// The simulator in vigil.wasm gives the same trace as the native
// `vigil sim --json`, and the same scenario results as `vigil test`: every
// event of every script given, run from the start state, and each event
// again after the states of kStates are set.
//   node test/sim_compare.mjs VIGIL VIGIL_JS SCRIPT...
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, readFileSync} from 'node:fs';

import {loadVigil} from './load_vigil.mjs';

const [vigil, vigilJs, ...scripts] = process.argv.slice(2);
if (!vigil || !vigilJs || scripts.length === 0) {
  console.error('usage: node test/sim_compare.mjs VIGIL VIGIL_JS SCRIPT...');
  process.exit(2);
}
const wasm = await loadVigil(vigilJs);

// States that send the examples' events down their other branches.
const kStates = ['TIMEPLAN(1) = ON', 'GROUP(2) = ON', 'OFFICES.ARMED = ON', 'OFFICES.READY = ON'];

function native(args) {
  try {
    return {status: 0, stdout: execFileSync(vigil, args, {encoding: 'latin1'})};
  } catch (error) {
    return {status: error.status, stdout: error.stdout};
  }
}

let runs = 0;
let failures = 0;
function check(what, test) {
  try {
    test();
  } catch (error) {
    failures++;
    console.error(`${what}: ${error.message.split('\n').slice(0, 12).join('\n')}`);
  }
}

for (const script of scripts) {
  const bytes = new Uint8Array(readFileSync(script));
  const {events, errorCount} = wasm.compile(bytes, '2026-01-01 00:00:00');
  if (errorCount > 0 || events.length === 0) continue;
  // Only the states the script has names for; the others are errors both ways.
  const states = kStates.filter(
      (set) => !('errors' in wasm.simulate(bytes, events[0].name, Buffer.from(set, 'latin1'))));
  for (const {name} of events) {
    for (const set of ['', ...states]) {
      runs++;
      check(`${script} ${name} ${set}`, () => {
        const args = ['sim', script, name, '--json', ...(set ? ['--set', set] : [])];
        const expected = JSON.parse(native(args).stdout);
        expected.script = 'script';
        assert.deepEqual(wasm.simulate(bytes, name, Buffer.from(set, 'latin1')), expected);
      });
    }
  }
  const scenarios = script.replace(/\.txt$/, '.scenarios');
  if (existsSync(scenarios)) {
    runs++;
    check(scenarios, () => {
      const report = wasm.runScenarios(bytes, new Uint8Array(readFileSync(scenarios)));
      const lines = native(['test', script, scenarios]).stdout.split('\n');
      assert.equal(report.summary, lines.at(-2), 'the summary line');
      const verdicts = lines.filter((line) => /^(PASS|FAIL) {2}/.test(line));
      assert.deepEqual(report.scenarios.map((s) => `${s.passed ? 'PASS' : 'FAIL'}  ${s.name}`), verdicts);
    });
  }
}
console.log(`sim wasm vs native: ${runs} runs, ${failures === 0 ? 'all identical' : failures + ' differ'}`);
assert.ok(runs > 0, 'something was compared');
process.exit(failures === 0 ? 0 : 1);
