// The page's row of tools/measure-power.sh: the built site (build/web) in Debian's Chromium
// (playwright-core, software WebGL 2) at 1280 x 720 for SECONDS, and the CPU time of Chromium's
// renderer and GPU processes from the kernel's accounting, beside the frames the page drew.
//   node tools/lib/page-power.mjs SECONDS [LABEL]      (prints one row of the table)
import { spawn } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';

const sourceDir = fileURLToPath(new URL('../../', import.meta.url));
const { chromium } = createRequire(join(sourceDir, 'web', 'package.json'))('playwright-core');
const seconds = Number(process.argv[2] ?? 20);
const label = process.argv[3] ?? 'the page in Chromium, 1280 × 720';
const ticksPerSecond = 100; // USER_HZ, as /proc reports times on Linux

// Every process below this one: pid, its kind (Chromium's --type, "browser" without one), CPU
// ticks and minor faults.
function descendants() {
  const procs = [];
  for (const name of readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(') ') + 2).split(' ');
      const cmdline = readFileSync(`/proc/${name}/cmdline`, 'utf8');
      procs.push({
        pid: Number(name),
        ppid: Number(fields[1]),
        kind: /--type=([\w-]+)/.exec(cmdline)?.[1] ?? (cmdline.includes('chrom') ? 'browser' : 'other'),
        ticks: Number(fields[11]) + Number(fields[12]),
        minflt: Number(fields[7]),
      });
    } catch {
      // gone meanwhile
    }
  }
  const mine = new Set([process.pid]);
  let grew = true;
  while (grew) {
    grew = false;
    for (const p of procs) {
      if (!mine.has(p.pid) && mine.has(p.ppid)) {
        mine.add(p.pid);
        grew = true;
      }
    }
  }
  return new Map(procs.filter((p) => mine.has(p.pid) && p.pid !== process.pid).map((p) => [p.pid, p]));
}

const server = spawn('python3', [join(sourceDir, 'web', 'tools', 'serve.py'), join(sourceDir, 'build', 'web'), '0'], {
  stdio: ['ignore', 'pipe', 'ignore'],
});
let origin = null;
for await (const line of createInterface({ input: server.stdout })) {
  const match = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(line);
  if (match) {
    origin = `http://127.0.0.1:${match[1]}`;
    break;
  }
}
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
    '--disable-background-networking', '--disable-component-update', '--no-first-run'],
});
try {
  const page = await browser.newPage({ viewport: { width: 1980, height: 820 } });
  await page.goto(`${origin}/?seed=1&size=1280x720`);
  await page.waitForFunction(() => Number(document.body.dataset.frame) >= 60, null, { timeout: 300000 });
  const stats = () => page.evaluate(() => ({ ...window.lumenweaveStats, t: performance.now() }));
  const p0 = descendants();
  const s0 = await stats();
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const s1 = await stats();
  const p1 = descendants();
  const wall = (s1.t - s0.t) / 1000;
  const cpu = { renderer: 0, 'gpu-process': 0, browser: 0 };
  let faults = 0;
  for (const [pid, after] of p1) {
    const before = p0.get(pid) ?? { ticks: 0, minflt: 0 };
    if (after.kind in cpu) {
      cpu[after.kind] += (after.ticks - before.ticks) / ticksPerSecond;
    }
    if (after.kind === 'renderer' || after.kind === 'gpu-process') {
      faults += after.minflt - before.minflt;
    }
  }
  const drawn = (s1.drawn ?? s1.frames) - (s0.drawn ?? s0.frames);
  const pageCpu = cpu.renderer + cpu['gpu-process'];
  const pct = (s) => ((s / wall) * 100).toFixed(1);
  const work = drawn ? (((s1.recordMs - s0.recordMs) + (s1.drawMs - s0.drawMs)) / drawn).toFixed(2) : '—';
  console.log(
    `| ${label} (renderer ${pct(cpu.renderer)} + GPU process ${pct(cpu['gpu-process'])}; ` +
      `page's own work ${work} ms a frame) | ${pct(pageCpu)} | ${(drawn / wall).toFixed(1)} | ` +
      `${drawn ? ((pageCpu / drawn) * 1000).toFixed(2) : '—'} | browser ${pct(cpu.browser)} | ${(faults / wall).toFixed(0)} |`,
  );
} finally {
  await browser.close();
  server.kill();
}
