// Work that would hold the page, done in slices between its own tasks (input, drawing): the way
// to a frame far ahead, for the page's figure and for an export's frames alike.

// Each slice well under the 50 ms that users notice.
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

// Steps from frame `at` to frame `to` by advance(count), a slice at a time, with progress(frame
// reached) after each slice. False when goOn() said no between slices.
export async function advanceInSlices(
  at: number,
  to: number,
  advance: (count: number) => void,
  progress: (reached: number) => void,
  goOn: () => boolean,
): Promise<boolean> {
  while (at < to) {
    const sliceEnd = performance.now() + sliceMs;
    do {
      const count = Math.min(stepsBetweenClockReads, to - at);
      advance(count);
      at += count;
    } while (at < to && performance.now() < sliceEnd);
    progress(at);
    await yieldToPage();
    if (!goOn()) {
      return false;
    }
  }
  return true;
}
