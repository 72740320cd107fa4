// Measures the browser playground and prints the figures (docs/performance.md): recording a frame
// in WebAssembly against the native benchmark, and building its mesh; in headless Chromium the
// time from navigation to the first drawn frame, the animation's steps and drawn frames per second
// with the page's work per frame drawn, the longest main-thread task while typing into a 60 000-line
// script and while going to the furthest frame a link may ask; the site's size, compressed. A
// measuring script, not a test: it asserts nothing.
//   node web/tools/measure.mjs [--site DIR] [--frame N] [--loads N] [--software-compositing]
//                              [--slow-network] [PART...]
// PART: recording, first-frame, transfer, steps, typing, seek, size (all when none is named). --site
// measures another build of the site (an older one, for a before and after); the default is
// build/web of tools/playground.sh build. seek goes to --frame N, by default the furthest a link
// may ask (maxFrame of web/src/shared/share.ts). first-frame takes the median of --loads N page
// loads (5 by default); --software-compositing has the browser composite in software, and
// --slow-network gives each page a slow mobile network. recording compares with the native
// lumenweave-bench where it is built (cmake --build --preset native --target lumenweave-bench).
import { execFileSync } from 'node:child_process';
import { existsSync, readdirSync, readFileSync, statSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join, resolve } from 'node:path';
import { performance } from 'node:perf_hooks';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { siteDir, sourceDir, withBrowser } from './browser.mjs';

const warmUpFrames = 100000; // as the native benchmark starts: far into the built-in animation
const measureSeconds = 5;
const phone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const desktop = { viewport: { width: 1280, height: 720 } };

const args = process.argv.slice(2);
const option = (name) => {
  const at = args.indexOf(name);
  return at < 0 ? null : args.splice(at, 2)[1];
};
const flag = (name) => {
  const at = args.indexOf(name);
  return at >= 0 && args.splice(at, 1).length === 1;
};
const site = resolve(option('--site') ?? siteDir);
// Page loads per first-frame figure, the median printed. The first load of a browser is the slowest
// (its software GL starting cold), so with few loads the median leans on it.
const loads = Number(option('--loads') ?? 5);
// The browser composites its window in software, as Chromium does where no GPU is usable, rather
// than on SwiftShader as the tests' browser does, which reads back every frame of its window.
const softwareCompositing = flag('--software-compositing');
// Each page's network as a slow mobile one: 1.6 Mbit/s down, 750 kbit/s up, 150 ms each way.
const slowNetwork = flag('--slow-network') && {
  offline: false,
  latency: 150, // milliseconds
  downloadThroughput: 1.6e6 / 8, // bytes a second
  uploadThroughput: 750e3 / 8, // bytes a second
};
const seekFrame = Number(
  option('--frame') ?? /export const maxFrame = (\d+)/.exec(readFileSync(join(sourceDir, 'web/src/shared/share.ts'), 'utf8'))[1],
);
const parts = new Set(args.length ? args : ['recording', 'first-frame', 'transfer', 'steps', 'typing', 'seek', 'size']);

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (n) => `${Math.round(n)} ms`;
const load = () => `load average ${loadavg()[0].toFixed(1)}`;

async function wasmRecording() {
  process.emitWarning = () => {};
  const { WASI } = await import('node:wasi');
  const wasi = new WASI({ version: 'preview1', args: [], env: {} });
  const bytes = readFileSync(join(site, 'lumenweave.wasm'));
  const { instance } = await WebAssembly.instantiate(bytes, wasi.getImportObject());
  wasi.initialize(instance);
  const lw = instance.exports;
  lw.lw_start(1, 0);
  let start = performance.now();
  for (let i = 0; i < warmUpFrames; ++i) {
    lw.lw_advance_frame();
  }
  const advance = ((performance.now() - start) * 1000) / warmUpFrames; // microseconds
  let frames = 0;
  start = performance.now();
  while (performance.now() - start < measureSeconds * 1000) {
    lw.lw_record_frame();
    ++frames;
  }
  const record = ((performance.now() - start) * 1000) / frames; // microseconds
  // The mesh the page draws of the frame last recorded, outlines one pixel wide, in CPU time (the
  // clock counts the other sessions' work too); a site from before the mesh has none.
  const mesh = (width, height) => {
    const used = process.cpuUsage();
    let calls = 0;
    do {
      lw.lw_mesh(width, height, 1);
      ++calls;
    } while (process.cpuUsage(used).user < measureSeconds * 1e6);
    const { user, system } = process.cpuUsage(used);
    return (user + system) / calls; // microseconds
  };
  return {
    advance,
    record,
    mesh: lw.lw_mesh ? [mesh(1280, 720), mesh(1920, 1080)] : null,
    vertices: lw.lw_mesh ? lw.lw_mesh_vertex_count() : 0,
  };
}

