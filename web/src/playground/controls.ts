// The controls: Run (and Ctrl-Enter) with the seed field, the example menu, Pause (and Space),
// Step (and →), one frame back (←), Auto-run, Share, Full screen (and F), Help (and ? and F1).
import { examples } from 'generated/examples';
import type { Engine, Problem } from '../shared/engine';
import type { Help } from './help';
import type { Loop } from '../shared/loop';
import type { PageElements } from './page';
import type { Saver } from './saver';
import type { Scripts } from './scripts';
import { maxSeed, parseWhole, shareAddress } from '../shared/share';
import type { Running } from '../shared/state';
import { say } from '../shared/status';
import { createTimeline } from './timeline';

export interface Controls {
  // Starts the figure anew on the editor's script and the seed field's seed, checked in the
  // checker's thread. A script with errors does not run: the last good one goes on (the built-in
  // one if none ran yet). Warnings are no bar: their lines run as the native programs run them.
  run(): Promise<void>;
  setPaused(on: boolean): void;
  // The checker's answer for text: with Auto-run on, a clean script not running yet runs.
  checked(problems: Problem[], text: string): void;
}

const autoRunKey = 'lumenweave.autorun'; // localStorage: 'true' while Auto-run is on

function remembered(key: string): string | null {
  try {
    return localStorage.getItem(key);
  } catch {
    return null; // a browser that keeps no storage for the page: not remembered
  }
}

const problemCount = (n: number): string => (n === 1 ? '1 problem' : `${n} problems`);

