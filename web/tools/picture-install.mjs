// Takes the README's picture of the Install dialog (docs/install-dialog.png): the breathing
// example's dialog in Chromium, from the site tools/playground.sh built, in 8 colours.
//   node web/tools/picture-install.mjs [OUT.png]
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { openPage, sourceDir, waitUntil, withBrowser } from './browser.mjs';

const out = process.argv[2] ?? join(sourceDir, 'docs', 'install-dialog.png');
const script = readFileSync(join(sourceDir, 'examples', 'breathing.txt'), 'utf8');

await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1', { width: 900, height: 1400 });
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(script);
  await page.locator('#install').click();
  await page.locator('#install-dialog[data-ready="true"]').waitFor();
  await waitUntil(page, 'the dialog laid out', () => document.getElementById('install-dialog').offsetHeight > 0);
  await page.locator('#install-dialog').screenshot({ path: out });
  await page.close();
});
execFileSync('convert', [out, '+dither', '-colors', '8', '-strip', `PNG8:${out}`]);
console.log(`picture-install: ${out}`);
