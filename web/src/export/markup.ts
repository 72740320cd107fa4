// The Export dialog's markup, put into the page at its first use rather than fetched with the
// page on every visit.

export interface ExportElements {
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

const markup = `<dialog id="export-dialog" aria-labelledby="export-title">
  <h2 id="export-title">Export</h2>
  <p>Drawn frame by frame from the frame shown, the same on every machine.</p>
  <form id="export-form">
    <label>What <select id="export-kind">
      <option value="png">PNG picture of the frame shown</option>
      <option value="webm">WebM video clip</option>
      <option value="gif">Animated GIF clip</option>
    </select></label>
    <label>Width <input id="export-width" type="text" inputmode="numeric" size="5" value="640" autocomplete="off"></label>
    <label>Height <input id="export-height" type="text" inputmode="numeric" size="5" value="480" autocomplete="off"></label>
    <label class="clip">Seconds <input id="export-seconds" type="text" inputmode="numeric" size="3" value="4" autocomplete="off"></label>
    <label class="clip">Frames a second <select id="export-rate">
      <option>10</option><option>15</option><option>20</option><option selected>30</option><option>60</option>
    </select></label>
    <p><button id="export-start" type="submit">Save</button>
      <button id="export-cancel" type="button">Cancel</button>
      <progress id="export-progress" max="1" value="0"></progress>
      <button id="export-close" type="button">Close</button></p>
  </form>
  <p id="export-message" role="status" aria-live="polite"></p>
</dialog>`;

export function addExportDialog(): ExportElements {
  document.body.insertAdjacentHTML('beforeend', markup);
  // Just put in: each is there.
  const element = <T extends HTMLElement>(id: string): T => document.getElementById(id) as T;
  return {
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
  };
}
