// The animation's running state, one record that the loop, the controls and start-up share.
import type { DrawGate, Pace } from './pacing';

// Timing of the page's work per frame, read by the measuring script.
export interface FrameStats {
  frames: number; // animation steps since the last run
  drawn: number; // frames recorded and drawn since the last run
  recordMs: number; // milliseconds, summed
  drawMs: number; // milliseconds, summed: upload and draw
}

export interface Running {
  runs: number; // runs started since the page loaded
  seed: number; // the seed of the engine's current run
  script: string | null; // the script of the engine's current run; null before the first
  paused: boolean;
  speed: number; // times the animation's own 60 steps a second; 0 stands still
  frame: number; // animation steps since the last run
  seekingTo: number | null; // the frame the page is going to in slices, or null
  shown: boolean; // a frame is on the figure: the engine keeps it, to draw again after a resize
  pace: Pace;
  drawGate: DrawGate;
  stats: FrameStats;
}

declare global {
  interface Window {
    lumenweaveStats: FrameStats;
  }
}

export function createRunning(seed: number): Running {
  const stats: FrameStats = { frames: 0, drawn: 0, recordMs: 0, drawMs: 0 };
  window.lumenweaveStats = stats;
  return {
    runs: 0,
    seed,
    script: null,
    paused: false,
    speed: 1,
    frame: 0,
    seekingTo: null,
    shown: false,
    pace: { deadline: null },
    drawGate: { period: null, next: null },
    stats,
  };
}
