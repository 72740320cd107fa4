// Rotation in the page's full-screen saver, chosen beside Speed (remembered) or given as
// ?every= (and ?shuffle): the choice, and the turns (saver-turns.ts, loaded when saver mode first
// comes with a rotation chosen) started and stopped with saver mode.
import type { Engine } from '../shared/engine';
import type { Loop } from '../shared/loop';
import { parseEvery } from '../shared/every';
import type { AddressSettings } from '../shared/share';
import type { Running } from '../shared/state';
import { keptText } from './autosave';
import type { Library } from './library';

export interface SaverRotation {
  // Follows the saver entering (true) and leaving (false).
  follow(active: boolean): void;
}

const storageKey = 'lumenweave.rotate';

function remembered(): string | null {
  try {
    return localStorage.getItem(storageKey);
  } catch {
    return null; // no storage for the page: the choice lasts as long as the tab
  }
}

// asked: the address's ?every= and ?shuffle; library: the scripts kept in the browser, of which
// those without problems take their turns.
export function createSaverRotation(
  select: HTMLSelectElement,
  running: Running,
  loop: Loop,
  asked: Pick<AddressSettings, 'every' | 'shuffle'>,
  library: Library,
  engine: Pick<Engine, 'check'>,
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

  let stop: Promise<() => void> | null = null; // ends the turns under way
  return {
    follow(active) {
      const every = parseEvery(select.value);
      if (active && stop === null && every !== null && running.script !== null) {
        const own = running.script;
        stop = import('./saver-turns').then((turns) =>
          turns.startTurns({ running, loop, library, keptText, engine, own, every, shuffle: asked.shuffle }),
        );
      } else if (!active && stop !== null) {
        void stop.then((end) => end());
        stop = null;
      }
    },
  };
}
