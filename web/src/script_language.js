// Highlighting of the script language: comment lines, the words of
// declaration lines, the language's keywords, numbers, MODULE.ELEMENT names,
// operators. Every word list is the compiler's own (vigil_word_lists_json()
// of the wasm build), so the two never disagree.
import {StreamLanguage} from '@codemirror/language';

// `words`: the object of vigil_word_lists_json(): declarations (MODULE,
// DEFINE, ...) and the kinds after DEFINE are declaration keywords, the
// keywords the others.
export function scriptLanguage(words) {
  const keywordSet = new Set(words.keywords);
  const declarationSet = new Set([...words.declarations, ...words.defines]);
  return StreamLanguage.define({
    name: 'vigil',
    startState: () => ({lineStart: true, afterMarkName: false}),
    token(stream, state) {
      if (stream.sol()) state.lineStart = true;
      if (stream.eatSpace()) return null;
      // A line whose first non-blank character is ";" is a comment.
      if (state.lineStart && stream.peek() === ';') {
        stream.skipToEnd();
        return 'comment';
      }
      state.lineStart = false;
      if (stream.match(/^&H[0-9A-F]+/i) || stream.match(/^[+-]?(\d+\.?\d*|\.\d+)(E[+-]?\d+)?/i)) {
        return 'number';
      }
      const word = stream.match(/^[A-Za-z_][A-Za-z0-9_-]*/);
      if (word) {
        const upper = word[0].toUpperCase();
        if (stream.peek() === '.') return 'namespace';
        if (declarationSet.has(upper)) return 'definitionKeyword';
        if (keywordSet.has(upper)) return 'keyword';
        return 'variableName';
      }
      if (stream.match(/^[=<>(),.]/)) return 'operator';
      stream.next();
      return null;
    },
    languageData: {commentTokens: {line: ';'}},
  });
}
