// The page's address: a script shared in the fragment, and the ?seed=, ?frame= and ?size=
// settings in the query (the same numbers lumenweave-render takes), with ?every= and ?shuffle for
// a rotation (as the Linux program's --every and --shuffle).
//   #z=  the script compressed: base64url without padding of [the UTF-8 text's length in bytes
//        (LEB128), its CRC-32 (4 bytes, big-endian), the text in deflate-raw]; the length and
//        the checksum tell a link cut short or damaged from a sound one.
//   #s=  links made before: the UTF-8 text in base64url without padding, still read.
import { maxEvery, parseEvery } from './every';

function toBase64url(bytes: Uint8Array): string {
  let binary = '';
  for (const byte of bytes) {
    binary += String.fromCharCode(byte);
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64url(text: string): Uint8Array<ArrayBuffer> | null {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) {
    return null;
  }
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (ch) => ch.charCodeAt(0));
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) {
    c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  }
  return c >>> 0;
});

// CRC-32 (IEEE), as zlib computes it: the links' check, and the Windows saver's script space's.
export function crc32(bytes: Uint8Array): number {
  let crc = 0xffffffff;
  for (const byte of bytes) {
    crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  }
  return (crc ^ 0xffffffff) >>> 0;
}

// All of a stream's bytes, or null once they pass limit.
async function readAll(stream: ReadableStream<Uint8Array>, limit: number): Promise<Uint8Array | null> {
  const parts: Uint8Array[] = [];
  let total = 0;
  for (const reader = stream.getReader(); ;) {
    const { done, value } = await reader.read();
    if (done) {
      break;
    }
    total += value.length;
    if (total > limit) {
      await reader.cancel();
      return null;
    }
    parts.push(value);
  }
  const all = new Uint8Array(total);
  let at = 0;
  for (const part of parts) {
    all.set(part, at);
    at += part.length;
  }
  return all;
}

function through(
  bytes: Uint8Array<ArrayBuffer>,
  transform: CompressionStream | DecompressionStream,
): ReadableStream<Uint8Array> {
  return new Blob([bytes]).stream().pipeThrough(transform);
}

// The fragment (with its #z=) that carries text.
export async function encodeLink(text: string): Promise<string> {
  const bytes = new TextEncoder().encode(text);
  const header: number[] = [];
  for (let n = bytes.length; ; n = Math.floor(n / 128)) {
    header.push((n % 128) | (n >= 128 ? 128 : 0));
    if (n < 128) {
      break;
    }
  }
  const crc = crc32(bytes);
  header.push(crc >>> 24, (crc >>> 16) & 0xff, (crc >>> 8) & 0xff, crc & 0xff);
  const packed = await readAll(through(bytes, new CompressionStream('deflate-raw')), Infinity);
  const whole = new Uint8Array(header.length + (packed as Uint8Array).length);
  whole.set(header);
  whole.set(packed as Uint8Array, header.length);
  return `#z=${toBase64url(whole)}`;
}

// bytes: far above any script typed by hand (the examples are a few kB), and checked in a blink;
// a 40 kB link could otherwise expand to megabytes and hold the page for seconds at start-up.
export const maxLinkedScript = 1024 * 1024;

export type LinkReading =
  | { kind: 'script'; text: string }
  | { kind: 'too-large'; bytes: number } // a script longer than maxLinkedScript
  | { kind: 'empty' } // a link whose script is empty: said, never shown as an empty editor
  | { kind: 'damaged' } // cut short, altered, or not one of ours
  | { kind: 'none' }; // no fragment

async function readCompressed(payload: string): Promise<string | number | null> {
  const bytes = fromBase64url(payload);
  if (!bytes) {
    return null;
  }
  let length = 0;
  let at = 0;
  for (let scale = 1; ; scale *= 128) {
    if (at >= bytes.length || scale > 2 ** 28) {
      return null;
    }
    const byte = bytes[at++];
    length += (byte & 127) * scale;
    if (byte < 128) {
      break;
    }
  }
  if (bytes.length < at + 4) {
    return null;
  }
  if (length > maxLinkedScript) {
    return length;
  }
  const crc = ((bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]) >>> 0;
  let text: Uint8Array | null;
  try {
    text = await readAll(through(bytes.subarray(at + 4), new DecompressionStream('deflate-raw')), length);
  } catch {
    return null; // the compressed data ends early or is not deflate
  }
  if (!text || text.length !== length || crc32(text) !== crc) {
    return null;
  }
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(text);
  } catch {
    return null;
  }
}

