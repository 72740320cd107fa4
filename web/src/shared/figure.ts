// The figure's canvas: its WebGL 2 context and replayer, and a drawing buffer that follows the
// canvas's size on the page unless ?size= fixes it (then shrunk to fit, as style.css says).
import type { Engine } from './engine';
import { createReplayer } from './replay';

export interface Figure {
  // Draws the frame the engine recorded last.
  draw(): void;
  // Measures the canvas again after a change of layout; redraws through onResize when it changed.
  fit(): void;
}

export interface FixedSize {
  width: number; // pixels
  height: number; // pixels
}

// The figure, or null when the browser has no WebGL 2.
export function createFigure(
  canvas: HTMLCanvasElement,
  mesh: Engine['mesh'], // the engine's, which may come after the figure
  size: FixedSize | null,
  onResize: () => void,
): Figure | null {
  const fit = (): void => {
    if (size) {
      return;
    }
    const width = Math.max(1, Math.round(canvas.clientWidth * devicePixelRatio));
    const height = Math.max(1, Math.round(canvas.clientHeight * devicePixelRatio));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      onResize();
    }
  };
  // The drawing buffer gets its size before the context is made: resizing it afterwards asks the
  // GPU's side whether the new buffer is complete, and waits for the answer.
  if (size) {
    canvas.width = size.width;
    canvas.height = size.height;
    canvas.classList.add('fixed');
  } else {
    fit();
  }
  // No depth buffer: the replayer draws in order, without a depth test, so none is made to start.
  const gl = canvas.getContext('webgl2', { alpha: false, antialias: false, depth: false, preserveDrawingBuffer: true });
  if (!gl) {
    return null;
  }
  const replayer = createReplayer(gl);
  if (!size) {
    new ResizeObserver(fit).observe(canvas);
  }

  return {
    draw() {
      // Outlines one CSS pixel wide, or one drawing-buffer pixel at a fixed size.
      const lineWidth = size ? 1 : devicePixelRatio;
      replayer.draw(mesh(gl.drawingBufferWidth, gl.drawingBufferHeight, lineWidth));
    },
    fit,
  };
}
