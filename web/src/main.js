// The page: the editor, the proof in a worker as the touch is typed, and what sixes answers.
// Every text from the touch or the proof is shown as text (textContent), never as markup.
import { EditorState, StateEffect, StateField } from '@codemirror/state';
import {
  Decoration,
  EditorView,
  drawSelection,
  highlightActiveLine,
  highlightActiveLineGutter,
  highlightSpecialChars,
  keymap,
  lineNumbers,
} from '@codemirror/view';
import { defaultKeymap, history, historyKeymap, insertNewline } from '@codemirror/commands';
import { HighlightStyle, bracketMatching, syntaxHighlighting } from '@codemirror/language';
import { tags } from '@lezer/highlight';
import { touchLanguage } from './touchLanguage.js';

/* global WORKER_SOURCE, EXAMPLES */
// WORKER_SOURCE: the worker with the core module, as text, so that the worker starts from a blob
// also in a page opened from disk. EXAMPLES: the touches of examples/, as { name, text }.

const debounceMilliseconds = 250;
const defaultExample = 'stedman-triples-672-example';
const fragmentKey = '#touch=';

const byId = (id) => document.getElementById(id);
// Sets a text only when it differs: a screen reader then hears the verdict only when it changes.
function setText(node, text) {
  if (node.textContent !== text) {
    node.textContent = text;
  }
}
const printed = byId('printed');

// --- The editor -------------------------------------------------------------------------------

const touchHighlight = HighlightStyle.define([
  { tag: tags.comment, class: 'tok-comment' },
  { tag: tags.string, class: 'tok-string' },
  { tag: tags.literal, class: 'tok-literal' },
  { tag: tags.number, class: 'tok-number' },
  { tag: tags.keyword, class: 'tok-keyword' },
  { tag: tags.variableName, class: 'tok-variableName' },
  { tag: tags.bracket, class: 'tok-bracket' },
  { tag: tags.contentSeparator, class: 'tok-contentSeparator' },
  { tag: tags.invalid, class: 'tok-invalid' },
]);

// The places of the warnings of the last proof, kept in step with the text as it changes.
const setMarks = StateEffect.define();
const marks = StateField.define({
  create: () => Decoration.none,
  update(value, transaction) {
    let next = value.map(transaction.changes);
    for (const effect of transaction.effects) {
      if (effect.is(setMarks)) {
        next = effect.value;
      }
    }
    return next;
  },
  provide: (field) => EditorView.decorations.from(field),
});

// The editor lives in a shadow root of its own: its styles then go into a constructed style
// sheet, which the page's Content-Security-Policy allows where an inline style element is not.
const editorRoot = byId('editor').attachShadow({ mode: 'open' });
const editorStyle = document.createElement('link');
editorStyle.rel = 'stylesheet';
editorStyle.href = 'editor.css';
editorRoot.append(editorStyle);

const view = new EditorView({
  parent: editorRoot,
  root: editorRoot,
  state: EditorState.create({
    doc: initialTouch(),
    extensions: [
      lineNumbers(),
      highlightActiveLineGutter(),
      highlightSpecialChars(),
      history(),
      drawSelection(),
      bracketMatching(),
      highlightActiveLine(),
      EditorView.lineWrapping,
      touchLanguage,
      syntaxHighlighting(touchHighlight),
      marks,
      // A line break is only a line break: the text stays exactly as typed, with no indentation
      // added and a carriage return kept as a character.
      EditorState.lineSeparator.of('\n'),
      keymap.of([{ key: 'Enter', run: insertNewline }, ...defaultKeymap, ...historyKeymap]),
      EditorView.contentAttributes.of({ 'aria-label': 'Touch', 'aria-describedby': 'touch-hint' }),
      EditorView.updateListener.of((update) => {
        if (update.docChanged) {
          touchChanged();
        }
      }),
    ],
  }),
});

function touchText() {
  return view.state.doc.toString();
}

function replaceTouch(text) {
  view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text } });
}

// Moves the cursor to a place the proof named and gives the editor the focus.
function goTo(line, column) {
  const { from, to } = placeRange(view.state.doc, line, column);
  view.dispatch({ selection: { anchor: from, head: to }, scrollIntoView: true });
  view.focus();
}

// The characters of the token that starts at line and column (the column counts bytes of UTF-8).
function placeRange(doc, line, column) {
  const docLine = doc.line(Math.min(Math.max(line, 1), doc.lines));
  const text = docLine.text;
  let offset = 0;
  let bytes = 0;
  while (offset < text.length && bytes < column - 1) {
    const code = text.codePointAt(offset);
    bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    offset += code >= 0x10000 ? 2 : 1;
  }
  let end = offset;
  while (end < text.length && !' .,;\t\r{}'.includes(text[end])) {
    end += 1;
    if ('[]<>"\''.includes(text[end - 1])) {
      break;
    }
  }
  return { from: docLine.from + offset, to: docLine.from + Math.max(end, offset), line: docLine };
}

