// Makes NAME.scr as a user does, for test_script_space.sh: the script typed into the playground's
// editor in Chromium, then the Install dialog's Windows entry, whose download is kept in FOLDER.
//   node page-saver.mjs SCRIPT NAME FOLDER     prints the downloaded file's path
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { openPage, waitUntil, withBrowser } from '../../web/tools/browser.mjs';

const [scriptFile, name, folder] = process.argv.slice(2);
const script = readFileSync(scriptFile, 'utf8');
await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(script);
  await waitUntil(
    page,
    'the typed script in the editor',
    (t) => [...document.querySelector('#editor').shadowRoot.querySelectorAll('.cm-line')].map((l) => l.textContent).join('\n') === t,
    script,
  );
  await page.locator('button#install').click();
  await page.locator('dialog#install-dialog[data-ready="true"]').waitFor();
  await page.fill('input#install-scr-name', name);
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('button#install-scr').click()]);
  const path = join(folder, download.suggestedFilename());
  await download.saveAs(path);
  if (page.errors.length > 0) {
    throw new Error(`the page met errors: ${page.errors.join('; ')}`);
  }
  console.log(path);
  await page.close();
});
