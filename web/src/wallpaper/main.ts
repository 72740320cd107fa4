// The wallpaper page's start-up: the figure alone, filling the window at the display's pixel
// ratio; the script and seed from the link (the playground's share links), the script the page
// carries (a zip made by the playground) or the wallpaper host's settings, going on to the next
// script of the list at the interval asked (?every=, or the host's); drawn at the host's
// frame-rate limit, and not at all while it is paused.
import { examples } from 'generated/examples';
import engineBytes from 'generated/lumenweave.wasm';
import { readCarried } from '../shared/carried-script';
import type { Figure } from '../shared/figure';
import { createOrder, stepsPerSecond } from '../shared/rotation';
import { readLink, readSettings } from '../shared/share';
import { element, randomSeed, startFigure } from '../shared/start';
import { listenToHosts, type SettingName, type WallpaperSettings } from './host-settings';
import { createWallpaperLoop } from './loop';

const carried = readCarried(document);
const address = readSettings(location.search);
const settings: WallpaperSettings = {
  example: null,
  seed: null,
  speed: 1,
  fps: 60,
  paused: false,
  every: address.every,
  shuffle: address.shuffle,
};
let apply = (_name: SettingName): void => {};
listenToHosts(settings, carried !== null, (name) => apply(name));

function show(note: string): void {
  const line = element('note');
  line.textContent = note;
  line.hidden = false;
}

// A pixel ratio that changes without a change of size (a window moved to another screen, a zoom)
// fits the drawing buffer again too.
function followPixelRatio(figure: Figure): void {
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener(
    'change',
    () => {
      figure.fit();
      followPixelRatio(figure);
    },
    { once: true },
  );
}

async function main(): Promise<void> {
  const link = await readLink(location.hash);
  // The loop draws what a resize asks for once it exists.
  const started = await startFigure(engineBytes, element('figure'), null, () => loop.redraw(), show);
  if (!started) {
    return;
  }
  const { engine, figure } = started;
  // A script with errors would not run: the built-in one is shown, as the playground does.
  const clean = (text: string | undefined): string | null =>
    text !== undefined && !engine.check(text).some((p) => p.severity === 'error') ? text : null;
  const own = clean(link.kind === 'script' ? link.text : undefined) ?? clean(carried?.text) ?? engine.builtinScript;
  // The list a rotation goes through: the page's own script (named ''), then the examples.
  const pieces: (readonly [string, string])[] = [['', own], ...examples];
  const drawnSeed = randomSeed();
  const seed = (): number => settings.seed ?? address.seed ?? drawnSeed;

  const loop = createWallpaperLoop(engine, figure, settings.fps, settings.speed);
  // The figure anew on a script of the list; the page says which example and seed it shows.
  let current = 0;
  const start = (index: number): void => {
    current = index;
    loop.restart(seed(), pieces[index][1]);
    document.body.dataset.example = pieces[index][0];
    document.body.dataset.seed = String(seed());
  };
  const run = (): void =>
    start(
      Math.max(
        0,
        pieces.findIndex(([name]) => name === (settings.example ?? '')),
      ),
    );
  const rotate = (): void => {
    const next = createOrder(pieces.length, settings.shuffle);
    const steps = settings.every === null ? null : settings.every * stepsPerSecond;
    loop.switchAfter(steps, () => start(next(current)));
  };
  loop.setPaused(settings.paused);
  run();
  rotate();
  figure.fit();
  followPixelRatio(figure);

  apply = (name) => {
    switch (name) {
      case 'example':
      case 'seed':
        run();
        break;
      case 'speed':
        loop.setSpeed(settings.speed);
        break;
      case 'fps':
        loop.setFrameLimit(settings.fps);
        break;
      case 'paused':
        loop.setPaused(settings.paused);
        break;
      case 'every':
      case 'shuffle':
        rotate();
        break;
    }
  };
  document.body.dataset.ready = 'true';
}

void main();
