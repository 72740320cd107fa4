// The checker's problems in the editor: the text checked in the checker's thread once typing
// pauses, each problem marked at its line and listed in a panel under the text, each entry a
// button that takes the cursor to its line. Marks and list both follow the one answer kept in
// the editor's state. A long list is cut, and so are the marks: thousands of entries cost the
// page more than they tell, and the first ones are where a fix starts.
import { type Extension, StateEffect, StateField, type Text } from '@codemirror/state';
import { Decoration, type DecorationSet, EditorView, type Panel, showPanel, ViewPlugin } from '@codemirror/view';
import type { Problem } from '../shared/engine';

const shownProblems = 200;
// Each answer redraws the marks; with fifteen thousand (a long script gone wrong) that held the
// page for about 100 ms.
const maxMarks = 500;
const quiet = 250; // milliseconds without typing before a check

const answered = StateEffect.define<Problem[]>();

interface Found {
  problems: Problem[];
  marks: DecorationSet;
}

// A line's mark: on the line itself, so that the colours of its words never cut it in pieces.
const markOf = {
  error: Decoration.line({ class: 'lw-problem-error' }),
  warning: Decoration.line({ class: 'lw-problem-warning' }),
};

function marksOf(doc: Text, problems: Problem[]): DecorationSet {
  const lines = new Map<number, Problem['severity']>(); // an error outweighs a warning on its line
  for (const p of problems.slice(0, maxMarks)) {
    const line = Math.min(Math.max(p.line, 1), doc.lines);
    lines.set(line, lines.get(line) === 'error' ? 'error' : p.severity);
  }
  return Decoration.set(
    [...lines].map(([line, severity]) => markOf[severity].range(doc.line(line).from)),
    true,
  );
}

const found = StateField.define<Found>({
  create: () => ({ problems: [], marks: Decoration.none }),
  update(value, transaction) {
    for (const effect of transaction.effects) {
      if (effect.is(answered)) {
        return { problems: effect.value, marks: marksOf(transaction.state.doc, effect.value) };
      }
    }
    // Until the next answer, the marks move with the text they stand on.
    return transaction.docChanged ? { ...value, marks: value.marks.map(transaction.changes) } : value;
  },
  provide: (field) => EditorView.decorations.from(field, (value) => value.marks),
});

// Each problem as "LINE: message" or "LINE: warning: message", the checker's lines without the
// file, as text: a message may quote the script.
function fill(list: HTMLElement, problems: Problem[], view: EditorView): void {
  const items = problems.slice(0, shownProblems).map((p) => {
    const item = document.createElement('li');
    item.className = p.severity;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = `${p.line}: ${p.severity === 'warning' ? 'warning: ' : ''}${p.message}`;
    button.addEventListener('click', () => {
      const target = view.state.doc.line(Math.min(Math.max(p.line, 1), view.state.doc.lines));
      view.dispatch({ selection: { anchor: target.from }, scrollIntoView: true });
      view.focus();
    });
    item.append(button);
    return item;
  });
  if (problems.length > shownProblems) {
    const more = document.createElement('li');
    more.textContent = `… and ${problems.length - shownProblems} more`;
    items.push(more);
  }
  list.replaceChildren(...items);
}

function problemPanel(view: EditorView): Panel {
  const dom = document.createElement('section');
  dom.className = 'lw-problems';
  const heading = document.createElement('h2');
  const checking = document.createElement('span');
  checking.className = 'lw-checking';
  checking.textContent = 'checking…';
  heading.append('Problems ', checking);
  const list = document.createElement('ul');
  list.id = 'problems';
  list.setAttribute('aria-live', 'polite');
  dom.append(heading, list);
  let shown = view.state.field(found).problems;
  fill(list, shown, view);
  return {
    dom,
    update(update) {
      const now = update.state.field(found).problems;
      if (now !== shown) {
        shown = now;
        fill(list, now, update.view);
      }
    },
  };
}

// check gives the problems of a text, or null when a newer text replaced it; heard hears each
// answer kept.
export function problemsInEditor(
  check: (text: string) => Promise<Problem[] | null>,
  heard: (problems: Problem[], text: string) => void,
): Extension {
  const checking = ViewPlugin.define((view) => {
    let timer: number | undefined;
    const later = (): void => {
      clearTimeout(timer);
      timer = setTimeout(async () => {
        const doc = view.state.doc;
        const text = doc.toString();
        let problems: Problem[] | null;
        try {
          problems = await check(text);
        } catch (error) {
          console.error(error);
          return;
        }
        // The answer of a text since changed: the check of the new one follows.
        if (problems !== null && view.state.doc === doc) {
          view.dispatch({ effects: answered.of(problems) });
          heard(problems, text);
        }
      }, quiet);
    };
    later();
    return {
      update: (update) => update.docChanged && later(),
      destroy: () => clearTimeout(timer),
    };
  });
  return [
    found,
    checking,
    showPanel.of(problemPanel),
    EditorView.theme({
      '.lw-problem-error': { textDecoration: 'underline wavy #f66' },
      '.lw-problem-warning': { textDecoration: 'underline wavy #fc6' },
      '.lw-problems': { fontFamily: 'system-ui, sans-serif' },
      '.lw-problems h2': { fontSize: '1em', margin: '0.4em 0.5em 0.2em' },
      // Said only for a check that takes a while, so that quick checks do not flicker.
      '.lw-checking': { visibility: 'hidden', fontWeight: 'normal', color: '#aaa' },
      '.lw-checking.on': { visibility: 'visible', transition: 'visibility 0s 0.3s' },
      '#problems': {
        margin: '0',
        paddingLeft: '1.7em',
        maxHeight: '8em',
        overflow: 'auto',
        color: '#f88',
        fontFamily: 'monospace',
        whiteSpace: 'pre-wrap',
        overflowWrap: 'anywhere',
      },
      '#problems .warning': { color: '#fc6' },
      // Each problem a button that looks like the text it is; a block, so that the bullet stands
      // beside its first line.
      '#problems button': { all: 'unset', display: 'block', cursor: 'pointer' },
      '#problems button:hover': { textDecoration: 'underline' },
      '#problems button:focus-visible': { outline: '2px solid #fc6' },
    }),
  ];
}

// Shows or hides the "checking…" note of the editor under root.
export function showChecking(root: ShadowRoot, on: boolean): void {
  root.querySelector('.lw-checking')?.classList.toggle('on', on);
}
