// Copies of the engine's state taken as a run passes every so many frames, so that going back
// (one frame, or anywhere on the slider) starts from the nearest copy behind, not from frame 0.
// Their number is bounded: when full, every other one goes and the spacing doubles.
import type { Engine, EngineState } from './engine';

export interface Checkpoint {
  frame: number; // animation steps of the run when it was taken
  state: EngineState;
}

export interface Checkpoints {
  // The run has reached `frame`, one step at a time.
  passed(frame: number): void;
  // The latest copy taken before `frame`, or null.
  before(frame: number): Checkpoint | null;
  clear(): void;
}

const firstSpacing = 600; // frames: ten seconds of animation
const most = 16; // copies kept: about 1.8 MB each

export function createCheckpoints(engine: Pick<Engine, 'snapshot'>): Checkpoints {
  let spacing = firstSpacing;
  let kept: Checkpoint[] = [];
  return {
    passed(frame) {
      // A frame passed again after going back has its copy already.
      if (frame % spacing !== 0 || frame <= (kept.at(-1)?.frame ?? 0)) {
        return;
      }
      kept.push({ frame, state: engine.snapshot() });
      if (kept.length > most) {
        spacing *= 2;
        kept = kept.filter((c) => c.frame % spacing === 0);
      }
    },
    before: (frame) => [...kept].reverse().find((c) => c.frame < frame) ?? null,
    clear() {
      spacing = firstSpacing;
      kept = [];
    },
  };
}
