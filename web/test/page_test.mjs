// The page as a user meets it, in headless Chromium: loads it from
// 127.0.0.1, types a script with a mistake, and checks its highlighting, the underline, the
// BIN pane and the bytes its download button saves, an opened file's bytes,
// that a share link brings the script back, the decision table of the event
// under the cursor and the diff against a kept version, and the simulator: an event run
// after a state is set, scenarios that pass and fail and the lines and IF
// branches they ran, marked in the editor. Prints the size of what the
// page loads and how long the first compile took; keeps a screenshot.
//   node test/page_test.mjs SITE_DIR SCREENSHOT
import assert from 'node:assert/strict';
import {existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {gzipSync} from 'node:zlib';
import puppeteer from 'puppeteer-core';

import {serve} from '../serve.mjs';
import {loadVigil} from './load_vigil.mjs';

const [siteDir, screenshot] = process.argv.slice(2);
if (!siteDir || !screenshot) {
  console.error('usage: node test/page_test.mjs SITE_DIR SCREENSHOT');
  process.exit(2);
}

// The installer's reference example: counted line 4 (editor line 6) assigns
// an element the door has no assignment for, error 6.
const kLines = [
  'MODULE = CTRL,0',
  'MODULE = FRONT,1,0,2,5,30,10,1',
  'DEFINE REGISTER VISITS',
  '; front door',
  'EVENT FRONT.VALID',
  'RELAY2 = ON',
  'EVENTEND',
  '',
];
const kTypedBytes = Buffer.from(kLines.join('\r\n'), 'latin1');
// The simulator's script: visits counted in office hours (time plan 1),
// the others logged; a second block switches the relay.
const kSimScript = Buffer.from([
  'MODULE = CTRL,0',
  'MODULE = FRONT,1,0,2,5,30,10,1',
  'DEFINE REGISTER VISITS',
  'DEFINE MARK LATE = Card out of hours',
  'EVENT FRONT.INVALID',
  '  MARK(LATE)',
  'EVENTEND',
  'EVENT FRONT.VALID',
  '  IF TIMEPLAN(1)',
  '    VISITS = VISITS + 1',
  '  ELSE',
  '    MARK(LATE)',
  '  ENDIF',
  '  FRONT.RELAY1 = ON',
  'EVENTEND',
  '',
].join('\r\n'), 'latin1');
const kScenarios = [
  'SCENARIO visit in hours',
  'SET TIMEPLAN(1) = ON',
  'EVENT FRONT.VALID',
  'EXPECT VISITS = 1',
  'SCENARIO a night visit is not counted',
  'EVENT FRONT.VALID',
  'EXPECT MARK(LATE)',
  'EXPECT VISITS = 1',
].join('\n');
const kSizeGoal = 300 * 1024;
const kFirstCompileGoalMs = 100;

const work = mkdtempSync(join(tmpdir(), 'vigil-page-'));
const {server, url} = await serve(siteDir);
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: join(work, 'profile'),
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

async function openPage(address) {
  const page = await browser.newPage();
  await page.setViewport({width: 1400, height: 900});
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(address);
  await page.waitForSelector('body[data-ready="true"]', {timeout: 30000});
  assert.deepEqual(errors, [], 'no script errors on the page');
  return page;
}

// The bytes the page compiled last, once they are `expected`.
async function compiledBytes(page, expected) {
  await page.waitForFunction((want) => Array.from(window.vigilPage.compiledBytes()).join() === want,
      {timeout: 10000}, Array.from(expected).join()).catch(() => {});
  return Buffer.from(await page.evaluate(() => Array.from(window.vigilPage.compiledBytes())));
}

try {
  const page = await openPage(url);
  const loadStats = await page.evaluate(() => window.vigilStats);

  // Typing: the editor's lines are compiled with CR LF.
  await page.click('.cm-content');
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  for (const [i, line] of kLines.entries()) {
    await page.keyboard.type(line);
    if (i < kLines.length - 1) await page.keyboard.press('Enter');
  }
  assert.deepEqual(await compiledBytes(page, kTypedBytes), kTypedBytes, 'typed text has CR LF ends');
  // Highlighting from the compiler's word lists: the declaration words and
  // the keywords stand out, a declared name does not.
  const colours = await page.$$eval('.cm-line span',
      (spans) => spans.map((span) => [span.textContent, getComputedStyle(span).color]));
  const colourOf = (word) => colours.find(([text]) => text === word)?.[1];
  const plain = await page.$eval('.cm-content', (content) => getComputedStyle(content).color);
  for (const word of ['MODULE', 'DEFINE', 'REGISTER', 'EVENT', 'EVENTEND']) {
    assert.ok(colourOf(word) && colourOf(word) !== plain, `${word} highlighted: ${colours}`);
  }
  assert.notEqual(colourOf('VISITS'), colourOf('DEFINE'), 'a declared name is no keyword');
  const marked = await page.$$eval('.cm-lintRange-error', (nodes) => nodes.map((n) => n.textContent));
  assert.equal(marked.length, 1, 'one error underlined');
  assert.ok('RELAY2 = ON'.startsWith(marked[0]) && marked[0].length > 0, `underline on RELAY2: "${marked[0]}"`);
  const listed = await page.$$eval('#diagnostics li.error', (items) => items.map((i) => i.textContent));
  assert.ok(listed.some((text) => text.includes('line 6') && text.includes('E6') &&
      text.includes('Unknown command')), `E6 listed: ${listed}`);
  assert.ok(await page.$$eval('#diagnostics li.error .note', (notes) => notes.length) > 0,
      'the notes are shown');
  assert.match(await page.$eval('#line-ends', (p) => p.textContent), /CR LF/);

  // The error number links to its explanation.
  await page.click('#diagnostics li.error .code-link');
  assert.match(await page.$eval('#explanation', (p) => p.textContent), /Unknown command/);

  // The files: the ERR pane as the reference gives it, the BIN pane and its
  // download as the compiler in this process gives them for the same bytes.
  const vigil = await loadVigil(join(siteDir, 'vigil.js'));
  const expected = vigil.compile(new Uint8Array(kTypedBytes), '2026-01-01 00:00:00');
  assert.equal(await page.$eval('#file-err pre', (p) => p.textContent),
      '0000100004RELAY2 = ON%Unknown command\n');
  await page.click('#tab-bin + label');
  const binText = await page.$eval('#file-bin pre', (p) => p.textContent);
  assert.equal(Buffer.from(binText.replace(/\n/g, '\r\n'), 'latin1').compare(Buffer.from(expected.bin)), 0,
      'BIN pane shows the download file');
  const downloads = join(work, 'downloads');
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await page.click('#file-bin button');
  const saved = join(downloads, 'script.BIN');
  for (let i = 0; i < 100 && !existsSync(saved); i++) await new Promise((r) => setTimeout(r, 100));
  assert.ok(existsSync(saved), `download saved: ${readdirSync(work)}`);
  assert.equal(readFileSync(saved).compare(Buffer.from(expected.bin)), 0, 'downloaded bytes');
  assert.ok(/^(.*\r\n)+$/s.test(readFileSync(saved, 'latin1')), 'every line ends in CR LF');

  const typedStats = await page.evaluate(() => window.vigilStats);

  // A share link brings the script back in a fresh page.
  await page.click('#share');
  await page.waitForSelector('#share-box:not([hidden])');
  const link = await page.$eval('#share-link', (input) => input.value);
  assert.ok(link.startsWith(url + '#s='), link);
  const shared = await openPage(link);
  assert.deepEqual(await compiledBytes(shared, kTypedBytes), kTypedBytes, 'shared script comes back');
  await shared.waitForSelector('.cm-lintRange-error');
  await shared.screenshot({path: screenshot});
  await shared.close();

  // An opened file keeps its bytes: a lone LF, a lone CR, a byte above 127.
  const fileBytes = Buffer.from('MODULE = CTRL,0\nDEFINE MARK M = Caf\xe9\rEVENT\r\n', 'latin1');
  const file = join(work, 'site.txt');
  writeFileSync(file, fileBytes);
  const input = await page.$('#open');
  await input.uploadFile(file);
  assert.deepEqual(await compiledBytes(page, fileBytes), fileBytes, 'opened file compiled as it is');
  assert.match(await page.$eval('#line-ends', (p) => p.textContent), /site\.txt: compiled from its own 44 bytes/);

  // The simulator: pick an event of an opened script, set a state, run it.
  const simFile = join(work, 'visits.txt');
  writeFileSync(simFile, kSimScript);
  await (await page.$('#open')).uploadFile(simFile);
  assert.deepEqual(await compiledBytes(page, kSimScript), kSimScript, 'simulator script opened');
  assert.deepEqual(await page.$$eval('#sim-event option', (options) => options.map((o) => o.value)),
      ['FRONT.INVALID', 'FRONT.VALID'], 'the script\'s events in the picker');
  await page.select('#sim-event', 'FRONT.VALID');
  await page.type('#sim-state', '; office hours\nTIMEPLAN(1) = ON');
  await page.click('#sim-run');
  await page.waitForSelector('#sim-trace:not([hidden])');
  assert.equal(await page.$eval('#sim-result', (p) => p.textContent),
      'result: FRONT.RELAY1 OFF -> ON; VISITS 0 -> 1');
  const rows = async () => page.$$eval('#sim-trace tbody tr',
      (trs) => trs.map((tr) => Array.from(tr.cells, (td) => td.textContent.trim())));
  let trace = await rows();
  // The editor's coverage marks: {line: class} for each marked line.
  const coverageMarks = async () => page.$$eval('.cm-content .cm-line', (lines) => Object.fromEntries(
      lines.map((line, i) => [i + 1, ['cov-run', 'cov-missed', 'cov-partial']
          .find((name) => line.classList.contains(name))]).filter(([, mark]) => mark)));
  assert.deepEqual(trace[0], ['FRONT.VALID (door FRONT, id 1)'], 'the event starts');
  const ifRow = trace.find((row) => row[2] === 'IF TIMEPLAN(1)');
  assert.ok(ifRow, `an IF row: ${JSON.stringify(trace)}`);
  assert.equal(ifRow[4], 'taken');
  assert.match(ifRow[3], /TIMEPLAN\(1\) is ON/);
  const visitRow = trace.find((row) => row[2] === 'VISITS = VISITS + 1');
  assert.equal(visitRow?.[5], 'VISITS: 0 → 1', 'the register before and after');
  assert.ok(!trace.some((row) => row[2] === 'MARK(LATE)'), 'the ELSE branch is skipped');
  await (await page.$('#simulator')).screenshot({path: screenshot.replace(/\.png$/, '_simulator.png')});

  // Without the time plan the ELSE branch runs.
  await page.$eval('#sim-state', (box) => { box.value = ''; });
  await page.click('#sim-run');
  await page.waitForFunction(() => document.getElementById('sim-result').textContent.includes('archive'));
  assert.equal(await page.$eval('#sim-result', (p) => p.textContent),
      'result: FRONT.RELAY1 OFF -> ON; archive +1');
  trace = await rows();
  assert.equal(trace.find((row) => row[2] === 'IF TIMEPLAN(1)')?.[4], 'not taken');
  assert.ok(trace.some((row) => row[2] === 'MARK(LATE)'), 'the ELSE branch runs');

  // A state the script has no name for is an error on its line; nothing runs.
  await page.type('#sim-state', 'NOSUCH = ON');
  await page.click('#sim-run');
  await page.waitForSelector('#sim-errors li.error');
  assert.match(await page.$eval('#sim-errors', (list) => list.textContent), /^state line 1, column \d+:/);
  assert.equal(await page.$eval('#sim-result', (p) => p.textContent), '');
  assert.equal(await page.$eval('#sim-trace', (table) => table.hidden), true);

  // Scenarios: the first passes, the second fails on its last line.
  await page.type('#scenarios', kScenarios.split('\n').slice(0, 4).join('\n'));
  await page.click('#scenarios-run');
  await page.waitForFunction(() => document.getElementById('scenarios-summary').textContent !== '');
  assert.equal(await page.$eval('#scenarios-summary', (p) => p.textContent), '1 passed, 0 failed');
  assert.equal(await page.$eval('#scenarios-summary', (p) => p.className), 'good');
  // Only the IF's held branch ran: FRONT.INVALID's MARK (line 6) and the
  // ELSE's (line 12) did not.
  assert.equal(await page.$eval('#coverage-summary', (p) => p.textContent),
      'coverage: 3 of 5 (60%) lines, 1 of 2 (50%) IF branches');
  assert.deepEqual(await coverageMarks(), {6: 'cov-missed', 9: 'cov-partial', 10: 'cov-run',
    12: 'cov-missed', 14: 'cov-run'});
  await page.$eval('#scenarios', (box, text) => { box.value = text; }, kScenarios);
  await page.click('#scenarios-run');
  await page.waitForFunction(() => document.getElementById('scenarios-summary').textContent === '1 passed, 1 failed');
  assert.equal(await page.$eval('#scenarios-summary', (p) => p.className), 'bad');
  const verdicts = await page.$$eval('#scenarios-results li', (items) => items.map((i) => i.textContent));
  assert.equal(verdicts.length, 2);
  assert.ok(verdicts[0].startsWith('PASS visit in hours'), verdicts[0]);
  assert.ok(verdicts[1].startsWith('FAIL a night visit is not counted') && verdicts[1].includes('line 8:'),
      verdicts[1]);
  assert.equal(await page.$eval('#coverage-summary', (p) => p.textContent),
      'coverage: 4 of 5 (80%) lines, 2 of 2 (100%) IF branches');
  assert.deepEqual(await coverageMarks(), {6: 'cov-missed', 9: 'cov-run', 10: 'cov-run',
    12: 'cov-run', 14: 'cov-run'});

  // The decision table of the event under the cursor (line 9, in
  // FRONT.VALID), then a version kept for the diff.
  await page.click('.cm-content');
  await page.keyboard.down('Control');
  await page.keyboard.press('Home');
  await page.keyboard.up('Control');
  for (let i = 0; i < 8; i++) await page.keyboard.press('ArrowDown');
  await page.waitForFunction(
      () => document.getElementById('paths-event').textContent.startsWith('FRONT.VALID'));
  assert.equal(await page.$eval('#paths-event', (p) => p.textContent), 'FRONT.VALID, line 8: 2 paths');
  assert.deepEqual(await page.$$eval('#paths-table tbody tr',
      (trs) => trs.map((tr) => Array.from(tr.cells, (td) => td.textContent))), [
    ['TIMEPLAN(1)', 'VISITS = VISITS + 1; FRONT.RELAY1 = ON'],
    ['not TIMEPLAN(1)', 'MARK(LATE) "Card out of hours"; FRONT.RELAY1 = ON'],
  ]);
  await page.click('#diff-keep');

  // An edit of the script clears the results of the script before it.
  await page.click('.cm-content');
  await page.keyboard.down('Control');
  await page.keyboard.press('End');
  await page.keyboard.up('Control');
  await page.keyboard.type('; edited');
  await page.waitForFunction(() => document.getElementById('scenarios-summary').textContent === '',
      {timeout: 10000});
  assert.equal(await page.$$eval('#scenarios-results li', (items) => items.length), 0);
  assert.deepEqual(await coverageMarks(), {}, 'an edit clears the coverage marks');
  // A comment changes no behaviour of the kept version.
  await page.waitForFunction(
      () => document.getElementById('diff-text').textContent.startsWith('no behaviour changed'));

  const loaded = ['page.js', 'vigil.js', 'vigil.wasm'].map((name) => {
    const bytes = readFileSync(join(siteDir, name));
    return {name, raw: bytes.length, gzip: gzipSync(bytes, {level: 9}).length};
  });
  const total = loaded.reduce((sum, file) => sum + file.gzip, 0);
  for (const file of loaded) console.log(`size: ${file.name} ${file.raw} bytes, ${file.gzip} gzip`);
  console.log(`size: page total ${total} bytes gzip (goal under ${kSizeGoal})`);
  console.log(`time: wasm load ${loadStats.wasmLoadMs.toFixed(1)} ms, first compile ` +
      `${loadStats.firstCompileMs.toFixed(1)} ms (goal under ${kFirstCompileGoalMs}), ` +
      `compile of the typed script ${typedStats.lastCompileMs.toFixed(1)} ms ` +
      `(${typedStats.compiles} compiles in all)`);
  assert.ok(total < kSizeGoal, 'size goal');
  console.log(`page test: passed; screenshot ${screenshot}`);
} finally {
  await browser.close();
  server.close();
  rmSync(work, {recursive: true, force: true});
}
