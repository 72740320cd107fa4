// The playground in Debian's Chromium: it loads cleanly, draws and moves; the checker's problems
// reach the list and the markers at their lines, and the list's buttons the lines; completion and
// hover text; typing while the worker checks; the reference and the gallery; a link carries script, seed and frame, and a
// damaged or empty one is said; edits survive a reload; an addressed frame draws what
// lumenweave-render draws, and a far one is gone to without holding the page; saver mode leaves on
// a key and fills the window where full screen is refused; a failing frame or engine load is said;
// the phone layout; help; Run with problems or warnings, a bad seed and Ctrl-Enter; the drawing
// rate on battery; the wallpaper's frame-rate limit, settings and pause; the embeddable figure
// framed by another site where the playground is refused; the site offline after a first visit;
// export of a picture and of WebM and GIF clips, checked with ffprobe, ffmpeg and ImageMagick.
//   LUMENWEAVE_SIM=... LUMENWEAVE_RENDER=... node --test page.test.mjs
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { crc32, deflateRawSync, inflateRawSync } from 'node:zlib';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { openPage, sourceDir, startServer, waitUntil } from '../../web/tools/browser.mjs';
import { litPixels, shareInCommon } from './pictures.mjs';
import { editorIs, steadyFrames, suiteSession, typeScript } from './session.mjs';

const session = suiteSession('web');
const { work } = session;

// The editor's text as its drawn lines show it (all of them, for the short scripts typed here).
const editorText = () =>
  [...document.querySelector('#editor').shadowRoot.querySelectorAll('.cm-line')]
    .map((l) => l.textContent)
    .join('\n');

const frameIs = (f) => document.body.dataset.frame === String(f);

