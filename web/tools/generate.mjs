// Writes the page's generated modules: the draw list's command codes, argument word counts and
// integer words read from drawlist/commands.hpp (so that the replayer holds no code of its own),
// and the scripts of examples/.
//   node generate.mjs SOURCE_DIR OUT_DIR
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [root, out] = process.argv.slice(2);
const source = join(root, 'drawlist', 'commands.hpp');
const text = readFileSync(source, 'utf8').replace(/\/\/[^\n]*/g, '');

function block(pattern) {
  const match = text.match(pattern);
  if (!match) {
    throw new Error(`${source}: no match for ${pattern}`);
  }
  return match[1];
}

// Enumerators without values count up from 0, as in C++.
const names = block(/enum\s+draw_code\s*:\s*uint32_t\s*\{([^}]*)\}/)
  .split(',')
  .map((s) => s.trim())
  .filter((s) => s !== '');
if (names.some((name) => !/^draw_\w+$/.test(name))) {
  throw new Error(`${source}: draw_code is expected to list plain names`);
}
const words = block(/draw_code_words\[draw_code_count\]\s*=\s*\{([^}]*)\}/)
  .split(',')
  .map((s) => Number(s.trim()));
const count = names.indexOf('draw_code_count');
if (count < 0 || words.length !== count || words.some((n) => !Number.isInteger(n))) {
  throw new Error(`${source}: draw_code_words does not give one count per code`);
}
const primitives = [...block(/enum\s+draw_primitive\s*:\s*uint32_t\s*\{([^}]*)\}/).matchAll(
  /(draw_primitive_\w+)\s*=\s*(0x[0-9a-fA-F]+|\d+)/g,
)];
const clearColor = block(/constexpr\s+uint32_t\s+draw_clear_color\s*=\s*(0x[0-9a-fA-F]+|\d+)/);

const lines = [
  `// Written by web/tools/generate.mjs from drawlist/commands.hpp; do not edit.`,
  ...names.map((name, code) => `export const ${name} = ${code};`),
  `export const draw_code_words: readonly number[] = [${words.join(', ')}];`,
  ...primitives.map(([, name, value]) => `export const ${name} = ${Number(value)};`),
  `export const draw_clear_color = ${Number(clearColor)};`,
];
writeFileSync(join(out, 'commands.ts'), lines.join('\n') + '\n');

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
