// The status line under the controls: one message at a time, for whoever has something to say.
// A passing message clears itself after a while; one that tells how things stand stays until the
// next message (each Run says something or clears the line).

// How long a message stays.
export type Hold = 'passing' | 'standing';

const passingMs = 8000; // milliseconds

let line: HTMLElement | null = null;
let clearTimer: number | undefined;

export function attachStatus(element: HTMLElement): void {
  line = element;
}

// Shows message in place of the one before; an empty message clears the line.
export function say(message: string, hold: Hold = 'passing'): void {
  if (!line) {
    return;
  }
  const shown = line;
  window.clearTimeout(clearTimer);
  shown.textContent = message;
  if (message !== '' && hold === 'passing') {
    clearTimer = window.setTimeout(() => (shown.textContent = ''), passingMs);
  }
}

// Adds message after the one shown, and keeps both.
export function sayToo(message: string): void {
  say(`${line?.textContent ?? ''} ${message}`.trim(), 'standing');
}
