// The page's address: a script shared in the fragment (#s= and the script's UTF-8 text in
// base64url without padding), and the ?seed=, ?frame= and ?size= settings.

export function encodeScript(text: string): string {
  const bytes = new TextEncoder().encode(text);
  let binary = '';
  for (const byte of bytes) {
    binary += String.fromCharCode(byte);
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// The script of a #s= fragment; null when there is none or it is not base64url of UTF-8 text.
export function decodeScript(fragment: string): string | null {
  const match = /^#s=([A-Za-z0-9_-]*)$/.exec(fragment);
  if (!match || match[1].length % 4 === 1) {
    return null;
  }
  const binary = atob(match[1].replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = Uint8Array.from(binary, (ch) => ch.charCodeAt(0));
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch {
    return null;
  }
}

export const maxSeed = 4294967295;
// The furthest frame an address may ask for: the page gets there in about 4 s on a loaded 2-core
// machine (docs/performance.md).
export const maxFrame = 10000000;
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
}

export function readSettings(search: string): AddressSettings {
  const query = new URLSearchParams(search);
  const size = /^([0-9]+)x([0-9]+)$/.exec(query.get('size') ?? '');
  const width = size ? parseWhole(size[1], 1, maxSide) : null;
  const height = size ? parseWhole(size[2], 1, maxSide) : null;
  return {
    seed: parseWhole(query.get('seed'), 0, maxSeed),
    frame: parseWhole(query.get('frame'), 1, Number.MAX_SAFE_INTEGER),
    size: width !== null && height !== null ? { width, height } : null,
  };
}