function markWarnings(warnings) {
  const doc = view.state.doc;
  const ranges = [];
  for (const warning of warnings) {
    if (warning.line === null || warning.line > doc.lines) {
      continue;
    }
    const { from, to, line } = placeRange(doc, warning.line, warning.column ?? 1);
    ranges.push(Decoration.line({ class: 'cm-line-warning' }).range(line.from));
    if (to > from) {
      ranges.push(
        Decoration.mark({
          class: 'cm-mark-warning',
          attributes: { title: warning.text, 'data-line': String(warning.line) },
        }).range(from, to),
      );
    }
  }
  view.dispatch({ effects: setMarks.of(Decoration.set(ranges, true)) });
}

// --- The proof --------------------------------------------------------------------------------

const workerUrl = URL.createObjectURL(new Blob([WORKER_SOURCE], { type: 'text/javascript' }));
let worker = null;
let nextId = 1;
let running = null; // the proof the worker is doing: { id, touch }
let timer = null;
let lastProof = null; // the last answer shown, with its touch
let pendingRows = null; // the id of the rows asked for a clashing pair

// A spare worker starts its module while the other proves, so that a proof abandoned by a
// keystroke is followed at once by the next.
let spare = null;

function newWorker() {
  const started = new Worker(workerUrl);
  started.onmessage = (event) => answered(event.data);
  started.onerror = (event) => {
    event.preventDefault();
    if (started === worker) {
      showFailure(`The proof stopped: ${event.message || 'the worker failed'}`);
    }
  };
  return started;
}

function startWorker() {
  worker = spare ?? newWorker();
  spare = newWorker();
}

// Says what the proof is doing; the text changes only with the state, not at every keystroke.
function setState(state, text) {
  if (document.body.dataset.state !== state || byId('proof-state').textContent !== text) {
    document.body.dataset.state = state;
    byId('proof-state').textContent = text;
  }
}

// A keystroke abandons a proof (or a ringing of a pair's rows) still running: its worker is ended
// and the spare takes over.
function touchChanged() {
  if (running !== null || pendingRows !== null) {
    worker.terminate();
    running = null;
    pendingRows = null;
    startWorker();
  }
  clearTimeout(timer);
  timer = setTimeout(prove, debounceMilliseconds);
  setState('pending', 'Waiting for the typing to stop…');
}

function prove() {
  timer = null;
  running = { id: nextId++, touch: touchText(), started: performance.now() };
  worker.postMessage({ kind: 'prove', id: running.id, touch: running.touch, arguments: [] });
  setState('proving', 'Proving…');
}

function answered(answer) {
  if (answer.kind === 'rows') {
    if (answer.id === pendingRows) {
      pendingRows = null;
      showPairRows(answer.rows);
    }
    return;
  }
  if (running === null || answer.id !== running.id) {
    return;
  }
  const wall = performance.now() - running.started;
  lastProof = { ...answer, touch: running.touch, json: parseJson(answer.json) };
  running = null;
  show(lastProof);
  const seconds = (wall / 1000).toFixed(wall < 10000 ? 2 : 1);
  setState('idle', `Proved in ${seconds} s`);
  document.body.dataset.proofMilliseconds = String(Math.round(wall));
  document.body.dataset.coreMilliseconds = String(Math.round(answer.milliseconds));
}

function parseJson(text) {
  if (!text) {
    return null;
  }
  try {
    return JSON.parse(text);
  } catch {
    return null;
  }
}

function showFailure(text) {
  running = null;
  byId('verdict').className = 'verdict verdict-error';
  setText(byId('verdict-word'), 'Not proved');
  setText(byId('verdict-summary'), '');
  setText(byId('verdict-detail'), text);
  setState('idle', '');
  startWorker();
}

// --- What the proof answered ------------------------------------------------------------------

function show(proof) {
  printed.textContent = proof.stdout;
  showVerdict(proof);
  const warnings = showMessages(proof);
  markWarnings(warnings);
  showPanels(proof.json);
}

