// The script editor: CodeMirror with the core's checker (in its worker) marking problems and
// listing them in a panel, the language's colours, completion and hover text, Ctrl-Enter to run,
// soft wrap and Tab to indent.
import { defaultKeymap, history, historyField, historyKeymap, indentWithTab, isolateHistory } from '@codemirror/commands';
import { Compartment, EditorState, type Extension } from '@codemirror/state';
import { EditorView, highlightActiveLine, keymap, lineNumbers } from '@codemirror/view';
import type { Problem } from '../shared/engine';
import { scriptColours } from './highlight';
import { problemsInEditor, showChecking } from './problems';

export interface Editor {
  text(): string;
  // Replaces the whole text as one step of its own in the undo history.
  setText(text: string): void;
  focus(): void;
  // The text (and its undo history if asked), as plain data for the browser's storage.
  saved(withHistory: boolean): unknown;
  // Starts again from another script's text or saved form, with its own undo history.
  restore(start: EditorStart): void;
  // Shows that a check is under way (after a moment) or not.
  showChecking(on: boolean): void;
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
    '.cm-panels': { backgroundColor: '#1b1b1b', color: '#ddd' },
    '.cm-panels-bottom': { borderTop: '1px solid #333' },
    '.cm-activeLine': { backgroundColor: '#ffffff0c' },
    '.cm-tooltip': { backgroundColor: '#222', color: '#ddd', border: '1px solid #444' },
  },
  { dark: true },
);

// Where the language's completion and hover text go once loaded.
const languageHelp = new Compartment();

export function createEditor(
  parent: HTMLElement,
  check: (text: string) => Promise<Problem[] | null>,
  run: () => void,
  start: EditorStart,
  checked: (problems: Problem[], text: string) => void,
): Editor {
  // In a shadow root CodeMirror styles itself through a constructed style sheet; in the document
  // it would add a style element, which the page's Content-Security-Policy refuses.
  const root = parent.attachShadow({ mode: 'open' });
  const extensions = [
        lineNumbers(),
        highlightActiveLine(),
        history(),
        keymap.of([
          { key: 'Mod-Enter', run: () => (run(), true) },
          ...defaultKeymap,
          ...historyKeymap,
          // Tab indents; Escape then Tab leaves the editor, as CodeMirror has it.
          indentWithTab,
        ]),
        EditorView.lineWrapping,
        problemsInEditor(check, checked),
        scriptColours(),
        languageHelp.of([]),
        EditorView.contentAttributes.of({ 'aria-label': 'Animation script' }),
        darkTheme,
  ];
  const view = new EditorView({ parent: root, root, state: startState(start, { extensions }) });
  // Completion and hover text come when the editor is first used, not on every visit;
  // body[data-language-help] says when they are in.
  let helping = false;
  let support: Extension | null = null; // once loaded
  const help = (): void => {
    if (helping) {
      return;
    }
    helping = true;
    import('./language').then(
      ({ scriptSupport }) => {
        support = scriptSupport();
        view.dispatch({ effects: languageHelp.reconfigure(support) });
        document.body.dataset.languageHelp = 'ready';
      },
      () => (helping = false), // tried again at the next use
    );
  };
  parent.addEventListener('focusin', help);
  parent.addEventListener('pointerenter', help);
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
    showChecking: (on) => showChecking(root, on),
    restore(next) {
      view.setState(startState(next, { extensions }));
      if (support) {
        view.dispatch({ effects: languageHelp.reconfigure(support) });
      }
    },
  };
}
