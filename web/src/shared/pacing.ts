// The animation's pace on requestAnimationFrame: 60 steps per second of elapsed time whatever the
// display's rate, several in one animation frame when frames come slower, and no burst of
// catch-up steps after a hidden tab or a stall; and a drawing rate below the display's, which
// skips animation frames, never steps.

export const stepPeriod = 1000 / 60; // milliseconds
// The most steps one animation frame takes: frames down to 7.5 a second keep real time. A frame
// later than that (a hidden tab, a stall) takes this many and the deadlines start afresh.
export const maxStepsPerFrame = 8;
// A step this close before its deadline is taken now: display intervals jitter around 1/60 s.
const earlyTolerance = stepPeriod / 4; // milliseconds

export interface Pace {
  deadline: number | null; // milliseconds, on the animation frames' clock; null: not started
}

// The steps the animation frame at `now` takes (0 to most); moves the deadline on. A page that
// draws fewer frames on purpose (the wallpaper's frame-rate limit) raises `most` to keep real time.
export function paceFrame(pace: Pace, now: number, most = maxStepsPerFrame): number {
  if (pace.deadline === null) {
    pace.deadline = now + stepPeriod;
    return 1;
  }
  const due = Math.floor((now - pace.deadline + earlyTolerance) / stepPeriod) + 1;
  if (due <= 0) {
    return 0;
  }
  if (due > most) {
    pace.deadline = now + stepPeriod;
    return most;
  }
  pace.deadline += due * stepPeriod;
  return due;
}

// A drawing rate below the display's (on battery): the animation frames between two drawn ones are
// skipped, and paceFrame gives the drawn ones the steps of those skipped.
export interface DrawGate {
  period: number | null; // milliseconds between drawn frames; null: every animation frame
  next: number | null; // milliseconds, on the animation frames' clock: the next drawn frame; null: now
}

// Draws at most `perSecond` frames a second from the next animation frame on; null: every one.
export function setDrawRate(gate: DrawGate, perSecond: number | null): void {
  gate.period = perSecond === null ? null : 1000 / perSecond;
  gate.next = null;
}

// Whether the animation frame at `now` is drawn; moves the next drawn frame on. Drawn frames keep
// to their chain, so that the rate holds on a display whose rate is not a multiple of it.
export function drawDue(gate: DrawGate, now: number): boolean {
  if (gate.period === null) {
    return true;
  }
  if (gate.next !== null && now < gate.next - earlyTolerance) {
    return false;
  }
  const late = gate.next === null || now - gate.next >= gate.period;
  gate.next = late ? now + gate.period : (gate.next as number) + gate.period;
  return true;
}
