// The script language's help in the editor: completion and hover text, from the data generate.mjs
// takes from the checker's keyword table, the engine's actuators and the reference. Loaded when
// the editor is first used (editor.ts); the colours are highlight.ts's.
import { autocompletion, type CompletionContext, type CompletionResult } from '@codemirror/autocomplete';
import type { Extension } from '@codemirror/state';
import { EditorView, hoverTooltip } from '@codemirror/view';
import { type ActuatorInfo, actuators, bankSize, keywords } from 'generated/language';

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

export function scriptSupport(): Extension {
  return [
    autocompletion({ override: [complete] }),
    actuatorHover,
    EditorView.theme({ '.cm-actuator-info': { maxWidth: '40em', padding: '0.3em 0.5em' } }),
  ];
}
