// The first visit's budget, checked at build time: what the playground fetches on every visit (the
// page, its style, its icon, its script with the chunks that script imports at once, the editor
// it imports after the first frame, the checker's worker and the engine), as the server sends it
// (brotli, with each answer's headers), at most 150 kB. Export and the other parts loaded when used
// are not counted. Fails the build, naming each file's share, when over.
//   node budget.mjs SITE_DIR
import { existsSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { everyVisit, withImports } from './imports.mjs';

const budget = 150 * 1000; // bytes, compressed
const headers = 120; // bytes of headers an answer of serve.py takes, as measure.mjs transfer shows
const site = process.argv[2];

const files = [
  'index.html',
  'style.css',
  'favicon.ico',
  'lumenweave.wasm',
  ...new Set([...everyVisit(site), ...withImports(site, 'check-worker.js')]),
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
