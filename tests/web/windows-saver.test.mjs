// The page's Windows saver module (web/src/windows-saver.ts) in Node: a script placed in the
// space, counted in bytes of UTF-8 against the capacity the file gives, and nothing else changed;
// a file without one space refused; the file names it gives; and the site's copy of the program,
// which the service worker leaves to be fetched when used.
//   node --test windows-saver.test.mjs     (after tools/playground.sh build)
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { crc32 } from 'node:zlib';
import { siteDir } from '../../web/tools/browser.mjs';
import { windowsSaver } from '../../web/tools/place-script.mjs';

const { placeScript, saverFileName, saverProgramUrl } = await windowsSaver();
const marker = Buffer.from('LumenweaveSpace1');

// Bytes around a space of `capacity` bytes whose text is `filler`: a Node Buffer, as Node reads
// files, part of a larger memory block and with a slice() that shares it.
function program(capacity, filler = '') {
  const fields = Buffer.alloc(12 + capacity);
  fields.writeUInt32LE(capacity, 0);
  Buffer.from(filler).copy(fields, 12);
  return Buffer.concat([Buffer.from('MZ before'), marker, fields, Buffer.from('after')]);
}
const fieldsAt = 9 + marker.length;

test('a script placed in the space, in bytes of UTF-8 up to the capacity the file gives', () => {
  const before = program(8, 'previous');
  for (const text of ['éééé', 'x']) {
    const placed = placeScript(before, text);
    assert.equal(placed.kind, 'placed', text);
    const after = Buffer.from(placed.bytes);
    const bytes = Buffer.from(text);
    assert.equal(after.readUInt32LE(fieldsAt + 4), bytes.length, `${text}: length`);
    assert.equal(after.readUInt32LE(fieldsAt + 8), crc32(bytes), `${text}: CRC-32`);
    const space = after.subarray(fieldsAt + 12, fieldsAt + 20);
    assert.deepEqual(space, Buffer.concat([bytes, Buffer.alloc(8 - bytes.length)]), `${text}: the text, zero-filled`);
    assert.deepEqual(after.subarray(0, fieldsAt + 4), before.subarray(0, fieldsAt + 4));
    assert.deepEqual(after.subarray(fieldsAt + 20), before.subarray(fieldsAt + 20));
  }
  assert.deepEqual(before, program(8, 'previous'), 'the program given is left as it was');
  assert.deepEqual(placeScript(before, 'éééé!'), { kind: 'too-long', limit: 8 });
  assert.deepEqual(placeScript(before, 'abcdefghi'), { kind: 'too-long', limit: 8 });
  const twice = Buffer.concat([program(8), program(8)]);
  const cut = program(8).subarray(0, fieldsAt + 19);
  for (const [what, bytes] of [['no marker', new Uint8Array(4096)], ['two markers', twice], ['cut short', cut]]) {
    assert.deepEqual(placeScript(bytes, 'x'), { kind: 'no-space' }, what);
  }
});

test("the site's program: its space takes 65536 bytes, and the service worker leaves it out", () => {
  const scr = readFileSync(join(siteDir, saverProgramUrl));
  assert.equal(placeScript(scr, 'x'.repeat(65536)).kind, 'placed');
  assert.deepEqual(placeScript(scr, 'x'.repeat(65537)), { kind: 'too-long', limit: 65536 });
  assert.ok(!readFileSync(join(siteDir, 'sw.js'), 'utf8').includes(saverProgramUrl));
});

test('file names Windows takes, ending in .scr', () => {
  const names = [
    ['Slow dance', 'Slow-dance.scr'],
    ['  a/b\\c:d*e?f"g<h>i|j\tk\u0001l  ', 'a-b-c-d-e-f-g-h-i-j-k-l.scr'],
    ['Spiral.SCR', 'Spiral.scr'],
    ['...dots...', 'dots.scr'],
    ['', 'Lumenweave.scr'],
    ['??', 'Lumenweave.scr'],
    ['con', 'Lumenweave-con.scr'],
    ['LPT1.txt', 'Lumenweave-LPT1.txt.scr'],
    ['console', 'console.scr'],
    ['Étoile ✨', 'Étoile-✨.scr'],
    ['x'.repeat(64), `${'x'.repeat(64)}.scr`],
    ['x'.repeat(65), `${'x'.repeat(64)}.scr`],
    [`${'x'.repeat(63)}😀😀`, `${'x'.repeat(63)}😀.scr`],
  ];
  for (const [typed, expected] of names) {
    assert.equal(saverFileName(typed), expected, JSON.stringify(typed));
  }
});
