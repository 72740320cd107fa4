// The animation's pace on requestAnimationFrame: one step per 1/60 s of elapsed time, at most
// one per animation frame, so that a fast display does not speed the figure up and a tab back
// from the background does not run a burst of catch-up frames.

export const stepPeriod = 1000 / 60; // milliseconds
// A frame this close before its deadline steps: display intervals jitter around 1/60 s.
const earlyTolerance = stepPeriod / 4; // milliseconds

export interface Pace {
  deadline: number | null; // milliseconds, on the animation frames' clock; null: not started
}

// Whether the animation frame at `now` steps; moves the deadline on. A frame more than a period
// late starts the deadlines afresh from now instead of stepping again to catch up.
export function paceFrame(pace: Pace, now: number): boolean {
  if (pace.deadline === null || now - pace.deadline > stepPeriod) {
    pace.deadline = now + stepPeriod;
    return true;
  }
  if (now >= pace.deadline - earlyTolerance) {
    pace.deadline += stepPeriod;
    return true;
  }
  return false;
}
