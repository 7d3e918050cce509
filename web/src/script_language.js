// Highlighting of the script language: comment lines, the words that start
// a declaration line, the language's keywords (handed over by the compiler,
// so the two never disagree), numbers, MODULE.ELEMENT names, operators.
import {StreamLanguage} from '@codemirror/language';

// The words a declaration line starts with; the rest of the language's
// words come from vigil_keywords().
const kDeclarationWords = ['MODULE', 'DEVICE', 'DEFINE', 'PARAMETER', 'MARK', 'REGISTER',
  'TIMER', 'PARTITION'];

export function scriptLanguage(keywords) {
  const keywordSet = new Set(keywords);
  const declarationSet = new Set(kDeclarationWords);
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