// The verdict lines that end the printed touch of a false touch, or that it does not come round.
function verdictOf(proof) {
  const json = proof.json;
  if (json !== null) {
    return {
      isTrue: json.true,
      comesRound: json.comesRound,
      roundsAt: json.roundsAt,
      falseRows: json.falseRows,
      pair: json.firstRepeat
        ? `rows ${json.firstRepeat.first} and ${json.firstRepeat.second} are both ${json.firstRepeat.row}`
        : null,
    };
  }
  const tail = proof.stdout.split('\n').slice(-6);
  const find = (pattern) => tail.map((line) => pattern.exec(line)).find((match) => match);
  const repeats = find(/^(-?\d+) repeated rows$/);
  const pair = find(/^Rows (-?\d+) and (-?\d+) are both +(\S+)$/);
  const rounds = find(/^Rounds occurs after (-?\d+) changes $/);
  const neverRound = find(/^Touch does not come round$/);
  return {
    isTrue: proof.status === 0,
    comesRound: !neverRound,
    roundsAt: rounds ? Number(rounds[1]) : null,
    falseRows: repeats ? Number(repeats[1]) : 0,
    pair: pair ? `rows ${pair[1]} and ${pair[2]} are both ${pair[3]}` : null,
  };
}

function showVerdict(proof) {
  const box = byId('verdict');
  const word = byId('verdict-word');
  const summary = byId('verdict-summary');
  const detail = byId('verdict-detail');
  const errorLine = proof.stderr.split('\n').find((line) => line.startsWith('error: '));
  if (proof.status === 2 || proof.stdout === '') {
    box.className = 'verdict verdict-error';
    setText(word, 'Not proved');
    setText(summary, '');
    setText(detail, errorLine ?? proof.stderr.split('\n')[0] ?? '');
    return;
  }
  setText(summary, proof.stdout.split('\n')[0].trimEnd());
  const verdict = verdictOf(proof);
  const parts = [];
  if (verdict.isTrue) {
    box.className = 'verdict verdict-true';
    setText(word, 'True');
  } else if (verdict.falseRows !== 0) {
    box.className = 'verdict verdict-false';
    setText(word, 'False');
    parts.push(`${verdict.falseRows} repeated rows`);
    if (verdict.pair) {
      parts.push(`first repeated pair: ${verdict.pair}`);
    }
    parts.push(
      verdict.comesRound ? `rounds occurs after ${verdict.roundsAt} changes` : 'does not come round',
    );
  } else {
    box.className = 'verdict verdict-false';
    setText(word, 'Does not come round');
  }
  setText(detail, parts.join('; '));
}

// Lists standard error line by line; a warning with a place is a button that goes there. Answers
// the warnings with their places.
function showMessages(proof) {
  const list = byId('messages');
  list.replaceChildren();
  const warnings = [];
  const lines = proof.stderr.split('\n');
  if (lines[lines.length - 1] === '') {
    lines.pop();
  }
  for (const line of lines) {
    const item = document.createElement('li');
    const placed = /^.*?:(\d+):(\d+): warning: (.*)$/.exec(line);
    if (placed) {
      const warning = { line: Number(placed[1]), column: Number(placed[2]), text: placed[3] };
      warnings.push(warning);
      item.className = 'warning';
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = `Line ${warning.line}, column ${warning.column}: warning: ${warning.text}`;
      button.addEventListener('click', () => goTo(warning.line, warning.column));
      item.append(button);
    } else {
      item.className = / warning: /.test(line) ? 'warning' : 'message';
      item.textContent = line;
    }
    list.append(item);
  }
  if (lines.length === 0) {
    const item = document.createElement('li');
    item.className = 'message';
    item.textContent = 'None.';
    list.append(item);
  }
  return warnings;
}

function element(tag, text, className) {
  const node = document.createElement(tag);
  if (text !== undefined) {
    node.textContent = text;
  }
  if (className) {
    node.className = className;
  }
  return node;
}

function unavailable(why) {
  return element('p', why, 'unavailable');
}

function table(headings, rows) {
  const node = element('table');
  const head = element('tr');
  for (const heading of headings) {
    head.append(element('th', heading));
  }
  node.append(head);
  for (const row of rows) {
    const line = element('tr');
    for (const cell of row) {
      line.append(element('td', String(cell), typeof cell === 'number' ? 'number' : undefined));
    }
    node.append(line);
  }
  return node;
}

function describeSix(six) {
  if (six.kind === 'start') {
    return 'the start';
  }
  if (six.kind === 'finish') {
    return 'the finish';
  }
  return `course ${six.course}, six ${six.six}`;
}

