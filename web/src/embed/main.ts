// The embeddable figure's start-up: the script, seed and frame of a shared link (the playground's
// link format) drawn alone, in a page meant to be framed by other sites, with a link that opens
// the same script and seed in the playground.
import { openAddressedFrame } from '../shared/addressed-frame';
import { createLoop } from '../shared/loop';
import { linkTrouble, readLink, readSettings } from '../shared/share';
import { element, randomSeed, startFigure } from '../shared/start';
import { createRunning } from '../shared/state';
import { attachStatus, say } from '../shared/status';

async function main(): Promise<void> {
  attachStatus(element('status'));
  const settings = readSettings(location.search);
  const link = await readLink(location.hash);
  const started = await startFigure(
    new URL('lumenweave.wasm', document.baseURI).href,
    element('figure'),
    settings.size,
    () => loop.draw(),
    (note) => say(note, 'standing'),
  );
  if (!started) {
    return;
  }
  const { engine, figure } = started;
  const running = createRunning(settings.seed ?? randomSeed());
  const loop = createLoop(engine, figure, running);
  figure.fit();

  // A script with errors does not run, as in the playground: the built-in one is shown instead.
  let script = link.kind === 'script' ? link.text : engine.builtinScript;
  let trouble = linkTrouble(link);
  const errors = engine.check(script).filter((p) => p.severity === 'error').length;
  if (errors > 0) {
    script = engine.builtinScript;
    trouble = `The link's script has ${errors} ${errors === 1 ? 'problem' : 'problems'}; showing the built-in script.`;
  }
  if (settings.frame !== null) {
    loop.setPaused(true);
  }
  loop.restart(running.seed, script);
  const said = [trouble ?? '', ...settings.refused].join(' ').trim();
  if (said) {
    say(said, 'standing');
  }
  if (settings.frame !== null) {
    void openAddressedFrame(settings.frame, loop, element('seeking'));
  }
  loop.begin();

  // The playground with the same script, seed (the one drawn, also when the link gave none) and
  // frame; the fragment is the link's own.
  const query = new URLSearchParams(location.search);
  query.set('seed', String(running.seed));
  element<HTMLAnchorElement>('open').href = `./?${query}${location.hash}`;
  document.body.dataset.ready = 'true';
}

void main();
