// The playground page: the core running in WebAssembly draws into #figure through the WebGL 2
// replayer, the editor checks the script as one types, and the controls run, pause, step, share
// and show the figure full screen.
import { examples } from 'generated/examples';
import { createEditor } from './editor';
import { type DrawList, loadEngine } from './engine';
import { type Pace, paceFrame } from './pacing';
import { createReplayer } from './replay';
import { createSaver } from './saver';
import { decodeScript, encodeScript, maxSeed, parseWhole, readSettings } from './share';

// Timing of the page's work per frame, read by the measuring script.
interface FrameStats {
  frames: number; // frames recorded since the last run
  recordMs: number; // milliseconds, summed
  drawMs: number; // milliseconds, summed: upload and draw
}

declare global {
  interface Window {
    lumenweaveStats: FrameStats;
  }
}

function element<T extends HTMLElement>(id: string): T {
  const found = document.getElementById(id);
  if (!found) {
    throw new Error(`the page has no #${id}`);
  }
  return found as T;
}

// A copy that outlives the engine's next frame, to draw again after a resize or while paused.
function keep(list: DrawList): DrawList {
  const words = list.words.slice();
  return {
    commands: list.commands.slice(),
    words,
    floats: new Float32Array(words.buffer),
  };
}

async function main(): Promise<void> {
  const canvas = element<HTMLCanvasElement>('figure');
  const stage = element<HTMLElement>('stage');
  const seedField = element<HTMLInputElement>('seed');
  const pauseButton = element<HTMLButtonElement>('pause');
  const status = element<HTMLElement>('status');
  const exampleMenu = element<HTMLSelectElement>('examples');
  const settings = readSettings(location.search);

  const engine = await loadEngine(new URL('lumenweave.wasm', document.baseURI).href);
  const gl = canvas.getContext('webgl2', { alpha: false, antialias: false, preserveDrawingBuffer: true });
  if (!gl) {
    status.textContent = 'This browser has no WebGL 2: the figure cannot be drawn.';
    return;
  }
  const replayer = createReplayer(gl, () => (settings.size ? 1 : devicePixelRatio));
  const stats: FrameStats = { frames: 0, recordMs: 0, drawMs: 0 };
  window.lumenweaveStats = stats;

  let shown: DrawList | null = null;
  let paused = false;
  let frame = 0; // frames recorded since the last run
  const pace: Pace = { deadline: null };

  const draw = (): void => {
    if (shown) {
      const start = performance.now();
      const view = engine.view(canvas.width, canvas.height);
      replayer.draw(shown, view.projection, view.modelView);
      stats.drawMs += performance.now() - start;
    }
  };
  const step = (): void => {
    const start = performance.now();
    shown = keep(engine.record());
    stats.recordMs += performance.now() - start;
    ++frame;
    ++stats.frames;
    document.body.dataset.frame = String(frame);
    draw();
  };
  const setPaused = (on: boolean): void => {
    paused = on;
    pace.deadline = null;
    pauseButton.textContent = on ? 'Resume' : 'Pause';
    pauseButton.setAttribute('aria-pressed', String(on));
  };

  // The canvas's drawing buffer follows its size on the page unless ?size= fixes it.
  const fit = (): void => {
    if (settings.size) {
      return;
    }
    const width = Math.max(1, Math.round(canvas.clientWidth * devicePixelRatio));
    const height = Math.max(1, Math.round(canvas.clientHeight * devicePixelRatio));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      draw();
    }
  };
  if (settings.size) {
    canvas.width = settings.size.width;
    canvas.height = settings.size.height;
    canvas.style.width = `${settings.size.width}px`;
    canvas.style.height = `${settings.size.height}px`;
    canvas.classList.add('fixed');
  } else {
    new ResizeObserver(fit).observe(canvas);
    fit();
  }

  let seed = settings.seed ?? Math.floor(Math.random() * (maxSeed + 1));
  seedField.value = String(seed);
  const shared = location.hash ? decodeScript(location.hash) : null;
  if (location.hash && shared === null) {
    status.textContent = 'The shared script in the address could not be read; showing the built-in one.';
  }

  const run = (): void => {
    const typed = parseWhole(seedField.value.trim(), 0, maxSeed);
    seedField.setAttribute('aria-invalid', String(typed === null));
    seed = typed ?? seed;
    engine.start(seed, editor.text());
    frame = 0;
    stats.frames = 0;
    stats.recordMs = 0;
    stats.drawMs = 0;
    pace.deadline = null;
    if (paused) {
      step();
    }
  };

  const editor = createEditor(
    element('editor'),
    element('problems'),
    (text) => engine.check(text),
    run,
    shared ?? engine.builtinScript,
  );

  for (const [name] of examples) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    exampleMenu.append(option);
  }
  exampleMenu.addEventListener('change', () => {
    const chosen = examples.find(([name]) => name === exampleMenu.value);
    if (chosen) {
      editor.setText(chosen[1]);
      run();
    }
  });

  const saver = createSaver(stage, () => requestAnimationFrame(fit), engine);
  element('run').addEventListener('click', run);
  pauseButton.addEventListener('click', () => setPaused(!paused));
  element('step').addEventListener('click', () => {
    setPaused(true);
    step();
  });
  element('fullscreen').addEventListener('click', () => saver.enter());
  element('share').addEventListener('click', () => {
    const address = `${location.origin}${location.pathname}${location.search}#s=${encodeScript(editor.text())}`;
    history.replaceState(null, '', address);
    navigator.clipboard.writeText(address).then(
      () => (status.textContent = 'The address of this script is copied.'),
      () => (status.textContent = 'The address bar holds the address of this script.'),
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

  run();
  if (settings.frame !== null) {
    // Frames 1 to F recorded, F shown, as lumenweave-render --frames F counts them.
    setPaused(true);
    while (frame < settings.frame) {
      shown = keep(engine.record());
      ++frame;
    }
    document.body.dataset.frame = String(frame);
    draw();
  }

  const tick = (now: number): void => {
    if (!paused && paceFrame(pace, now)) {
      step();
    }
    requestAnimationFrame(tick);
  };
  requestAnimationFrame(tick);
  document.body.dataset.ready = 'true';
}

void main();
