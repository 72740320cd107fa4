// The animation loop: a run of the engine started afresh, the tick on requestAnimationFrame that
// takes the steps the pace asks for (only the last of them recorded and drawn) on the frames the
// drawing rate keeps, and the way to a frame far ahead in slices that leave the page answering. A frame that fails is shown on the
// page and the loop goes on with the next.
import { createCheckpoints } from './checkpoints';
import type { Engine } from './engine';
import type { Figure } from './figure';
import { drawDue, maxStepsPerFrame, paceFrame, setDrawRate } from './pacing';
import { advanceInSlices } from './slices';
import type { Running } from './state';
import { say } from './status';

export interface Loop {
  // Starts the engine afresh on the script (one the checker found clean) and draws its frame 1.
  restart(seed: number, script: string): void;
  step(): void;
  setPaused(on: boolean): void;
  // Draws at most `perSecond` frames a second, the animation keeping its speed; null: every
  // animation frame.
  setDrawRate(perSecond: number | null): void;
  // Steps to `frame` and shows it, as lumenweave-render --frames counts frames, a slice at a time
  // with progress(frame reached) after each. False when a new run or a failure ended it first.
  seek(frame: number, progress: (reached: number) => void): Promise<boolean>;
  // Puts the run back to the nearest copy of its state before `frame`, for a seek from there;
  // false when there is none, and the run must start again.
  rewind(frame: number): boolean;
  draw(): void;
  // Starts the ticks on requestAnimationFrame.
  begin(): void;
  // Calls listener after each frame shown.
  watch(listener: () => void): void;
}

function describe(error: unknown): string {
  return error instanceof Error ? error.message : String(error);
}

export function createLoop(engine: Engine, figure: Figure, running: Running): Loop {
  const { stats } = running;
  let failures = 0; // frames that failed since the last run
  let run = 0; // counts the runs started, so that a seek of an earlier run stops
  let clock = 0; // milliseconds of animation time: running time times the speed
  let lastNow: number | null = null; // milliseconds, the animation frame before; null: none counted
  const listeners: (() => void)[] = [];
  const checkpoints = createCheckpoints(engine);

  const draw = (): void => {
    if (running.shown) {
      const start = performance.now();
      figure.draw();
      stats.drawMs += performance.now() - start;
    }
  };
  const step = (): void => {
    const start = performance.now();
    engine.record();
    running.shown = true;
    stats.recordMs += performance.now() - start;
    checkpoints.passed(++running.frame);
    ++stats.frames;
    ++stats.drawn;
    document.body.dataset.frame = String(running.frame);
    draw();
    listeners.forEach((listener) => listener());
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
  // Steps `count` frames; only the last is seen, so the others are not recorded.
  const steps = (count: number): void => {
    for (let i = 1; i < count; ++i) {
      engine.advance();
      checkpoints.passed(++running.frame);
      ++stats.frames;
    }
    step();
  };
  const tick = (now: number): void => {
    requestAnimationFrame(tick);
    // Before the first run the engine holds no animation: nothing to step or draw.
    if (running.script === null || running.paused || running.seekingTo !== null) {
      lastNow = null;
      return;
    }
    // Frames the drawing rate skips still move the clock.
    clock += lastNow === null ? 0 : (now - lastNow) * running.speed;
    lastNow = now;
    if (running.speed === 0 || !drawDue(running.drawGate, now)) {
      return;
    }
    // Faster than 1 takes more steps a frame, within the same bound for gaps.
    const count = paceFrame(running.pace, clock, Math.ceil(maxStepsPerFrame * Math.max(1, running.speed)));
    if (count > 0) {
      guarded(() => steps(count));
    }
  };

  return {
    restart(seed, script) {
      ++run;
      running.seekingTo = null;
      running.seed = seed;
      running.script = script;
      engine.start(seed, script);
      checkpoints.clear();
      ++running.runs;
      document.body.dataset.run = String(running.runs);
      running.frame = 0;
      stats.frames = 0;
      stats.drawn = 0;
      stats.recordMs = 0;
      stats.drawMs = 0;
      running.pace.deadline = null;
      failures = 0;
      // Not a frame later: the figure shows the new run at once.
      guarded(step);
    },
    // The seek shows its own frame when it arrives.
    step() {
      if (running.seekingTo === null) {
        guarded(step);
      }
    },
    setPaused(on) {
      running.paused = on;
      running.pace.deadline = null;
    },
    setDrawRate: (perSecond) => setDrawRate(running.drawGate, perSecond),
    async seek(frame, progress) {
      const seekRun = run;
      running.seekingTo = frame;
      const advance = (count: number): void => {
        for (let i = 0; i < count; ++i) {
          engine.advance();
          checkpoints.passed(++running.frame);
        }
        stats.frames += count;
      };
      try {
        if (!(await advanceInSlices(running.frame, frame - 1, advance, progress, () => run === seekRun))) {
          return false;
        }
        if (running.frame < frame) {
          step();
        }
      } catch (error) {
        console.error(error);
        say(`Going to frame ${frame} failed at frame ${running.frame + 1} (${describe(error)}).`, 'standing');
        return false;
      } finally {
        if (run === seekRun) {
          running.seekingTo = null;
          running.pace.deadline = null;
        }
      }
      return true;
    },
    rewind(frame) {
      const at = checkpoints.before(frame);
      if (at === null || !engine.restore(at.state)) {
        checkpoints.clear();
        return false;
      }
      ++run; // a seek under way ends
      running.seekingTo = null;
      running.frame = at.frame;
      running.pace.deadline = null;
      return true;
    },
    draw: () => guarded(draw),
    begin: () => requestAnimationFrame(tick),
    watch: (listener) => listeners.push(listener),
  };
}
