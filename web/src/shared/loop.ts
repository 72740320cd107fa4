// The animation loop: a run of the engine started afresh, the tick on requestAnimationFrame that
// takes the steps the pace asks for (only the last of them recorded and drawn) on the frames the
// drawing rate keeps, and the way to a frame far ahead in slices that leave the page answering. A frame that fails is shown on the
// page and the loop goes on with the next.
import type { Engine } from './engine';
import type { Figure } from './figure';
import { drawDue, paceFrame, setDrawRate } from './pacing';
import type { Running } from './state';
import { say } from './status';

export interface Loop {
  // Starts the engine afresh on the script (one the checker found clean); frame 1 is drawn at
  // once when paused.
  restart(seed: number, script: string): void;
  step(): void;
  setPaused(on: boolean): void;
  // Draws at most `perSecond` frames a second, the animation keeping its speed; null: every
  // animation frame.
  setDrawRate(perSecond: number | null): void;
  // Steps to `frame` and shows it, as lumenweave-render --frames counts frames, a slice at a time
  // with progress(frame reached) after each. False when a new run or a failure ended it first.
  seek(frame: number, progress: (reached: number) => void): Promise<boolean>;
  draw(): void;
  // Starts the ticks on requestAnimationFrame.
  begin(): void;
}

// Replay between the page's own tasks (input, drawing): well under the 50 ms that users notice.
const sliceMs = 10; // milliseconds
const stepsBetweenClockReads = 1024;

// Lets the tasks waiting run (input, drawing) and resumes after them. A message, not a timer:
// chained timers wait at least 4 ms each.
export function yieldToPage(): Promise<void> {
  return new Promise((resume) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => resume();
    channel.port2.postMessage(null);
  });
}

function describe(error: unknown): string {
  return error instanceof Error ? error.message : String(error);
}

export function createLoop(engine: Engine, figure: Figure, running: Running): Loop {
  const { stats } = running;
  let failures = 0; // frames that failed since the last run
  let run = 0; // counts the runs started, so that a seek of an earlier run stops

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
    ++running.frame;
    ++stats.frames;
    ++stats.drawn;
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
  // Steps `count` frames; only the last is seen, so the others are not recorded.
  const steps = (count: number): void => {
    for (let i = 1; i < count; ++i) {
      engine.advance();
      ++running.frame;
      ++stats.frames;
    }
    step();
  };
  const tick = (now: number): void => {
    requestAnimationFrame(tick);
    if (running.paused || running.seekingTo !== null || !drawDue(running.drawGate, now)) {
      return;
    }
    const count = paceFrame(running.pace, now);
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
      ++running.runs;
      document.body.dataset.run = String(running.runs);
      running.frame = 0;
      stats.frames = 0;
      stats.drawn = 0;
      stats.recordMs = 0;
      stats.drawMs = 0;
      running.pace.deadline = null;
      failures = 0;
      if (running.paused) {
        guarded(step);
      }
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
      try {
        while (running.frame < frame - 1) {
          const sliceEnd = performance.now() + sliceMs;
          do {
            const count = Math.min(stepsBetweenClockReads, frame - 1 - running.frame);
            for (let i = 0; i < count; ++i) {
              engine.advance();
            }
            running.frame += count;
          } while (running.frame < frame - 1 && performance.now() < sliceEnd);
          progress(running.frame);
          await yieldToPage();
          if (run !== seekRun) {
            return false;
          }
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
    draw: () => guarded(draw),
    begin: () => requestAnimationFrame(tick),
  };
}
