// What every page does first: the core loaded and the figure's WebGL 2 context made, a failure of
// either said in the page's own way (the status line, or the wallpaper's note).
import { type Engine, loadEngine } from './engine';
import { createFigure, type Figure, type FixedSize } from './figure';
import { maxSeed } from './share';

export interface Started {
  engine: Engine;
  figure: Figure;
}

// `redraw` draws the frame shown again when the canvas's size changes, once this has returned;
// `tell` says what failed.
export async function startFigure(
  engineSource: string | Uint8Array<ArrayBuffer>,
  canvas: HTMLCanvasElement,
  size: FixedSize | null,
  redraw: () => void,
  tell: (note: string) => void,
): Promise<Started | null> {
  // The engine is fetched and compiled off the main thread while the WebGL context is made, which
  // can hold the main thread for a while.
  const loading = loadEngine(engineSource);
  let engine: Engine | null = null;
  // A resize before the engine came has nothing to draw again.
  const figure = createFigure(
    canvas,
    (...args) => (engine as Engine).mesh(...args),
    size,
    () => engine && redraw(),
  );
  try {
    engine = await loading;
  } catch (error) {
    console.error(error);
    tell(`The engine (lumenweave.wasm) could not be loaded: ${String(error)}. Reload the page to try again.`);
    return null;
  }
  if (!figure) {
    tell('This browser has no WebGL 2: the figure cannot be drawn.');
    return null;
  }
  return { engine, figure };
}

// A seed for a page whose address gives none.
export function randomSeed(): number {
  return Math.floor(Math.random() * (maxSeed + 1));
}

// An element of the page by its id; a missing one is a fault of the page's HTML.
export function element<T extends HTMLElement>(id: string): T {
  const found = document.getElementById(id);
  if (!found) {
    throw new Error(`the page has no #${id}`);
  }
  return found as T;
}
