// Measures how long a shared link is: the examples' text cut to about 2 kB, shared by the page in
// headless Chromium (#z=, compressed), against the links made before (#s=, base64url of the text).
// A measuring script, not a test: it asserts nothing.
//   node web/tools/measure-links.mjs     (after tools/playground.sh build)
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { openPage, sourceDir, withBrowser } from './browser.mjs';

const examplesDir = join(sourceDir, 'examples');
const all = readdirSync(examplesDir)
  .sort()
  .map((name) => readFileSync(join(examplesDir, name), 'utf8'))
  .join('');
let script = '';
for (const line of all.split(/(?<=\n)/)) {
  if (Buffer.byteLength(script + line) > 2048) {
    break;
  }
  script += line;
}

await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(script);
  await page.locator('#pause').click();
  await page.locator('#share').click();
  await page.waitForFunction(() => location.hash.startsWith('#z='));
  const address = new URL(await page.evaluate(() => location.href));
  const base = `https://example.org/lumenweave/${address.search}`;
  const before = `#s=${Buffer.from(script).toString('base64url')}`;
  console.log(`script: ${Buffer.byteLength(script)} bytes, ${script.split('\n').length - 1} lines`);
  console.log(`address base (https://example.org/lumenweave/ and the query): ${base.length} characters`);
  console.log(`#s= fragment: ${before.length} characters; address ${base.length + before.length}`);
  console.log(`#z= fragment: ${address.hash.length} characters; address ${base.length + address.hash.length}`);
  await page.close();
});
