// The frame an address asks for (?frame=N): gone to in slices with the way shown, and at most
// maxFrame, so that no link holds the page for long.
import type { Loop } from './loop';
import { maxFrame } from './share';
import { say } from './status';

export async function openAddressedFrame(asked: number, loop: Loop, line: HTMLElement): Promise<void> {
  const frame = Math.min(asked, maxFrame);
  const bar = document.createElement('progress');
  bar.max = frame;
  bar.value = 0;
  line.replaceChildren(`Going to frame ${frame} `, bar);
  line.hidden = false;
  const arrived = await loop.seek(frame, (reached) => (bar.value = reached));
  line.hidden = true;
  if (arrived && asked > frame) {
    say(
      `The address asks for frame ${asked}; links go ${maxFrame} frames at most, so this is frame ${maxFrame}.`,
      'standing',
    );
  }
}
