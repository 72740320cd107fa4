// The script language in the editor: highlighting, completion and hover text, all from the data
// generate.mjs takes from the checker's keyword table, the engine's actuators and the reference.
import { autocompletion, type CompletionContext, type CompletionResult } from '@codemirror/autocomplete';
import { HighlightStyle, StreamLanguage, syntaxHighlighting } from '@codemirror/language';
import type { Extension } from '@codemirror/state';
import { EditorView, hoverTooltip } from '@codemirror/view';
import { tags } from '@lezer/highlight';
import { type ActuatorInfo, actuators, bankSize, type KeywordInfo, keywords } from 'generated/language';

const keywordByWord = new Map(keywords.map((k) => [k.word, k]));
const actuatorByIndex = new Map(actuators.map((a) => [a.index, a]));

// The actuator number a line gives its keyword: where it stands in the line and what it reads.
interface ActuatorArgument {
  from: number; // characters into the line
  to: number;
  index: number;
}

// As the parser splits a line: the first word, white space, then the number that %d reads.
function actuatorArgument(line: string): ActuatorArgument | null {
  const match = /^(\s*)(\S+)(\s+)([+-]?\d+)/.exec(line);
  if (!match || !keywordByWord.get(match[2])?.actuator) {
    return null;
  }
  const from = match[1].length + match[2].length + match[3].length;
  return { from, to: from + match[4].length, index: Number(match[4]) };
}

interface LineState {
  keyword: KeywordInfo | null; // the line's keyword, once read
  first: boolean; // nothing read on the line yet
}

const number = /^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?/;

// Keywords, numbers and remarks; a first word that is neither keyword nor remark is a bad
// command, marked as the checker would report it.
const scriptLanguage = StreamLanguage.define<LineState>({
  name: 'lumenweave-script',
  startState: () => ({ keyword: null, first: true }),
  token(stream, state) {
    if (stream.sol()) {
      state.keyword = null;
      state.first = true;
    }
    if (stream.eatSpace()) {
      return null;
    }
    if (state.first) {
      state.first = false;
      const word = stream.match(/^\S+/) as RegExpMatchArray;
      if (word[0].startsWith('#')) {
        stream.skipToEnd();
        return 'comment';
      }
      state.keyword = keywordByWord.get(word[0]) ?? null;
      return state.keyword ? 'keyword' : 'invalid';
    }
    if (stream.peek() === '#') {
      stream.skipToEnd();
      return 'comment';
    }
    if (state.keyword && stream.match(number)) {
      return 'number';
    }
    stream.next();
    return null;
  },
});

const highlightStyle = HighlightStyle.define([
  { tag: tags.keyword, color: '#c792ea' },
  { tag: tags.number, color: '#f78c6c' },
  { tag: tags.comment, color: '#8a93a6', fontStyle: 'italic' },
  { tag: tags.invalid, color: '#ff6b6b', textDecoration: 'underline wavy' },
]);

function actuatorText(a: ActuatorInfo): string {
  return `${a.index} ${a.name}: ${a.description} (starts at ${a.start})`;
}

function complete(context: CompletionContext): CompletionResult | null {
  const line = context.state.doc.lineAt(context.pos);
  const before = line.text.slice(0, context.pos - line.from);
  const firstWord = /^\s*(\S*)$/.exec(before);
  if (firstWord) {
    if (firstWord[1] === '' && !context.explicit) {
      return null;
    }
    return {
      from: context.pos - firstWord[1].length,
      options: keywords.map((k) => ({
        label: k.word,
        apply: k.args === 'none' ? k.word : `${k.word} `,
        type: 'keyword',
        detail: k.arguments,
        info: k.summary,
      })),
      validFor: /^[a-z0-9]*:?$/,
    };
  }
  const argument = /^\s*(\S+)\s+(\w*)$/.exec(before);
  if (argument && keywordByWord.get(argument[1])?.actuator) {
    // By number, or by name for one who knows the name and not the number; numbers in their
    // order (18 before 101), as text would not sort them.
    return {
      from: context.pos - argument[2].length,
      options: actuators.flatMap((a) => [
        {
          label: String(a.index),
          sortText: String(a.index).padStart(4, '0'),
          type: 'constant',
          detail: a.name,
          info: a.description,
        },
        { label: a.name, apply: String(a.index), type: 'constant', detail: String(a.index), info: a.description },
      ]),
      validFor: /^\w*$/,
    };
  }
  return null;
}

const actuatorHover = hoverTooltip((view, pos) => {
  const line = view.state.doc.lineAt(pos);
  const argument = actuatorArgument(line.text);
  if (!argument || pos < line.from + argument.from || pos > line.from + argument.to) {
    return null;
  }
  const known = actuatorByIndex.get(argument.index);
  const text = known
    ? actuatorText(known)
    : argument.index >= 0 && argument.index < bankSize
      ? `slot ${argument.index} holds no actuator: commands on it move nothing`
      : `${argument.index} reaches no slot: slots are 0 to ${bankSize - 1}`;
  return {
    pos: line.from + argument.from,
    end: line.from + argument.to,
    above: true,
    create() {
      const dom = document.createElement('div');
      dom.className = 'cm-actuator-info';
      dom.textContent = text;
      return { dom };
    },
  };
});

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

export function scriptSupport(): Extension {
  return [
    scriptLanguage,
    syntaxHighlighting(highlightStyle),
    autocompletion({ override: [complete] }),
    actuatorHover,
    replaceSelectionTyped,
    EditorView.theme({ '.cm-actuator-info': { maxWidth: '40em', padding: '0.3em 0.5em' } }),
  ];
}
