// An animated GIF of the clip's frames (gifenc): each frame with its own palette of at most 256
// colours, looping. GIF delays count hundredths of a second, so 30 frames a second play as 33.
import { GIFEncoder, applyPalette, quantize } from 'gifenc';
import type { ClipEncoder, ClipShape } from './clip';

export function createGifEncoder(shape: ClipShape): ClipEncoder {
  const gif = GIFEncoder();
  const delay = 1000 / shape.rate; // milliseconds
  return {
    async add(source) {
      const rgba = source.pixels();
      const palette = quantize(rgba, 256);
      gif.writeFrame(applyPalette(rgba, palette), shape.width, shape.height, { palette, delay });
    },
    async finish() {
      gif.finish();
      return new Blob([gif.bytes()], { type: 'image/gif' });
    },
    cancel: () => gif.reset(),
  };
}
