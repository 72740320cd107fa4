// The wallpaper page's start-up: the figure alone, filling the window at the display's pixel
// ratio; the script and seed from the link (the playground's share links) or from the wallpaper
// host's settings; drawn at the host's frame-rate limit, and not at all while it is paused.
import { examples } from 'generated/examples';
import engineBytes from 'generated/lumenweave.wasm';
import type { Figure } from '../shared/figure';
import { listenToHosts, type SettingName, type WallpaperSettings } from './host-settings';
import { readLink, readSettings } from '../shared/share';
import { element, randomSeed, startFigure } from '../shared/start';
import { createWallpaperLoop } from './loop';

const settings: WallpaperSettings = { example: null, seed: null, speed: 1, fps: 60, paused: false };
let apply = (_name: SettingName): void => {};
listenToHosts(settings, (name) => apply(name));

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
  const address = readSettings(location.search);
  const link = await readLink(location.hash);
  // The loop draws what a resize asks for once it exists.
  const started = await startFigure(engineBytes, element('figure'), null, () => loop.redraw(), show);
  if (!started) {
    return;
  }
  const { engine, figure } = started;
  // A linked script with errors would not run: the built-in one is shown, as the playground does.
  const linked =
    link.kind === 'script' && !engine.check(link.text).some((p) => p.severity === 'error') ? link.text : null;
  const drawnSeed = randomSeed();
  const seed = (): number => settings.seed ?? address.seed ?? drawnSeed;

  const loop = createWallpaperLoop(engine, figure, settings.fps, settings.speed);
  // The figure anew; the page says which example and seed it shows.
  const run = (): void => {
    const example = examples.find(([name]) => name === settings.example);
    loop.restart(seed(), example?.[1] ?? linked ?? engine.builtinScript);
    document.body.dataset.example = example?.[0] ?? '';
    document.body.dataset.seed = String(seed());
  };
  loop.setPaused(settings.paused);
  run();
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
    }
  };
  document.body.dataset.ready = 'true';
}

void main();
