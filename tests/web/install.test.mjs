// The Install dialog in Debian's Chromium: nothing offered for a script with problems; the Linux
// lines' link and the embedded figure carry the script; the Windows program placed with it (as
// web/tools/place-script.mjs places it, whose copy the Wine tests run), a script too long refused; the
// wallpaper zip made in the page, opened from its files, draws it; nothing of this loads before it
// is asked for. Rotation: the wallpaper and the page's saver go through their lists in turn, or
// shuffled with none again before all have run.
//   LUMENWEAVE_RENDER=... node --test install.test.mjs
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { inflateRawSync } from 'node:zlib';
import { test } from 'node:test';
import { openPage, siteDir, sourceDir, waitUntil } from '../../web/tools/browser.mjs';
import { windowsSaver } from '../../web/tools/place-script.mjs';
import { litPixels, shareInCommon } from './pictures.mjs';
import { suiteSession, typeScript } from './session.mjs';

const session = suiteSession('install');
const { work } = session;

// A script unlike the built-in one: a green spiral that turns.
const tide = '# Slow tide: a leaning column\nactset: 52, 60\nactset: 31, 0.05\nactset: 94, 1.5\nactset: 123, 0.3\nactset: 130, 0.5\nactset: 18, 1\nactset: 80, 4\n';
const examples = readdirSync(join(sourceDir, 'examples'))
  .filter((n) => n.endsWith('.txt'))
  .map((n) => n.slice(0, -4))
  .sort();

async function openInstall(page, through = '#install') {
  await page.locator(through).click();
  await waitUntil(page, 'the Install dialog open', () => document.getElementById('install-dialog')?.open === true);
}

// The script of a #z= fragment, read as the page writes it: LEB128 length, CRC-32, deflate-raw.
function scriptOfLink(address) {
  const bytes = Buffer.from(/#z=([A-Za-z0-9_-]+)/.exec(address)[1], 'base64url');
  let at = 0;
  while (bytes[at] & 128) ++at;
  return inflateRawSync(bytes.subarray(at + 5)).toString('utf8');
}

// The picture lumenweave-render draws of text.
function rendered(text, seed, frames, size) {
  const script = join(work, `script-${seed}-${frames}.txt`);
  const png = join(work, `render-${seed}-${frames}-${size}.png`);
  writeFileSync(script, text);
  execFileSync(process.env.LUMENWEAVE_RENDER, ['--script', script, '--seed', String(seed), '--frames', String(frames), '--size', size, '--out', png]);
  return readFileSync(png);
}

const loaded = (page) => page.evaluate(() => performance.getEntriesByType('resource').map((e) => new URL(e.name).pathname));

test('the dialog offers nothing for a script with problems; for a clean one the Linux lines and the embedded figure carry it', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=6&every=0s');
  assert.deepEqual((await loaded(page)).filter((p) => /install|wallpaper|\.scr$/.test(p)), [], 'a first visit loads none of it');
  assert.match(await page.locator('#status').textContent(), /The address's every "0s" is not a time from 1 s to 24 h/);
  assert.equal(await page.inputValue('#rotate'), '');

  await typeScript(page, 'actset: 18, 1\nactsett: 31, 1\nactset: 31,\n');
  await openInstall(page);
  assert.match(await page.locator('#install-problems').textContent(), /^The script has 2 problems/);
  assert.equal(await page.locator('#install-places').isHidden(), true);
  await page.keyboard.press('Escape');

  await typeScript(page, tide);
  // The help's entry opens the same dialog, for the script as it stands now.
  await page.keyboard.press('F1');
  await openInstall(page, '#help-install');
  await page.locator('#install-dialog[data-ready="true"]').waitFor();
  assert.equal(await page.locator('#install-problems').isHidden(), true);
  assert.equal(await page.inputValue('#install-scr-name'), 'Slow tide');
  // F on the dialog's buttons is a key like any other there, not saver mode behind the dialog.
  await page.locator('#install-txt').focus();
  await page.keyboard.press('f');
  assert.equal(await page.evaluate(() => document.body.classList.contains('saver')), false);
  const line = (which) => page.locator(`#install-linux-${which}`).textContent();
  const window = await line('window');
  assert.match(window, /^lumenweave --link 'http:\/\/127\.0\.0\.1:\d+\/#z=[A-Za-z0-9_-]+'$/);
  assert.equal(scriptOfLink(window), tide);
  const quoted = window.slice('lumenweave '.length);
  assert.equal(await line('daemon'), `GL: lumenweave --root ${quoted}`);
  assert.equal(await line('saver'), `lumenweave --saver ${quoted}`);
  assert.equal(await line('swayidle'), `exec swayidle -w timeout 300 "lumenweave --saver ${quoted} &"`);
  assert.equal(await line('file'), 'lumenweave --script ~/Downloads/slow-tide.txt');
  const [saved] = await Promise.all([page.waitForEvent('download'), page.locator('#install-txt').click()]);
  assert.equal(saved.suggestedFilename(), 'slow-tide.txt');
  assert.equal(readFileSync(await saved.path(), 'utf8'), tide);
  assert.deepEqual((await loaded(page)).filter((p) => /wallpaper-zip|\.scr$/.test(p)), [], 'the dialog loads neither zip library nor program');

  // The snippet's figure, held at frame 120 at a fixed size, is what lumenweave-render draws of the script.
  const snippet = await page.locator('#install-embed').textContent();
  const src = /^<iframe src="([^"]+)" width="480" height="360" title="Lumenweave"><\/iframe>$/.exec(snippet)[1];
  assert.match(src, /\/embed\.html\?seed=6#z=/);
  const embed = await openPage(session.browser, '', src.replace('#', '&frame=120&size=160x120#'), { width: 320, height: 240 }, false);
  await waitUntil(embed, 'frame 120', () => document.body.dataset.frame === '120');
  const { lit, share } = shareInCommon(await litPixels(embed), await litPixels(embed, rendered(tide, 6, 120, '160x120')));
  assert.ok(lit > 500 && share >= 0.9, `the snippet's frame: ${lit} lit, ${share} in common`);
  assert.deepEqual([...page.errors, ...embed.errors], []);
  await Promise.all([page.close(), embed.close()]);
});

