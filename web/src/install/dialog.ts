// The Install dialog: the editor's script as a Windows screensaver, on Linux, as a live wallpaper
// and framed on another site, each with the few steps that follow. A script with problems is
// offered nowhere. Loaded at the first use (open.ts); body[data-install] tells how the
// last download went.
import { createFrameSource, type FrameSource } from '../export/frames';
import { download } from '../shared/download';
import { encodeLink } from '../shared/share';
import { placeScript, saverFileName, saverProgramUrl } from '../windows-saver';
import { embedSnippet, fileStem, linuxLines, scriptName } from './lines';
import type { InstallContext } from './open';

// The wallpaper's picture: the gallery's still (frame 300 of seed 1, 320 x 240).
const preview = { seed: 1, frame: 300, size: { width: 320, height: 240 } };

const markup = `
<button id="install-close" type="button">Close</button>
<h2 id="install-title">Install</h2>
<p id="install-problems" role="status" hidden></p>
<div id="install-places">
  <p>The script in the editor, to run where you choose. <label>Name
    <input id="install-scr-name" type="text" size="28" autocomplete="off" spellcheck="false"></label></p>
  <section>
    <h3>Windows screensaver</h3>
    <p><button id="install-scr" type="button">Download <span class="scr-file"></span></button>
      <span id="install-scr-message" class="install-message" role="status"></span></p>
    <ol>
      <li>Right-click <span class="scr-file"></span> in your downloads and choose <b>Install</b> (or copy it into
        <code>C:\\Windows\\System32</code>).</li>
      <li>Screen Saver Settings (Settings, Personalisation, Lock screen, Screen saver) then list it as
        <b class="scr-name"></b> (a name of eight letters or fewer may be listed as Lumenweave): choose it
        there, and set the wait.</li>
    </ol>
  </section>
  <section>
    <h3>Linux</h3>
    <p>With <code>lumenweave</code> installed (the <code>.deb</code> or <code>.rpm</code> of the release), the link
      carries the script; copy a line:</p>
    <dl>
      <dt>In a window</dt><dd><code id="install-linux-window"></code></dd>
      <dt>The X11 screen-saver daemon</dt><dd>In the <code>programs:</code> list of <code>~/.xscreensaver</code>, then
        pick it in <code>xscreensaver-settings</code>: <code id="install-linux-daemon"></code></dd>
      <dt>Every monitor, now</dt><dd><code id="install-linux-saver"></code></dd>
      <dt>Sway, after five idle minutes</dt><dd>In <code>~/.config/sway/config</code>:
        <code id="install-linux-swayidle"></code></dd>
      <dt>As a file</dt><dd><button id="install-txt" type="button">Save script as .txt</button>, then:
        <code id="install-linux-file"></code></dd>
    </dl>
    <p>Several scripts take turns, each afresh: <code>--link</code> and <code>--script</code> repeated, or a
      folder of scripts, with <code>--every 10m</code> (and <code>--shuffle</code> for a random order):
      <code>lumenweave --saver --script ~/scripts/ --every 10m --shuffle</code></p>
  </section>
  <section>
    <h3>Live wallpaper (Lively, Wallpaper Engine)</h3>
    <p><button id="install-wallpaper" type="button">Download <span class="wallpaper-file"></span></button>
      <span id="install-wallpaper-message" class="install-message" role="status"></span></p>
    <ol>
      <li>Lively: <b>+</b> (Add Wallpaper), choose the zip. <b>Customise</b> offers the examples too, and the next
        script every few minutes.</li>
      <li>Wallpaper Engine: unpack the zip, then <b>Wallpaper Editor</b>, <b>Create Wallpaper</b>, and choose
        <code>wallpaper.html</code> in that folder.</li>
      <li>Any browser: open <code>wallpaper.html</code> of the unpacked folder.</li>
    </ol>
  </section>
  <section>
    <h3>On your web page</h3>
    <p>The figure alone in a frame, with a link that opens the script here:</p>
    <p><code id="install-embed"></code></p>
  </section>
</div>`;

// Each code line gets a copy button beside it.
function addCopyButtons(dialog: HTMLElement): void {
  for (const code of dialog.querySelectorAll<HTMLElement>('code[id]')) {
    const line = document.createElement('span');
    line.className = 'copy-line';
    code.replaceWith(line);
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'copy';
    button.textContent = 'Copy';
    button.setAttribute('aria-label', `Copy: ${code.id.replace('install-', '').replace('-', ' ')}`);
    button.addEventListener('click', () => {
      navigator.clipboard.writeText(code.textContent ?? '').then(
        () => (button.textContent = 'Copied'),
        () => (button.textContent = 'Select and copy it'),
      );
      setTimeout(() => (button.textContent = 'Copy'), 3000);
    });
    line.append(code, button);
  }
}

const problemCount = (n: number): string => (n === 1 ? '1 problem' : `${n} problems`);