// The native figure in microseconds, or null where the benchmark is not built.
function nativeRecording() {
  const bench = join(sourceDir, 'build', 'native', 'bench', 'lumenweave-bench');
  if (!existsSync(bench)) {
    return null;
  }
  const out = execFileSync(bench, [
    '--benchmark_filter=^recordFrameBench$',
    '--benchmark_format=json',
    `--benchmark_min_time=${measureSeconds}`,
  ]);
  return JSON.parse(out).benchmarks[0].real_time; // microseconds
}

// Records, from the page's first script on, the main thread's long tasks (50 ms and more, as
// Chromium reports them), the keystrokes' times to their next paint, when the first frame was
// drawn (its attribute set, right after its WebGL calls, in a run begun: an older page drew frames
// of an engine not yet started), when the page was ready (its editor made) and when the way to a
// frame was shown.
function watchPage() {
  window.measured = { longTasks: [], keys: [], firstFrame: null, ready: null, seeking: null };
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) {
      window.measured.longTasks.push({ start: e.startTime, duration: e.duration });
    }
  }).observe({ type: 'longtask', buffered: true });
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) {
      if (e.name === 'keydown') {
        window.measured.keys.push(e.duration);
      }
    }
  }).observe({ type: 'event', durationThreshold: 16, buffered: true });
  const seen = new MutationObserver(() => {
    if (document.body?.dataset.frame && document.body.dataset.run) {
      window.measured.firstFrame = performance.now();
      seen.disconnect();
    }
  });
  seen.observe(document, { subtree: true, attributes: true, attributeFilter: ['data-frame'] });
  const ready = new MutationObserver(() => {
    if (document.body?.dataset.ready === 'true') {
      window.measured.ready = performance.now();
      ready.disconnect();
    }
  });
  ready.observe(document, { subtree: true, attributes: true, attributeFilter: ['data-ready'] });
  const way = new MutationObserver(() => {
    if (document.getElementById('seeking')?.hidden === false) {
      window.measured.seeking = performance.now();
      way.disconnect();
    }
  });
  way.observe(document, { subtree: true, attributes: true, attributeFilter: ['hidden'] });
}

// A page in a fresh context (no cache, no storage), watched; waits until its first frame is drawn.
async function open(browser, origin, path, device = desktop) {
  const context = await browser.newContext(device);
  const page = await context.newPage();
  page.setDefaultTimeout(300000);
  await page.addInitScript(watchPage);
  if (slowNetwork) {
    const devtools = await context.newCDPSession(page);
    await devtools.send('Network.emulateNetworkConditions', slowNetwork);
  }
  await page.goto(origin + path);
  await page.waitForFunction(() => window.measured.firstFrame !== null);
  page.done = () => context.close();
  return page;
}

async function firstFrame(browser, origin) {
  for (const [name, device] of [['desktop 1280x720', desktop], ['phone 390x844 at 3 device pixels per CSS pixel', phone]]) {
    const times = [];
    const ready = [];
    for (let i = 0; i < loads; ++i) {
      const page = await open(browser, origin, '/?seed=1', device);
      await page.waitForFunction(() => window.measured.ready !== null);
      const { firstFrame, ready: made } = await page.evaluate(() => window.measured);
      times.push(firstFrame);
      ready.push(made);
      await page.done();
    }
    console.log(`navigation to the first drawn frame, ${name}: median ${ms(median(times))} ` +
      `[${times.map(Math.round).join(' ')}]; to the editor made: median ${ms(median(ready))} (${load()})`);
  }
}

