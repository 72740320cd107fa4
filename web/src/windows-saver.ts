// The Windows screensaver the page makes: a copy of the released Lumenweave.scr with a script
// placed in the space the program keeps for it (hosts/windows/script_space.hpp), and its file name.
import { spaceMarker } from 'generated/script-space';
import { crc32 } from './shared/share';

// The site's copy of the released program, fetched only when a saver is made.
export const saverProgramUrl = 'Lumenweave.scr';

export type Placed =
  | { kind: 'placed'; bytes: Uint8Array }
  | { kind: 'too-long'; limit: number } // limit: bytes of UTF-8 text the space holds
  | { kind: 'no-space' }; // not a program with one script space

// After the marker, little-endian: capacity, length and CRC-32 (each 4 bytes), then the text.
const marker = new TextEncoder().encode(spaceMarker);
const capacityAt = marker.length;
const lengthAt = capacityAt + 4;
const crcAt = lengthAt + 4;
const textAt = crcAt + 4;

// Where the marker starts, if it occurs exactly once.
function markerOnce(program: Uint8Array): number | null {
  let found: number | null = null;
  for (let at = program.indexOf(marker[0]); at >= 0; at = program.indexOf(marker[0], at + 1)) {
    if (marker.every((byte, i) => program[at + i] === byte)) {
      if (found !== null) {
        return null;
      }
      found = at;
    }
  }
  return found;
}

// A copy of the program whose space holds `text` (which then runs in place of the built-in
// script); every byte outside the space stays as it was. The empty text empties the space.
export function placeScript(program: Uint8Array, text: string): Placed {
  const at = markerOnce(program);
  if (at === null || at + textAt > program.length) {
    return { kind: 'no-space' };
  }
  const view = new DataView(program.buffer, program.byteOffset, program.byteLength);
  const capacity = view.getUint32(at + capacityAt, true);
  if (at + textAt + capacity > program.length) {
    return { kind: 'no-space' };
  }
  const bytes = new TextEncoder().encode(text);
  if (bytes.length > capacity) {
    return { kind: 'too-long', limit: capacity };
  }
  const placed = new Uint8Array(program); // a copy, also of a Node Buffer, whose slice() shares
  const out = new DataView(placed.buffer);
  out.setUint32(at + lengthAt, bytes.length, true);
  out.setUint32(at + crcAt, bytes.length === 0 ? 0 : crc32(bytes), true);
  placed.fill(0, at + textAt, at + textAt + capacity);
  placed.set(bytes, at + textAt);
  return { kind: 'placed', bytes: placed };
}

export const maxSaverName = 64; // characters before ".scr": room in the settings list and in paths

// A Windows file name NAME.scr from what the user typed. The screen-saver settings list a saver
// with a long file name by that name without its ".scr" (a name that fits 8.3 may be listed by
// the program's string 1, "Lumenweave"), so the name chosen is the name listed, with no byte of
// the program changed but those of the script space. Characters Windows refuses in names
// (<>:"/\|?* and controls) and blanks become "-": savers whose names hold spaces have been seen
// listed garbled. Dots and blanks at either end go (Windows drops them at the end), a typed
// ".scr" is not doubled, a device name (CON, NUL, COM1, ...) is not left alone, and an empty name
// gives "Lumenweave".
export function saverFileName(name: string): string {
  const tidy = (text: string) => text.replace(/^[-.\s]+|[-.\s]+$/g, '');
  const cleaned = tidy(
    name
      .normalize('NFC')
      .replace(/\.scr\s*$/i, '')
      .replace(/[<>:"/\\|?*\u0000-\u001f\u007f\s]+/g, '-'),
  );
  let stem = tidy(Array.from(cleaned).slice(0, maxSaverName).join('')) || 'Lumenweave';
  if (/^(con|prn|aux|nul|com[0-9¹²³]|lpt[0-9¹²³])(\.|$)/i.test(stem)) {
    stem = `Lumenweave-${stem}`;
  }
  return `${stem}.scr`;
}
