// The page as a user meets it, in headless Chromium: loads it from
// 127.0.0.1, types a script with a mistake, and checks the underline, the
// BIN pane and the bytes its download button saves, an opened file's bytes,
// and that a share link brings the script back. Prints the size of what the
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
