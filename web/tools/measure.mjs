// Measures the browser playground and prints the figures: recording a frame in WebAssembly
// (under Node's V8, the engine Chromium runs) against the native build's benchmark, and the CPU
// time of building its mesh there; the page's time per frame and frames per second in headless
// Chromium at 1280 x 720 and 1920 x 1080, with the tests' settings and with software
// compositing; and the site's transfer size, compressed. A measuring script, not a test: it
// asserts nothing.
//   node web/tools/measure.mjs     (after tools/playground.sh build and the native lumenweave-bench)
import { execFileSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { openPage, siteDir, sourceDir, withBrowser } from '../../tests/web/browser.mjs';

const warmUpFrames = 100000; // as the native benchmark starts: far into the built-in animation
const measureSeconds = 5;
const sizes = [[1280, 720], [1920, 1080]]; // pixels
const siteFiles = ['index.html', 'playground.js', 'style.css', 'lumenweave.wasm', 'favicon.ico'];

async function wasmRecording() {
  process.emitWarning = () => {};
  const { WASI } = await import('node:wasi');
  const wasi = new WASI({ version: 'preview1', args: [], env: {} });
  const bytes = readFileSync(join(siteDir, 'lumenweave.wasm'));
  const { instance } = await WebAssembly.instantiate(bytes, wasi.getImportObject());
  wasi.initialize(instance);
  const lw = instance.exports;
  lw.lw_start(1, 0);
  for (let i = 0; i < warmUpFrames; ++i) {
    lw.lw_advance_frame();
  }
  const perCall = (work) => {
    let calls = 0;
    const start = performance.now();
    while (performance.now() - start < measureSeconds * 1000) {
      work();
      ++calls;
    }
    return ((performance.now() - start) * 1000) / calls; // microseconds
  };
  const record = perCall(() => lw.lw_record_frame());
  // The mesh the page draws of the frame last recorded, outlines one pixel wide; in CPU time,
  // which other work on the machine changes less than the clock.
  const cpuPerCall = (work) => {
    const start = process.cpuUsage();
    let calls = 0;
    do {
      work();
      ++calls;
    } while (process.cpuUsage(start).user < measureSeconds * 1e6);
    const used = process.cpuUsage(start);
    return (used.user + used.system) / calls; // microseconds
  };
  const mesh = sizes.map(([width, height]) => cpuPerCall(() => lw.lw_mesh(width, height, 1)));
  return { record, mesh, vertices: lw.lw_mesh_vertex_count() };
}

function nativeRecording() {
  const bench = join(sourceDir, 'build', 'native', 'bench', 'lumenweave-bench');
  const out = execFileSync(bench, [
    '--benchmark_filter=^recordFrameBench$',
    '--benchmark_format=json',
    `--benchmark_min_time=${measureSeconds}`,
  ]);
  const run = JSON.parse(out).benchmarks[0];
  return run.real_time; // microseconds
}

async function pageFigures(browser, origin, width, height) {
  const page = await openPage(browser, origin, `/?seed=1&size=${width}x${height}`, {
    width: width + 700,
    height: height + 100,
  });
  await page.waitForFunction(() => Number(document.body.dataset.frame) >= 60);
  const before = await page.evaluate(() => ({ ...window.lumenweaveStats, t: performance.now() }));
  await page.waitForTimeout(measureSeconds * 1000);
  const after = await page.evaluate(() => ({ ...window.lumenweaveStats, t: performance.now() }));
  await page.close();
  const frames = after.frames - before.frames;
  // Recording and drawing happen once per frame drawn, which may take several steps.
  const drawn = after.drawn - before.drawn;
  return {
    fps: (frames * 1000) / (after.t - before.t),
    drawnFps: (drawn * 1000) / (after.t - before.t),
    recordMs: (after.recordMs - before.recordMs) / drawn,
    drawMs: (after.drawMs - before.drawMs) / drawn,
  };
}

function transferSize() {
  let raw = 0;
  let gzip = 0;
  let brotli = 0;
  for (const file of siteFiles) {
    const bytes = readFileSync(join(siteDir, file));
    raw += statSync(join(siteDir, file)).size;
    gzip += gzipSync(bytes, { level: 9 }).length;
    brotli += brotliCompressSync(bytes, {
      params: { [constants.BROTLI_PARAM_QUALITY]: 11 },
    }).length;
  }
  return { raw, gzip, brotli };
}

const kB = (n) => `${(n / 1000).toFixed(1)} kB`;
const { record: wasm, mesh, vertices } = await wasmRecording();
const native = nativeRecording();
console.log(`recording a frame: WebAssembly ${wasm.toFixed(1)} us, native ${native.toFixed(1)} us ` +
  `(${(wasm / native).toFixed(2)}x)`);
console.log(`building the mesh, WebAssembly (${vertices} vertices), CPU time: ` +
  sizes.map(([width, height], i) => `${mesh[i].toFixed(1)} us at ${width}x${height}`).join(', '));
// SwiftShader composites the page too, at a cost per frame larger than the page's own work;
// Chromium's software compositor takes that cost away, as a graphics processor would.
for (const [compositing, extraArgs] of [['SwiftShader', []], ['software', ['--disable-gpu-compositing']]]) {
  await withBrowser(async ({ browser, origin }) => {
    for (const [width, height] of sizes) {
      const f = await pageFigures(browser, origin, width, height);
      console.log(`page at ${width}x${height}, ${compositing} compositing: ${f.fps.toFixed(1)} steps/s, ` +
        `${f.drawnFps.toFixed(1)} frames drawn/s, record ${f.recordMs.toFixed(2)} ms + ` +
        `mesh, upload and draw ${f.drawMs.toFixed(2)} ms per frame drawn`);
    }
  }, extraArgs);
}
const size = transferSize();
console.log(`site (${siteFiles.join(', ')}): ${kB(size.raw)}, gzip -9 ${kB(size.gzip)}, ` +
  `brotli ${kB(size.brotli)}`);