// The bytes a first visit takes over the wire (bodies as sent, compressed or not, and headers), the
// checker's worker's included, by the first drawn frame and by the checker's first answer; the
// service worker's filling of the offline copy is left out (blocked), as it may come after.
async function transfer(browser, origin) {
  for (const [name, device] of [['desktop 1280x720', desktop], ['phone 390x844', phone]]) {
    const context = await browser.newContext({ ...device, serviceWorkers: 'block' });
    let bytes = 0;
    let files = 0;
    context.on('requestfinished', async (request) => {
      const sizes = await request.sizes().catch(() => null);
      if (sizes) {
        bytes += sizes.responseBodySize + sizes.responseHeadersSize;
        ++files;
      }
    });
    const page = await context.newPage();
    page.setDefaultTimeout(300000);
    await page.addInitScript(watchPage);
    await page.goto(`${origin}/?seed=1`);
    await page.waitForFunction(() => window.measured.firstFrame !== null);
    const atFrame = bytes;
    await page.waitForFunction(() => Number(document.body.dataset.checks) >= 1);
    await page.waitForLoadState('networkidle');
    console.log(`first visit over the wire, ${name}: ${(atFrame / 1000).toFixed(1)} kB by the first frame, ` +
      `${(bytes / 1000).toFixed(1)} kB in ${files} files by the checker's first answer (${load()})`);
    await context.close();
  }
}

// Replaces the page's requestAnimationFrame with a timer at `hz`, giving each callback the time it
// was called at, as a display of that rate would; frames the page is too slow for are dropped.
function throttleFrames(hz) {
  const period = 1000 / hz;
  let due = performance.now();
  let waiting = [];
  const fire = () => {
    const callbacks = waiting;
    waiting = [];
    const now = performance.now();
    callbacks.forEach((callback) => callback(now));
  };
  window.requestAnimationFrame = (callback) => {
    waiting.push(callback);
    if (waiting.length === 1) {
      const now = performance.now();
      due = Math.max(due + period, now - period);
      setTimeout(fire, Math.max(0, due - now));
    }
    return 0;
  };
}

// Steps and drawn frames per second over measureSeconds once the figure runs.
async function stepsPerSecond(browser, origin, hz, [width, height]) {
  const context = await browser.newContext({ viewport: { width: width + 700, height: height + 100 } });
  const page = await context.newPage();
  page.setDefaultTimeout(300000);
  if (hz) {
    await page.addInitScript(throttleFrames, hz);
  }
  await page.goto(`${origin}/?seed=1&size=${width}x${height}`);
  await page.waitForFunction(() => Number(document.body.dataset.frame) >= 60);
  const sample = () => page.evaluate(() => ({ ...window.lumenweaveStats, t: performance.now() }));
  const before = await sample();
  await page.waitForTimeout(measureSeconds * 1000);
  const after = await sample();
  await context.close();
  const seconds = (after.t - before.t) / 1000;
  // A site from before the steps were told from the drawn frames drew every step.
  const drawn = (after.drawn ?? after.frames) - (before.drawn ?? before.frames);
  return {
    steps: (after.frames - before.frames) / seconds,
    fps: drawn / seconds,
    // The page's own work per frame drawn: recording, then the mesh, its upload and the draw.
    work: `record ${((after.recordMs - before.recordMs) / drawn).toFixed(2)} ms + mesh, upload and draw ` +
      `${((after.drawMs - before.drawMs) / drawn).toFixed(2)} ms per frame drawn`,
  };
}

async function steps(browser, origin) {
  for (const hz of [30, 60, 144]) {
    const f = await stepsPerSecond(browser, origin, hz, [1280, 720]);
    console.log(`frames at ${hz} Hz (timer), 1280x720: ${f.steps.toFixed(1)} steps/s, ${f.fps.toFixed(1)} frames drawn/s; ${f.work} (${load()})`);
  }
  const f = await stepsPerSecond(browser, origin, null, [1920, 1080]);
  console.log(`Chromium's own frames, 1920x1080: ${f.steps.toFixed(1)} steps/s, ${f.fps.toFixed(1)} frames drawn/s; ${f.work} (${load()})`);
}

// Whether the list says there are `count` problems (a long list may be cut, saying how many more).
// A function, not text: the page's Content-Security-Policy refuses text evaluated.
function problemsAre(count) {
  const items = [...document.querySelector('#editor').shadowRoot.getElementById('problems').children];
  const more = /(\d+) more/.exec(items.at(-1)?.textContent ?? '');
  return (more ? items.length - 1 + Number(more[1]) : items.length) === count;
}

