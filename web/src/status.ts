// The status line under the controls: one message at a time, for whoever has something to say.

let line: HTMLElement | null = null;

export function attachStatus(element: HTMLElement): void {
  line = element;
}

// Shows message in place of the one before; an empty message clears the line.
export function say(message: string): void {
  if (line) {
    line.textContent = message;
  }
}