export function createControls(
  page: PageElements,
  running: Running,
  engine: Engine,
  loop: Loop,
  text: () => string, // the editor's script
  saver: Saver,
  help: Help,
  scripts: Scripts,
  check: (text: string) => Promise<Problem[] | null>,
): Controls {
  const seedIsValid = (): boolean => parseWhole(page.seed.value.trim(), 0, maxSeed) !== null;
  const markSeed = (): void => page.seed.setAttribute('aria-invalid', String(!seedIsValid()));

  // Runs text, whose problems were found, or says why not.
  const start = (text: string, found: Problem[]): void => {
    const said: string[] = [];
    const typed = parseWhole(page.seed.value.trim(), 0, maxSeed);
    if (typed === null) {
      said.push(
        `The seed "${page.seed.value.trim()}" is not a whole number from 0 to ${maxSeed}; kept ${running.seed}.`,
      );
    }
    const problems = found.filter((p) => p.severity === 'error').length;
    if (problems === 0) {
      loop.restart(typed ?? running.seed, text);
    } else if (running.script === null) {
      loop.restart(typed ?? running.seed, engine.builtinScript);
      said.push(`${problemCount(problems)}: running the built-in script until the script is mended.`);
    } else {
      said.push(`${problemCount(problems)}: still running the last good script.`);
    }
    // The field shows the seed in use, whatever was typed.
    page.seed.value = String(running.seed);
    markSeed();
    say(said.join(' '), 'standing');
  };
  // Checked in the checker's thread; a text changed meanwhile is checked again, as it now is.
  const run = async (): Promise<void> => {
    for (;;) {
      const script = text();
      let found: Problem[] | null;
      try {
        found = await check(script);
      } catch {
        found = engine.check(script); // the checker's thread failed: checked here
      }
      if (found !== null) {
        start(script, found);
        return;
      }
    }
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
  // A choice by the mouse loads at once; one by keys loads on Enter or when the menu is left, so
  // that arrows passing over the examples load none of them.
  let keyed = false;
  let pending = false;
  const loadChosen = (): void => {
    keyed = false;
    pending = false;
    const chosen = examples.find(([name]) => name === page.examples.value);
    if (chosen) {
      scripts.load(chosen[1], `Example ${chosen[0]}`);
    } else if (page.examples.value === 'builtin') {
      scripts.load(engine.builtinScript, 'The built-in script');
    }
  };
  page.examples.addEventListener('pointerdown', () => (keyed = false));
  page.examples.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && pending) {
      event.preventDefault();
      loadChosen();
    } else if (event.key !== 'Tab') {
      keyed = true;
    }
  });
  page.examples.addEventListener('change', () => (keyed ? (pending = true) : loadChosen()));
  page.examples.addEventListener('blur', () => (pending ? loadChosen() : (keyed = false)));
  // The menu names the script in the editor (after an undo, a reload, typing), or none; looked at
  // once typing pauses.
  let naming: number | undefined;
  const nameShown = (): void => {
    const shown = text();
    const example = examples.find(([, script]) => script === shown);
    page.examples.value = example ? example[0] : shown === engine.builtinScript ? 'builtin' : '';
  };
  scripts.watch(() => {
    clearTimeout(naming);
    naming = setTimeout(() => !pending && nameShown(), 300);
  });
  nameShown();

  const timeline = createTimeline(page, running, loop, setPaused);
  page.autoRun.checked = remembered(autoRunKey) === 'true';
  page.autoRun.addEventListener('change', () => {
    try {
      localStorage.setItem(autoRunKey, String(page.autoRun.checked));
    } catch {
      // Not remembered; on for this visit all the same.
    }
  });
  const checked = (problems: Problem[], checkedText: string): void => {
    if (page.autoRun.checked && checkedText !== running.script && !problems.some((p) => p.severity === 'error')) {
      void run();
    }
  };

  page.seed.addEventListener('input', markSeed);
  page.run.addEventListener('click', () => void run());
  page.pause.addEventListener('click', () => setPaused(!running.paused));
  page.step.addEventListener('click', () => {
    setPaused(true);
    loop.step();
  });
  page.fullscreen.addEventListener('click', () => saver.enter());
  page.showHelp.addEventListener('click', () => help.toggle());
  // The link carries the script, the seed and, paused, the frame shown.
  page.share.addEventListener('click', async () => {
    const frame = running.paused && running.frame > 0 ? running.frame : null;
    const address = await shareAddress(text(), running.seed, frame);
    history.replaceState(null, '', address);
    scripts.shared(location.hash);
    navigator.clipboard.writeText(address).then(
      () => say(`The address of this script is copied (${address.length} characters).`),
      () => say('The address bar holds the address of this script.'),
    );
  });
  document.addEventListener('keydown', (event) => {
    // Taken already: the editor's own Ctrl-Enter, or a key that left saver mode.
    if (event.defaultPrevented) {
      return;
    }
    const plain = !event.ctrlKey && !event.altKey && !event.metaKey;
    if (event.key === 'F1' && plain) {
      event.preventDefault();
      help.toggle();
      return;
    }
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      void run();
      return;
    }
    // ? and F type letters in the editor and the fields; elsewhere they open help or saver mode.
    const target = event.target as HTMLElement;
    const typing = target.closest('input, select, textarea, #editor') !== null;
    if (typing || !plain) {
      return;
    }
    // Space on a button or a link presses it, as everywhere.
    if (event.key === ' ' && !target.closest('button, a, summary') && !help.isOpen()) {
      event.preventDefault();
      setPaused(!running.paused);
    } else if (event.key === 'ArrowRight' && !help.isOpen()) {
      event.preventDefault();
      setPaused(true);
      loop.step();
    } else if (event.key === 'ArrowLeft' && !help.isOpen()) {
      event.preventDefault();
      if (running.frame > 1) {
        void timeline.goTo(running.frame - 1);
      }
    } else if (event.key === '?') {
      event.preventDefault();
      help.toggle();
    } else if ((event.key === 'f' || event.key === 'F') && !help.isOpen() && target.closest('dialog') === null) {
      // Not from the Export or Install dialog either: saver mode would come up behind it.
      event.preventDefault();
      saver.enter();
    }
  });

  return { run, setPaused, checked };
}
