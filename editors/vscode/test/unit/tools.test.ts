// The bundled extension's commands, Testing view, status bar, tasks and
// coverage marks, driven through the stand-in `vscode` against the built
// `vigil` and `vigilc` on a copy of examples/office.txt.

import { strict as assert } from 'node:assert';
import * as fs from 'node:fs';
import * as os from 'node:os';
import * as path from 'node:path';
import { afterEach, beforeEach, describe, it } from 'node:test';

import { createFakeVscode, FakePosition, FakeRange, FakeTestItem, FakeVscode, loadBundle } from './fakeVscode';

const extensionRoot = path.resolve(__dirname, '../../..');
const office = path.resolve(extensionRoot, '../../examples/office.txt');
const builtFolder = ['debug', 'release']
  .map((preset) => path.resolve(extensionRoot, `../../build/${preset}/src/cli`))
  .find((folder) => fs.existsSync(path.join(folder, 'vigil')) && fs.existsSync(path.join(folder, 'vigilc')));

// Line 2 starts a scenario that passes, line 7 one whose EXPECT on line 10 fails:
// FRONT.VALID opens the front door (office.txt line 19), never the back door.
const SCENARIOS = [
  '; two scenarios',
  'SCENARIO front door opens in office hours',
  'SET TIMEPLAN(1) = ON',
  'EVENT FRONT.VALID',
  'EXPECT DOOR(FRONT)',
  '',
  'SCENARIO wrongly expects the back door',
  'SET TIMEPLAN(1) = ON',
  'EVENT FRONT.VALID',
  'EXPECT DOOR(BACK)',
  '',
].join('\r\n');

let fake: FakeVscode;
let extension: ReturnType<typeof loadBundle>['extension'];
let restore: () => void;
let site: string;

const controller = () => fake.controllers[0];
const statesOf = (index: number) => controller().runs[index].states.map((s) => `${s.id.replace(/^.*#/, '')} ${s.state}`);
const children = (item: FakeTestItem) => {
  const list: FakeTestItem[] = [];
  item.children.forEach((child) => list.push(child));
  return list;
};
const linesOf = (ranges: FakeRange[] | undefined) => (ranges ?? []).map((range) => range.start.line + 1);

