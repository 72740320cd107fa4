// What a clip's encoders share: each takes the frames of a FrameSource in order and gives the file.
import type { FrameSource } from './frames';

export interface ClipEncoder {
  // Adds the frame the source drew last, the index-th of the clip (from 0).
  add(source: FrameSource, index: number): Promise<void>;
  finish(): Promise<Blob>;
  // Drops what was encoded; the encoder is not used again.
  cancel(): void;
}

export interface ClipShape {
  width: number; // pixels
  height: number; // pixels
  rate: number; // frames a second
}
