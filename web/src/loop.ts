// The animation loop: a run of the engine started afresh, one frame recorded and drawn per step,
// and the tick on requestAnimationFrame that steps at the pace's rate. A frame that fails is
// shown on the page and the loop goes on with the next.
import type { DrawList, Engine } from './engine';
import type { Figure } from './figure';
import { paceFrame } from './pacing';
import type { Running } from './state';
import { say } from './status';

export interface Loop {
  // Starts the engine afresh on the script; frame 1 is drawn at once when paused.
  restart(seed: number, script: string): void;
  step(): void;
  setPaused(on: boolean): void;
  // Records frames 1 to frame and shows the last, as lumenweave-render --frames counts them.
  replayTo(frame: number): void;
  draw(): void;
  // Starts the ticks on requestAnimationFrame.
  begin(): void;
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

function describe(error: unknown): string {
  return error instanceof Error ? error.message : String(error);
}

export function createLoop(engine: Engine, figure: Figure, running: Running): Loop {
  const { stats } = running;
  let failures = 0; // frames that failed since the last run

  const draw = (): void => {
    if (running.shown) {
      const start = performance.now();
      figure.draw(running.shown);
      stats.drawMs += performance.now() - start;
    }
  };
  const step = (): void => {
    const start = performance.now();
    running.shown = keep(engine.record());
    stats.recordMs += performance.now() - start;
    ++running.frame;
    ++stats.frames;
    document.body.dataset.frame = String(running.frame);
    draw();
  };
  // A failure in one frame is not the end of the animation: said, logged once per run, skipped.
  const guarded = (work: () => void): void => {
    try {
      work();
    } catch (error) {
      if (failures++ === 0) {
        console.error(error);
      }
      say(`Frame ${running.frame + 1} failed (${describe(error)}); the animation goes on.`);
    }
  };
  const tick = (now: number): void => {
    requestAnimationFrame(tick);
    if (!running.paused && paceFrame(running.pace, now)) {
      guarded(step);
    }
  };

  return {
    restart(seed, script) {
      running.seed = seed;
      engine.start(seed, script);
      running.frame = 0;
      stats.frames = 0;
      stats.recordMs = 0;
      stats.drawMs = 0;
      running.pace.deadline = null;
      failures = 0;
      if (running.paused) {
        guarded(step);
      }
    },
    step: () => guarded(step),
    setPaused(on) {
      running.paused = on;
      running.pace.deadline = null;
    },
    replayTo(frame) {
      guarded(() => {
        while (running.frame < frame) {
          running.shown = keep(engine.record());
          ++running.frame;
        }
      });
      document.body.dataset.frame = String(running.frame);
      guarded(draw);
    },
    draw: () => guarded(draw),
    begin: () => requestAnimationFrame(tick),
  };
}