test('the page loads with no console error, draws its run from frame 1 and moves', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=1', undefined, true, () => {
    // The first frame shown, as it comes, and the size it was drawn at beside the canvas's on the page.
    new MutationObserver((_, seen) => {
      if (document.body.dataset.frame) {
        const canvas = document.getElementById('figure');
        window.firstShown = {
          frame: document.body.dataset.frame,
          run: document.body.dataset.run,
          drawn: [canvas.width, canvas.height],
          shown: [Math.round(canvas.clientWidth * devicePixelRatio), Math.round(canvas.clientHeight * devicePixelRatio)],
        };
        seen.disconnect();
      }
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ['data-frame'] });
  });
  const firstShown = await page.evaluate(() => window.firstShown);
  assert.deepEqual([firstShown.frame, firstShown.run], ['1', '1'], 'no frame before the run');
  assert.deepEqual(firstShown.drawn, firstShown.shown, "the first frame is drawn at the canvas's size");
  // It runs by itself, however slowly this machine draws.
  await waitUntil(page, 'frame 2', () => Number(document.body.dataset.frame) >= 2);
  const running = Number(await page.evaluate(() => document.body.dataset.frame));
  await waitUntil(page, `frame ${running + 30}`, (f) => Number(document.body.dataset.frame) >= f, running + 30);
  // The pictures compared are of set frames, not of whichever the running figure showed: paused,
  // run again from frame 1, then one step.
  await page.locator('#pause').click();
  await waitUntil(page, 'the pause pressed', () => document.getElementById('pause').ariaPressed === 'true');
  await page.locator('#run').click();
  await waitUntil(page, 'frame 1 after Run', frameIs, 1);
  const first = await litPixels(page);
  await page.locator('#step').click();
  await waitUntil(page, 'frame 2 after Step', frameIs, 2);
  const next = await litPixels(page);
  assert.ok(first[2].some((v) => v), 'the figure is drawn');
  assert.notDeepEqual(first[2], next[2], 'the figure moves');
  assert.equal(await page.title(), 'Lumenweave playground');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('problems are listed and marked at their lines; a clean example has none', async () => {
  const page = await openPage(session.browser, session.origin);
  const script = "seqdo: 1\nactset: 18, 1\n<img src=x onerror=alert(1)>\nactset: 31, 1e999\n";
  await typeScript(page, script);
  const file = join(work, 'faults.txt');
  writeFileSync(file, script);
  const expected = spawnSync(process.env.LUMENWEAVE_SIM, ['--check', file], { encoding: 'utf8' })
    .stdout.trim()
    .split('\n')
    .map((line) => line.slice(file.length + 1));
  assert.ok(expected.length >= 3);
  const items = page.locator('#problems li');
  await items.nth(expected.length - 1).waitFor();
  assert.deepEqual(await items.allTextContents(), expected);
  // Text, not markup: the quoted tag made no element.
  assert.equal(await page.locator('#problems img').count(), 0);
  const marks = page.locator('.lw-problem-error');
  await marks.nth(expected.length - 1).waitFor();
  const markedLines = await marks.allTextContents();
  const lines = script.split('\n');
  assert.deepEqual(
    markedLines,
    expected.map((p) => lines[Number(p.split(':')[0]) - 1]),
  );

  await page.locator('#examples').selectOption('conductor');
  const conductor = readFileSync(join(sourceDir, 'examples', 'conductor.txt'), 'utf8');
  await waitUntil(
    page,
    'the conductor example in the editor',
    (line) => document.querySelector('#editor').shadowRoot.querySelector('.cm-line').textContent === line,
    conductor.split('\n')[0],
  );
  await waitUntil(page, 'an empty problem list', () => document.querySelector('#editor').shadowRoot.querySelectorAll('#problems li').length === 0);
  await marks.first().waitFor({ state: 'detached' });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the editor teaches the language: completion, hover text, problems that reach their lines', async () => {
  let page = await openPage(session.browser, session.origin);
  await page.locator('.cm-content').click();
  // Completion and hover text come at the editor's first use.
  const helpReady = () => document.body.dataset.languageHelp === 'ready';
  await waitUntil(page, 'the language help loaded', helpReady);
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Backspace');
  // Typed, not inserted: completion answers typing. Of the actuators only 52 starts with 5.
  await page.keyboard.type('actset: 5');
  const options = page.locator('.cm-tooltip-autocomplete li');
  // The list opened at the first letters offers keywords; it is the number's once it offers one.
  await options.filter({ hasText: /^\d/ }).first().waitFor();
  assert.deepEqual(await options.allTextContents(), ['52wings']);
  // Clicked: Enter so soon after the list opens would be a new line.
  await options.first().click();
  await waitUntil(page, 'the completed number', () => document.querySelector('#editor').shadowRoot.querySelector('.cm-line').textContent === 'actset: 52');
  // Numbers offered in their order, not as text sorts them.
  await page.keyboard.type('\nactset: 1');
  await options.filter({ hasText: /^\d/ }).first().waitFor();
  const numbers = (await options.allTextContents()).map((o) => /^\d+/.exec(o)?.[0]).filter(Boolean).map(Number);
  assert.ok(numbers.length > 3 && numbers.some((n) => n >= 100), `offered ${numbers}`);
  assert.deepEqual(numbers, [...numbers].sort((a, b) => a - b));

  await page.close();

  // Slot 17 holds nothing; 1024 is outside the bank, whose last slot is 1023.
  page = await openPage(session.browser, session.origin);
  await typeScript(page, 'actset: 52, 10\nactset: 17, 1\nactset: 1024, 1\nactset: 1023, 1');
  await waitUntil(page, 'the language help loaded', helpReady);
  const hoverOn = async (line, number) => {
    await page.mouse.move(0, 0);
    await page.locator('.cm-tooltip-hover').waitFor({ state: 'detached' });
    // Into the editor first, then onto the number, as a hand moves.
    await page.locator('.cm-line').nth(line).hover({ position: { x: 1, y: 2 } });
    await page.locator('.cm-line').nth(line).getByText(number, { exact: true }).hover();
    return page.locator('.cm-tooltip-hover').textContent();
  };
  const wings = await hoverOn(0, '52');
  assert.match(wings, /^52 wings: number of wings drawn .*65536 at the most.*starts at 52/);
  assert.match(await hoverOn(1, '17'), /slot 17 holds no actuator/);
  assert.match(await hoverOn(2, '1024'), /1024 reaches no slot: slots are 0 to 1023/);
  assert.match(await hoverOn(3, '1023'), /slot 1023 holds no actuator/);

  await page.close();

  // A problem far down a script.
  page = await openPage(session.browser, session.origin);
  const lines = Array.from({ length: 80 }, (_, i) => `actset: 31, ${i}`);
  lines[59] = 'actset 31, 59';
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(lines.join('\n'));
  await page.locator('#problems button').first().waitFor();
  assert.equal(await page.locator('#problems button').count(), 1);
  await page.locator('#problems button').click();
  await waitUntil(
    page,
    'the cursor on line 60',
    () => document.querySelector('#editor').shadowRoot.querySelector('.cm-activeLine')?.textContent === 'actset 31, 59',
  );
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('typing goes on while a long check runs in the worker', async () => {
  // The checker's answers are held back while window.holdAnswers is set, so the check is surely
  // still under way when the letter is typed, however fast or slow the machine.
  const page = await openPage(session.browser, session.origin, '/', undefined, true, () => {
    window.held = [];
    const listen = Worker.prototype.addEventListener;
    Worker.prototype.addEventListener = function (type, listener, ...rest) {
      const hold = (event) => (window.holdAnswers ? window.held.push(() => listener.call(this, event)) : listener.call(this, event));
      return listen.call(this, type, type === 'message' ? hold : listener, ...rest);
    };
  });
  await waitUntil(page, 'the first check', () => document.body.dataset.checking === 'false');
  // 60000 lines, 15000 of them out of the bank: a check of a second or so.
  const script = 'actset: 31, 0.5\nactset: 5000, 1\n# remark\nframe: 1\n'.repeat(15000);
  await page.evaluate(() => (window.holdAnswers = true));
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(script);
  await waitUntil(page, 'the long check under way', () => document.body.dataset.checking === 'true');
  // What comes first, the typed letter drawn or a checker's answer, as the page saw it. A checker
  // on the page's own thread answers before the key is taken.
  await page.evaluate(() => {
    window.events = [];
    const content = document.querySelector('#editor').shadowRoot.querySelector('.cm-content');
    new MutationObserver(() => {
      if (content.firstElementChild.textContent.startsWith('x') && !window.events.includes('typed')) {
        window.events.push('typed');
      }
    }).observe(content, { subtree: true, childList: true, characterData: true });
    new MutationObserver(() => window.events.push('answer')).observe(document.body, {
      attributeFilter: ['data-checks'],
    });
  });
  await page.keyboard.press('Control+Home');
  await page.keyboard.press('x');
  await waitUntil(page, 'the letter drawn', () => window.events.includes('typed'));
  assert.deepEqual(await page.evaluate(() => window.events), ['typed']);
  // Run waits for the checker's thread too: the next key is taken meanwhile (a check on the
  // page's thread would have said the problems before it), and the run is said once answered.
  await page.keyboard.press('Control+Enter');
  await page.keyboard.press('y');
  await waitUntil(page, 'the second letter drawn', () =>
    document.querySelector('#editor').shadowRoot.querySelector('.cm-line').textContent.startsWith('xy'));
  assert.doesNotMatch(await page.textContent('#status'), /problem/);
  await page.evaluate(() => {
    window.holdAnswers = false;
    window.held.splice(0).forEach((answer) => answer());
  });
  await waitUntil(page, 'the run said', () => /problems: still running the last good script/.test(document.getElementById('status').textContent));
  // The last answer is of the text with the letters: its first line is a bad command now.
  await waitUntil(page, 'the new text checked', () => document.body.dataset.checking === 'false');
  assert.match(await page.locator('#problems li').first().textContent(), /^1: bad command 'xyactset:'/);
  assert.equal(await page.locator('#problems li').last().textContent(), '… and 14801 more');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the reference and the gallery load cleanly; each gallery link opens its example', async () => {
  const reference = await openPage(session.browser, session.origin, '/reference.html', undefined, false);
  assert.equal(await reference.textContent('h1'), 'The Lumenweave script language');
  // Every link within the page reaches a heading: the ids are made as the links are written.
  const missing = await reference.evaluate(() =>
    [...document.querySelectorAll('a[href^="#"]')]
      .map((a) => a.getAttribute('href'))
      .filter((href) => !document.getElementById(href.slice(1))),
  );
  assert.deepEqual(missing, []);
  assert.ok(await reference.locator('img[src="actuators/zoom.png"]').count());
  await reference.waitForLoadState('load');
  assert.deepEqual(reference.errors, []);

  const gallery = await openPage(session.browser, session.origin, '/gallery.html', undefined, false);
  await gallery.waitForLoadState('load');
  assert.deepEqual(gallery.errors, []);
  const links = await gallery.locator('a.open').evaluateAll((as) => as.map((a) => [a.closest('section').id, a.getAttribute('href')]));
  const names = readdirSync(join(sourceDir, 'examples')).filter((f) => f.endsWith('.txt')).map((f) => f.slice(0, -4));
  assert.deepEqual(links.map(([name]) => name).sort(), names.sort());
  for (const [name, href] of links) {
    const opened = await openPage(session.browser, session.origin, new URL(href, `${session.origin}/gallery.html`).href.slice(session.origin.length));
    // The lines drawn (the editor draws those in view, and long ones wrap): ten at least.
    const drawn = (await opened.evaluate(editorText)).split('\n');
    assert.ok(drawn.length >= 10, `${name}: ${drawn.length} lines drawn`);
    assert.deepEqual(drawn, readFileSync(join(sourceDir, 'examples', `${name}.txt`), 'utf8').split('\n').slice(0, drawn.length), name);
    assert.equal(await opened.inputValue('#seed'), '1');
    await opened.close();
  }
  await Promise.all([reference.close(), gallery.close()]);
});

// A #z= fragment as the page makes it, made here by Node's own zlib and base64url: the text's
// length (LEB128), its CRC-32 (big-endian), the text in deflate-raw.
function linkOf(text) {
  const bytes = Buffer.from(text);
  const length = [];
  for (let n = bytes.length; ; n >>= 7) {
    length.push((n & 127) | (n >= 128 ? 128 : 0));
    if (n < 128) break;
  }
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(bytes));
  return `#z=${Buffer.concat([Buffer.from(length), crc, deflateRawSync(bytes)]).toString('base64url')}`;
}

const builtinShown = async (page) =>
  assert.match(await page.locator('.cm-line').nth(1).textContent(), /Lumenweave animation script/);

test('share links', async (t) => {
  // A fixed size, so that the two pages' pictures compare whatever their layouts; the seed chosen
  // in the field, not in the address.
  const page = await openPage(session.browser, session.origin, '/?size=200x150');
  // A figure that moves at random (so the seed shows), and text beyond ASCII.
  const script = [
    '# Wölkchen ☁ 🌀 and a tab\there',
    ...['actset: 38, 30', 'actset: 52, 50', 'actset: 31, 0.05', 'actset: 18, 1', 'seqdo: 1'],
    ...['seqname: 1', 'duration: 30', 'variance: 0.9', 'actlim1: 94, -1.6', 'actlim2: 94, 1.6'],
    'relframe: 30',
    'seqloop:',
    '# ends without a line feed ?#&=+/',
  ].join('\n');
  await typeScript(page, script);
  await page.fill('#seed', '9');
  await page.locator('#pause').click();
  await page.locator('#run').click();
  await waitUntil(page, 'frame 1 after Run', frameIs, 1);
  for (const f of [2, 3]) {
    await page.locator('#step').click();
    await waitUntil(page, `frame ${f}`, frameIs, f);
  }
  await page.locator('#share').click();
  await waitUntil(page, 'a link in the address', () => location.hash.startsWith('#z='));
  const address = new URL(await page.evaluate(() => location.href));

  await t.test('the link carries script, seed and paused frame, in the format Node reads', async () => {
    assert.equal(address.searchParams.get('seed'), '9');
    assert.equal(address.searchParams.get('frame'), '3');
    const payload = address.hash.slice('#z='.length);
    assert.equal(Buffer.from(payload, 'base64url').toString('base64url'), payload);
    const bytes = Buffer.from(payload, 'base64url');
    const text = Buffer.from(script);
    assert.deepEqual([bytes[0] & 127, bytes[1]], [text.length & 127, text.length >> 7]);
    assert.equal(bytes.readUInt32BE(2), crc32(text));
    assert.equal(inflateRawSync(bytes.subarray(6)).toString(), script);
  });

  await t.test("the recipient sees the script, the seed and the sender's picture", async () => {
    const sent = await litPixels(page);
    const restored = await openPage(session.browser, session.origin, address.pathname + address.search + address.hash);
    await waitUntil(restored, 'frame 3', frameIs, 3);
    assert.equal(await restored.evaluate(editorText), script);
    assert.equal(await restored.inputValue('#seed'), '9');
    assert.ok(sent[2].some((v) => v), 'the figure is drawn');
    assert.deepEqual(await litPixels(restored), sent);

    // A link pasted into the open tab (only the fragment changes) loads and runs.
    const next = 'actset: 18, 1\n# pasted';
    await restored.evaluate((hash) => (location.hash = hash), linkOf(next));
    await waitUntil(restored, 'the pasted script', editorIs, [next]);
    assert.deepEqual(restored.errors, []);
    await restored.close();
  });

  await t.test('a link cut short, damaged or empty is said, with the built-in script', async () => {
    const cases = [
      [address.hash.slice(0, -12), /cut short or damaged/],
      // One letter changed: it still inflates, but not to the text whose checksum it carries.
      [address.hash.slice(0, 20) + (address.hash[20] === 'A' ? 'B' : 'A') + address.hash.slice(21), /cut short or damaged/],
      // Not base64url of UTF-8 (a lone continuation byte).
      ['#s=gA', /cut short or damaged/],
      [linkOf(''), /empty script/],
      ['#s=', /empty script/],
    ];
    for (const [hash, said] of cases) {
      const opened = await openPage(session.browser, session.origin, `/${hash}`);
      assert.match(await opened.textContent('#status'), said, hash);
      await builtinShown(opened);
      await opened.close();
    }
  });

  await t.test('a plain anchor is no link; a link of more than 1 MB is refused, saying the limit', async () => {
    const anchored = await openPage(session.browser, session.origin, '/#hello');
    assert.equal(await anchored.textContent('#status'), '');
    await builtinShown(anchored);
    await anchored.close();
    // 40 kB of link, as a Node-made link holds it, that would expand to 15 MB.
    const huge = linkOf('#'.repeat(15000000));
    assert.ok(huge.length < 40000);
    const refused = await openPage(session.browser, session.origin, `/${huge}`);
    assert.match(await refused.textContent('#status'), /15000000 bytes long; links hold 1048576 at most/);
    await builtinShown(refused);
    await refused.close();
  });

  await t.test('bad address settings are each said', async () => {
    const opened = await openPage(session.browser, session.origin, '/?seed=abc&size=0x0&frame=1e9');
    const said = await opened.textContent('#status');
    for (const setting of ['seed "abc"', 'size "0x0"', 'frame "1e9"']) {
      assert.match(said, new RegExp(`The address's ${setting} is not`));
    }
    await opened.close();
  });

  await t.test('a link opened again in its tab after edits keeps them, the link one undo away', async () => {
    const linked = `/${linkOf('actset: 18, 1')}`;
    const tab = await openPage(session.browser, session.origin, linked);
    await tab.locator('.cm-content').click();
    await tab.keyboard.press('Control+End');
    await tab.keyboard.insertText('\n# edited');
    // Left at once: what was typed is saved as the page goes, not half a second later.
    await tab.goto('about:blank');
    await tab.goto(session.origin + linked);
    await waitUntil(tab, 'the page ready', () => document.body.dataset.ready === 'true');
    assert.equal(await tab.evaluate(editorText), 'actset: 18, 1\n# edited');
    assert.match(await tab.textContent('#status'), /opened this link before: your edits .* Ctrl-Z brings back the link's script/);
    await tab.locator('.cm-content').click();
    await tab.keyboard.press('Control+z');
    await waitUntil(tab, "the link's script", editorIs, ['actset: 18, 1']);
    await tab.close();
  });

  await t.test('a link made before, #s= and base64url, still opens', async () => {
    const old = '# ~~~ ???\n# Wölkchen ☁ 🌀\nactset: 18, 1';
    const encoded = Buffer.from(old).toString('base64url');
    assert.match(encoded, /-.*_|_.*-/);
    const opened = await openPage(session.browser, session.origin, `/?seed=4#s=${encoded}`);
    assert.equal(await opened.evaluate(editorText), old);
    assert.equal(await opened.inputValue('#seed'), '4');
    await opened.close();
  });
  await page.close();
});

test('edits survive a reload with their undo; an example keeps them one undo away', async () => {
  const page = await openPage(session.browser, session.origin);
  const saved = (text) =>
    JSON.parse(localStorage.getItem(`lumenweave.script.${sessionStorage.getItem('lumenweave.open')}`))?.editor.doc === text;
  const first = 'actset: 18, 1\nactset: 31, 2';
  const second = `${first}\nactset: 94, 1`;
  await typeScript(page, first);
  await waitUntil(page, 'the first edit saved', saved, first);
  // Typed after the save, so a step of its own in the undo history.
  await page.keyboard.insertText('\nactset: 94, 1');
  await waitUntil(page, 'the second edit saved', saved, second);
  await page.reload();
  await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  assert.equal(await page.evaluate(editorText), second);
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+z');
  await waitUntil(page, 'one undo', editorIs, [first]);

  await page.locator('#examples').selectOption('conductor');
  await waitUntil(page, 'the example said', () => /Ctrl-Z brings back/.test(document.getElementById('status').textContent));
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+z');
  await waitUntil(page, 'the edits back', editorIs, [first]);
  // The menu names what the editor holds: nothing once undone, nor after a reload.
  const menu = () => document.getElementById('examples').value;
  await waitUntil(page, 'no example named', `(${menu})() === ''`);
  await page.reload();
  await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  assert.equal(await page.evaluate(menu), '');

  // Arrows pass over the examples and load none; Enter loads the one reached.
  const runs = await page.evaluate(() => document.body.dataset.run);
  await page.locator('#examples').focus();
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  const reached = await page.evaluate(menu);
  assert.equal(await page.evaluate(() => document.body.dataset.run), runs);
  assert.equal(await page.evaluate(editorText), first);
  await page.keyboard.press('Enter');
  await waitUntil(page, `example ${reached} loaded`, (r) => document.body.dataset.run !== r, runs);
  const example = readFileSync(join(sourceDir, 'examples', `${reached}.txt`), 'utf8');
  await waitUntil(page, `${reached} in the editor`, editorIs, [example]);
  // The built-in script is an entry of its own.
  await page.locator('#examples').selectOption('builtin');
  await waitUntil(page, 'the built-in script loaded', () =>
    /Lumenweave animation script/.test(document.querySelector('#editor').shadowRoot.querySelectorAll('.cm-line')[1]?.textContent));

  // An example chosen after the first frame but before the editor is made (its code held back)
  // goes into the editor once it is.
  let release;
  const held = new Promise((resolve) => (release = resolve));
  await page.route(/\/chunks\/editor-\w+\.js$/, async (route) => {
    await held;
    await route.continue();
  });
  await page.reload();
  await waitUntil(page, 'the first frame', () => Number(document.body.dataset.frame) >= 1);
  await page.locator('#examples').selectOption('conductor');
  release();
  await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  const conductor = readFileSync(join(sourceDir, 'examples', 'conductor.txt'), 'utf8');
  await waitUntil(page, 'conductor in the editor', editorIs, [conductor]);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('an addressed frame draws what lumenweave-render draws; a far one leaves the page answering', async () => {
  const png = join(work, 'native.png');
  execFileSync(process.env.LUMENWEAVE_RENDER, [
    '--seed', '3', '--frames', '200', '--size', '320x240', '--out', png,
  ]);
  const page = await openPage(session.browser, session.origin, '/?seed=3&frame=200&size=320x240');
  await waitUntil(page, 'frame 200', frameIs, 200);
  const web = await litPixels(page);
  const native = await litPixels(page, readFileSync(png));
  assert.deepEqual(web.slice(0, 2), [320, 240]);
  const { lit, share } = shareInCommon(web, native);
  console.log(`lit pixels ${lit}, share in common ${share.toFixed(3)}`);
  assert.ok(lit > 1000, 'the figure is there');
  assert.ok(share >= 0.9, `share in common ${share}`);
  // Paused on the frame: it stays.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  assert.equal(await page.evaluate(() => document.body.dataset.frame), '200');
  await page.close();

  // One past the furthest frame a link may ask: said, and the furthest shown, exactly. On the way
  // the progress moves and a field takes typing: the page is not held.
  const furthest = 5000000; // maxFrame of web/src/shared/share.ts
  const far = await openPage(session.browser, session.origin, `/?seed=1&frame=${furthest + 1}&size=64x64`);
  const progress = () => {
    const line = document.getElementById('seeking');
    return line.hidden ? null : line.querySelector('progress').value;
  };
  await waitUntil(far, 'progress on the way', `(${progress})() > 0`);
  await far.fill('#seed', '77');
  const meanwhile = await far.evaluate(`[document.getElementById('seed').value, (${progress})()]`);
  assert.equal(meanwhile[0], '77');
  assert.ok(meanwhile[1] > 0 && meanwhile[1] < furthest, `typed while on the way (progress ${meanwhile[1]})`);
  await waitUntil(far, `frame ${furthest}`, frameIs, furthest);
  assert.equal(await far.evaluate(progress), null);
  assert.match(await far.textContent('#status'), new RegExp(`asks for frame ${furthest + 1}.*this is frame ${furthest}`));
  assert.deepEqual(far.errors, []);
  await far.close();
});

// Export: fills the dialog's fields (a kind and field values by id), saves, and returns the file
// the page gave for download with its name.
async function exportFile(page, kind, fields) {
  if (!(await page.evaluate(() => document.getElementById('export-dialog')?.open))) {
    await page.locator('#export').click();
  }
  await page.selectOption('#export-kind', kind);
  for (const [id, value] of Object.entries(fields)) {
    await (id === 'rate' ? page.selectOption('#export-rate', value) : page.fill(`#export-${id}`, value));
  }
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#export-start').click()]);
  const file = join(work, download.suggestedFilename());
  await download.saveAs(file);
  return { file, name: download.suggestedFilename() };
}

// Where the figure stands in a picture: the lit pixels' centroid and bounding box.
function placement([width, height, lit]) {
  let count = 0;
  let sx = 0;
  let sy = 0;
  const box = [width, height, -1, -1];
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      if (lit[y * width + x]) {
        ++count;
        sx += x;
        sy += y;
        box[0] = Math.min(box[0], x);
        box[1] = Math.min(box[1], y);
        box[2] = Math.max(box[2], x);
        box[3] = Math.max(box[3], y);
      }
    }
  }
  return { count, centre: [sx / count, sy / count], box };
}

const probe = (file, entries) =>
  JSON.parse(
    execFileSync('ffprobe', ['-v', 'error', '-count_frames', '-select_streams', 'v:0', '-show_entries', entries, '-of', 'json', file]),
  ).streams[0];

test('export', async (t) => {
  // Paused on frame 200 of seed 3, drawn at one size; each export picks another.
  const page = await openPage(session.browser, session.origin, '/?seed=3&frame=200&size=320x240');
  await waitUntil(page, 'frame 200', frameIs, 200);

  await t.test('a PNG of the frame shown at the chosen size is what lumenweave-render draws; 4097 is refused', async () => {
    const { file, name } = await exportFile(page, 'png', { width: '256', height: '192' });
    assert.equal(name, 'lumenweave-builtin-seed-3-frame-200-256x192.png');
    const native = join(work, 'native-256.png');
    execFileSync(process.env.LUMENWEAVE_RENDER, ['--seed', '3', '--frames', '200', '--size', '256x192', '--out', native]);
    const exported = await litPixels(page, readFileSync(file));
    assert.deepEqual(exported.slice(0, 2), [256, 192]);
    const { lit, share } = shareInCommon(exported, await litPixels(page, readFileSync(native)));
    assert.ok(lit > 1000, 'the figure is there');
    assert.ok(share >= 0.9, `share in common ${share}`);

    await page.fill('#export-width', '4097');
    await page.locator('#export-start').click();
    await waitUntil(page, 'the width refused', () => /"4097" is not a whole number of pixels from 1 to 4096/.test(document.getElementById('export-message').textContent));
    assert.equal(await page.getAttribute('#export-width', 'aria-invalid'), 'true');
    assert.equal(await page.evaluate(() => document.body.dataset.export), 'done');
    assert.equal(await page.evaluate(() => document.getElementById('export-progress').value), 0, 'no bar full beside the refusal');
  });

  await t.test('a 2 s WebM at 30 fps has 60 frames of the chosen size; its frame 30 is ?frame= 60 steps on', async () => {
    const { file, name } = await exportFile(page, 'webm', { width: '320', height: '240', seconds: '2', rate: '30' });
    assert.equal(name, 'lumenweave-builtin-seed-3-frame-200-320x240-2s.webm');
    const stream = probe(file, 'stream=codec_name,width,height,nb_read_frames');
    assert.deepEqual([stream.width, stream.height, Number(stream.nb_read_frames)], [320, 240, 60]);
    const decoded = join(work, 'webm-frame-30.png');
    execFileSync('ffmpeg', ['-v', 'error', '-y', '-i', file, '-vf', 'select=eq(n\\,30)', '-frames:v', '1', decoded]);
    const reference = await openPage(session.browser, session.origin, '/?seed=3&frame=260&size=320x240');
    await waitUntil(reference, 'frame 260', frameIs, 260);
    const want = placement(await litPixels(reference));
    const got = placement(await litPixels(page, readFileSync(decoded)));
    await reference.close();
    console.log(`${stream.codec_name}: lit ${got.count} of ${want.count}, centre ${got.centre} for ${want.centre}, box ${got.box} for ${want.box}`);
    assert.ok(want.count > 500, 'the figure is there');
    for (let i = 0; i < 2; ++i) {
      assert.ok(Math.abs(got.centre[i] - want.centre[i]) <= 3, `centre ${got.centre} for ${want.centre}`);
    }
    for (let i = 0; i < 4; ++i) {
      assert.ok(Math.abs(got.box[i] - want.box[i]) <= 4, `box ${got.box} for ${want.box}`);
    }
  });

  await t.test('a GIF has the frames and size chosen; a cancelled export saves nothing', async () => {
    const { file, name } = await exportFile(page, 'gif', { width: '64', height: '48', seconds: '1', rate: '10' });
    assert.equal(name, 'lumenweave-builtin-seed-3-frame-200-64x48-1s.gif');
    // Each frame a tenth of a second: 10 hundredths, as GIF counts delays.
    const frames = execFileSync('identify', ['-format', '%wx%h %T\n', file]).toString().trim().split('\n');
    assert.deepEqual(frames, Array(10).fill('64x48 10'));

    let downloads = 0;
    page.on('download', () => ++downloads);
    await page.fill('#export-seconds', '60');
    await page.selectOption('#export-rate', '60');
    await page.locator('#export-start').click();
    await waitUntil(page, 'the export on its way', () => document.getElementById('export-progress').value > 0);
    await page.locator('#export-cancel').click();
    await waitUntil(page, 'the export cancelled', () => document.body.dataset.export === 'cancelled');
    assert.equal(downloads, 0);
  });

  // The figure stood on its frame throughout.
  assert.equal(await page.evaluate(() => document.body.dataset.frame), '200');
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The native hosts' move rule through the engine: steps of up to 4 px (horizontal plus vertical)
// are followed however far they drift; a 3+2 diagonal step leaves. Each move is handled before
// Playwright's returns, so the class is read after the page has judged it.
test('in saver mode a pointer drift stays and a diagonal 3+2 px move leaves', async () => {
  const page = await openPage(session.browser, session.origin);
  await page.locator('h1').click();
  await page.keyboard.press('f');
  await waitUntil(page, 'the stage full screen', () => document.fullscreenElement?.id === 'stage');
  const inSaver = () => page.evaluate(() => document.body.classList.contains('saver'));
  for (const [x, y] of [[100, 100], [102, 102], [104, 104], [106, 106], [110, 106]]) {
    await page.mouse.move(x, y);
    assert.ok(await inSaver(), `left on the move to ${x},${y}`);
  }
  await page.mouse.move(113, 108);
  await waitUntil(page, 'saver mode left', () => !document.body.classList.contains('saver'));
  await page.close();
});

test('full screen is entered with F and left on a key', async () => {
  const page = await openPage(session.browser, session.origin);
  await page.locator('h1').click();
  await page.keyboard.press('f');
  await waitUntil(page, 'the stage full screen', () => document.fullscreenElement?.id === 'stage');
  assert.ok(await page.evaluate(() => document.body.classList.contains('saver')));
  await page.keyboard.press('x');
  await waitUntil(
    page,
    'full screen left',
    () => !document.fullscreenElement && !document.body.classList.contains('saver'),
  );
  // F typed in the editor is a letter, not full screen: looked at once the letter is there.
  await page.locator('.cm-content').click();
  const before = await page.evaluate(editorText);
  await page.keyboard.press('f');
  await waitUntil(page, 'the f in the editor', editorIs, [before, false]);
  assert.equal(await page.evaluate(() => document.body.classList.contains('saver')), false);

  // Ctrl-Enter in saver mode only leaves: no run.
  await page.locator('h1').click();
  const runs = await page.evaluate(() => document.body.dataset.run);
  await page.keyboard.press('f');
  await waitUntil(page, 'the stage full screen', () => document.fullscreenElement?.id === 'stage');
  await page.keyboard.press('Control+Enter');
  await waitUntil(page, 'saver mode left', () => !document.body.classList.contains('saver'));
  assert.equal(await page.evaluate(() => document.body.dataset.run), runs);
  await page.close();

  // In a frame that does not allow full screen, the figure fills the frame's window and a line
  // says why; F leaves for good, and a new entry takes its first move afresh.
  const host = await session.browser.newPage({ viewport: { width: 900, height: 600 } });
  // tools/playground.sh's server refuses to let the playground be framed; a site that allows it
  // is stood for by taking the refusal off.
  await host.route(`${session.origin}/**`, async (route) => {
    const response = await route.fetch();
    const headers = response.headers();
    delete headers['content-security-policy'];
    await route.fulfill({ response, headers });
  });
  await host.setContent(`<iframe src="${session.origin}/?seed=5" width="640" height="480"></iframe>`);
  const frame = host.frames()[1];
  await frame.waitForFunction(() => document.body.dataset.ready === 'true');
  const inSaver = () => frame.evaluate(() => document.body.classList.contains('saver'));
  await frame.locator('h1').click();
  await host.keyboard.press('f');
  await frame.waitForFunction(() => document.body.classList.contains('saver'));
  assert.match(await frame.textContent('#saver-note'), /frame that does not allow it.*fills the window/);
  assert.deepEqual(
    await frame.evaluate(() => {
      const box = document.getElementById('stage').getBoundingClientRect();
      return [box.left, box.top, box.width, box.height];
    }),
    [0, 0, 640, 480],
  );
  await host.keyboard.press('f');
  await frame.waitForFunction(() => !document.body.classList.contains('saver'));
  assert.equal(await inSaver(), false, 'F left and did not enter again');
  await frame.locator('h1').click();
  for (const x of [100, 300]) {
    await host.keyboard.press('f');
    await frame.waitForFunction(() => document.body.classList.contains('saver'));
    // The first move of an entry only sets the point, however far the pointer was before.
    await host.mouse.move(x, 200);
    assert.equal(await inSaver(), true, `the first move, to ${x}, left`);
    await host.mouse.move(x + 5, 200);
    await frame.waitForFunction(() => !document.body.classList.contains('saver'));
  }
  await host.close();
});

test('a frame that fails is said and the animation goes on; a failed engine load is said', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=2');
  // The next draw throws once, as a fault in the replay would.
  await page.evaluate(() => {
    const draw = WebGL2RenderingContext.prototype.drawArrays;
    WebGL2RenderingContext.prototype.drawArrays = function (...args) {
      WebGL2RenderingContext.prototype.drawArrays = draw;
      throw new Error('planted draw fault');
    };
  });
  await waitUntil(page, 'the failure said', () => /failed \(planted draw fault\)/.test(document.getElementById('status').textContent));
  const failed = Number(await page.evaluate(() => document.body.dataset.frame));
  await waitUntil(page, 'frames after the failure', (f) => Number(document.body.dataset.frame) >= f + 2, failed);
  assert.deepEqual(page.errors.map((e) => /planted draw fault/.test(e)), [true]);
  await page.close();

  const unloaded = await session.browser.newPage();
  await unloaded.route('**/lumenweave.wasm', (route) => route.fulfill({ status: 404, body: '' }));
  await unloaded.goto(session.origin + '/');
  await waitUntil(unloaded, 'the failed load said', () => /could not be loaded/.test(document.getElementById('status').textContent));
  await unloaded.close();
});

test('layout: on a phone the figure on top, the editor below; bullets, fixed sizes, messages; a page from a file', async () => {
  const page = await openPage(session.browser, session.origin, '/', { width: 390, height: 844 });
  const layout = await page.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect().toJSON();
    return { stage: box('stage'), editor: box('editor'), scrollWidth: document.documentElement.scrollWidth };
  });
  const { stage, editor } = layout;
  assert.ok(stage.width >= 360 && Math.abs(stage.width - stage.height) <= 1, `figure ${stage.width} x ${stage.height}`);
  assert.ok(editor.width >= 300 && editor.height >= 300, `editor ${editor.width} x ${editor.height}`);
  assert.ok(stage.bottom <= editor.top, 'the figure above the editor');
  assert.ok(layout.scrollWidth <= 390 && editor.right <= 390, `page ${layout.scrollWidth} wide`);

  // A long problem wraps, its bullet beside its first line.
  await typeScript(page, `actset: 31, 1${'x'.repeat(40)}\nbogus`);
  const item = page.locator('#problems li').first();
  await item.waitFor();
  const { box, line } = await item.evaluate((li) => ({
    box: li.getBoundingClientRect().toJSON(),
    line: parseFloat(getComputedStyle(li).lineHeight),
  }));
  assert.ok(box.height > 1.5 * line, `the entry wraps (${box.height} px)`);
  // On black, so that only the bullet is lit.
  await page.evaluate(() => {
    document.body.style.background = '#000';
    document.querySelector('#editor').shadowRoot.querySelector('.cm-panels').style.background = '#000';
  });
  const marker = await litPixels(page, await page.screenshot({ clip: { x: box.x - 16, y: box.y, width: 14, height: box.height } }));
  const litRows = [...new Set(marker[2].flatMap((lit, i) => (lit ? [Math.floor(i / marker[0])] : [])))];
  assert.ok(litRows.length > 0 && Math.max(...litRows) < line, `bullet rows ${litRows}, line ${line}`);
  await page.close();

  // A size fixed by the address, larger than its place, is shrunk to fit whole, and covers no
  // control; a message shown does not move it.
  for (const [viewport, size] of [[{ width: 390, height: 844 }, [640, 480]], [{ width: 1280, height: 720 }, [1920, 1080]]]) {
    const fixed = await openPage(session.browser, session.origin, `/?size=${size.join('x')}`, viewport);
    const boxes = () =>
      fixed.evaluate(() => {
        const box = (id) => document.getElementById(id).getBoundingClientRect().toJSON();
        const run = box('run');
        return { canvas: box('figure'), stage: box('stage'), atRun: document.elementFromPoint(run.x + run.width / 2, run.y + run.height / 2)?.id };
      });
    const { canvas, stage, atRun } = await boxes();
    assert.equal(atRun, 'run');
    const inside = canvas.left >= stage.left - 0.5 && canvas.top >= stage.top - 0.5 && canvas.right <= stage.right + 0.5 && canvas.bottom <= stage.bottom + 0.5;
    assert.ok(inside && canvas.right <= viewport.width, `figure ${JSON.stringify(canvas)} in ${JSON.stringify(stage)}`);
    assert.ok(Math.abs(canvas.width / canvas.height - size[0] / size[1]) < 0.01, 'its proportions kept');
    await fixed.fill('#seed', 'x');
    await fixed.locator('#run').click();
    await waitUntil(fixed, 'the refusal said', () => /seed "x"/.test(document.getElementById('status').textContent));
    assert.deepEqual((await boxes()).canvas, canvas, 'the figure stays where it was');
    await fixed.close();
  }

  // Opened from a file, the page says it must be served.
  const unserved = await session.browser.newPage();
  await unserved.goto(`file://${join(sourceDir, 'build', 'web', 'index.html')}`);
  await waitUntil(unserved, 'the note', () => document.getElementById('unserved')?.checkVisibility());
  assert.match(await unserved.textContent('#unserved'), /only when served.*tools\/playground\.sh.*web zip/s);
  await unserved.close();
});

test('composing: the clock, the keys, the frame field and slider, the values at the frame shown, the speed', async () => {
  const context = await session.browser.newContext({ viewport: { width: 1100, height: 700 }, serviceWorkers: 'block' });
  await context.addInitScript(steadyFrames);
  const page = await openPage(context, session.origin, '/?seed=1&size=200x150');
  const shown = () => page.evaluate(() => [Number(document.body.dataset.frame), document.getElementById('clock').value]);
  const clockOf = (frame) => `frame ${frame} · ${(frame / 60).toFixed(2)} s`;
  await waitUntil(page, 'frame 2', () => Number(document.body.dataset.frame) >= 2);
  const [running, clock] = await shown();
  assert.equal(clock, clockOf(running));

  // Space pauses, → steps, ← goes back a frame, outside the editor.
  await page.locator('h1').click();
  await page.keyboard.press(' ');
  await waitUntil(page, 'paused', () => document.getElementById('pause').ariaPressed === 'true');
  const [held] = await shown();
  await page.keyboard.press('ArrowRight');
  await waitUntil(page, `frame ${held + 1}`, frameIs, held + 1);
  await page.keyboard.press('ArrowLeft');
  await waitUntil(page, `frame ${held} again`, frameIs, held);
  assert.deepEqual(await shown(), [held, clockOf(held)]);

  // The field goes ahead, the slider back; a frame that is none is refused.
  await page.fill('#frame-field', '120');
  await page.press('#frame-field', 'Enter');
  await waitUntil(page, 'frame 120', frameIs, 120);
  await page.locator('#scrubber').fill('30');
  await waitUntil(page, 'frame 30', frameIs, 30);
  assert.deepEqual(await shown(), [30, clockOf(30)]);
  await page.fill('#frame-field', '0');
  await page.press('#frame-field', 'Enter');
  await waitUntil(page, 'frame 0 refused', () => document.getElementById('frame-field').ariaInvalid === 'true');

  // The fourteen values at frame 30 and, a step on, at 31: lumenweave-sim's.
  const sim = execFileSync(process.env.LUMENWEAVE_SIM, ['--seed', '1', '--frames', '31']).toString().trim().split('\n');
  const simValues = (frame) => sim[frame - 1].split(' ').slice(1).map(Number);
  const panel = () => page.evaluate(() => [...document.querySelectorAll('#values dd')].map((d) => Number(d.textContent)));
  const near = (got, want) => got.length === 14 && got.every((v, i) => Math.abs(v - want[i]) <= 1e-5 * Math.max(1, Math.abs(want[i])));
  await page.locator('#values-panel summary').click();
  await waitUntil(page, 'the values shown', () => (document.querySelector('#values dd')?.textContent ?? '') !== '');
  assert.ok(near(await panel(), simValues(30)), `frame 30: ${await panel()} for ${simValues(30)}`);
  await page.locator('#step').click();
  await waitUntil(page, 'frame 31', frameIs, 31);
  assert.ok(near(await panel(), simValues(31)), `frame 31: ${await panel()} for ${simValues(31)}`);

  // ← at a late frame goes back from the nearest copy of the run's state, a bounded number of
  // steps, to the picture a fresh page draws of that frame.
  await page.fill('#frame-field', '5000');
  await page.press('#frame-field', 'Enter');
  await waitUntil(page, 'frame 5000', frameIs, 5000);
  const steps = () => page.evaluate(() => window.lumenweaveStats.frames);
  const stepsBefore = await steps();
  await page.locator('h1').click();
  await page.keyboard.press('ArrowLeft');
  await waitUntil(page, 'frame 4999', frameIs, 4999);
  const taken = (await steps()) - stepsBefore;
  assert.ok(taken > 0 && taken <= 600, `${taken} steps for one frame back`);
  const fresh = await openPage(context, session.origin, '/?seed=1&size=200x150&frame=4999');
  await waitUntil(fresh, 'frame 4999', frameIs, 4999);
  assert.deepEqual(await litPixels(fresh), await litPixels(page));
  await fresh.close();

  // Still at 0×, four steps a frame drawn at 4×.
  await page.selectOption('#speed', '0');
  await page.locator('h1').click();
  await page.keyboard.press(' ');
  await waitUntil(page, 'resumed', () => document.getElementById('pause').ariaPressed === 'false');
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => requestAnimationFrame(r)))));
  assert.equal((await shown())[0], 4999, 'still at 0×');
  await page.selectOption('#speed', '4');
  const start = await page.evaluate(() => ({ ...window.lumenweaveStats }));
  await waitUntil(page, '20 frames drawn', (d) => window.lumenweaveStats.drawn >= d + 20, start.drawn);
  const end = await page.evaluate(() => ({ ...window.lumenweaveStats }));
  const perFrame = (end.frames - start.frames) / (end.drawn - start.drawn);
  assert.ok(Math.abs(perFrame - 4) <= 0.2, `${perFrame} steps a frame at 4×`);
  assert.deepEqual(page.errors, []);
  await context.close();
});

