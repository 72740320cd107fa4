// Measures the Windows saver the page makes: the size of the download (the site's Lumenweave.scr
// with a script placed), the time the page's module (web/src/windows-saver.ts) takes to place a
// script in Node, and in headless Chromium the time from a click on the Install dialog's Windows
// entry to the download. A measuring script, not a test: it asserts nothing.
//   node web/tools/measure-saver.mjs     (after tools/playground.sh build)
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { openPage, siteDir, sourceDir, waitUntil, withBrowser } from './browser.mjs';
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

// In the page: the Install dialog's Windows entry, from the click to the download (fetching the
// program, placing the script, the download itself), the program fetched afresh each time.
await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1');
  const devtools = await page.context().newCDPSession(page);
  await devtools.send('Network.setCacheDisabled', { cacheDisabled: true });
  for (const [what, text] of scripts) {
    await page.locator('.cm-content').click();
    await page.keyboard.press('Control+A');
    await page.keyboard.insertText(text);
    await page.locator('#install').click();
    await page.locator('#install-dialog[data-ready="true"]').waitFor();
    const times = [];
    let size = 0;
    for (let i = 0; i < 5; ++i) {
      const start = performance.now();
      const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#install-scr').click()]);
      size = statSync(await download.path()).size;
      times.push(performance.now() - start);
      await waitUntil(page, 'the entry ready again', () => !document.getElementById('install-scr').disabled);
    }
    const sent = await page.evaluate(() =>
      performance.getEntriesByType('resource').findLast((e) => e.name.endsWith('/Lumenweave.scr')).encodedBodySize,
    );
    console.log(
      `page, ${what}: ${size} bytes downloaded (the program came as ${sent} bytes), ` +
        `${median(times).toFixed(0)} ms from the click (median of 5)`,
    );
    await page.keyboard.press('Escape');
  }
  await page.close();
});