function readPlain(payload: string): string | null {
  const bytes = fromBase64url(payload);
  try {
    return bytes && new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch {
    return null;
  }
}

export async function readLink(fragment: string): Promise<LinkReading> {
  if (fragment === '' || fragment === '#') {
    return { kind: 'none' };
  }
  // Any other fragment is a plain anchor, no link of ours.
  const match = /^#([sz])=(.*)$/s.exec(fragment);
  if (!match) {
    return { kind: 'none' };
  }
  const text = match[1] === 'z' ? await readCompressed(match[2]) : readPlain(match[2]);
  if (text === null) {
    return { kind: 'damaged' };
  }
  if (typeof text === 'number' || text.length > maxLinkedScript) {
    return { kind: 'too-large', bytes: typeof text === 'number' ? text : new TextEncoder().encode(text).length };
  }
  return text === '' ? { kind: 'empty' } : { kind: 'script', text };
}

// What the status line says of a link that gave no script; the built-in script is shown then.
export function linkTrouble(reading: LinkReading): string | null {
  switch (reading.kind) {
    case 'damaged':
      return 'The link is cut short or damaged, so its script cannot be read; showing the built-in script.';
    case 'empty':
      return 'The link holds an empty script; showing the built-in script.';
    case 'too-large':
      return `The link's script is ${reading.bytes} bytes long; links hold ${maxLinkedScript} at most, so it is not read; showing the built-in script.`;
    default:
      return null;
  }
}

// The address that opens text with seed, at frame when one is given (the figure paused there).
// Other settings of the query (?size=) stay as they are.
export async function shareAddress(text: string, seed: number, frame: number | null): Promise<string> {
  const query = new URLSearchParams(location.search);
  query.set('seed', String(seed));
  if (frame === null) {
    query.delete('frame');
  } else {
    query.set('frame', String(frame));
  }
  return `${location.origin}${location.pathname}?${query}${await encodeLink(text)}`;
}

export const maxSeed = 4294967295;
// The furthest frame an address may ask for (about 23 hours of animation): the page gets there in
// 1 to 5 s on this project's loaded 2-core machine (docs/performance.md).
export const maxFrame = 5000000;
export const maxSide = 8192; // pixels

// A whole decimal number from low to high, or null.
export function parseWhole(text: string | null, low: number, high: number): number | null {
  if (text === null || !/^[0-9]{1,10}$/.test(text)) {
    return null;
  }
  const value = Number(text);
  return value >= low && value <= high ? value : null;
}

export interface AddressSettings {
  seed: number | null;
  frame: number | null; // the frame shown, paused, counted from 1; maybe beyond maxFrame
  size: { width: number; height: number } | null; // pixels
  every: number | null; // seconds of animation before the saver or the wallpaper goes on to the next script
  shuffle: boolean; // in a random order
  refused: string[]; // what the page says of each setting it cannot take, which it goes without
}

export function readSettings(search: string): AddressSettings {
  const query = new URLSearchParams(search);
  const refused: string[] = [];
  // The setting's value read, or null when it is absent or refused (said).
  const read = <T>(name: string, parse: (text: string) => T | null, wanted: string): T | null => {
    const text = query.get(name);
    const value = text === null ? null : parse(text);
    if (text !== null && value === null) {
      refused.push(`The address's ${name} "${text}" is not ${wanted}; it is left out.`);
    }
    return value;
  };
  const size = read(
    'size',
    (text) => {
      const match = /^([0-9]+)x([0-9]+)$/.exec(text);
      const width = match ? parseWhole(match[1], 1, maxSide) : null;
      const height = match ? parseWhole(match[2], 1, maxSide) : null;
      return width !== null && height !== null ? { width, height } : null;
    },
    `WIDTHxHEIGHT in whole pixels from 1 to ${maxSide}`,
  );
  return {
    seed: read('seed', (text) => parseWhole(text, 0, maxSeed), `a whole number from 0 to ${maxSeed}`),
    // Any count of digits: a frame beyond maxFrame is gone to as far as links go, and said so.
    frame: read(
      'frame',
      (text) => (/^[0-9]+$/.test(text) && Number(text) >= 1 ? Number(text) : null),
      'a whole number from 1',
    ),
    size,
    every: read('every', parseEvery, `a time from 1 s to ${maxEvery / 3600} h, such as 30s, 10m or 1h`),
    shuffle: query.has('shuffle'),
    refused,
  };
}