async function typing(browser, origin) {
  // 60 000 lines, 15 000 of them a problem (a sequence run that no seqname names).
  const lines = [];
  for (let i = 0; i < 15000; ++i) {
    lines.push(`seqdo: ${(i % 50) + 1}`, 'actset: 18, 1', 'actset: 31, 0.5', `# remark ${i}`);
  }
  // Through a shared address (#s=, which every version of the page opens): the browser does not
  // take a megabyte of typed text in one piece.
  const page = await open(browser, origin, `/?seed=1#s=${Buffer.from(lines.join('\n')).toString('base64url')}`);
  await page.waitForFunction(problemsAre, 15000);
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.evaluate(() => {
    window.measured.longTasks = [];
    window.measured.keys = [];
  });
  // A problem more once typed: a sequence run that no seqname names.
  await page.keyboard.type('\nseqdo: 77', { delay: 100 });
  await page.waitForFunction(problemsAre, 15001);
  await page.waitForTimeout(2000); // a check started late shows here too
  const { longTasks, keys } = await page.evaluate(() => window.measured);
  await page.done();
  const longest = longTasks.length ? ms(Math.max(...longTasks.map((t) => t.duration))) : 'none of 50 ms or more';
  console.log(`typing 10 keys into a 60 000-line script with 15 000 problems: longest main-thread task ${longest} ` +
    `(${longTasks.length} of 50 ms or more); keystroke to paint: median ${ms(median(keys.length ? keys : [0]))}, ` +
    `longest ${ms(Math.max(0, ...keys))} (${load()})`);
}

async function seek(browser, origin) {
  const page = await open(browser, origin, `/?seed=1&size=640x480&frame=${seekFrame}`);
  await page.waitForFunction((f) => document.body.dataset.frame === String(f), seekFrame);
  const { longTasks, seeking, end } = await page.evaluate(() => ({ ...window.measured, end: performance.now() }));
  await page.done();
  // A page that goes there in slices shows the way first; one that replays at once does not, and
  // its replay is among the tasks from navigation.
  const longest = (tasks) => (tasks.length ? ms(Math.max(...tasks.map((t) => t.duration))) : 'none of 50 ms or more');
  const onTheWay = seeking === null ? '' : `; on the way (${ms(end - seeking)}) ${longest(longTasks.filter((t) => t.start >= seeking))}`;
  console.log(`?frame=${seekFrame}: there ${ms(end)} after navigation; longest main-thread task from navigation ` +
    `${longest(longTasks)}${onTheWay} (${load()})`);
}

function sizes() {
  const total = { raw: 0, gzip: 0, brotli: 0 };
  // Every file of the site, its folders' (the gallery's and the reference's pictures) too; the
  // compressed copies the server sends are the same files again.
  const files = readdirSync(site, { recursive: true }).filter(
    (f) => statSync(join(site, f)).isFile() && !/\.(gz|br)$/.test(f),
  );
  for (const file of files) {
    const bytes = readFileSync(join(site, file));
    total.raw += bytes.length;
    total.gzip += gzipSync(bytes, { level: 9 }).length;
    total.brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
  }
  const kB = (n) => `${(n / 1000).toFixed(1)} kB`;
  console.log(`site (${files.length} files): ${kB(total.raw)}, gzip -9 ${kB(total.gzip)}, brotli ${kB(total.brotli)}`);
}

console.log(`site ${site}`);
if (parts.has('recording')) {
  const wasm = await wasmRecording();
  const native = nativeRecording();
  const against =
    native === null
      ? 'native not measured: lumenweave-bench is not built'
      : `native ${native.toFixed(1)} us (${(wasm.record / native).toFixed(2)}x)`;
  console.log(`recording a frame: WebAssembly ${wasm.record.toFixed(1)} us, ${against}; a step without recording, WebAssembly ${wasm.advance.toFixed(2)} us (${load()})`);
  if (wasm.mesh) {
    console.log(`building the frame's mesh (${wasm.vertices} vertices), WebAssembly, CPU time: ` +
      `${wasm.mesh[0].toFixed(1)} us at 1280x720, ${wasm.mesh[1].toFixed(1)} us at 1920x1080`);
  }
}
if (['first-frame', 'transfer', 'steps', 'typing', 'seek'].some((p) => parts.has(p))) {
  await withBrowser(async ({ browser, origin }) => {
    for (const [part, measure] of [['first-frame', firstFrame], ['transfer', transfer], ['steps', steps], ['typing', typing], ['seek', seek]]) {
      if (parts.has(part)) {
        await measure(browser, origin);
      }
    }
  }, softwareCompositing ? ['--disable-gpu-compositing'] : [], site);
}
if (parts.has('size')) {
  sizes();
}
