// Measures the Windows saver the page makes: the size of the download (the site's Lumenweave.scr
// with a script placed), and the time to make it through the page's module (web/src/windows-saver.ts),
// in Node and in headless Chromium on the served site (fetching the program, placing the script,
// the Blob the download is made of). A measuring script, not a test: it asserts nothing.
//   node web/tools/measure-saver.mjs     (after tools/playground.sh build)
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { build } from 'esbuild';
import { siteDir, sourceDir, withBrowser } from './browser.mjs';
import { windowsSaver } from './place-script.mjs';

const runs = 21;
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const examplesDir = join(sourceDir, 'examples');
const longest = readdirSync(examplesDir)
  .map((name) => readFileSync(join(examplesDir, name), 'utf8'))
  .reduce((a, b) => (Buffer.byteLength(b) > Buffer.byteLength(a) ? b : a));
const scripts = [
  ['the longest example', longest],
  ['a script filling the space', 'actset: 31, 0.04\n'.repeat(65536 / 17 - 1)],
];

const program = readFileSync(join(siteDir, 'Lumenweave.scr'));
const { placeScript } = await windowsSaver();
console.log(`download: ${program.length} bytes (${gzipSync(program).length} gzip-compressed)`);
for (const [what, text] of scripts) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const start = performance.now();
    placeScript(program, text);
    times.push(performance.now() - start);
  }
  console.log(`Node, ${what} (${Buffer.byteLength(text)} bytes): ${median(times).toFixed(2)} ms to place (median of ${runs})`);
}

// In the browser the module runs as the page bundles it; the page's own policy would refuse a
// script added by hand, so this context bypasses it.
const bundle = await build({
  entryPoints: [new URL('../src/windows-saver.ts', import.meta.url).pathname],
  bundle: true,
  format: 'iife',
  globalName: 'windowsSaver',
  target: 'es2022',
  write: false,
  logLevel: 'warning',
});
await withBrowser(async ({ browser, origin }) => {
  const context = await browser.newContext({ bypassCSP: true, serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.goto(`${origin}/reference.html`);
  await page.addScriptTag({ content: bundle.outputFiles[0].text });
  for (const [what, text] of scripts) {
    const figures = await page.evaluate(
      async ([text, runs]) => {
        const { placeScript, saverProgramUrl } = window.windowsSaver;
        const fetched = [];
        const placed = [];
        for (let i = 0; i < runs; ++i) {
          const t0 = performance.now();
          const program = new Uint8Array(await (await fetch(saverProgramUrl, { cache: 'no-store' })).arrayBuffer());
          const t1 = performance.now();
          const result = placeScript(program, text);
          new Blob([result.bytes], { type: 'application/octet-stream' });
          placed.push(performance.now() - t1);
          fetched.push(t1 - t0);
        }
        const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
        return [median(fetched), median(placed)];
      },
      [text, runs],
    );
    console.log(
      `Chromium, ${what}: ${figures[0].toFixed(1)} ms to fetch the program from the loopback server, ` +
        `${figures[1].toFixed(2)} ms to place the script and make the Blob (medians of ${runs})`,
    );
  }
  await context.close();
});
