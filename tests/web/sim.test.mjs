// The Node build of lumenweave-sim against the native one: the same bytes on standard output
// and the same exit status, for the values, a script, the trace and the checker.
//   LUMENWEAVE_SIM=... node --test sim.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readdirSync, rmSync, symlinkSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { siteDir, sourceDir } from '../../web/tools/browser.mjs';

const nodeSim = join(siteDir, 'lumenweave-sim.mjs');
const faults = 'seqdo: 4\nactset: 31, 1e999\nbad\0line\n';

function both(args, input) {
  const native = spawnSync(process.env.LUMENWEAVE_SIM, args, { input, maxBuffer: 1 << 28 });
  const web = spawnSync('node', [nodeSim, ...args], { input, maxBuffer: 1 << 28 });
  return [native, web];
}

test('the same output as the native lumenweave-sim', () => {
  const example = join(sourceDir, 'examples', 'random-bursts.txt');
  const cases = [
    ['--seed', '1', '--frames', '20000'],
    ['--seed', '3', '--frames', '5000'],
    // Low 32 bits of the seed, as srand48 takes it.
    ['--seed', '-1', '--frames', '3000'],
    ['--seed', '7', '--frames', '5000', '--script', example],
    ['--seed', '5', '--frames', '600', '--trace'],
    ['--check', '-'],
    ['--seed', '2', '--frames', '10', '--script', '-'],
    ['--frames', '-1'],
  ];
  for (const args of cases) {
    const [native, web] = both(args, faults);
    const name = args.join(' ');
    assert.ok(native.stdout.length > 0 || native.status === 2, `${name}: native output`);
    assert.equal(web.status, native.status, `${name}: exit status`);
    assert.ok(web.stdout.equals(native.stdout), `${name}: standard output`);
    assert.equal(web.stderr.toString(), native.stderr.toString(), `${name}: standard error`);
  }
  // Warnings alone: listed, and the exit status says the script runs.
  const [native, web] = both(['--check', '-'], 'actset: 38, 2O\n');
  assert.equal(native.status, 0);
  assert.equal(web.status, 0);
  assert.ok(web.stdout.equals(native.stdout) && native.stdout.length > 0);
});

// The measuring script on a source tree where nothing native is built: it says what it left out
// and goes on, and the site's size counts the files in its folders (the gallery's, the actuators').
test('measure.mjs without the native benchmark, and the site size of every folder', () => {
  const tree = mkdtempSync(join(tmpdir(), 'lumenweave-measure-'));
  try {
    mkdirSync(join(tree, 'web', 'tools'), { recursive: true });
    mkdirSync(join(tree, 'web', 'src', 'shared'), { recursive: true });
    mkdirSync(join(tree, 'build'));
    for (const file of ['measure.mjs', 'browser.mjs']) {
      copyFileSync(join(sourceDir, 'web', 'tools', file), join(tree, 'web', 'tools', file));
    }
    for (const path of [['web', 'package.json'], ['web', 'node_modules'], ['web', 'src', 'shared', 'share.ts']]) {
      symlinkSync(join(sourceDir, ...path), join(tree, ...path));
    }
    symlinkSync(siteDir, join(tree, 'build', 'web'));
    const run = spawnSync('node', [join(tree, 'web', 'tools', 'measure.mjs'), 'recording', 'size'], { encoding: 'utf8' });
    assert.equal(run.status, 0, run.stderr);
    assert.match(run.stdout, /native not measured: lumenweave-bench is not built/);
    const counted = Number(/^site \((\d+) files\)/m.exec(run.stdout)?.[1]);
    const files = (dir) => readdirSync(join(siteDir, dir), { withFileTypes: true }).filter((e) => e.isFile() && !/\.(gz|br)$/.test(e.name)).length;
    assert.ok(files('gallery') > 0 && files('actuators') > 0);
    assert.ok(counted >= files('.') + files('gallery') + files('actuators'), `${counted} files counted`);
  } finally {
    rmSync(tree, { recursive: true, force: true });
  }
});
