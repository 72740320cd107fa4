// The playground page's start-up: the core in WebAssembly, the figure, the editor and the
// controls put together; the script and settings the address gives; the loop started.
import { openAddressedFrame } from '../shared/addressed-frame';
import { followBattery } from './battery';
import { createChecker } from './checker';
import { createControls } from './controls';
import type { Editor } from './editor';
import { loadEngine } from '../shared/engine';
import { randomSeed, startFigure } from '../shared/start';
import { createHelp } from './help';
import { attachInstall } from '../install/open';
import { createLoop } from '../shared/loop';
import { keepForOffline } from './offline';
import { pageElements } from './page';
import { createSaver } from './saver';
import { attachFiles } from './files';
import { createSaverRotation } from './saver-rotation';
import { openScripts } from './scripts';
import { attachScriptsBar } from './scripts-bar';
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
  // The checker's thread starts once the page's own engine is compiled, which compiling its own
  // beside it would slow; its state is shown for the "checking" note beside the problems and for
  // the tests and the measuring script.
  let showChecking = (_on: boolean): void => {}; // the editor's, once made
  const checker = createChecker(new URL('check-worker.js', document.baseURI).href, (state) => {
    document.body.dataset.checking = String(state.running);
    showChecking(state.running);
    document.body.dataset.checks = String(state.answers);
  });

  const running = createRunning(settings.seed ?? randomSeed());
  const loop = createLoop(engine, figure, running);
  figure.fit();

  page.seed.value = String(running.seed);
  const scripts = await openScripts(engine.builtinScript);
  let editor: Editor | null = null;
  const saver = createSaver(
    page.stage,
    page.saverNote,
    () => {
      requestAnimationFrame(figure.fit);
      rotation.follow(saver.active());
    },
    engine,
  );
  const rotation = createSaverRotation(page.rotate, running, loop, settings, scripts.library, engine);
  const help = createHelp(page.help);
  const controls = createControls(
    page,
    running,
    engine,
    loop,
    () => editor?.text() ?? scripts.firstText,
    saver,
    help,
    scripts,
    // The built-in script is clean (the core's tests hold it so): its run, often the first,
    // need not wait for the checker's thread to start.
    (text) => (text === engine.builtinScript ? Promise.resolve([]) : checker.check(text)),
  );

  // The first frame, of the script of a link new to this tab or the one kept.
  if (settings.frame !== null) {
    controls.setPaused(true);
  }
  void followBattery(loop);
  // The site's copy for offline use is fetched once the first frame is drawn, not before it.
  let kept = false;
  loop.watch(() => {
    if (!kept) {
      kept = true;
      keepForOffline();
    }
  });
  loop.begin();
  await scripts.begin(controls.run);
  if (settings.refused.length > 0) {
    sayToo(settings.refused.join(' '));
  }
  if (settings.frame !== null) {
    void openAddressedFrame(settings.frame, loop, page.seeking);
  }

  // The editor, most of the page's code, is fetched only now, after the first frame: fetched
  // beside the engine it would slow the figure on a slow network, and run as it came (CodeMirror's
  // modules take 16 to 28 ms) it would often come before the first frame.
  let createEditor: typeof import('./editor').createEditor;
  try {
    ({ createEditor } = await import('./editor'));
  } catch (error) {
    say(`The editor could not be loaded: ${String(error)}. Reload the page to try again.`, 'standing');
    return;
  }
  const made = createEditor(
    page.editor,
    (text) => checker.check(text),
    () => void controls.run(),
    scripts.start,
    (problems, text) => controls.checked(problems, text),
  );
  editor = made;
  showChecking = made.showChecking;
  scripts.attach(made);
  attachInstall([page.install, page.helpInstall], {
    text: () => made.text(),
    seed: () => running.seed,
    engine,
    loadEngine: () => loadEngine(engineAddress),
  });
  // The export's code, its dialog and its encoders are fetched at its first use, not on every visit.
  let exporting: Promise<HTMLDialogElement> | null = null;
  page.exportButton.addEventListener('click', () => {
    exporting ??= import('../export/dialog').then(({ createExport }) =>
      createExport(running, engine.builtinScript, () => loadEngine(engineAddress)),
    );
    exporting.then(
      (dialog) => dialog.showModal(),
      (error: unknown) => {
        exporting = null;
        say(`The export could not be loaded: ${String(error)}. Try again once the network is back.`);
      },
    );
  });

  attachScriptsBar(page.scriptsBar, scripts, made.text);
  // The values panel and the files' code come at their first use.
  page.valuesPanel.addEventListener(
    'toggle',
    () =>
      void import('./values').then(({ showValues }) =>
        showValues(page.valuesPanel, page.values, engine, loop, running),
      ),
    { once: true },
  );
  attachFiles(page.openFile, page.file, page.saveFile, made.text, () => scripts.name(), scripts.load);
  // The first visit (nothing kept, no link) says what to do, until the first change.
  if (scripts.firstVisit) {
    page.intro.hidden = false;
    scripts.watch(() => (page.intro.hidden = true));
  }

  document.body.dataset.ready = 'true';
}

void main();
