// Saver mode: the figure alone with the cursor hidden, full screen where the browser allows it
// and filling the window where it refuses (with a line saying why). Any key, click or pointer
// move that the native hosts' move rule (frame/saver_input.hpp, in the engine) calls far enough
// leaves; a key that leaves does nothing else.

import type { Engine } from '../shared/engine';

export type PointerRule = Pick<Engine, 'startPointerWatch' | 'pointerEndsSaver'>;

export interface Saver {
  enter(): void;
  active(): boolean;
}

// Why the browser gave no full screen, in words for the line shown instead.
function refusal(error: unknown): string {
  if (!document.fullscreenEnabled) {
    return 'this page is in a frame that does not allow it';
  }
  return error instanceof Error && error.message ? `the browser said: ${error.message}` : 'the browser refused';
}

export function createSaver(stage: HTMLElement, note: HTMLElement, onChange: () => void, pointer: PointerRule): Saver {
  let on = false;
  // After a key left, the keys still held (the Enter of a Ctrl-Enter, a repeat) are swallowed
  // until one is released, so that they do not act on the page.
  let swallowing = false;

  const leave = (): void => {
    if (!on) {
      return;
    }
    on = false;
    note.hidden = true;
    document.body.classList.remove('saver');
    if (document.fullscreenElement) {
      void document.exitFullscreen().catch(() => {});
    }
    onChange();
  };

  // On the window, capturing: before the page's and the editor's own key handlers.
  window.addEventListener(
    'keydown',
    (event) => {
      if (!on && !swallowing) {
        return;
      }
      event.preventDefault();
      event.stopImmediatePropagation();
      // A key held since before entering repeats; that is no new press.
      if (on && !event.repeat) {
        leave();
        swallowing = true;
      }
    },
    true,
  );
  window.addEventListener('keyup', () => (swallowing = false), true);
  window.addEventListener('blur', () => (swallowing = false));
  document.addEventListener(
    'pointermove',
    (event) => {
      if (on && pointer.pointerEndsSaver(event.screenX, event.screenY)) {
        leave();
      }
    },
    true,
  );
  document.addEventListener('pointerdown', () => leave(), true);
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement) {
      leave();
    }
  });

  const refused = (error: unknown): void => {
    if (on && !document.fullscreenElement) {
      note.textContent = `No full screen (${refusal(error)}): the figure fills the window. Any key leaves.`;
      note.hidden = false;
    }
  };

  return {
    enter() {
      if (on) {
        return;
      }
      on = true;
      pointer.startPointerWatch();
      swallowing = false;
      note.hidden = true;
      document.body.classList.add('saver');
      onChange();
      if (!document.fullscreenEnabled || !stage.requestFullscreen) {
        refused(null);
      } else {
        // Left again before the browser answered: the full screen granted late is given back.
        stage.requestFullscreen().then(() => {
          if (!on) {
            void document.exitFullscreen().catch(() => {});
          }
        }, refused);
      }
    },
    active: () => on,
  };
}
