// The frames of an export: an engine instance and a WebGL 2 context of their own, off the page,
// so that an export never moves or redraws the figure the page shows. Frames are counted as
// ?frame= and lumenweave-render --frames count them, and drawn as a fixed-size figure is.
import type { Engine } from '../shared/engine';
import type { FixedSize } from '../shared/figure';
import { createReplayer } from '../shared/replay';
import { advanceInSlices } from '../shared/slices';

export interface FrameSource {
  canvas: OffscreenCanvas; // holds the frame drawn last
  // Starts afresh on the script and goes to frame, drawing it; frames on the way are stepped a
  // slice at a time with progress(frame reached). False when cancelled on the way.
  goTo(
    seed: number,
    script: string,
    frame: number,
    size: FixedSize,
    cancelled: () => boolean,
    progress: (reached: number) => void,
  ): Promise<boolean>;
  // Steps `count` frames and draws the last.
  next(count: number): void;
  frame: number; // the frame drawn last
  // The frame drawn last, RGBA, the top row first.
  pixels(): Uint8Array;
}

export function createFrameSource(engine: Engine): FrameSource {
  const canvas = new OffscreenCanvas(1, 1);
  const gl = canvas.getContext('webgl2', { alpha: false, antialias: false, preserveDrawingBuffer: true });
  if (!gl) {
    throw new Error('this browser has no WebGL 2 off the page');
  }
  const replayer = createReplayer(gl);
  let row = new Uint8Array(0);

  const source: FrameSource = {
    canvas,
    frame: 0,
    async goTo(seed, script, frame, size, cancelled, progress) {
      canvas.width = size.width;
      canvas.height = size.height;
      engine.start(seed, script);
      source.frame = 0;
      const advance = (count: number): void => {
        for (let i = 0; i < count; ++i) {
          engine.advance();
        }
        source.frame += count;
      };
      if (!(await advanceInSlices(0, frame - 1, advance, progress, () => !cancelled()))) {
        return false;
      }
      source.next(1);
      return true;
    },
    next(count) {
      for (let i = 1; i < count; ++i) {
        engine.advance();
      }
      engine.record();
      source.frame += count;
      // Outlines one pixel wide, as at a fixed size on the page and in lumenweave-render.
      replayer.draw(engine.mesh(canvas.width, canvas.height, 1));
    },
    pixels() {
      const { width, height } = canvas;
      const rgba = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
      // WebGL reads the bottom row first.
      const stride = width * 4;
      if (row.length !== stride) {
        row = new Uint8Array(stride);
      }
      for (let top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        row.set(rgba.subarray(top * stride, (top + 1) * stride));
        rgba.copyWithin(top * stride, bottom * stride, (bottom + 1) * stride);
        rgba.set(row, bottom * stride);
      }
      return rgba;
    },
  };
  return source;
}
