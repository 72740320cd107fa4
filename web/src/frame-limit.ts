// A limit on the frames drawn a second (a wallpaper host's frame-rate setting): which animation
// frames are drawn, evenly spaced, while the animation's own time goes on at its own pace.
import { stepPeriod } from './pacing';

export interface FrameLimit {
  fps: number; // drawn frames a second at most
  next: number | null; // milliseconds, on the animation frames' clock: the next draw's time; null: none yet
}

// Display intervals jitter: a frame this close before its time is drawn, so that a 60 Hz display
// under a limit of 60 draws every frame and under 30 every other one.
const earlyTolerance = stepPeriod / 4; // milliseconds

// Whether the animation frame at `now` is drawn; moves the next draw's time on.
export function frameDue(limit: FrameLimit, now: number): boolean {
  const period = 1000 / limit.fps; // milliseconds
  if (limit.next !== null && now < limit.next - earlyTolerance) {
    return false;
  }
  // Late by more than a period (a stall): the times start afresh instead of drawing a burst.
  limit.next = limit.next === null || now - limit.next > period ? now + period : limit.next + period;
  return true;
}
