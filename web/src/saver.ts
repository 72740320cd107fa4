// Full screen as a browser screensaver: the figure alone, the cursor hidden; any key, click or
// pointer move that the native hosts' move rule (frame/saver_input.hpp, in the engine) calls
// far enough leaves.

import type { Engine } from './engine';

export type PointerRule = Pick<Engine, 'startPointerWatch' | 'pointerEndsSaver'>;

export interface Saver {
  enter(): void;
  active(): boolean;
}

export function createSaver(
  stage: HTMLElement,
  onChange: () => void,
  pointer: PointerRule,
): Saver {
  let on = false;

  const leave = (): void => {
    if (!on) {
      return;
    }
    on = false;
    document.body.classList.remove('saver');
    if (document.fullscreenElement) {
      void document.exitFullscreen().catch(() => {});
    }
    onChange();
  };

  const onKey = (event: KeyboardEvent): void => {
    if (on) {
      event.preventDefault();
      leave();
    }
  };
  const onMove = (event: PointerEvent): void => {
    if (on && pointer.pointerEndsSaver(event.screenX, event.screenY)) {
      leave();
    }
  };
  document.addEventListener('keydown', onKey, true);
  document.addEventListener('pointermove', onMove, true);
  document.addEventListener('pointerdown', () => leave(), true);
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement) {
      leave();
    }
  });

  return {
    enter() {
      if (on) {
        return;
      }
      on = true;
      pointer.startPointerWatch();
      document.body.classList.add('saver');
      // Where the browser refuses full screen, the figure still fills the page.
      void stage.requestFullscreen?.().catch(() => {});
      onChange();
    },
    active: () => on,
  };
}