test('the Windows saver: the program placed with the script, differing only inside its space; a script too long is refused with the limit', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=1');
  assert.ok(!(await loaded(page)).some((p) => p.endsWith('.scr')));
  await typeScript(page, tide);
  await openInstall(page);
  await page.locator('#install-dialog[data-ready="true"]').waitFor();
  await page.fill('#install-scr-name', 'Tide: at night');
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#install-scr').click()]);
  assert.equal(download.suggestedFilename(), 'Tide-at-night.scr');
  const placed = readFileSync(await download.path());
  const release = readFileSync(join(siteDir, 'Lumenweave.scr'));
  assert.deepEqual(placed, Buffer.from((await windowsSaver()).placeScript(release, tide).bytes));
  // Where the bytes differ: the length, checksum and text fields after the space's marker.
  const fields = release.indexOf('LumenweaveSpace1') + 16;
  const differing = [...placed.keys()].filter((i) => placed[i] !== release[i]);
  assert.equal(placed.length, release.length);
  assert.ok(differing[0] >= fields + 4 && differing.at(-1) < fields + 12 + release.readUInt32LE(fields), 'only the space changed');
  assert.equal(placed.subarray(fields + 12, fields + 12 + tide.length).toString(), tide);

  // 65 600 bytes of remarks: no problem, but more than the space holds.
  const long = `${'# a remark line of a hundred bytes '.padEnd(99, '.')}\n`.repeat(656);
  await page.keyboard.press('Escape');
  // Too long for the editor to draw every line: the text is in it once the keys are taken.
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+A');
  await page.keyboard.insertText(long);
  await openInstall(page);
  let downloads = 0;
  page.on('download', () => ++downloads);
  await page.locator('#install-scr').click();
  await waitUntil(page, 'the refusal', () => document.body.dataset.install === 'too-long');
  assert.equal(await page.locator('#install-scr-message').textContent(), 'The script is 65600 bytes; the Windows program holds at most 65536. Nothing was downloaded.');
  assert.equal(downloads, 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the wallpaper zip made in the page, opened from its files, draws the script', async () => {
  const page = await openPage(session.browser, session.origin, '/?seed=1');
  await typeScript(page, tide);
  await openInstall(page);
  await page.locator('#install-dialog[data-ready="true"]').waitFor();
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#install-wallpaper').click()]);
  assert.equal(download.suggestedFilename(), 'slow-tide-wallpaper.zip');
  const folder = join(work, 'wallpaper');
  const zip = join(work, 'wallpaper.zip');
  await download.saveAs(zip);
  await page.close();
  execFileSync('unzip', ['-q', zip, '-d', folder]);
  // The shape of tools/package.sh's zip, the script listed first in both hosts' settings.
  assert.deepEqual(readdirSync(folder).sort(), ['LivelyInfo.json', 'LivelyProperties.json', 'alone.css', 'preview.png', 'project.json', 'wallpaper.html', 'wallpaper.js']);
  const json = (name) => JSON.parse(readFileSync(join(folder, name), 'utf8'));
  assert.deepEqual(json('LivelyProperties.json').example.items, ['Slow tide', 'Breathing', 'Colour cycle', 'Conductor', 'Flip dance', 'Random bursts']);
  const combo = json('project.json').general.properties.example;
  assert.deepEqual([combo.value, combo.options[0].label], [combo.options[0].value, 'Slow tide']);

  // Each display frame one step of a steady 60 Hz clock (the waits poll on animation frames too),
  // which stands still from step 60 on: the picture held there.
  const wallpaper = await session.browser.newPage({ viewport: { width: 320, height: 240 }, serviceWorkers: 'block' });
  wallpaper.setDefaultTimeout(120000);
  await wallpaper.addInitScript(() => {
    const ask = window.requestAnimationFrame.bind(window);
    let realTime = null;
    let time = 0;
    window.requestAnimationFrame = (callback) =>
      ask((now) => {
        if (now !== realTime && document.body.dataset.frame !== '60') {
          realTime = now;
          time += 1000 / 60;
        }
        callback(time);
      });
  });
  const errors = [];
  wallpaper.on('pageerror', (e) => errors.push(String(e)));
  wallpaper.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  await wallpaper.goto(`${pathToFileURL(join(folder, 'wallpaper.html'))}?seed=5`);
  await waitUntil(wallpaper, 'frame 60', () => document.body.dataset.frame === '60');
  assert.equal(await wallpaper.evaluate(() => document.body.dataset.example), '');
  const shown = await litPixels(wallpaper);
  const { lit, share } = shareInCommon(shown, await litPixels(wallpaper, rendered(tide, 5, 60, '320x240')));
  assert.ok(lit > 2000 && share >= 0.9, `the zip's wallpaper at frame 60: ${lit} lit, ${share} in common`);
  // Lively's first item is that script, the next ones the examples.
  await wallpaper.evaluate(() => window.livelyPropertyListener('example', 1));
  assert.equal(await wallpaper.evaluate(() => document.body.dataset.example), 'breathing');
  await wallpaper.evaluate(() => window.livelyPropertyListener('example', 0));
  assert.equal(await wallpaper.evaluate(() => document.body.dataset.example), '');
  assert.deepEqual(errors, []);
  await wallpaper.close();
});