function showPanels(json) {
  const panels = ['music', 'falseness', 'calls', 'course-ends', 'part-ends'].map(byId);
  byId('pair-rows').replaceChildren();
  if (json === null) {
    for (const panel of panels) {
      panel.replaceChildren(unavailable('Not available: this build of sixes writes no JSON document.'));
    }
    return;
  }
  const [music, falseness, calls, courseEnds, partEnds] = panels;
  const notProved = 'Not available: the touch was not proved.';

  if (json.music) {
    music.replaceChildren(
      element('pre', json.music.text, 'rows'),
      table(
        ['Music', 'Total', 'Front', 'Back'],
        json.music.counts.map((c) => [c.name, c.total, c.front, c.back]),
      ),
    );
  } else {
    music.replaceChildren(unavailable(notProved));
  }

  if (json.falseness === null) {
    falseness.replaceChildren(unavailable(notProved));
  } else if (json.falseness.pairs.length === 0) {
    falseness.replaceChildren(element('p', 'No two sixes share a row.'));
  } else {
    const list = element('ul', undefined, 'pairs');
    for (const pair of json.falseness.pairs) {
      const button = element(
        'button',
        `${describeSix(pair.first)} and ${describeSix(pair.second)}: ${pair.sharedRows} rows ` +
          `shared, first ${pair.firstSharedRow}`,
      );
      button.type = 'button';
      button.setAttribute('aria-pressed', 'false');
      button.addEventListener('click', () => choosePair(pair, button));
      const item = element('li');
      item.append(button);
      list.append(item);
    }
    const shown = [element('p', `${json.falseness.pairCount} clashing pairs; choose one to see both sixes.`), list];
    falseness.replaceChildren(...shown);
  }

  calls.replaceChildren(
    json.calls.length === 0
      ? element('p', 'No calls.')
      : table(['Call', 'Name', 'Count'], json.calls.map((c) => [c.letter, c.name, c.count])),
  );
  courseEnds.replaceChildren(
    json.courseEnds.length === 0
      ? element('p', 'No course ends.')
      : table(['Course', 'Course end'], json.courseEnds.map((c) => [c.course, c.row])),
  );
  partEnds.replaceChildren(
    json.partEnds.length === 0
      ? element('p', 'Not a touch of several parts.')
      : table(['Part', 'Part end'], json.partEnds.map((p) => [p.part, p.row])),
  );
}

// Asks the worker for the rows of both sixes of a clashing pair.
let chosenPair = null;
function choosePair(pair, button) {
  for (const other of document.querySelectorAll('.pairs button')) {
    other.setAttribute('aria-pressed', String(other === button));
  }
  chosenPair = pair;
  byId('pair-rows').replaceChildren(element('p', 'Ringing the rows of both sixes…'));
  pendingRows = nextId++;
  worker.postMessage({
    kind: 'rows',
    id: pendingRows,
    touch: lastProof.touch,
    ranges: [
      [pair.first.firstRow, pair.first.lastRow],
      [pair.second.firstRow, pair.second.lastRow],
    ],
  });
}

function showPairRows(rowLists) {
  const [first, second] = rowLists;
  const shared = new Set(first.filter((row) => second.includes(row)));
  const columns = [chosenPair.first, chosenPair.second].map((six, k) => {
    const column = element('div');
    column.append(element('h3', `${describeSix(six)} (rows ${six.firstRow} to ${six.lastRow})`));
    const rows = element('pre', undefined, 'rows');
    for (const row of rowLists[k]) {
      rows.append(element('span', row, shared.has(row) ? 'shared' : undefined), '\n');
    }
    column.append(rows);
    return column;
  });
  byId('pair-rows').replaceChildren(...columns);
}

// --- Examples, links and downloads ------------------------------------------------------------

function initialTouch() {
  const fromLink = touchFromFragment();
  if (fromLink !== null) {
    return fromLink;
  }
  return EXAMPLES.find((example) => example.name === defaultExample)?.text ?? '';
}

function touchFromFragment() {
  if (!location.hash.startsWith(fragmentKey)) {
    return null;
  }
  try {
    return decodeURIComponent(location.hash.slice(fragmentKey.length));
  } catch {
    return null;
  }
}

function download(name, text) {
  const url = URL.createObjectURL(new Blob([text], { type: 'text/plain;charset=utf-8' }));
  const link = element('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

const exampleMenu = byId('examples');
for (const example of EXAMPLES) {
  const option = element('option', example.name.replaceAll('-', ' '));
  option.value = example.name;
  exampleMenu.append(option);
}
exampleMenu.addEventListener('change', () => {
  const example = EXAMPLES.find((e) => e.name === exampleMenu.value);
  if (example) {
    replaceTouch(example.text);
  }
});

byId('share').addEventListener('click', () => {
  const link = location.href.split('#')[0] + fragmentKey + encodeURIComponent(touchText());
  window.history.replaceState(null, '', link);
  byId('share-box').hidden = false;
  const field = byId('share-link');
  field.value = link;
  field.focus();
  field.select();
});
window.addEventListener('hashchange', () => {
  const text = touchFromFragment();
  if (text !== null && text !== touchText()) {
    replaceTouch(text);
  }
});
byId('download-touch').addEventListener('click', () => download('touch.touch', touchText()));
byId('download-printed').addEventListener('click', () => {
  if (lastProof !== null) {
    download('printed-touch.txt', lastProof.stdout);
  }
});

startWorker();
prove();
