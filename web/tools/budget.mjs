// The first visit's budget, checked at build time: what the playground fetches on every visit (the
// page, its style, its icon, its script with the chunks that script imports at once, the editor
// it imports after the first frame, the checker's worker and the engine), as the server sends it
// (brotli, with each answer's headers), at most 150 kB. Export and the other parts loaded when used
// are not counted. Fails the build, naming each file's share, when over.
//   node budget.mjs SITE_DIR
import { existsSync, readFileSync, statSync } from 'node:fs';
import { join, posix } from 'node:path';
import { withImports } from './imports.mjs';

const budget = 150 * 1000; // bytes, compressed
const headers = 120; // bytes of headers an answer of serve.py takes, as measure.mjs transfer shows
const site = process.argv[2];

// The chunks of modules the page imports on every visit, after its first frame: import("./chunks/editor-HASH.js").
const everyVisit = ['editor'];
const later = everyVisit.map((name) => {
  const found = new RegExp(`import\\(["'](\\./chunks/${name}-[A-Z0-9]+\\.js)["']\\)`).exec(readFileSync(join(site, 'playground.js'), 'utf8'));
  if (!found) {
    console.error(`budget: playground.js imports no chunk of ${name}`);
    process.exit(1);
  }
  return posix.normalize(found[1]);
});

const files = [
  'index.html',
  'style.css',
  'favicon.ico',
  'lumenweave.wasm',
  ...new Set([...withImports(site, 'playground.js'), ...later.flatMap((chunk) => [...withImports(site, chunk)]), ...withImports(site, 'check-worker.js')]),
];
const sizes = files.map((file) => {
  const path = join(site, file);
  return [file, existsSync(`${path}.br`) ? statSync(`${path}.br`).size : statSync(path).size];
});
const total = sizes.reduce((sum, [, size]) => sum + size + headers, 0);
const list = sizes.map(([file, size]) => `${file} ${(size / 1000).toFixed(1)}`).join(', ');
if (total > budget) {
  console.error(`budget: the first visit fetches ${(total / 1000).toFixed(1)} kB, over ${budget / 1000} kB: ${list}`);
  process.exit(1);
}
console.log(`budget: the first visit fetches ${(total / 1000).toFixed(1)} kB of ${budget / 1000} kB (${list})`);
