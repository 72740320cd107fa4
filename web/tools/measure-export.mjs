// Measures the page's export in headless Chromium and prints the figures (docs/performance.md):
// frames a second for a 640 x 480 clip as WebM and as GIF, from the click on Save to the
// download, and the files' sizes; a PNG of the same size and one of 4096 x 4096. A measuring
// script, not a test: it asserts nothing.
//   node web/tools/measure-export.mjs [--seconds N] [--runs N]
// The site is build/web of tools/playground.sh build; the figure is seed 1 from frame 600.
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { openPage, waitUntil, withBrowser } from './browser.mjs';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at < 0 ? fallback : Number(args[at + 1]);
};
const seconds = option('--seconds', 4);
const runs = option('--runs', 3);
const rate = 30;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const work = mkdtempSync(join(tmpdir(), 'lumenweave-measure-export-'));

// Saves one export; returns milliseconds from the click to the download and the file's bytes.
async function timed(page, kind, width, height) {
  await page.selectOption('#export-kind', kind);
  await page.fill('#export-width', String(width));
  await page.fill('#export-height', String(height));
  if (kind !== 'png') {
    await page.fill('#export-seconds', String(seconds));
    await page.selectOption('#export-rate', String(rate));
  }
  const start = performance.now();
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#export-start').click()]);
  const file = join(work, download.suggestedFilename());
  await download.saveAs(file);
  return { ms: performance.now() - start, bytes: statSync(file).size };
}

try {
  await withBrowser(async ({ browser, origin }) => {
    const page = await openPage(browser, origin, '/?seed=1&frame=600&size=640x480');
    await waitUntil(page, 'frame 600', () => document.body.dataset.frame === '600');
    await page.locator('#export').click();
    console.log(`load average ${loadavg()[0].toFixed(1)}; ${runs} runs each, the median`);
    const frames = seconds * rate;
    for (const kind of ['webm', 'gif']) {
      const results = [];
      for (let i = 0; i < runs; ++i) {
        results.push(await timed(page, kind, 640, 480));
      }
      const ms = median(results.map((r) => r.ms));
      const bytes = median(results.map((r) => r.bytes));
      console.log(
        `${kind}: ${seconds} s at ${rate} fps, 640 x 480: ${(frames / (ms / 1000)).toFixed(1)} frames/s ` +
          `(${(ms / 1000).toFixed(1)} s), ${Math.round(bytes / 1024)} kB`,
      );
    }
    for (const [width, height] of [
      [640, 480],
      [4096, 4096],
    ]) {
      const results = [];
      for (let i = 0; i < runs; ++i) {
        results.push(await timed(page, 'png', width, height));
      }
      console.log(
        `png: ${width} x ${height}: ${Math.round(median(results.map((r) => r.ms)))} ms, ` +
          `${Math.round(median(results.map((r) => r.bytes)) / 1024)} kB`,
      );
    }
  });
} finally {
  rmSync(work, { recursive: true, force: true });
}
