// The turns of a rotation in the page's saver: while it shows, the figure goes on to the next
// script of the list (the one running, the other scripts kept in the browser, then the examples)
// once the chosen span of animation has passed, each started afresh as Run starts it; at the end
// the script that ran before starts afresh again. body[data-saver-script] names the one shown
// ('' for the one that ran before).
import { examples } from 'generated/examples';
import type { Engine } from '../shared/engine';
import type { Loop } from '../shared/loop';
import { createOrder, stepsPerSecond } from '../shared/rotation';
import type { Running } from '../shared/state';
import type { Library } from './library';

export interface Turns {
  running: Running;
  loop: Loop;
  library: Library;
  keptText: (key: string) => string | null; // autosave.ts's, passed in so that this chunk shares none
  engine: Pick<Engine, 'check'>;
  own: string; // the script running when saver mode came
  every: number; // seconds of animation
  shuffle: boolean;
}

// Starts the turns; the function returned ends them.
export function startTurns({ running, loop, library, keptText, engine, own, every, shuffle }: Turns): () => void {
  const kept = library.entries().flatMap(({ id, name }): (readonly [string, string])[] => {
    const text = id === library.current().id ? null : keptText(library.recordKey(id));
    return text !== null && !engine.check(text).some((p) => p.severity === 'error') ? [[name, text]] : [];
  });
  // Each text once, where it first comes.
  const pieces = [['', own] as const, ...kept, ...examples].filter(
    ([, text], index, all) => all.findIndex(([, other]) => other === text) === index,
  );
  const next = createOrder(pieces.length, shuffle);
  let current = 0;
  let switched = false;
  let from = running.frame; // the step the span is counted from
  document.body.dataset.saverScript = '';
  const watch = (): void => {
    request = requestAnimationFrame(watch);
    if (running.frame - from >= every * stepsPerSecond) {
      switched = true;
      current = next(current);
      loop.restart(running.seed, pieces[current][1]);
      from = 0;
      document.body.dataset.saverScript = pieces[current][0];
    }
  };
  let request = requestAnimationFrame(watch);
  return () => {
    cancelAnimationFrame(request);
    delete document.body.dataset.saverScript;
    if (switched) {
      loop.restart(running.seed, own);
    }
  };
}
