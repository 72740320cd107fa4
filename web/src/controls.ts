// The controls: Run (and Ctrl-Enter) with the seed field, the example menu, Pause, Step, Share,
// Full screen (and F).
import { examples } from 'generated/examples';
import type { Editor } from './editor';
import type { Loop } from './loop';
import type { PageElements } from './page';
import type { Saver } from './saver';
import type { Scripts } from './scripts';
import { maxSeed, parseWhole, shareAddress } from './share';
import type { Running } from './state';
import { say } from './status';

export interface Controls {
  // Starts the figure anew on the editor's script and the seed field's seed.
  run(): void;
  setPaused(on: boolean): void;
}

export function createControls(
  page: PageElements,
  running: Running,
  loop: Loop,
  editor: Editor,
  saver: Saver,
  scripts: Scripts,
): Controls {
  const run = (): void => {
    const typed = parseWhole(page.seed.value.trim(), 0, maxSeed);
    page.seed.setAttribute('aria-invalid', String(typed === null));
    loop.restart(typed ?? running.seed, editor.text());
  };
  const setPaused = (on: boolean): void => {
    loop.setPaused(on);
    page.pause.textContent = on ? 'Resume' : 'Pause';
    page.pause.setAttribute('aria-pressed', String(on));
  };

  for (const [name] of examples) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    page.examples.append(option);
  }
  page.examples.addEventListener('change', () => {
    const chosen = examples.find(([name]) => name === page.examples.value);
    if (chosen) {
      scripts.load(chosen[1], `Example ${chosen[0]}`);
      run();
    }
  });

  page.run.addEventListener('click', run);
  page.pause.addEventListener('click', () => setPaused(!running.paused));
  page.step.addEventListener('click', () => {
    setPaused(true);
    loop.step();
  });
  page.fullscreen.addEventListener('click', () => saver.enter());
  // The link carries the script, the seed and, paused, the frame shown.
  page.share.addEventListener('click', async () => {
    const frame = running.paused && running.frame > 0 ? running.frame : null;
    const address = await shareAddress(editor.text(), running.seed, frame);
    history.replaceState(null, '', address);
    scripts.shared(location.hash);
    navigator.clipboard.writeText(address).then(
      () => say(`The address of this script is copied (${address.length} characters).`),
      () => say('The address bar holds the address of this script.'),
    );
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      run();
      return;
    }
    // F types an f in the editor and the fields; elsewhere it shows the figure full screen.
    const target = event.target as HTMLElement;
    const typing = target.closest('input, select, textarea, #editor') !== null;
    if ((event.key === 'f' || event.key === 'F') && !typing && !event.ctrlKey && !event.altKey &&
        !event.metaKey && !saver.active()) {
      event.preventDefault();
      saver.enter();
    }
  });

  return { run, setPaused };
}
