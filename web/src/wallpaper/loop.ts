// The wallpaper's animation loop: the page's step rule on a clock that runs at the chosen speed,
// at most the host's frame-rate limit of frames drawn a second, and no animation frames at all
// while the host has it paused (a wallpaper behind a full-screen program costs nothing).
import type { Engine } from '../shared/engine';
import type { Figure } from '../shared/figure';
import { type DrawGate, drawDue, maxStepsPerFrame, paceFrame, type Pace, setDrawRate } from '../shared/pacing';

export interface WallpaperLoop {
  restart(seed: number, script: string): void;
  setSpeed(speed: number): void; // 1: 60 steps a second; 0: the figure stands
  setFrameLimit(fps: number): void;
  setPaused(on: boolean): void;
  // Draws the frame shown again (after a resize).
  redraw(): void;
  // Calls next() once the run has taken `steps` steps; null: never.
  switchAfter(steps: number | null, next: () => void): void;
}

export function createWallpaperLoop(engine: Engine, figure: Figure, fps: number, speed: number): WallpaperLoop {
  const pace: Pace = { deadline: null };
  const gate: DrawGate = { period: null, next: null };
  setDrawRate(gate, fps);
  let clock = 0; // milliseconds of animation time: elapsed time times the speed
  let lastNow: number | null = null; // milliseconds, the animation frame before
  let steps = 0; // animation steps since the page loaded
  let drawn = 0; // frames drawn since the page loaded
  let shown = false; // a frame has been recorded
  let runSteps = 0; // animation steps since the last restart
  let switchAt: number | null = null; // steps of a run after which onSwitch is called
  let onSwitch = (): void => {};
  let request: number | null = null; // the animation frame asked for; null while paused

  // The tests and anyone curious read the counts from the page.
  const report = (): void => {
    document.body.dataset.frame = String(steps);
    document.body.dataset.drawn = String(drawn);
  };
  const draw = (): void => {
    figure.draw();
    ++drawn;
    report();
  };
  // Steps count frames and shows the last: frames nobody sees are not recorded.
  const take = (count: number): void => {
    for (let i = 1; i < count; ++i) {
      engine.advance();
    }
    engine.record();
    shown = true;
    steps += count;
    runSteps += count;
    draw();
  };
  // A limit of a few frames a second takes many steps a frame: real time is kept while frames come
  // at half the limit or faster, and a longer gap is dropped, as the page drops one.
  const most = (): number => Math.max(maxStepsPerFrame, 2 * Math.ceil((60 * speed * (gate.period ?? 0)) / 1000));

  const tick = (now: number): void => {
    request = requestAnimationFrame(tick);
    clock += lastNow === null ? 0 : (now - lastNow) * speed;
    lastNow = now;
    if (!drawDue(gate, now)) {
      return;
    }
    const count = paceFrame(pace, clock, most());
    if (count > 0) {
      take(count);
      if (switchAt !== null && runSteps >= switchAt) {
        onSwitch();
      }
    }
  };
  // Resuming starts the clocks afresh: the figure goes on where it stood, no steps made up.
  const begin = (): void => {
    lastNow = null;
    gate.next = null;
    pace.deadline = null;
    request = requestAnimationFrame(tick);
  };

  begin();
  return {
    restart(seed, script) {
      engine.start(seed, script);
      shown = false;
      runSteps = 0;
      pace.deadline = null;
      if (request === null) {
        take(1); // paused: the new figure's first frame, still
      }
    },
    setSpeed(value) {
      speed = value;
    },
    setFrameLimit: (value) => setDrawRate(gate, value),
    setPaused(on) {
      document.body.dataset.paused = String(on);
      if (on && request !== null) {
        cancelAnimationFrame(request);
        request = null;
      } else if (!on && request === null) {
        begin();
      }
    },
    redraw() {
      if (shown) {
        draw();
      }
    },
    switchAfter(at, next) {
      switchAt = at;
      onSwitch = next;
    },
  };
}
