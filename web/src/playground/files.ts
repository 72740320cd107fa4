// Scripts from files and into them: Open… (or a file dropped on the page) loads a .txt into the
// editor as an example loads, Save downloads the editor's text as one.
import { download } from '../shared/download';
import { maxLinkedScript } from '../shared/share';
import { say } from '../shared/status';

// Puts text (named what) into the editor and runs it.
type Load = (text: string, what: string) => void;

async function openFile(file: File, load: Load): Promise<void> {
  if (file.size > maxLinkedScript) {
    say(`${file.name} is ${file.size} bytes long; scripts of ${maxLinkedScript} bytes at most are opened.`);
    return;
  }
  try {
    load(new TextDecoder('utf-8', { fatal: true }).decode(await file.arrayBuffer()), `The file ${file.name}`);
  } catch {
    say(`${file.name} is not UTF-8 text: it is not opened.`);
  }
}

export function attachFiles(
  openButton: HTMLButtonElement,
  input: HTMLInputElement,
  saveButton: HTMLButtonElement,
  text: () => string,
  name: () => string,
  load: Load,
): void {
  openButton.addEventListener('click', () => input.click());
  input.addEventListener('change', () => {
    const file = input.files?.[0];
    input.value = ''; // the same file may be opened again
    if (file) {
      void openFile(file, load);
    }
  });
  const carriesFiles = (event: DragEvent): boolean => event.dataTransfer?.types.includes('Files') ?? false;
  // Caught on the way down, before the editor would insert the file's text where it fell.
  document.addEventListener(
    'dragover',
    (event) => {
      if (carriesFiles(event)) {
        event.preventDefault();
        document.body.classList.add('dragging');
      }
    },
    true,
  );
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener(
    'drop',
    (event) => {
      document.body.classList.remove('dragging');
      const file = event.dataTransfer?.files[0];
      if (file) {
        event.preventDefault();
        event.stopPropagation();
        void openFile(file, load);
      }
    },
    true,
  );
  saveButton.addEventListener('click', () => download(new Blob([text()], { type: 'text/plain' }), `${name()}.txt`));
}
