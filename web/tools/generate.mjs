// Writes the page's generated modules: the scripts of examples/, the language the editor teaches
// (below), and the layout of the Windows program's script space.
//   node generate.mjs SOURCE_DIR OUT_DIR
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [root, out] = process.argv.slice(2);
const exampleDir = join(root, 'examples');
const examples = readdirSync(exampleDir)
  .filter((name) => name.endsWith('.txt'))
  .sort()
  .map((name) => [name.slice(0, -'.txt'.length), readFileSync(join(exampleDir, name), 'utf8')]);
writeFileSync(
  join(out, 'examples.ts'),
  `// Written by web/tools/generate.mjs from examples/; do not edit.\n` +
    `export const examples: ReadonlyArray<readonly [string, string]> = ${JSON.stringify(examples)};\n`,
);

// The language as the editor teaches it, from the places the checker and the reference take it:
// the keyword table of script/syntax.cpp, the actuators of engine/indices.hpp, the bank's size of
// engine/actuators.hpp, and the one-line descriptions of the tables of docs/script-language.md.
function read(relative) {
  return readFileSync(join(root, relative), 'utf8');
}

function must(value, what) {
  if (value === null || value === undefined || (Array.isArray(value) && value.length === 0)) {
    throw new Error(`generate.mjs: ${what} not found`);
  }
  return value;
}

const reference = read('docs/script-language.md');
// The rows of the Markdown table whose header row starts with `first`.
function tableRows(first) {
  const lines = reference.split('\n');
  const start = must(lines.findIndex((l) => l.startsWith(`| ${first} |`)), `the table "${first}"`);
  const rows = [];
  for (let i = start + 2; i < lines.length && lines[i].startsWith('|'); ++i) {
    // Plain text: the editor shows it as such.
    rows.push(lines[i].slice(1, -1).split('|').map((cell) => cell.trim().replaceAll('`', '')));
  }
  return rows;
}

const commandRows = tableRows('command');
const commandRow = (word) =>
  must(
    commandRows.find(([command]) => command.split(/\s+or\s+/).includes(word)),
    `a row for ${word} in the reference's table of commands`,
  );
const syntax = read('script/syntax.cpp');
const keywords = [...syntax.matchAll(/\{\s*"([a-z0-9]+:)",\s*code\w+,\s*Args::(\w+)\s*\}/g)].map(
  ([, word, args]) => {
    const [, argumentText, summary] = commandRow(word);
    // Whether the first argument is an actuator's number, which the editor completes and explains.
    return { word, args, arguments: argumentText, summary, actuator: argumentText.startsWith('actuator') };
  },
);
must(keywords, 'the keyword table of script/syntax.cpp');

const indices = read('engine/indices.hpp');
const indexOf = new Map(
  [...indices.matchAll(/constexpr\s+int\s+(\w+Index)\s*=\s*(\d+);/g)].map(([, name, n]) => [name, Number(n)]),
);
const actuatorRows = tableRows('number');
const actuators = [...must(indices.match(/actuatorNames\[\]\s*=\s*\{([\s\S]*?)\};/), 'actuatorNames')[1]
  .matchAll(/\{(\w+),\s*"([^"]+)"\}/g)].map(([, constant, name]) => {
  const index = must(indexOf.get(constant), `the value of ${constant}`);
  const row = must(
    actuatorRows.find(([n, rowName]) => Number(n) === index && rowName === name),
    `a row for actuator ${index} ${name} in the reference's table of actuators`,
  );
  return { index, name, description: row[2], start: Number(row[3]) };
});
const bankSize = Number(
  must(read('engine/actuators.hpp').match(/constexpr\s+int\s+bankSize\s*=\s*(\d+);/), 'bankSize')[1],
);
writeFileSync(
  join(out, 'language.ts'),
  `// Written by web/tools/generate.mjs from script/syntax.cpp, engine/indices.hpp,\n` +
    `// engine/actuators.hpp and docs/script-language.md; do not edit.\n` +
    `export type Args = 'none' | 'real' | 'integer' | 'indexAndReal';\n` +
    `export interface KeywordInfo {\n` +
    `  word: string; args: Args; arguments: string; summary: string; actuator: boolean;\n}\n` +
    `export interface ActuatorInfo { index: number; name: string; description: string; start: number }\n` +
    `export const keywords: readonly KeywordInfo[] = ${JSON.stringify(keywords, null, 1)};\n` +
    `export const actuators: readonly ActuatorInfo[] = ${JSON.stringify(actuators, null, 1)};\n` +
    `export const bankSize = ${bankSize};\n`,
);
// The words and names alone, for what the page needs at once (colours, the values panel): the
// texts above come with the editor's completion, when it is first used.
writeFileSync(
  join(out, 'names.ts'),
  `// Written by web/tools/generate.mjs from script/syntax.cpp and engine/indices.hpp; do not edit.\n` +
    `export const keywordWords: readonly string[] = ${JSON.stringify(keywords.map((k) => k.word))};\n` +
    `export const actuatorNames: readonly (readonly [number, string])[] = ${JSON.stringify(actuators.map((a) => [a.index, a.name]))};\n`,
);

// The marker of the Windows program's script space, which web/src/windows-saver.ts looks for, as
// hosts/windows/script_space.hpp declares it (the capacity the page reads from the file itself).
const space = read('hosts/windows/script_space.hpp');
const marker = must(space.match(/space_marker\[\]\s*=\s*"([\x21-\x7e]{16})";/), 'space_marker')[1];
writeFileSync(
  join(out, 'script-space.ts'),
  `// Written by web/tools/generate.mjs from hosts/windows/script_space.hpp; do not edit.\n` +
    `export const spaceMarker = ${JSON.stringify(marker)};\n`,
);