// Records in window.seen each value the body's `attribute` takes, from before the page's own
// scripts run (a script added in the page's start: no switch is missed, however slow the machine).
const recording = (attribute) =>
  `(${(name) => {
    window.seen = [];
    new MutationObserver((records) => {
      for (const r of records) {
        if (r.target === document.body) window.seen.push(document.body.getAttribute(name));
      }
    }).observe(document, { subtree: true, attributeFilter: [name] });
  }})(${JSON.stringify(attribute)})`;

async function seen(page, count) {
  await waitUntil(page, `${count} values seen`, (c) => window.seen.length >= c, count);
  return (await page.evaluate(() => window.seen)).slice(0, count);
}

test('rotation: the wallpaper goes through its list in turn or shuffled, the page\'s saver through the script, the others kept and the examples', async () => {
  const wallpaper = (query) =>
    openPage(session.browser, session.origin, `/wallpaper.html?seed=1&every=1s${query}`, { width: 160, height: 120 }, false, recording('data-example'));
  const inTurn = await wallpaper('');
  assert.deepEqual(await seen(inTurn, examples.length + 2), ['', ...examples, '']);
  await inTurn.close();
  const shuffled = await wallpaper('&shuffle');
  const round = await seen(shuffled, examples.length + 1);
  assert.deepEqual([...round].sort(), ['', ...examples].sort(), `the first round ${round}`);
  await shuffled.close();

  // Another script kept in the browser (as the page keeps its named scripts), the built-in one open.
  const kept = (text) => {
    localStorage.setItem('lumenweave.scripts', JSON.stringify([{ id: 'tide', name: 'tide' }, { id: 'builtin', name: 'built-in script' }]));
    localStorage.setItem('lumenweave.last', 'builtin');
    const editor = { doc: text, selection: { ranges: [{ anchor: 0, head: 0 }], main: 0 } };
    localStorage.setItem('lumenweave.script.tide', JSON.stringify({ version: 1, editor, edited: true }));
  };
  const init = `(${kept})(${JSON.stringify(tide)}); ${recording('data-saver-script')}`;
  const page = await openPage(session.browser, session.origin, '/?seed=2&every=1s', undefined, true, init);
  assert.equal(await page.inputValue('#rotate'), '1s');
  const runs = Number(await page.evaluate(() => document.body.dataset.run));
  await page.keyboard.press('f');
  assert.deepEqual(await seen(page, 3), ['', 'tide', examples[0]]);
  // Each switch a run afresh; leaving starts the script of before afresh once more.
  await page.keyboard.press('Escape');
  await waitUntil(page, 'saver mode left', () => window.seen.at(-1) === null);
  const switches = (await page.evaluate(() => window.seen.length)) - 2;
  assert.equal(Number(await page.evaluate(() => document.body.dataset.run)), runs + switches + 1);
  assert.deepEqual(page.errors, []);
  await page.close();
});
