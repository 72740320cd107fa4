// A WebM clip: the browser's VideoEncoder (VP9, or VP8 where VP9 is missing; both are software
// codecs in Chromium) and mediabunny's WebM muxer, into memory.
import { BufferTarget, EncodedPacket, EncodedVideoPacketSource, Output, WebMOutputFormat } from 'mediabunny';
import type { ClipEncoder, ClipShape } from './clip';

const codecs = [
  { muxer: 'vp9', encoder: 'vp09.00.10.08' }, // profile 0, 8 bits
  { muxer: 'vp8', encoder: 'vp8' },
] as const;
const bitsPerPixel = 0.15; // per frame: line art on black needs little
const keyFrameSeconds = 2; // a player seeks to a key frame at most this far back
const queuedFrames = 4; // frames waiting in the encoder before the next is held back

export async function createWebmEncoder(shape: ClipShape): Promise<ClipEncoder> {
  if (typeof VideoEncoder === 'undefined') {
    throw new Error('this browser has no VideoEncoder (it needs a secure address, https: or localhost)');
  }
  const base: VideoEncoderConfig = {
    codec: '',
    width: shape.width,
    height: shape.height,
    framerate: shape.rate,
    bitrate: Math.round(shape.width * shape.height * shape.rate * bitsPerPixel),
    latencyMode: 'quality',
  };
  let chosen: (typeof codecs)[number] | null = null;
  for (const codec of codecs) {
    const { supported } = await VideoEncoder.isConfigSupported({ ...base, codec: codec.encoder });
    if (supported) {
      chosen = codec;
      break;
    }
  }
  if (!chosen) {
    throw new Error(`this browser encodes neither VP9 nor VP8 at ${shape.width} x ${shape.height}`);
  }

  const target = new BufferTarget();
  const output = new Output({ format: new WebMOutputFormat(), target });
  const track = new EncodedVideoPacketSource(chosen.muxer);
  output.addVideoTrack(track, { frameRate: shape.rate });
  await output.start();

  // Packets go to the muxer in the order the encoder gives them; the first failure is kept.
  let muxed = Promise.resolve();
  let failure: Error | null = null;
  const encoder = new VideoEncoder({
    output: (chunk, meta) => {
      muxed = muxed.then(() => track.add(EncodedPacket.fromEncodedChunk(chunk), meta));
    },
    error: (error) => (failure ??= error),
  });
  encoder.configure({ ...base, codec: chosen.encoder });
  const check = (): void => {
    if (failure) {
      throw failure;
    }
  };

  return {
    async add(source, index) {
      while (encoder.encodeQueueSize > queuedFrames) {
        await new Promise((dequeued) => encoder.addEventListener('dequeue', dequeued, { once: true }));
      }
      check();
      const frameUs = 1e6 / shape.rate; // microseconds
      const frame = new VideoFrame(source.canvas, {
        timestamp: Math.round(index * frameUs),
        duration: Math.round(frameUs),
      });
      encoder.encode(frame, { keyFrame: index % (keyFrameSeconds * shape.rate) === 0 });
      frame.close();
    },
    async finish() {
      await encoder.flush();
      check();
      await muxed;
      encoder.close();
      await output.finalize();
      return new Blob([target.buffer as ArrayBuffer], { type: 'video/webm' });
    },
    cancel() {
      if (encoder.state !== 'closed') {
        encoder.close();
      }
      muxed.catch(() => undefined);
      output.cancel().catch(() => undefined);
    },
  };
}
