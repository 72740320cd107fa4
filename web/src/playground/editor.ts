// The script editor: CodeMirror with the core's checker (in its worker) as its linter, the
// language's highlighting, completion and hover text, a problem list beside it and Ctrl-Enter to run.
import { defaultKeymap, history, historyField, historyKeymap, isolateHistory } from '@codemirror/commands';
import { type Diagnostic, linter, lintGutter } from '@codemirror/lint';
import { EditorState, type Extension } from '@codemirror/state';
import { EditorView, highlightActiveLine, keymap, lineNumbers } from '@codemirror/view';
import type { Problem } from '../shared/engine';
import { scriptSupport } from './language';
import { showProblems } from './problems';

export interface Editor {
  text(): string;
  // Replaces the whole text as one step of its own in the undo history.
  setText(text: string): void;
  focus(): void;
  // The text (and its undo history if asked), as plain data for the browser's storage.
  saved(withHistory: boolean): unknown;
}

// What the editor starts from: a text, or what saved() gave before (the text is used if that
// cannot be read back: another version, damaged), and who hears of each change to the text.
export interface EditorStart {
  text: string;
  saved?: unknown;
  onChange?: () => void;
}

function startState(start: EditorStart, config: { extensions: Extension }): EditorState {
  const extensions = [config.extensions, EditorView.updateListener.of((u) => u.docChanged && start.onChange?.())];
  if (start.saved !== undefined) {
    try {
      return EditorState.fromJSON(start.saved, { extensions }, { history: historyField });
    } catch {
      // Started afresh from the text below.
    }
  }
  return EditorState.create({ doc: start.text, extensions });
}

// Dark, as the page around it.
const darkTheme = EditorView.theme(
  {
    '&': { height: '100%', backgroundColor: '#1b1b1b', color: '#ddd' },
    '.cm-scroller': { fontFamily: 'monospace' },
    '.cm-content': { caretColor: '#fc6' },
    '.cm-cursor, .cm-dropCursor': { borderLeftColor: '#fc6' },
    '.cm-content ::selection': { backgroundColor: '#3a4d6e' },
    '.cm-gutters': { backgroundColor: '#161616', color: '#888', borderRight: '1px solid #333' },
    '.cm-activeLine': { backgroundColor: '#ffffff0c' },
    '.cm-tooltip': { backgroundColor: '#222', color: '#ddd', border: '1px solid #444' },
  },
  { dark: true },
);

// Markers drawn in the text at most: each answer of the checker redraws them all, and with
// fifteen thousand (a long script gone wrong) that redraw held the page for about 100 ms. The
// list below says how many there are, and the first ones are where a fix starts.
const maxMarkers = 500;

export function createEditor(
  parent: HTMLElement,
  problemList: HTMLElement,
  check: (text: string) => Promise<Problem[] | null>,
  run: () => void,
  start: EditorStart,
): Editor {
  const goToLine = (line: number): void => {
    const target = view.state.doc.line(Math.min(Math.max(line, 1), view.state.doc.lines));
    view.dispatch({ selection: { anchor: target.from }, scrollIntoView: true });
    view.focus();
  };
  const checker = linter(
    async (view): Promise<Diagnostic[]> => {
      const doc = view.state.doc;
      const problems = await check(doc.toString());
      // Problems of a text since changed: a check of the new one follows, and the linter drops
      // these markers.
      if (problems === null || view.state.doc !== doc) {
        return [];
      }
      showProblems(problemList, problems, goToLine);
      return problems.slice(0, maxMarkers).map((p) => {
        const line = doc.line(Math.min(Math.max(p.line, 1), doc.lines));
        return { from: line.from, to: line.to, severity: p.severity, message: p.message };
      });
    },
    { delay: 250 },
  );
  // In a shadow root CodeMirror styles itself through a constructed style sheet; in the document
  // it would add a style element, which the page's Content-Security-Policy refuses.
  const root = parent.attachShadow({ mode: 'open' });
  const view = new EditorView({
    parent: root,
    root,
    state: startState(start, {
      extensions: [
        lineNumbers(),
        highlightActiveLine(),
        history(),
        keymap.of([
          { key: 'Mod-Enter', run: () => (run(), true) },
          ...defaultKeymap,
          ...historyKeymap,
        ]),
        lintGutter(),
        checker,
        scriptSupport(),
        EditorView.contentAttributes.of({ 'aria-label': 'Animation script' }),
        darkTheme,
      ],
    }),
  });
  return {
    text: () => view.state.doc.toString(),
    setText(next) {
      view.dispatch({
        changes: { from: 0, to: view.state.doc.length, insert: next },
        annotations: isolateHistory.of('full'),
      });
    },
    focus: () => view.focus(),
    saved: (withHistory) => view.state.toJSON(withHistory ? { history: historyField } : undefined),
  };
}
