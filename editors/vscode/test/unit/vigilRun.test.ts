// Reading what `vigil check` and `vigil test` print, scenario files and
// lcov files, by hand-written examples of each.

import { strict as assert } from 'node:assert';
import { describe, it } from 'node:test';

import { keepScenarios, parseCheckSummary, parseLcov, parseTestReport, scenarioHeadings, scriptBeside } from '../../src/vigilRun';

describe('parseCheckSummary', () => {
  it('reads the counts of the last line, singular or plural, and nothing else', () => {
    const cases: [string, ReturnType<typeof parseCheckSummary>][] = [
      ['a.txt: 0 errors, 0 warnings, 345 bytes of code\n', { errors: 0, warnings: 0, codeBytes: 345 }],
      ['a.txt:3:1: error: x [E6]\na.txt: 1 error, 2 warnings, 0 bytes of code\r\n', { errors: 1, warnings: 2, codeBytes: 0 }],
      ['a.txt: 2 errors, 1 warning, 17 bytes of code', { errors: 2, warnings: 1, codeBytes: 17 }],
      ['vigil check: cannot read a.txt\n', undefined],
      ['a.txt: 0 errors, 0 warnings, 1 bytes of code\nmore\n', undefined],
    ];
    for (const [text, expected] of cases) assert.deepEqual(parseCheckSummary(text), expected, text);
  });
});

describe('scenario files', () => {
  const text = '; c\r\nSCENARIO one\r\nEVENT A.B\r\n\r\n  scenario  two words \r\nWAIT 1\r\nALWAYS DOOR(A) WHEN A.B\r\nSCENARIO three\r\nEXPECT CUT\r\n';

  it('finds each SCENARIO line, in any case, with its name', () => {
    assert.deepEqual(scenarioHeadings(text), [
      { name: 'one', line: 2 },
      { name: 'two words', line: 5 },
      { name: 'three', line: 8 },
    ]);
  });

  it('blanks the scenarios not kept and every property, keeping each line where it was', () => {
    assert.equal(keepScenarios(text, new Set([5])), '; c\r\n\r\n\r\n\r\n  scenario  two words \r\nWAIT 1\r\n\r\n\r\n\r\n');
    assert.equal(keepScenarios(text, new Set([2, 8])), '; c\r\nSCENARIO one\r\nEVENT A.B\r\n\r\n\r\n\r\n\r\nSCENARIO three\r\nEXPECT CUT\r\n');
  });

  it('runs a scenario file against the first of .txt, .vgl, .vigil beside it', () => {
    const existing = (files: string[]) => (file: string) => files.includes(file);
    assert.equal(scriptBeside('/s/a.scenarios', existing(['/s/a.vigil', '/s/a.vgl'])), '/s/a.vgl');
    assert.equal(scriptBeside('/s/a.scenarios', existing(['/s/a.txt', '/s/a.vgl'])), '/s/a.txt');
    assert.equal(scriptBeside('/s/a.scenarios', existing(['/s/b.txt'])), undefined);
  });
});

describe('parseTestReport', () => {
  it('reads PASS and FAIL lines, the failures with their lines and the trace, and stops at the summary', () => {
    const report = [
      'PASS  one',
      'FAIL  two words',
      '  /tmp/x/a.scenarios:10: expected DOOR(BACK): no door opened since line 9',
      '  /tmp/x/a.scenarios:11: expected MARK(M)',
      '  trace:',
      '    FRONT.VALID',
      '      DOOR()',
      'PASS  three',
      '2 passed, 1 failed',
      '  not part of a scenario',
    ].join('\r\n');
    assert.deepEqual(parseTestReport(report), [
      { name: 'one', passed: true, failures: [], trace: '' },
      {
        name: 'two words',
        passed: false,
        failures: [
          { line: 10, message: 'expected DOOR(BACK): no door opened since line 9' },
          { line: 11, message: 'expected MARK(M)' },
        ],
        trace: 'FRONT.VALID\n  DOOR()\n',
      },
      { name: 'three', passed: true, failures: [], trace: '' },
    ]);
  });
});

describe('parseLcov', () => {
  it('splits the DA lines of each SF record into covered and not', () => {
    const lcov = 'TN:\r\nSF:a.txt\r\nBRDA:3,0,0,1\r\nDA:2,1\r\nDA:3,0\r\nDA:4,7\r\nLF:3\r\nend_of_record\r\nSF:b.txt\r\nDA:1,0\r\nend_of_record\r\n';
    assert.deepEqual([...parseLcov(lcov)], [
      ['a.txt', { covered: [2, 4], uncovered: [3] }],
      ['b.txt', { covered: [], uncovered: [1] }],
    ]);
  });
});
