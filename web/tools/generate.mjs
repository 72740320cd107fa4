// Writes the page's generated modules: the scripts of examples/.
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