test("writing: first-visit line, auto-run remembered, soft wrap, Tab, files, the reference's scripts", async () => {
  const page = await openPage(session.browser, session.origin);
  assert.ok(await page.locator('#intro').isVisible(), 'the first visit says what to do');
  await page.locator('#auto-run').check();
  const runs = await page.evaluate(() => Number(document.body.dataset.run));
  // Clean: runs by itself once checked; with an error: no run.
  await typeScript(page, 'actset: 18, 1');
  await waitUntil(page, 'an auto-run', (r) => Number(document.body.dataset.run) === r + 1, runs);
  assert.equal(await page.locator('#intro').isVisible(), false);
  await typeScript(page, 'bogus');
  await page.locator('#problems li').waitFor();
  assert.equal(await page.evaluate(() => Number(document.body.dataset.run)), runs + 1, 'no run of the script with an error');
  // A long line wraps, without a scroll bar; Tab indents; Escape then Tab leaves the editor.
  const long = `# ${'wrapped '.repeat(60)}`;
  await typeScript(page, long);
  const wrap = await page.evaluate(() => {
    const root = document.querySelector('#editor').shadowRoot;
    const scroller = root.querySelector('.cm-scroller');
    return [root.querySelector('.cm-line').getBoundingClientRect().height, scroller.scrollWidth - scroller.clientWidth];
  });
  assert.ok(wrap[0] > 40 && wrap[1] <= 1, `the line ${wrap[0]} px high, ${wrap[1]} px to scroll`);
  await page.keyboard.press('Control+Home');
  await page.keyboard.press('Tab');
  await waitUntil(page, 'an indented line', editorIs, [`  ${long}`]);
  await page.keyboard.press('Escape');
  await page.keyboard.press('Tab');
  await waitUntil(page, 'focus out of the editor', () => document.activeElement?.id !== 'editor');
  assert.equal(await page.evaluate(editorText), `  ${long}`);

  // A file opened, one dropped, and the script saved under the file's name.
  await page.setInputFiles('#file', { name: 'mine.txt', mimeType: 'text/plain', buffer: Buffer.from('actset: 31, 2\n') });
  await waitUntil(page, 'the opened file', editorIs, ['actset: 31, 2\n']);
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#save-file').click()]);
  assert.equal(download.suggestedFilename(), 'mine.txt');
  assert.equal(readFileSync(await download.path(), 'utf8'), 'actset: 31, 2\n');
  await page.evaluate(() => {
    const data = new DataTransfer();
    data.items.add(new File(['actset: 38, 5\n'], 'dropped.txt', { type: 'text/plain' }));
    document.getElementById('editor').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
  });
  await waitUntil(page, 'the dropped file', editorIs, ['actset: 38, 5\n']);
  await page.reload();
  await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  assert.equal(await page.isChecked('#auto-run'), true, 'Auto-run remembered');
  assert.equal(await page.locator('#intro').isVisible(), false, 'said on the first visit only');

  // The reference's first script opens in the playground.
  await page.goto(`${session.origin}/reference.html`);
  const script = await page.locator('pre:has(+ p.open) code').first().textContent();
  await page.locator('p.open a').first().click();
  await waitUntil(page, 'the page ready', () => document.body.dataset.ready === 'true');
  assert.equal(await page.evaluate(editorText), script);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('named scripts: New, Duplicate, Rename, Delete with Undo, named in the page; two tabs on two scripts keep both; a tab on the same script says so', async () => {
  const context = await session.browser.newContext({ viewport: { width: 1100, height: 700 }, serviceWorkers: 'block' });
  const names = (page) => page.evaluate(() => [...document.querySelectorAll('#script-list option')].map((o) => o.textContent));
  const chosen = (page) => page.evaluate(() => document.querySelector('#script-list').selectedOptions[0].textContent);
  // The name field in the bar, answered from the keyboard: Enter keeps the name typed, Escape drops it.
  const answer = async (page, button, text) => {
    await page.locator(button).click();
    await page.locator('#scripts-bar .naming input').fill(text ?? '');
    await page.keyboard.press(text === undefined ? 'Escape' : 'Enter');
    await page.locator('#scripts-bar .naming').waitFor({ state: 'detached' });
  };
  const savedIs = ([text]) =>
    JSON.parse(localStorage.getItem(`lumenweave.script.${sessionStorage.getItem('lumenweave.open')}`))?.editor.doc === text;
  const first = await openPage(context, session.origin);
  assert.deepEqual([await names(first), await chosen(first)], [['built-in script'], 'built-in script']);
  await answer(first, '#script-new', 'alpha');
  await waitUntil(first, 'alpha open', editorIs, ['# alpha\n']);
  await typeScript(first, 'actset: 18, 1');
  await waitUntil(first, 'alpha saved', savedIs, ['actset: 18, 1']);

  // A second tab opens the script chosen last: both tabs say they share it.
  const second = await openPage(context, session.origin);
  assert.equal(await chosen(second), 'alpha');
  for (const tab of [first, second]) {
    await waitUntil(tab, 'the shared script said', () => /Another tab has this script open too/.test(document.getElementById('status').textContent));
  }
  // On two scripts, each tab's typing stays its own.
  await second.selectOption('#script-list', { label: 'built-in script' });
  await waitUntil(second, 'the built-in script open', () => /Lumenweave animation script/.test(document.querySelector('#editor').shadowRoot.querySelectorAll('.cm-line')[1]?.textContent));
  await typeScript(second, 'actset: 31, 2');
  await typeScript(first, 'actset: 18, 3');
  await waitUntil(second, 'the second saved', savedIs, ['actset: 31, 2']);
  await waitUntil(first, 'the first saved', savedIs, ['actset: 18, 3']);
  for (const [tab, text] of [[first, 'actset: 18, 3'], [second, 'actset: 31, 2']]) {
    await tab.reload();
    await waitUntil(tab, 'the page ready', () => document.body.dataset.ready === 'true');
    assert.equal(await tab.evaluate(editorText), text);
  }

  // Duplicate, Rename (and a rename dropped), Delete and its Undo.
  await answer(first, '#script-duplicate', 'alpha copy');
  await waitUntil(first, 'the copy open', () => document.querySelector('#script-list').selectedOptions[0].textContent === 'alpha copy');
  assert.equal(await first.evaluate(editorText), 'actset: 18, 3');
  await answer(first, '#script-rename', 'beta');
  await waitUntil(first, 'renamed', () => document.querySelector('#script-list').selectedOptions[0].textContent === 'beta');
  await answer(first, '#script-rename', undefined);
  assert.deepEqual(await names(first), ['built-in script', 'alpha', 'beta']);
  assert.equal(await first.evaluate(() => document.activeElement.id), 'script-rename', 'the focus back on Rename');
  await first.locator('#script-delete').click();
  await waitUntil(first, 'beta deleted', () => ![...document.querySelectorAll('#script-list option')].some((o) => o.textContent === 'beta'));
  assert.equal(await chosen(first), 'built-in script');
  await first.keyboard.press('Enter'); // on Undo, which has the focus
  await waitUntil(first, 'beta back and open', () => document.querySelector('#script-list').selectedOptions[0].textContent === 'beta');
  assert.deepEqual([await names(first), await first.evaluate(editorText)], [['built-in script', 'alpha', 'beta'], 'actset: 18, 3']);
  assert.deepEqual([...first.errors, ...second.errors], []);
  await context.close();
});

test('help opens on ? and F1 and closes on Escape or a click', async () => {
  const page = await openPage(session.browser, session.origin);
  const open = () => page.evaluate(() => document.getElementById('help').open);
  await page.locator('h1').click();
  await page.keyboard.press('?');
  await waitUntil(page, 'help open', () => document.getElementById('help').open);
  assert.deepEqual(
    await page.locator('#help a').evaluateAll((links) => links.map((a) => a.getAttribute('href'))),
    ['reference.html', 'gallery.html'],
  );
  await page.keyboard.press('Escape');
  await waitUntil(page, 'help closed', () => !document.getElementById('help').open);
  // In the editor ? is a letter and F1 still opens help.
  await page.locator('.cm-content').click();
  const before = await page.evaluate(editorText);
  await page.keyboard.press('?');
  await waitUntil(page, 'the ? in the editor', editorIs, [before, false]);
  assert.equal(await open(), false);
  await page.keyboard.press('F1');
  await waitUntil(page, 'help open', () => document.getElementById('help').open);
  await page.mouse.click(5, 5);
  await waitUntil(page, 'help closed', () => !document.getElementById('help').open);
  await page.close();
});

test('Run: Ctrl-Enter runs once; a script with problems leaves the last good one running, one with warnings runs; a bad seed is said', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=6');
  const run = () => page.evaluate(() => Number(document.body.dataset.run));
  const status = () => page.textContent('#status');
  const first = await run();
  await page.locator('.cm-content').click();
  const text = await page.evaluate(editorText);
  await page.keyboard.press('Control+Enter');
  await waitUntil(page, 'a new run', (r) => Number(document.body.dataset.run) > r, first);
  assert.equal(await run(), first + 1, 'one run');
  assert.equal(await page.evaluate(editorText), text, 'no line added');

  await typeScript(page, 'seqdo: 1\nactset: 18, 1\nactset: 31, 1e999\nbogus\n');
  await page.fill('#seed', '12x');
  assert.equal(await page.getAttribute('#seed', 'aria-invalid'), 'true');
  await page.locator('#run').click();
  await waitUntil(page, 'the problems said', () => /problems?: still running the last good script/.test(document.getElementById('status').textContent));
  assert.match(await status(), /"12x" is not a whole number .* kept 6/);
  assert.equal(await page.inputValue('#seed'), '6');
  assert.equal(await run(), first + 1, 'no new run');
  const frame = await page.evaluate(() => Number(document.body.dataset.frame));
  await waitUntil(page, 'the figure still moving', (f) => Number(document.body.dataset.frame) > f + 2, frame);
  assert.ok((await litPixels(page))[2].some((v) => v), 'the figure is drawn');

  // A warning alone does not stop Run: the line runs with what was read. It is listed and
  // marked as a warning.
  await typeScript(page, 'actset: 38, 2O\n');
  await page.locator('.lw-problem-warning').waitFor();
  assert.equal(await page.textContent('#problems li'), "1: warning: 'actset:' read 2; 'O' after it is ignored");
  await page.locator('#run').click();
  await waitUntil(page, 'the warned script running', (r) => Number(document.body.dataset.run) > r, first + 1);
  assert.doesNotMatch(await status(), /problem/);
  await page.close();

  // A first load with problems runs the built-in script and says so.
  const linked = await openPage(session.browser, session.origin, `/#s=${Buffer.from('bogus\n').toString('base64url')}`);
  assert.match(await linked.textContent('#status'), /1 problem: running the built-in script/);
  await waitUntil(linked, 'frame 3', () => Number(document.body.dataset.frame) >= 3);
  assert.deepEqual([...page.errors, ...linked.errors], []);
  await linked.close();
});

test('on battery the page draws 30 frames a second and every frame again on mains, at the same speed', async () => {
  const context = await session.browser.newContext({ viewport: { width: 1100, height: 700 }, serviceWorkers: 'block' });
  await context.addInitScript(steadyFrames);
  await context.addInitScript(() => {
    // A battery the test plugs in and out.
    const battery = new EventTarget();
    battery.charging = true;
    window.testBattery = battery;
    Object.defineProperty(navigator, 'getBattery', { value: () => Promise.resolve(battery) });
  });
  const page = await openPage(context, session.origin, '/?seed=1');
  // The frames drawn while the animation takes 60 steps.
  const drawnIn60Steps = async () => {
    const start = await page.evaluate(() => ({ ...window.lumenweaveStats }));
    await waitUntil(page, '60 steps more', (f) => window.lumenweaveStats.frames >= f + 60, start.frames);
    const end = await page.evaluate(() => ({ ...window.lumenweaveStats }));
    return ((end.drawn - start.drawn) * 60) / (end.frames - start.frames);
  };
  const plug = (charging) =>
    page.evaluate((on) => {
      window.testBattery.charging = on;
      window.testBattery.dispatchEvent(new Event('chargingchange'));
    }, charging);

  // A run started afresh counts again from 0: the measures are taken within the first.
  await waitUntil(page, 'the first run', () => document.body.dataset.run === '1');
  await waitUntil(page, 'drawing every frame', () => document.body.dataset.drawRate === 'display');
  assert.ok(Math.abs((await drawnIn60Steps()) - 60) <= 1, 'on mains: a frame drawn per step');
  await plug(false);
  await waitUntil(page, 'the battery rate', () => document.body.dataset.drawRate === '30');
  assert.equal(await page.textContent('#status'), 'On battery: drawing 30 frames a second');
  assert.ok(Math.abs((await drawnIn60Steps()) - 30) <= 1, 'on battery: a frame drawn per two steps');
  await plug(true);
  await waitUntil(page, 'every frame again', () => document.body.dataset.drawRate === 'display');
  assert.ok(Math.abs((await drawnIn60Steps()) - 60) <= 1, 'on mains again: a frame drawn per step');
  assert.deepEqual(page.errors, []);
  await context.close();
});

test('the wallpaper fills the window at its pixel ratio, draws at the host frame-rate limit and nothing while paused', async () => {
  const page = await session.browser.newPage({ viewport: { width: 480, height: 270 }, deviceScaleFactor: 2, serviceWorkers: 'block' });
  page.setDefaultTimeout(120000);
  // Every animation frame asked for, counted before the page's own script runs; and a steady 60 Hz
  // display however busy the machine (each frame 1000/60 ms of its clock after the last), so that
  // the frames drawn are counted against the page's steps alone.
  await page.addInitScript(() => {
    window.framesAsked = 0;
    const ask = window.requestAnimationFrame.bind(window);
    let realTime = null;
    let time = 0;
    window.passTime = (ms) => (time += ms);
    window.requestAnimationFrame = (callback) => {
      ++window.framesAsked;
      return ask((now) => {
        if (now !== realTime) {
          realTime = now;
          time += 1000 / 60;
        }
        callback(time);
      });
    };
  });
  await page.goto(`${session.origin}/wallpaper.html?seed=3`);
  const counts = () => page.evaluate(() => [Number(document.body.dataset.frame), Number(document.body.dataset.drawn)]);
  await waitUntil(page, 'frames drawn', () => Number(document.body.dataset.drawn) >= 3);
  assert.deepEqual(await page.evaluate(() => [document.getElementById('figure').width, document.getElementById('figure').height]), [960, 540]);

  // The hosts' settings: Lively's dropdown gives an index, Wallpaper Engine's combo a name; an
  // index past the list and a seed out of range are not taken.
  const shown = () => page.evaluate(() => [document.body.dataset.example, document.body.dataset.seed]);
  assert.deepEqual(await shown(), ['', '3']);
  await page.evaluate(() => window.livelyPropertyListener('example', 1));
  await page.evaluate(() => window.livelyPropertyListener('seed', '7'));
  assert.deepEqual(await shown(), ['colour-cycle', '7']);
  await page.evaluate(() => window.livelyPropertyListener('example', 5));
  await page.evaluate(() => window.wallpaperPropertyListener.applyUserProperties({ seed: { value: '4294967296' } }));
  assert.deepEqual(await shown(), ['colour-cycle', '7']);
  await page.evaluate(() => window.wallpaperPropertyListener.applyUserProperties({ example: { value: 'conductor' } }));
  assert.deepEqual(await shown(), ['conductor', '7']);

  // 10 frames a second at most while the animation keeps 60 steps a second: one draw in six steps,
  // give or take one, counted over the steps taken (120 or a few more, as the wait ends).
  await page.evaluate(() => window.wallpaperPropertyListener.applyGeneralProperties({ fps: 10 }));
  const [steps, drawn] = await counts();
  await waitUntil(page, '120 steps more', (s) => Number(document.body.dataset.frame) >= s + 120, steps);
  const [stepsAfter, drawnAfter] = await counts();
  const draws = drawnAfter - drawn;
  assert.ok(Math.abs(draws - (stepsAfter - steps) / 6) <= 1, `${draws} frames drawn in ${stepsAfter - steps} steps`);

  // Paused: no animation frame asked for, nothing stepped, while another page draws.
  await page.evaluate(() => window.wallpaperPropertyListener.setPaused(true));
  await waitUntil(page, 'paused', () => document.body.dataset.paused === 'true');
  const still = await page.evaluate(() => [Number(document.body.dataset.frame), window.framesAsked]);
  const other = await openPage(session.browser, session.origin, '/embed.html?seed=1', { width: 320, height: 240 }, false);
  await waitUntil(other, 'the other page drawing', () => Number(document.body.dataset.frame) >= 30);
  await other.close();
  assert.deepEqual(await page.evaluate(() => [Number(document.body.dataset.frame), window.framesAsked]), still);

  // Resumed where it stood: the first frame back takes one step, not the paused time (three
  // seconds of the display's clock).
  await page.evaluate(() => {
    window.passTime(3000);
    window.framesSeen = [];
    new MutationObserver(() => window.framesSeen.push(Number(document.body.dataset.frame))).observe(document.body, {
      attributeFilter: ['data-frame'],
    });
    window.wallpaperPropertyListener.setPaused(false);
  });
  await waitUntil(page, 'two frames back', () => window.framesSeen.length >= 2);
  assert.equal(await page.evaluate(() => window.framesSeen[0]), still[0] + 1);
  await page.close();
});

test('the embeddable figure draws its link in a frame of another site, which the playground refuses', async () => {
  const example = join(sourceDir, 'examples', 'breathing.txt');
  const script = readFileSync(example, 'utf8');
  const link = `/embed.html?seed=2&frame=120&size=160x120${linkOf(script)}`;
  const png = join(work, 'embed.png');
  execFileSync(process.env.LUMENWEAVE_RENDER, ['--script', example, '--seed', '2', '--frames', '120', '--size', '160x120', '--out', png]);
  // Another site: a server of its own (another port, so another origin) with a page that frames both.
  const hostDir = join(work, 'host');
  mkdirSync(hostDir);
  writeFileSync(
    join(hostDir, 'index.html'),
    `<iframe src="${session.origin}${link}"></iframe><iframe src="${session.origin}/?seed=2"></iframe>
     <script>for (const f of document.querySelectorAll('iframe')) f.onload = () => (f.dataset.loaded = 'true');</script>`,
  );
  const { server, origin } = await startServer(hostDir);
  after(() => server.kill());
  const host = await session.browser.newPage({ serviceWorkers: 'block' });
  host.setDefaultTimeout(120000);
  await host.goto(`${origin}/`);
  await host.waitForFunction(() => [...document.querySelectorAll('iframe')].every((f) => f.dataset.loaded === 'true'));
  const [, embed, playground] = host.frames();
  await embed.waitForFunction(frameIs, 120);
  const { lit, share } = shareInCommon(await litPixels(embed), await litPixels(embed, readFileSync(png)));
  assert.ok(lit > 500 && share >= 0.9, `the link's frame: ${lit} lit, ${share} in common`);
  assert.equal(await embed.getAttribute('#open', 'href'), `./?seed=2&frame=120&size=160x120${linkOf(script)}`);
  assert.equal(playground.url(), 'chrome-error://chromewebdata/');
  await host.close();
});

test('offline, a reload opens the playground, the gallery and the reference from the first visit', async () => {
  const context = await session.browser.newContext();
  const page = await context.newPage();
  page.setDefaultTimeout(120000);
  await page.goto(`${session.origin}/?seed=4`);
  await waitUntil(page, 'the site kept', () => navigator.serviceWorker.controller !== null);
  await context.setOffline(true);
  await page.reload();
  await waitUntil(page, 'the figure drawn offline', () => Number(document.body.dataset.frame) >= 3);
  for (const [path, picture] of [['/gallery.html', 'gallery/breathing.png'], ['/reference.html', 'actuators/zoom.png']]) {
    await page.goto(session.origin + path);
    await waitUntil(page, `${picture} shown`, (src) => document.querySelector(`img[src="${src}"]`)?.naturalWidth > 0, picture);
  }
  await context.close();
});
