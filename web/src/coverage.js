// What the last scenario run covered, drawn on the editor's lines as
// `vigil test --coverage` counts it (vigil_coverage_json): a line with code
// that ran, one that did not, and an IF taken one way only, with the counts
// in the line's title.
import {StateEffect, StateField, RangeSetBuilder} from '@codemirror/state';
import {Decoration, EditorView} from '@codemirror/view';

const setCoverage = StateEffect.define();

// One decoration per line with code: {line, className, title}.
export function coverageMarks(coverage) {
  const ifs = new Map(coverage.branches.map((branch) => [branch.line, branch]));
  return coverage.lines.map(({line, runs}) => {
    const branch = ifs.get(line);
    if (runs === 0) return {line, className: 'cov-missed', title: 'not run'};
    const title = `ran ${runs} time${runs === 1 ? '' : 's'}`;
    if (!branch) return {line, className: 'cov-run', title};
    if (branch.held > 0 && branch.failed > 0) {
      return {line, className: 'cov-run', title: `${title}; held ${branch.held}, failed ${branch.failed}`};
    }
    return {line, className: 'cov-partial', title: `${title}; never ${branch.held === 0 ? 'held' : 'failed'}`};
  });
}

function decorations(doc, marks) {
  const builder = new RangeSetBuilder();
  for (const mark of marks) {
    if (mark.line < 1 || mark.line > doc.lines) continue;
    builder.add(doc.line(mark.line).from, doc.line(mark.line).from,
        Decoration.line({class: mark.className, attributes: {title: mark.title}}));
  }
  return builder.finish();
}

// The editor extension; the marks go when the text changes.
export const coverageField = StateField.define({
  create: () => Decoration.none,
  update(value, transaction) {
    for (const effect of transaction.effects) {
      if (effect.is(setCoverage)) return decorations(transaction.state.doc, effect.value);
    }
    return transaction.docChanged ? Decoration.none : value;
  },
  provide: (field) => EditorView.decorations.from(field),
});

// Shows `coverage` (or clears the marks for null).
export function showCoverage(view, coverage) {
  view.dispatch({effects: setCoverage.of(coverage ? coverageMarks(coverage) : [])});
}
