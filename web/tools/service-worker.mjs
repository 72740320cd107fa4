// Builds the site's service worker (build/web/sw.js) once every other file of the site is in
// place: it carries the list of the files to keep offline and a cache name made from their digest,
// so each build that changes a file has a cache of its own.
//   node service-worker.mjs SITE_DIR
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync } from 'node:fs';
import { join, relative } from 'node:path';
import { build } from 'esbuild';

const site = process.argv[2];
// The Node tool and its two engines are for the command line, not for the pages; the Windows
// program (a megabyte) is fetched only by those who make a saver of their script.
const skipped = new Set(['sw.js', 'lumenweave-sim.mjs', 'lumenweave-sim.wasm', 'lumenweave-trace.wasm', 'Lumenweave.scr']);

function filesUnder(dir) {
  return readdirSync(dir, { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? filesUnder(join(dir, entry.name)) : [relative(site, join(dir, entry.name))],
  );
}

const files = filesUnder(site)
  // The compressed copies are the same files, which the server sends in their place.
  .filter((f) => !skipped.has(f) && !/\.(gz|br)$/.test(f))
  .sort();
const digest = createHash('sha256');
for (const f of files) {
  digest.update(`${f}\0`).update(readFileSync(join(site, f)));
}
// The site's address itself is the playground, as index.html is.
const kept = ['./', ...files];
await build({
  entryPoints: [new URL('../src/shared/service-worker.ts', import.meta.url).pathname],
  bundle: true,
  minify: true,
  format: 'iife',
  target: 'es2022',
  logLevel: 'warning',
  define: {
    siteFiles: JSON.stringify(kept),
    cacheName: JSON.stringify(`lumenweave-${digest.digest('hex').slice(0, 16)}`),
  },
  outfile: join(site, 'sw.js'),
});
