// Highlighting of the touch language, token by token as sixes reads it (language/TokenReader.cpp):
// the same characters start the same tokens, and a comment, a title or a call definition runs on
// over line ends to its closing character.
import { StreamLanguage } from '@codemirror/language';

// Separators between tokens; a line end is one too, and "{" opens a comment.
const separators = ' .,;\t\r}';
const isSeparator = (c) => separators.includes(c);
const isDigit = (c) => c >= '0' && c <= '9';
const isLetter = (c) => (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
const startLetters = 'PQSpqs';

// The style of each kind of text that runs to a closing character, and that character.
const runs = {
  comment: { close: '}', style: 'comment' },
  title: { close: '"', style: 'string' },
  definition: { close: "'", style: 'literal' },
};

function readRun(stream, state) {
  const run = runs[state.within];
  if (stream.skipTo(run.close)) {
    stream.next();
    state.within = null;
  } else {
    stream.skipToEnd();
  }
  return run.style;
}

// Blanks on the same line, as the reader skips separators inside a token.
function skipBlanks(stream) {
  stream.eatWhile((c) => isSeparator(c));
}

function readToken(stream, state) {
  const c = stream.next();
  if (isSeparator(c)) {
    skipBlanks(stream);
    return null;
  }
  switch (c) {
    case '{':
      state.within = 'comment';
      return readRun(stream, state);
    case '"':
      state.within = 'title';
      return readRun(stream, state);
    case "'":
      state.within = 'definition';
      return readRun(stream, state);
    case '#':
      skipBlanks(stream);
      return stream.eatWhile(isDigit) ? 'keyword' : 'invalid';
    case '!': {
      skipBlanks(stream);
      stream.eatWhile(isDigit);
      const letter = stream.next();
      return letter !== undefined && startLetters.includes(letter) ? 'keyword' : 'invalid';
    }
    case '-':
      skipBlanks(stream);
      if (!stream.eatWhile(isDigit)) {
        return 'invalid';
      }
      stream.eat(isLetter);
      return 'keyword';
    case '(':
      skipBlanks(stream);
      if (!stream.eatWhile(isDigit)) {
        return 'invalid';
      }
      skipBlanks(stream);
      return stream.eat(')') ? 'keyword' : 'invalid';
    case '~':
      stream.next();
      return 'keyword';
    case '<':
    case '[':
    case ']':
    case '>':
      return 'bracket';
    case '_':
      return 'contentSeparator';
    case '*':
      return 'keyword';
    default:
      break;
  }
  if (isDigit(c)) {
    stream.eatWhile(isDigit);
    stream.eat(isLetter);
    return 'number';
  }
  if (c === 's') {
    return stream.eatWhile(isDigit) ? 'number' : 'invalid';
  }
  return isLetter(c) ? 'variableName' : 'invalid';
}

export const touchLanguage = StreamLanguage.define({
  name: 'touch',
  startState: () => ({ within: null }),
  copyState: (state) => ({ within: state.within }),
  token(stream, state) {
    return state.within ? readRun(stream, state) : readToken(stream, state);
  },
  languageData: { commentTokens: { block: { open: '{', close: '}' } } },
});
