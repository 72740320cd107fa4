// Rotation in the page's full-screen saver: while it shows, the figure goes on to the next script
// of the list (the one running, then the examples) once the chosen span of animation has passed,
// each started afresh as Run starts it; leaving starts the script that ran before afresh again.
// The span is chosen beside Full screen (remembered) or given as ?every= (and ?shuffle).
import { examples } from 'generated/examples';
import type { Loop } from '../shared/loop';
import { createOrder, parseEvery, stepsPerSecond } from '../shared/rotation';
import type { AddressSettings } from '../shared/share';
import type { Running } from '../shared/state';

export interface SaverRotation {
  // Follows the saver entering (true) and leaving (false).
  follow(active: boolean): void;
}

const storageKey = 'lumenweave-rotate';

function remembered(): string | null {
  try {
    return localStorage.getItem(storageKey);
  } catch {
    return null; // no storage for the page: the choice lasts as long as the tab
  }
}

// asked: the address's ?every= and ?shuffle.
export function createSaverRotation(
  select: HTMLSelectElement,
  running: Running,
  loop: Loop,
  asked: Pick<AddressSettings, 'every' | 'shuffle'>,
): SaverRotation {
  const seconds = asked.every ?? parseEvery(remembered());
  if (seconds !== null) {
    const offered = [...select.options].find((o) => parseEvery(o.value) === seconds);
    select.value = offered?.value ?? select.appendChild(new Option(`${seconds} s`, `${seconds}s`)).value;
  }
  select.addEventListener('change', () => {
    try {
      localStorage.setItem(storageKey, select.value);
    } catch {
      // said by the autosave already, if at all
    }
  });

  let watching: number | null = null; // the animation frame asked for while rotating
  let before: string | null = null; // the script that ran when the saver came; null: no switch yet

  const stop = (): void => {
    if (watching !== null) {
      cancelAnimationFrame(watching);
      watching = null;
    }
    delete document.body.dataset.saverScript;
  };

  return {
    follow(active) {
      if (!active) {
        stop();
        if (before !== null) {
          loop.restart(running.seed, before);
          before = null;
        }
        return;
      }
      const every = parseEvery(select.value);
      const own = running.script;
      if (every === null || own === null || watching !== null) {
        return;
      }
      const pieces: (readonly [string, string])[] = [['', own], ...examples.filter(([, text]) => text !== own)];
      const next = createOrder(pieces.length, asked.shuffle);
      let current = 0;
      let from = running.frame; // the step the span is counted from
      document.body.dataset.saverScript = '';
      const watch = (): void => {
        watching = requestAnimationFrame(watch);
        if (running.frame - from >= every * stepsPerSecond) {
          before ??= own;
          current = next(current);
          loop.restart(running.seed, pieces[current][1]);
          from = 0;
          document.body.dataset.saverScript = pieces[current][0];
        }
      };
      watching = requestAnimationFrame(watch);
    },
  };
}
