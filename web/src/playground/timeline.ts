// The way through time: the clock (frame and seconds) over the figure, the slider and the field
// that go to a frame (by the bounded seek, from the start again when the frame is behind), and
// the speed, from still to four times the animation's own.
import { openAddressedFrame } from '../shared/addressed-frame';
import type { Loop } from '../shared/loop';
import { maxFrame, parseWhole } from '../shared/share';
import type { Running } from '../shared/state';
import { say } from '../shared/status';
import type { PageElements } from './page';

export interface Timeline {
  // Pauses and shows `frame` of the current run.
  goTo(frame: number): Promise<void>;
}

const stepsPerSecond = 60;
const shortest = 3600; // frames the slider spans at least: a minute

export function createTimeline(
  page: PageElements,
  running: Running,
  loop: Loop,
  setPaused: (on: boolean) => void,
): Timeline {
  const show = (): void => {
    const frame = running.frame;
    page.clock.value = `frame ${frame} · ${(frame / stepsPerSecond).toFixed(2)} s`;
    if (Number(page.scrubber.max) < frame) {
      page.scrubber.max = String(Math.min(maxFrame, Math.max(frame, 2 * Number(page.scrubber.max))));
    }
    page.scrubber.value = String(frame);
  };
  loop.watch(show);
  page.scrubber.max = String(shortest);

  const goTo = async (frame: number): Promise<void> => {
    if (running.script === null) {
      return;
    }
    setPaused(true);
    // Behind, or while another way is under way: from the nearest copy of the run's state
    // before it, or from the start again.
    if ((frame <= running.frame || running.seekingTo !== null) && !loop.rewind(frame)) {
      loop.restart(running.seed, running.script);
    }
    await openAddressedFrame(frame, loop, page.seeking);
  };
  page.scrubber.addEventListener('change', () => void goTo(Number(page.scrubber.value)));
  page.frameField.addEventListener('change', () => {
    const typed = page.frameField.value.trim();
    const frame = parseWhole(typed, 1, maxFrame);
    page.frameField.setAttribute('aria-invalid', String(frame === null));
    if (frame === null) {
      say(`The frame "${typed}" is not a whole number from 1 to ${maxFrame}.`);
      return;
    }
    void goTo(frame);
  });
  page.speed.addEventListener('change', () => {
    running.speed = Number(page.speed.value);
    document.body.dataset.speed = page.speed.value;
  });
  return { goTo };
}
