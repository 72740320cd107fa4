// Prints what the Install dialog costs, from the site tools/playground.sh built: the bytes the
// playground fetches on a first visit (none of them the dialog's), then what opening the dialog
// and making the wallpaper zip fetch, and how long the zip takes to make.
//   node web/tools/measure-install.mjs
import { loadavg } from 'node:os';
import { openPage, waitUntil, withBrowser } from './browser.mjs';

const kB = (n) => `${(n / 1000).toFixed(1)} kB`;

await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1');
  // Each resource's bytes as the server sent them, from the entries since `from`.
  const fetched = (from) =>
    page.evaluate((start) => {
      const entries = performance.getEntriesByType('resource').slice(start);
      return entries.map((e) => [new URL(e.name).pathname, e.encodedBodySize]);
    }, from);
  const show = (what, entries) => {
    const total = entries.reduce((sum, [, bytes]) => sum + bytes, 0);
    console.log(`${what}: ${kB(total)} in ${entries.length} files (${entries.map(([p, b]) => `${p} ${kB(b)}`).join(', ')})`);
  };
  const first = await fetched(0);
  // The document itself is no resource entry.
  const documentBytes = await page.evaluate(() => performance.getEntriesByType('navigation')[0].encodedBodySize);
  show('first visit', [['/', documentBytes], ...first]);

  await page.locator('#install').click();
  await page.locator('#install-dialog[data-ready="true"]').waitFor();
  const opened = await fetched(first.length);
  show('opening Install', opened);

  const start = await page.evaluate(() => performance.now());
  await Promise.all([page.waitForEvent('download'), page.locator('#install-wallpaper').click()]);
  await waitUntil(page, 'the zip made', () => document.body.dataset.install === 'done');
  const took = (await page.evaluate(() => performance.now())) - start;
  show('making the wallpaper zip', await fetched(first.length + opened.length));
  const message = await page.locator('#install-wallpaper-message').textContent();
  console.log(`the wallpaper zip: ${message} made in ${took.toFixed(0)} ms (load ${loadavg()[0].toFixed(1)})`);
  await page.close();
});