// Opens the dialog for the editor's script as it stands: show() at each use.
export function createInstallDialog(context: InstallContext): () => void {
  const dialog = document.createElement('dialog');
  dialog.id = 'install-dialog';
  dialog.setAttribute('aria-labelledby', 'install-title');
  dialog.innerHTML = markup;
  addCopyButtons(dialog);
  document.body.append(dialog);
  const find = <T extends HTMLElement>(id: string): T => dialog.querySelector(`#${id}`) as T;
  const name = find<HTMLInputElement>('install-scr-name');
  const scrMessage = find('install-scr-message');
  const wallpaperMessage = find('install-wallpaper-message');
  const site = new URL('./', document.baseURI);

  let text = '';
  let previewFrames: Promise<FrameSource> | null = null; // an engine and a context of its own
  const chosenName = (): string => name.value.trim() || scriptName(text);
  const stem = (): string => fileStem(chosenName()).toLowerCase().replace(/ /g, '-');
  const txtFile = (): string => `${stem()}.txt`;
  const wallpaperFile = (): string => `${stem()}-wallpaper.zip`;

  const showNames = (): void => {
    for (const [selector, value] of [
      ['.scr-file', saverFileName(chosenName())],
      // Windows lists a saver by its file name without ".scr".
      ['.scr-name', saverFileName(chosenName()).replace(/\.scr$/, '')],
      ['.wallpaper-file', wallpaperFile()],
    ]) {
      dialog.querySelectorAll(selector).forEach((e) => (e.textContent = value));
    }
  };
  const showLines = async (): Promise<void> => {
    const fragment = await encodeLink(text);
    const lines = linuxLines(`${location.origin}${location.pathname}${fragment}`, `~/Downloads/${txtFile()}`);
    for (const [which, line] of Object.entries(lines)) {
      find(`install-linux-${which}`).textContent = line;
    }
    const embed = new URL('embed.html', site);
    embed.search = `?seed=${context.seed()}`;
    find('install-embed').textContent = embedSnippet(`${embed.href}${fragment}`);
  };
  const said = (line: HTMLElement, state: string, message: string): void => {
    document.body.dataset.install = state;
    line.textContent = message;
  };

  // Guards a download: one at a time per entry, its failure said on its line.
  const work = (button: HTMLButtonElement, line: HTMLElement, job: () => Promise<void>): void => {
    button.addEventListener('click', async () => {
      button.disabled = true;
      try {
        await job();
      } catch (error) {
        console.error(error);
        said(line, 'failed', `It failed: ${error instanceof Error ? error.message : String(error)}.`);
      } finally {
        button.disabled = false;
      }
    });
  };

  // The program is fetched only now, at each use (the browser's cache keeps it).
  work(find('install-scr'), scrMessage, async () => {
    said(scrMessage, 'working', `Fetching ${saverProgramUrl}…`);
    const response = await fetch(new URL(saverProgramUrl, site));
    if (!response.ok) {
      throw new Error(`${saverProgramUrl} could not be fetched (${response.status})`);
    }
    const placed = placeScript(new Uint8Array(await response.arrayBuffer()), text);
    if (placed.kind === 'too-long') {
      const bytes = new TextEncoder().encode(text).length;
      said(
        scrMessage,
        'too-long',
        `The script is ${bytes} bytes; the Windows program holds at most ${placed.limit}. Nothing was downloaded.`,
      );
    } else if (placed.kind === 'no-space') {
      said(scrMessage, 'failed', `This ${saverProgramUrl} has no space for a script. Nothing was downloaded.`);
    } else {
      const file = saverFileName(chosenName());
      download(new Blob([placed.bytes as Uint8Array<ArrayBuffer>]), file);
      said(scrMessage, 'done', `Saved ${file} (${Math.ceil(placed.bytes.length / 1024)} kB).`);
    }
  });
  find<HTMLButtonElement>('install-txt').addEventListener('click', () => {
    download(new Blob([text], { type: 'text/plain' }), txtFile());
  });
  work(find('install-wallpaper'), wallpaperMessage, async () => {
    said(wallpaperMessage, 'working', 'Making the zip…');
    // One that failed to load is tried again at the next click.
    previewFrames ??= context
      .loadEngine()
      .then(createFrameSource)
      .catch((error: unknown) => {
        previewFrames = null;
        throw error;
      });
    const frames = await previewFrames;
    await frames.goTo(
      preview.seed,
      text,
      preview.frame,
      preview.size,
      () => false,
      () => {},
    );
    const picture = new Uint8Array(await (await frames.canvas.convertToBlob({ type: 'image/png' })).arrayBuffer());
    const { makeWallpaperZip } = await import('./wallpaper-zip');
    const zip = await makeWallpaperZip({ name: chosenName(), text }, picture, site);
    const file = wallpaperFile();
    download(new Blob([zip as Uint8Array<ArrayBuffer>], { type: 'application/zip' }), file);
    said(wallpaperMessage, 'done', `Saved ${file} (${Math.ceil(zip.length / 1024)} kB).`);
  });
  name.addEventListener('input', () => {
    showNames();
    void showLines();
  });
  find('install-close').addEventListener('click', () => dialog.close());

  return () => {
    text = context.text();
    const problems = context.engine.check(text).filter((p) => p.severity === 'error').length;
    const problemLine = find('install-problems');
    problemLine.hidden = problems === 0;
    problemLine.textContent = `The script has ${problemCount(problems)} (listed under Problems): mend them, and it can be installed.`;
    find('install-places').hidden = problems > 0;
    dialog.dataset.ready = 'false';
    if (problems === 0) {
      name.value = scriptName(text);
      scrMessage.textContent = '';
      wallpaperMessage.textContent = '';
      showNames();
      void showLines().then(() => (dialog.dataset.ready = 'true'));
    }
    dialog.showModal();
  };
}
