// The page's pacing, fed animation-frame times of fast, slow, jittery and interrupted displays:
// 60 steps per second of elapsed time, several in one frame up to the bound when frames come
// slower, none to catch up beyond it; a lower drawing rate skips frames, not steps. The times are made here, not read from a clock, so the rates
// hold exactly however busy the machine is.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';
import { sourceDir } from '../../web/tools/browser.mjs';

const { transformSync } = createRequire(join(sourceDir, 'web', 'package.json'))('esbuild');
const source = readFileSync(join(sourceDir, 'web', 'src', 'shared', 'pacing.ts'), 'utf8');
const { code } = transformSync(source, { loader: 'ts', format: 'esm' });
const { paceFrame, maxStepsPerFrame, drawDue, setDrawRate } = await import(`data:text/javascript,${encodeURIComponent(code)}`);

// The steps each frame takes, over the given frame times.
function stepsPerFrame(times, pace = { deadline: null }) {
  return times.map((t) => paceFrame(pace, t));
}
const sum = (counts) => counts.reduce((a, b) => a + b, 0);

function display(hz, seconds, jitter = () => 0) {
  return Array.from({ length: hz * seconds }, (_, i) => (i * 1000) / hz + jitter(i));
}

test('sixty steps a second of elapsed time at any display rate and through jitter', () => {
  for (const hz of [30, 50, 60, 75, 120, 144, 240]) {
    const counts = stepsPerFrame(display(hz, 10));
    assert.ok(Math.abs(sum(counts) - 600) <= 1, `${hz} Hz: ${sum(counts)} steps in 10 s`);
    assert.ok(Math.max(...counts) <= Math.ceil(60 / hz), `${hz} Hz: no frame takes more than its share`);
  }
  // Up to 3 ms early or late on a 60 Hz display: every frame takes one step.
  assert.deepEqual(new Set(stepsPerFrame(display(60, 10, (i) => 3 * Math.sin(i * 2.3)))), new Set([1]));
  // A page whose own frames take 10 to 110 ms, irregularly: still real time.
  let seed = 7;
  const times = [0];
  while (times.at(-1) < 10000) {
    seed = (seed * 48271) % 2147483647;
    times.push(times.at(-1) + 10 + (seed % 100));
  }
  const counts = stepsPerFrame(times);
  assert.ok(Math.abs(sum(counts) - (times.at(-1) * 60) / 1000) <= 1, `${sum(counts)} steps in ${times.at(-1)} ms`);
});

test('after a gap: catch-up up to the bound, no burst beyond it', () => {
  // A 144 Hz display, then a gap, then a second of frames again.
  for (const gap of [100, 5000]) {
    const pace = { deadline: null };
    const before = sum(stepsPerFrame(display(144, 1), pace));
    const counts = stepsPerFrame(display(144, 1).map((t) => t + 1000 + gap), pace);
    if (gap === 100) {
      // Within the bound the lost time is made up: the figure is where real time puts it.
      assert.ok(counts[0] > 1 && counts[0] <= maxStepsPerFrame, `${gap} ms: ${counts[0]} steps in the frame back`);
      assert.ok(Math.abs(before + sum(counts) - (2000 + gap) * 0.06) <= 1, `${gap} ms: real time kept`);
    } else {
      assert.equal(counts[0], maxStepsPerFrame, `${gap} ms: the frame back takes the bound, not the gap`);
      assert.ok(Math.abs(sum(counts.slice(1)) - 60) <= 1, `${gap} ms: sixty a second after it, no catching up`);
    }
  }
});

test('at 30 frames a second on displays of 60, 75 and 144 Hz: 30 drawn, still sixty steps', () => {
  for (const hz of [60, 75, 144]) {
    const gate = { period: null, next: null };
    setDrawRate(gate, 30);
    const pace = { deadline: null };
    const drawn = display(hz, 10, (i) => 2 * Math.sin(i * 2.3)).filter((t) => drawDue(gate, t));
    const counts = stepsPerFrame(drawn, pace);
    assert.ok(Math.abs(drawn.length - 300) <= 1, `${hz} Hz: ${drawn.length} frames drawn in 10 s`);
    assert.ok(Math.abs(sum(counts) - 600) <= 1, `${hz} Hz: ${sum(counts)} steps in 10 s`);
  }
});
