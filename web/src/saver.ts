// Full screen as a browser screensaver: the figure alone, the cursor hidden; any key, click or
// pointer move of more than 4 pixels leaves.

const moveAllowance = 4; // pixels

export interface Saver {
  enter(): void;
  active(): boolean;
}

export function createSaver(stage: HTMLElement, onChange: () => void): Saver {
  let on = false;
  let origin: { x: number; y: number } | null = null;

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
  // The first move after entering only sets where the pointer stands: a system may send one
  // when the full-screen surface appears under it.
  const onMove = (event: PointerEvent): void => {
    if (!on) {
      return;
    }
    if (origin === null) {
      origin = { x: event.screenX, y: event.screenY };
    } else if (Math.hypot(event.screenX - origin.x, event.screenY - origin.y) > moveAllowance) {
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
      origin = null;
      document.body.classList.add('saver');
      // Where the browser refuses full screen, the figure still fills the page.
      void stage.requestFullscreen?.().catch(() => {});
      onChange();
    },
    active: () => on,
  };
}
