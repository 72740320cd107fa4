// What the browser tests and the page's measuring scripts share: the built site served on a free
// loopback port, Debian's Chromium driven by playwright-core (never a downloaded browser) with
// software WebGL 2, and a page that records its console errors.
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';

export const sourceDir = fileURLToPath(new URL('../../', import.meta.url));
export const siteDir = join(sourceDir, 'build', 'web');
if (!existsSync(join(siteDir, 'lumenweave.wasm'))) {
  throw new Error(`no site in ${siteDir}: bash tools/playground.sh build makes it`);
}
// playwright-core is installed with the page's packages, in web/.
const { chromium } = createRequire(join(sourceDir, 'web', 'package.json'))('playwright-core');

// A server of the folder `site` on a free loopback port: { server, origin }.
export async function startServer(site) {
  const server = spawn('python3', [join(sourceDir, 'web', 'tools', 'serve.py'), site, '0'], {
    stdio: ['ignore', 'pipe', 'ignore'],
  });
  const lines = createInterface({ input: server.stdout });
  for await (const line of lines) {
    const match = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(line);
    if (match) {
      return { server, origin: `http://127.0.0.1:${match[1]}` };
    }
  }
  throw new Error('the site server did not start');
}

// Runs body({ browser, origin }) with a fresh server of `site` and browser (given extraArgs too),
// ending both afterwards. Playwright starts the browser on a fresh profile of its own in a
// temporary folder.
export async function withBrowser(body, extraArgs = [], site = siteDir) {
  const { server, origin } = await startServer(site);
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: [
      '--no-sandbox',
      '--enable-unsafe-swiftshader',
      '--use-angle=swiftshader',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
      '--disable-quic',
      ...extraArgs,
    ],
  });
  try {
    return await body({ browser, origin });
  } finally {
    await browser.close();
    server.kill();
  }
}

// A page at the site's address plus `path`, ready (the figure's first frame drawn, for the
// playground), with the console errors and failed requests it met in page.errors. INIT, a
// function, runs in the page before its own scripts.
export async function openPage(browser, origin, path = '/', viewport = { width: 1100, height: 700 }, playground = true, init = undefined) {
  // No service worker: each test sees the server's answers; the offline test allows it.
  const page = await browser.newPage({ viewport, serviceWorkers: 'block' });
  if (init) {
    await page.addInitScript(init);
  }
  // Software WebGL on a busy machine can be slow to start; the waits are for conditions, and this
  // only bounds a page that never gets there.
  page.setDefaultTimeout(120000);
  page.errors = [];
  page.on('console', (m) => m.type() === 'error' && page.errors.push(m.text()));
  page.on('pageerror', (e) => page.errors.push(String(e)));
  page.on('requestfailed', (r) => page.errors.push(`failed: ${r.url()}`));
  page.on('response', (r) => r.status() >= 400 && page.errors.push(`${r.status()}: ${r.url()}`));
  await page.goto(origin + path);
  if (playground) {
    await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  }
  return page;
}

// Waits until condition(arg) holds in the page; a page that never gets there is reported with
// what was awaited and what the page showed at the end.
// A condition given as text is made a function here: the page evaluates a function's text once,
// but text at every poll, which its Content-Security-Policy refuses (no eval) once a poll is needed.
export async function waitUntil(page, what, condition, arg) {
  try {
    await page.waitForFunction(
      typeof condition === 'string' ? new Function(`return (${condition});`) : condition,
      arg,
    );
  } catch (error) {
    const seen = await page
      .evaluate(() => ({
        frame: document.body.dataset.frame,
        status: document.getElementById('status')?.textContent,
        classes: document.body.className,
        fullscreen: document.fullscreenElement?.id ?? null,
        problems: document.querySelector('#editor')?.shadowRoot?.querySelectorAll('#problems li').length,
      }))
      .catch((e) => String(e));
    const errors = JSON.stringify(page.errors);
    throw new Error(`waited for ${what}; the page showed ${JSON.stringify(seen)}, errors ${errors}`, { cause: error });
  }
}
