// The playground page's start-up: the core in WebAssembly, the figure, the editor and the
// controls put together; the script and settings the address gives; the loop started.
import { openAddressedFrame } from '../shared/addressed-frame';
import { followBattery } from './battery';
import { createChecker } from './checker';
import { createControls } from './controls';
import { createEditor } from './editor';
import { loadEngine } from '../shared/engine';
import { randomSeed, startFigure } from '../shared/start';
import { createExport } from '../export/dialog';
import { createHelp } from './help';
import { attachInstall } from '../install/open';
import { createLoop } from '../shared/loop';
import { keepForOffline } from './offline';
import { pageElements } from './page';
import { createSaver } from './saver';
import { createSaverRotation } from './saver-rotation';
import { openScripts } from './scripts';
import { readSettings } from '../shared/share';
import { createRunning } from '../shared/state';
import { attachStatus, say, sayToo } from '../shared/status';

async function main(): Promise<void> {
  // The module runs: the page is served, and the note for a page opened from a file goes.
  document.getElementById('unserved')?.remove();
  const page = pageElements();
  attachStatus(page.status);
  const settings = readSettings(location.search);

  const engineAddress = new URL('lumenweave.wasm', document.baseURI).href;
  // The loop draws what a resize asks for once it exists; until then nothing is shown.
  const started = await startFigure(engineAddress, page.canvas, settings.size, () => loop.draw(), say);
  if (!started) {
    return;
  }
  const { engine, figure } = started;
  const running = createRunning(settings.seed ?? randomSeed());
  const loop = createLoop(engine, figure, running);
  figure.fit();

  page.seed.value = String(running.seed);
  const scripts = await openScripts(engine.builtinScript);
  // The state of the checker's thread, for the "checking" note beside the problems and for the
  // tests and the measuring script.
  const checker = createChecker(new URL('check-worker.js', document.baseURI).href, (state) => {
    document.body.dataset.checking = String(state.running);
    document.body.dataset.checks = String(state.answers);
  });
  const editor = createEditor(
    page.editor,
    page.problems,
    (text) => checker.check(text),
    () => controls.run(),
    scripts.start,
  );
  const saver = createSaver(
    page.stage,
    page.saverNote,
    () => {
      requestAnimationFrame(figure.fit);
      rotation.follow(saver.active());
    },
    engine,
  );
  const rotation = createSaverRotation(page.rotate, running, loop);
  const help = createHelp(page.help);
  const controls = createControls(page, running, engine, loop, editor, saver, help, scripts);
  createExport(page.exporting, running, engine.builtinScript, () => loadEngine(engineAddress));
  attachInstall([page.install, page.helpInstall], {
    text: () => editor.text(),
    seed: () => running.seed,
    engine,
    loadEngine: () => loadEngine(engineAddress),
  });

  // The script of a link new to this tab goes into the editor, then the figure runs.
  scripts.attach(editor, () => controls.run());
  if (settings.refused.length > 0) {
    sayToo(settings.refused.join(' '));
  }
  if (settings.frame !== null) {
    controls.setPaused(true);
    void openAddressedFrame(settings.frame, loop, page.seeking);
  }
  loop.begin();
  void followBattery(loop);
  keepForOffline();
  document.body.dataset.ready = 'true';
}

void main();
