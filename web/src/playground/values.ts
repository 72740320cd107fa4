// The actuator values panel: what each of the fourteen actuators holds at the frame shown, asked
// of the engine after each frame while stepping and a few times a second while running (faster
// is unreadable), and only while the panel is open; loaded when it is first opened.
import { actuatorNames } from 'generated/names';
import type { Engine } from '../shared/engine';
import type { Loop } from '../shared/loop';
import type { Running } from '../shared/state';

const runningPeriod = 250; // milliseconds between updates while the figure runs

export function showValues(panel: HTMLDetailsElement, list: HTMLElement, engine: Engine, loop: Loop, running: Running): void {
  const cells = actuatorNames.map(([index, name]) => {
    const row = document.createElement('div');
    const label = document.createElement('dt');
    label.textContent = `${index} ${name}`;
    const value = document.createElement('dd');
    row.append(label, value);
    list.append(row);
    return { index, value };
  });
  let last = -Infinity; // milliseconds: the update before
  const update = (): void => {
    last = performance.now();
    for (const cell of cells) {
      cell.value.textContent = String(Number(engine.actuatorValue(cell.index).toPrecision(6)));
    }
  };
  loop.watch(() => {
    if (panel.open && (running.paused || performance.now() - last >= runningPeriod)) {
      update();
    }
  });
  panel.addEventListener('toggle', () => panel.open && running.shown && update());
  if (panel.open && running.shown) {
    update(); // loaded as the panel opened
  }
}
