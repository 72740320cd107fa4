// Measures typing into a long script in the playground and prints the figures: the longest task
// on the page's main thread and the longest keystroke (from the key to the next paint) while
// typing 20 letters, one at a time, into a 60 000-line script with 15 000 problems, until the
// checker has answered the last of them. A measuring script, not a test: it asserts nothing.
//   node web/tools/measure-typing.mjs     (after tools/playground.sh build)
import { openPage, withBrowser } from '../../tests/web/browser.mjs';

const letters = 20;
const script = 'actset: 31, 0.5\nactset: 5000, 1\n# remark\nframe: 1\n'.repeat(15000);

await withBrowser(async ({ browser, origin }) => {
  const page = await openPage(browser, origin, '/?seed=1');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(script);
  // The long script checked: its first problem is on line 2.
  await page.waitForFunction(() => document.querySelector('#problems li')?.textContent.startsWith('2:'));
  await page.keyboard.press('Control+Home');
  await page.evaluate(() => {
    window.longest = { task: 0, keystroke: 0, tasks: 0 };
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) {
        window.longest.task = Math.max(window.longest.task, e.duration);
        ++window.longest.tasks;
      }
    }).observe({ type: 'longtask' });
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) {
        window.longest.keystroke = Math.max(window.longest.keystroke, e.duration);
      }
    }).observe({ type: 'event', durationThreshold: 16 });
  });
  const start = Date.now();
  for (let n = 1; n <= letters; ++n) {
    await page.keyboard.press('x');
    await page.waitForFunction(
      (n) => document.querySelector('#editor').shadowRoot.querySelector('.cm-line').textContent.startsWith('x'.repeat(n)),
      n,
    );
  }
  const typed = Date.now() - start;
  // Until the checker has answered the text with all the letters.
  await page.waitForFunction(
    (n) => document.querySelector('#problems li')?.textContent.startsWith(`1: bad command '${'x'.repeat(n)}actset:'`),
    letters,
  );
  const settled = Date.now() - start;
  // Tasks and keystrokes are reported after they end: one more frame for the last of them.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 100))));
  const longest = await page.evaluate(() => window.longest);
  console.log(
    `typing ${letters} letters into 60000 lines with 15000 problems: longest main-thread task ` +
      `${longest.task ? `${longest.task.toFixed(0)} ms` : 'under 50 ms'} (${longest.tasks} tasks over 50 ms), ` +
      `longest keystroke ${longest.keystroke ? `${longest.keystroke.toFixed(0)} ms` : 'under 16 ms'}; ` +
      `typed in ${typed} ms, checked ${settled} ms after the first letter`,
  );
  await page.close();
});
