// The page's elements, looked up once: a missing one is a fault of index.html, said at start-up.
import { element } from '../shared/start';

// The Export dialog's.
export interface ExportElements {
  open: HTMLButtonElement;
  dialog: HTMLDialogElement;
  form: HTMLFormElement;
  kind: HTMLSelectElement;
  width: HTMLInputElement;
  height: HTMLInputElement;
  seconds: HTMLInputElement;
  rate: HTMLSelectElement;
  start: HTMLButtonElement;
  cancel: HTMLButtonElement;
  close: HTMLButtonElement; // ends an export on its way too
  progress: HTMLProgressElement;
  message: HTMLElement;
}

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
  share: HTMLButtonElement;
  install: HTMLButtonElement;
  helpInstall: HTMLButtonElement; // the help's way to the same dialog
  fullscreen: HTMLButtonElement;
  rotate: HTMLSelectElement; // the saver's rotation
  showHelp: HTMLButtonElement;
  help: HTMLDialogElement;
  saverNote: HTMLElement;
  editor: HTMLElement;
  problems: HTMLElement;
  exporting: ExportElements;
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
    share: element('share'),
    install: element('install'),
    helpInstall: element('help-install'),
    fullscreen: element('fullscreen'),
    rotate: element('rotate'),
    showHelp: element('show-help'),
    help: element('help'),
    saverNote: element('saver-note'),
    editor: element('editor'),
    problems: element('problems'),
    exporting: {
      open: element('export'),
      dialog: element('export-dialog'),
      form: element('export-form'),
      kind: element('export-kind'),
      width: element('export-width'),
      height: element('export-height'),
      seconds: element('export-seconds'),
      rate: element('export-rate'),
      start: element('export-start'),
      cancel: element('export-cancel'),
      close: element('export-close'),
      progress: element('export-progress'),
      message: element('export-message'),
    },
  };
}
