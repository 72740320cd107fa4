// The animation's pace on requestAnimationFrame: 60 steps per second of elapsed time whatever the
// display's rate, several in one animation frame when frames come slower, and no burst of
// catch-up steps after a hidden tab or a stall.

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
