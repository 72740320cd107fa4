// What the browser suites share: one browser and site server for all of a suite's tests with a
// scratch folder, typing into the editor, and a steady display clock for the page.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before } from 'node:test';
import { waitUntil, withBrowser } from '../../web/tools/browser.mjs';

// { browser, origin } once the suite's tests start, and work, a folder removed after them.
export function suiteSession(name) {
  const session = { work: mkdtempSync(join(tmpdir(), `lumenweave-${name}-`)) };
  let done;
  before(async () => {
    const started = await new Promise((ready, fail) => {
      withBrowser((s) => {
        ready(s);
        return new Promise((resolve) => (done = resolve));
      }).catch(fail);
    });
    Object.assign(session, started);
  });
  after(() => {
    done?.();
    rmSync(session.work, { recursive: true, force: true });
  });
  return session;
}

// A condition on the editor's text as its drawn lines show it, for waitUntil: the text is, or
// with same false is not, text.
export const editorIs = ([text, same = true]) =>
  ([...document.querySelector('#editor').shadowRoot.querySelectorAll('.cm-line')].map((l) => l.textContent).join('\n') ===
    text) ===
  same;

export async function typeScript(page, text) {
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(text);
  await waitUntil(page, 'the typed script in the editor', editorIs, [text]);
}

// An init script: a steady 60 Hz display however busy the machine, each animation frame 1000/60
// ms of its clock after the last, so that the page's steps per drawn frame tell its speed.
export function steadyFrames() {
  const real = window.requestAnimationFrame.bind(window);
  let realTime = null;
  let time = 0;
  window.requestAnimationFrame = (callback) =>
    real((now) => {
      if (now !== realTime) {
        realTime = now;
        time += 1000 / 60;
      }
      callback(time);
    });
}
