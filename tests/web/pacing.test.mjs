// The page's pacing, fed animation-frame times of fast, jittery and interrupted displays: one step
// per 1/60 s of elapsed time, never more than one per frame. The times are made here, not read from
// a clock, so the rates hold exactly however busy the machine is.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';
import { sourceDir } from './browser.mjs';

const { transformSync } = createRequire(join(sourceDir, 'web', 'package.json'))('esbuild');
const source = readFileSync(join(sourceDir, 'web', 'src', 'pacing.ts'), 'utf8');
const { code } = transformSync(source, { loader: 'ts', format: 'esm' });
const { paceFrame } = await import(`data:text/javascript,${encodeURIComponent(code)}`);

// Steps taken over the given frame times.
function steps(times) {
  const pace = { deadline: null };
  return times.filter((t) => paceFrame(pace, t)).length;
}

function display(hz, seconds, jitter = () => 0) {
  return Array.from({ length: hz * seconds }, (_, i) => (i * 1000) / hz + jitter(i));
}

test('sixty steps a second on 60 to 240 Hz displays and through jitter', () => {
  for (const hz of [60, 75, 120, 144, 240]) {
    assert.ok(Math.abs(steps(display(hz, 10)) - 600) <= 1, `${hz} Hz`);
  }
  // Up to 3 ms early or late on a 60 Hz display: every frame still steps.
  assert.equal(steps(display(60, 10, (i) => 3 * Math.sin(i * 2.3))), 600);
  // 50 Hz cannot show more than 50 steps a second.
  assert.equal(steps(display(50, 10)), 500);
});

test('no burst of catch-up steps after a long gap', () => {
  // A 144 Hz display that stalls for 0.1 s, and a background tab's 5 s gap; then a second of frames.
  for (const gap of [100, 5000]) {
    const pace = { deadline: null };
    display(144, 1).forEach((t) => paceFrame(pace, t));
    const stepped = display(144, 1).map((t) => paceFrame(pace, t + 1000 + gap));
    assert.ok(stepped[0], `${gap} ms: the first frame back steps`);
    assert.ok(Math.abs(stepped.filter(Boolean).length - 60) <= 1, `${gap} ms: sixty a second, no catching up`);
  }
});
