// The script's colours in the editor: keywords, numbers and remarks, and a first word that is no
// keyword marked as the bad command the checker will report. Each line of the language stands
// alone, so the lines in view are coloured one by one without a parser.
import { type Extension, RangeSetBuilder } from '@codemirror/state';
import { Decoration, type DecorationSet, EditorView, ViewPlugin, type ViewUpdate } from '@codemirror/view';
import { keywordWords as words } from 'generated/names';

const keywordWords = new Set(words);
const mark = {
  keyword: Decoration.mark({ class: 'lw-keyword' }),
  number: Decoration.mark({ class: 'lw-number' }),
  remark: Decoration.mark({ class: 'lw-remark' }),
  invalid: Decoration.mark({ class: 'lw-invalid' }),
};
// A line: its first word (a remark from # on), then numbers and a remark after the keyword.
const firstWord = /^(\s*)(\S+)/;
const afterKeyword = /#.*$|[+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?|\S/g;

function colour(view: EditorView): DecorationSet {
  const builder = new RangeSetBuilder<Decoration>();
  for (const { from, to } of view.visibleRanges) {
    for (let at = from; at <= to; ) {
      const line = view.state.doc.lineAt(at);
      const first = firstWord.exec(line.text);
      if (first) {
        const start = line.from + first[1].length;
        const word = first[2];
        if (word.startsWith('#')) {
          builder.add(start, line.to, mark.remark);
        } else if (!keywordWords.has(word)) {
          builder.add(start, start + word.length, mark.invalid);
        } else {
          builder.add(start, start + word.length, mark.keyword);
          const rest = start + word.length;
          afterKeyword.lastIndex = 0;
          const tail = line.text.slice(rest - line.from);
          for (let m = afterKeyword.exec(tail); m; m = afterKeyword.exec(tail)) {
            const kind = m[0].startsWith('#') ? mark.remark : /\d/.test(m[0]) ? mark.number : null;
            if (kind) {
              builder.add(rest + m.index, rest + m.index + m[0].length, kind);
            }
          }
        }
      }
      at = line.to + 1;
    }
  }
  return builder.finish();
}

const colouring = ViewPlugin.fromClass(
  class {
    decorations: DecorationSet;
    constructor(view: EditorView) {
      this.decorations = colour(view);
    }
    update(update: ViewUpdate): void {
      if (update.docChanged || update.viewportChanged) {
        this.decorations = colour(update.view);
      }
    }
  },
  { decorations: (plugin) => plugin.decorations },
);

// Typing over a selection, the browser would carry the colours of the highlighted text it
// deletes into an inline style on the line, which the page's Content-Security-Policy refuses;
// the editor makes that change itself instead.
const replaceSelectionTyped = EditorView.domEventHandlers({
  beforeinput(event, view) {
    if (event.inputType !== 'insertText' || event.data === null || view.state.selection.main.empty) {
      return false;
    }
    event.preventDefault();
    view.dispatch(view.state.replaceSelection(event.data), {
      scrollIntoView: true,
      userEvent: 'input.type',
    });
    return true;
  },
});

export function scriptColours(): Extension {
  return [
    colouring,
    replaceSelectionTyped,
    EditorView.theme({
      '.lw-keyword': { color: '#c792ea' },
      '.lw-number': { color: '#f78c6c' },
      '.lw-remark': { color: '#8a93a6', fontStyle: 'italic' },
      '.lw-invalid': { color: '#ff6b6b', textDecoration: 'underline wavy' },
    }),
  ];
}
