// The animation's running state, one record that the loop, the controls and start-up share.
import type { DrawList } from './engine';
import type { Pace } from './pacing';

// Timing of the page's work per frame, read by the measuring script.
export interface FrameStats {
  frames: number; // frames recorded since the last run
  recordMs: number; // milliseconds, summed
  drawMs: number; // milliseconds, summed: upload and draw
}

export interface Running {
  seed: number; // the seed of the engine's current run
  paused: boolean;
  frame: number; // frames recorded since the last run
  shown: DrawList | null; // the frame on the figure, kept to draw again after a resize or while paused
  pace: Pace;
  stats: FrameStats;
}

declare global {
  interface Window {
    lumenweaveStats: FrameStats;
  }
}

export function createRunning(seed: number): Running {
  const stats: FrameStats = { frames: 0, recordMs: 0, drawMs: 0 };
  window.lumenweaveStats = stats;
  return { seed, paused: false, frame: 0, shown: null, pace: { deadline: null }, stats };
}
