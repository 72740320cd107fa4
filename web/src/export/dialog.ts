// The Export dialog: a PNG of the frame shown, or a WebM or GIF clip from it, drawn frame by frame
// apart from the page's figure, with a progress bar and a cancel; the file is named after the
// script and the seed. body[data-export] tells how the last export went.
import { examples } from 'generated/examples';
import { download } from '../shared/download';
import type { Engine } from '../shared/engine';
import type { ClipEncoder } from './clip';
import { createFrameSource, type FrameSource } from './frames';
import { createGifEncoder } from './gif';
import { createWebmEncoder } from './webm';
import type { FixedSize } from '../shared/figure';
import { yieldToPage } from '../shared/slices';
import { addExportDialog } from './markup';
import { parseWhole } from '../shared/share';
import type { Running } from '../shared/state';

export const maxExportSide = 4096; // pixels
const maxSeconds = 60;
const stepsPerSecond = 60; // the animation's own rate

type Kind = 'png' | 'webm' | 'gif';
type ExportState = 'working' | 'done' | 'cancelled' | 'failed';

const texts = {
  side: (name: string, typed: string) =>
    `The ${name} "${typed}" is not a whole number of pixels from 1 to ${maxExportSide}.`,
  seconds: (typed: string) => `The length "${typed}" is not a whole number of seconds from 1 to ${maxSeconds}.`,
  nothing: 'Nothing runs yet: there is no frame to export.',
  seeking: 'The page is still on its way to a frame: export once it is shown.',
  goingTo: (frame: number) => `Going to frame ${frame}…`,
  drawing: (done: number, total: number) => `Frame ${done} of ${total}…`,
  saved: (name: string, bytes: number) => `Saved ${name} (${Math.ceil(bytes / 1024)} kB).`,
  cancelled: 'Cancelled: nothing was saved.',
  failed: (why: string) => `The export failed: ${why}.`,
};

// The file's name: an example's name, "builtin" or "script", then the seed, the first frame and
// the size, so that exports of one frame at two sizes keep apart.
function fileName(
  script: string,
  builtin: string,
  seed: number,
  frame: number,
  size: FixedSize,
  ending: string,
): string {
  const example = examples.find(([, text]) => text === script);
  const name = example
    ? example[0].toLowerCase().replace(/[^a-z0-9]+/g, '-')
    : script === builtin
      ? 'builtin'
      : 'script';
  return `lumenweave-${name}-seed-${seed}-frame-${frame}-${size.width}x${size.height}${ending}`;
}

// loadEngine gives an engine instance of the export's own, loaded at the first export. The page
// opens the dialog returned, having loaded this module at the first click.
export function createExport(
  running: Running,
  builtinScript: string,
  loadEngine: () => Promise<Engine>,
): HTMLDialogElement {
  const ui = addExportDialog();
  let source: Promise<FrameSource> | null = null;
  let cancelled = false;
  let working = false;

  const show = (state: ExportState | null, message: string): void => {
    if (state) {
      document.body.dataset.export = state;
    }
    ui.message.textContent = message;
  };
  const setWorking = (on: boolean): void => {
    working = on;
    ui.start.disabled = on;
    ui.cancel.disabled = !on;
  };
  // A field's number, or null with the field marked and the message shown.
  const field = (input: HTMLInputElement, high: number, refusal: (typed: string) => string): number | null => {
    const value = parseWhole(input.value.trim(), 1, high);
    input.setAttribute('aria-invalid', String(value === null));
    if (value === null) {
      // The bar of the export before would read as this one's.
      ui.progress.value = 0;
      show(null, refusal(input.value.trim()));
    }
    return value;
  };

  const run = async (kind: Kind, size: FixedSize, seconds: number, rate: number): Promise<void> => {
    if (running.script === null || !running.shown) {
      show(null, texts.nothing);
      return;
    }
    if (running.seekingTo !== null) {
      show(null, texts.seeking);
      return;
    }
    // What is shown now; the figure may go on meanwhile.
    const seed = running.seed;
    const script = running.script;
    const frame = running.frame;
    cancelled = false;
    setWorking(true);
    show('working', texts.goingTo(frame));
    ui.progress.max = 1;
    ui.progress.value = 0;
    let encoder: ClipEncoder | null = null;
    try {
      // An engine that failed to load is tried again at the next export.
      source ??= loadEngine()
        .then(createFrameSource)
        .catch((error: unknown) => {
          source = null;
          throw error;
        });
      const frames = await source;
      const arrived = await frames.goTo(
        seed,
        script,
        frame,
        size,
        () => cancelled,
        (reached) => {
          ui.progress.value = reached / frame;
        },
      );
      if (!arrived) {
        show('cancelled', texts.cancelled);
        return;
      }
      let blob: Blob;
      let name: string;
      if (kind === 'png') {
        blob = await frames.canvas.convertToBlob({ type: 'image/png' });
        name = fileName(script, builtinScript, seed, frame, size, '.png');
      } else {
        const shape = { ...size, rate };
        encoder = kind === 'webm' ? await createWebmEncoder(shape) : createGifEncoder(shape);
        const total = seconds * rate;
        for (let i = 0; i < total; ++i) {
          if (i > 0) {
            frames.next(stepsPerSecond / rate);
          }
          await encoder.add(frames, i);
          ui.progress.value = (i + 1) / total;
          show(null, texts.drawing(i + 1, total));
          await yieldToPage();
          if (cancelled) {
            encoder.cancel();
            show('cancelled', texts.cancelled);
            return;
          }
        }
        blob = await encoder.finish();
        name = fileName(script, builtinScript, seed, frame, size, `-${seconds}s.${kind}`);
      }
      download(blob, name);
      show('done', texts.saved(name, blob.size));
    } catch (error) {
      console.error(error);
      encoder?.cancel();
      show('failed', texts.failed(error instanceof Error ? error.message : String(error)));
    } finally {
      setWorking(false);
    }
  };

  const showKind = (): void => {
    ui.form.dataset.kind = ui.kind.value;
  };
  showKind();
  setWorking(false);
  ui.kind.addEventListener('change', showKind);
  ui.cancel.addEventListener('click', () => (cancelled = true));
  ui.close.addEventListener('click', () => ui.dialog.close());
  // Closing the dialog (Escape) ends an export on its way.
  ui.dialog.addEventListener('close', () => (cancelled = true));
  ui.form.addEventListener('submit', (event) => {
    event.preventDefault();
    if (working) {
      return;
    }
    const width = field(ui.width, maxExportSide, (typed) => texts.side('width', typed));
    const height = width === null ? null : field(ui.height, maxExportSide, (typed) => texts.side('height', typed));
    const kind = ui.kind.value as Kind;
    const seconds = kind === 'png' || height === null ? 1 : field(ui.seconds, maxSeconds, texts.seconds);
    if (width !== null && height !== null && seconds !== null) {
      void run(kind, { width, height }, seconds, Number(ui.rate.value));
    }
  });
  return ui.dialog;
}