describe('the commands and the Testing view', { skip: builtFolder === undefined ? 'no vigil and vigilc built under build/' : false }, () => {
  beforeEach(() => {
    const created = createFakeVscode();
    fake = created.fake;
    fake.workspaceFolder = fs.mkdtempSync(path.join(os.tmpdir(), 'vigil-tools-'));
    site = path.join(fake.workspaceFolder, 'site.txt');
    fs.copyFileSync(office, site);
    fs.writeFileSync(path.join(fake.workspaceFolder, 'site.scenarios'), SCENARIOS);
    fake.settings['vigil.server.path'] = path.join(builtFolder!, 'vigil');
    fake.settings['vigil.compiler.path'] = path.join(builtFolder!, 'vigilc');
    ({ extension, restore } = loadBundle(path.join(extensionRoot, 'dist/extension.js'), created.api));
    extension.activate({ subscriptions: [] });
  });

  afterEach(async () => {
    await extension.deactivate();
    restore();
    fs.rmSync(fake.workspaceFolder!, { recursive: true, force: true });
  });

  it('lists each scenario at its SCENARIO line and runs one, all, and the failure at its EXPECT line with the trace', async () => {
    await controller().resolveHandler!(undefined);
    const files: FakeTestItem[] = [];
    controller().items.forEach((item) => files.push(item));
    assert.deepEqual(files.map((f) => f.label), ['site.scenarios']);
    const [passing, failing] = children(files[0]);
    assert.deepEqual(
      children(files[0]).map((c) => [c.label, c.range!.start.line]),
      [['front door opens in office hours', 1], ['wrongly expects the back door', 6]],
    );

    const [run] = controller().profiles.filter((p) => p.kind === 1);
    await run.run({ include: [failing] }, undefined);
    assert.deepEqual(statesOf(0), ['7 started', '7 failed']);
    const [message] = controller().runs[0].states[1].messages;
    assert.equal(message.location!.uri.fsPath, path.join(fake.workspaceFolder!, 'site.scenarios'));
    assert.equal((message.location!.range as FakePosition).line, 9, 'the EXPECT line, 10, counted from 0');
    assert.match(message.message, /trace:\n[\s\S]*FRONT\.VALID/);

    await run.run({ include: [passing] }, undefined);
    assert.deepEqual(statesOf(1), ['2 started', '2 passed']);
    await run.run({}, undefined);
    assert.deepEqual(statesOf(2), ['2 started', '7 started', '2 passed', '7 failed']);
    assert.ok(controller().runs.every((r) => r.ended));

    // A scenario file made outside the editor appears.
    fs.writeFileSync(path.join(fake.workspaceFolder!, 'more.scenarios'), 'SCENARIO init\r\nEVENT PANEL.INIT\r\n');
    fake.createFile(path.join(fake.workspaceFolder!, 'more.scenarios'));
    await new Promise((resolve) => setTimeout(resolve, 50));
    const labels: string[] = [];
    controller().items.forEach((item) => labels.push(item.label));
    assert.deepEqual(labels, ['more.scenarios', 'site.scenarios']);
    fs.rmSync(path.join(fake.workspaceFolder!, 'more.scenarios'));
    await controller().resolveHandler!(undefined);

    // An edited scenario file is saved before it runs: here its second scenario now passes.
    const file = path.join(fake.workspaceFolder!, 'site.scenarios');
    const edited = SCENARIOS.replace('EXPECT DOOR(BACK)', 'EXPECT NOT DOOR(BACK)');
    fake.documents.push({ ...fake.openEditor(file, 'vigil-scenarios').document, isDirty: true, save: async () => (fs.writeFileSync(file, edited), true) });
    await run.run({}, undefined);
    assert.deepEqual(statesOf(3), ['2 started', '7 started', '2 passed', '7 passed']);

    // Without a vigil to run, each scenario says why and the run ends.
    const missing = path.join(fake.workspaceFolder!, 'no-vigil');
    fake.settings['vigil.server.path'] = missing;
    await run.run({ include: [failing] }, undefined);
    assert.deepEqual(statesOf(4), ['7 errored']);
    assert.equal(controller().runs[4].states[0].messages[0].message, `vigil.server.path "${missing}" is not an executable file.`);
    assert.ok(controller().runs[4].ended);
  });

  it('marks the lines the scenarios ran after a run with coverage, and clears them', async () => {
    const editor = fake.openEditor(site, 'vigil');
    await controller().resolveHandler!(undefined);
    const coverage = controller().profiles.find((p) => p.kind === 3)!;
    await coverage.run({}, undefined);
    const [covered, uncovered] = [...editor.decorations.values()].map(linesOf);
    assert.ok(covered.includes(19), `DOOR() of FRONT.VALID ran: ${covered}`);
    assert.ok(uncovered.includes(21) && uncovered.includes(37), `the ELSE branch and BACK.VALID did not: ${uncovered}`);
    assert.ok(!covered.some((line) => uncovered.includes(line)));

    await fake.commands.get('vigil.clearCoverage')!();
    assert.deepEqual([...editor.decorations.values()].map(linesOf), [[], []]);
  });

  it('checks into the status bar, compiles, simulates a picked event, fixes, and runs the scenarios of the script', async () => {
    fake.openEditor(site, 'vigil');
    await fake.commands.get('vigil.check')!();
    const [status] = fake.statusBarItems;
    assert.ok(status.visible);
    assert.match(status.text, /^\$\(error\) 0 \$\(warning\) 0 \$\(package\) [1-9]\d* bytes$/);
    const size = status.text.replace(/^.*\$\(package\) /, '');

    // As the script is typed the counts follow the server's diagnostics (not a scenario's), the size the last check.
    const error = { severity: 0, source: 'vigil' };
    fake.diagnostics.set(`file://${site}`, [error, error, { severity: 1, source: 'vigil' }, { severity: 0, source: 'vigil test' }]);
    fake.changeDiagnostics([path.join(fake.workspaceFolder!, 'other.txt')]);
    assert.match(status.text, /^\$\(error\) 0 /, 'another file leaves the item alone');
    fake.changeDiagnostics([site]);
    assert.equal(status.text, `$(error) 2 $(warning) 1 $(package) ${size}`);

    const broken = path.join(fake.workspaceFolder!, 'broken.vgl');
    fs.writeFileSync(broken, fs.readFileSync(office, 'latin1').replace('    DOOR()\r\n', '    NOSUCH()\r\n'), 'latin1');
    fake.openEditor(broken, 'vigil');
    await fake.commands.get('vigil.check')!();
    assert.match(status.text, /^\$\(error\) 1 \$\(warning\) 0 /, 'NOSUCH() on line 19 is the one error');

    fake.openEditor(site, 'vigil');
    await fake.commands.get('vigil.compile')!();
    for (const ending of ['BIN', 'LST', 'ERR', 'SET']) {
      assert.ok(fs.existsSync(path.join(fake.workspaceFolder!, `site.${ending}`)), ending);
    }

    fake.pick = 'FRONT.VALID';
    await fake.commands.get('vigil.simulateEvent')!();
    assert.deepEqual(fake.picks[0].slice(0, 3), ['FRONT.VALID', 'FRONT.INVALID', 'BACK.VALID']);
    assert.ok(fake.output.some((line) => /^> vigil sim .*site\.txt FRONT\.VALID$/.test(line)), fake.output.join('\n'));

    const lf = path.join(fake.workspaceFolder!, 'lf.vgl');
    fs.writeFileSync(lf, 'EVENT CTRL.INIT\nEVENTEND\n');
    fake.openEditor(lf, 'vigil');
    await fake.commands.get('vigil.fix')!();
    assert.equal(fs.readFileSync(lf, 'latin1'), 'EVENT CTRL.INIT\r\nEVENTEND\r\n');
    assert.equal(fs.readFileSync(`${lf}.bak`, 'latin1'), 'EVENT CTRL.INIT\nEVENTEND\n');

    fake.openEditor(site, 'vigil');
    await fake.commands.get('vigil.runScenarios')!();
    assert.deepEqual(statesOf(0), ['2 started', '7 started', '2 passed', '7 failed']);
    assert.deepEqual(fake.messages.filter((m) => m.kind === 'error').map((m) => m.text), []);
  });

  it('provides a vigilc and a check task per script, with their problem matchers', async () => {
    fs.copyFileSync(office, path.join(fake.workspaceFolder!, 'panel.vgl'));
    const tasks = (await fake.taskProviders.get('vigil')!.provideTasks()) as { args: unknown[] }[];
    const described = tasks.map(({ args: [definition, , name, , execution, matcher] }) => [
      definition,
      name,
      (execution as { args: unknown[] }).args.slice(0, 2),
      matcher,
    ]);
    assert.deepEqual(described, [
      [{ type: 'vigil', tool: 'vigilc', script: 'panel.vgl' }, 'vigilc panel.vgl', [path.join(builtFolder!, 'vigilc'), ['panel.vgl']], '$vigilc'],
      [{ type: 'vigil', tool: 'check', script: 'panel.vgl' }, 'vigil check panel.vgl', [path.join(builtFolder!, 'vigil'), ['check', 'panel.vgl']], '$vigil-check'],
    ]);
  });
});
