// The page's elements, looked up once: a missing one is a fault of index.html, said at start-up.
import { element } from '../shared/start';
import type { ScriptsBarElements } from './scripts-bar';

export interface PageElements {
  stage: HTMLElement;
  canvas: HTMLCanvasElement;
  status: HTMLElement;
  seeking: HTMLElement; // the way to an addressed frame
  run: HTMLButtonElement;
  examples: HTMLSelectElement;
  seed: HTMLInputElement;
  pause: HTMLButtonElement;
  step: HTMLButtonElement;
  autoRun: HTMLInputElement;
  openFile: HTMLButtonElement;
  file: HTMLInputElement;
  saveFile: HTMLButtonElement;
  scrubber: HTMLInputElement;
  frameField: HTMLInputElement;
  speed: HTMLSelectElement;
  clock: HTMLOutputElement;
  intro: HTMLElement;
  valuesPanel: HTMLDetailsElement;
  values: HTMLElement;
  share: HTMLButtonElement;
  install: HTMLButtonElement;
  helpInstall: HTMLButtonElement; // the help's way to the same dialog
  fullscreen: HTMLButtonElement;
  rotate: HTMLSelectElement; // the saver's rotation
  showHelp: HTMLButtonElement;
  help: HTMLDialogElement;
  saverNote: HTMLElement;
  scriptsBar: ScriptsBarElements;
  editor: HTMLElement;
  exportButton: HTMLButtonElement;
}

export function pageElements(): PageElements {
  return {
    stage: element('stage'),
    canvas: element('figure'),
    status: element('status'),
    seeking: element('seeking'),
    run: element('run'),
    examples: element('examples'),
    seed: element('seed'),
    pause: element('pause'),
    step: element('step'),
    autoRun: element('auto-run'),
    openFile: element('open-file'),
    file: element('file'),
    saveFile: element('save-file'),
    scrubber: element('scrubber'),
    frameField: element('frame-field'),
    speed: element('speed'),
    clock: element('clock'),
    intro: element('intro'),
    valuesPanel: element('values-panel'),
    values: element('values'),
    share: element('share'),
    install: element('install'),
    helpInstall: element('help-install'),
    fullscreen: element('fullscreen'),
    rotate: element('rotate'),
    showHelp: element('show-help'),
    help: element('help'),
    saverNote: element('saver-note'),
    scriptsBar: {
      bar: element('scripts-bar'),
      list: element('script-list'),
      add: element('script-new'),
      rename: element('script-rename'),
      duplicate: element('script-duplicate'),
      remove: element('script-delete'),
    },
    editor: element('editor'),
    exportButton: element('export'),
  };
}
