// Where the editor's script comes from: the named script open (what the last visit left of it),
// a shared link (at start-up or pasted into the open tab), an example, a file. A script that
// replaces edits leaves them one undo away and says so.
import { startAutosave } from './autosave';
import type { Editor, EditorStart } from './editor';
import { type Library, openLibrary } from './library';
import { type LinkReading, linkTrouble, readLink } from '../shared/share';
import { say } from '../shared/status';

export interface Scripts {
  // What the editor starts from.
  start: EditorStart;
  // The script the editor holds once made and attached: the first run's, before it exists.
  firstText: string;
  // Runs the first script (that of the address's link if that is new to this tab) with run,
  // which starts the figure anew on the editor's script, then and from then on.
  begin(run: () => Promise<void>): Promise<void>;
  // Ties in the editor made from start, once the first script runs.
  attach(editor: Editor): void;
  // Puts text (the script named what) into the editor and runs it.
  load(text: string, what: string): void;
  // The address now holds fragment, a link to the editor's own script (Share).
  shared(fragment: string): void;
  // Calls listener after each change of the editor's text.
  watch(listener: () => void): void;
  // Whether this is a first visit: nothing kept from before, no link.
  firstVisit: boolean;
  // A name for the editor's script, for a file: the example's or the file's it came from, or
  // the named script's.
  name(): string;
  library: Library;
  // Opens the named script with id (a new one with text), saving the one open first, and runs it.
  switchTo(id: string, text?: string): void;
}

const sharedNote =
  'Another tab has this script open too: the one that saves last wins. Open another script in one of them.';

const undoNote = 'Ctrl-Z brings back your edits.';

export async function openScripts(builtin: string): Promise<Scripts> {
  let editor: Editor | null = null;
  let run = (): Promise<void> => Promise.resolve();
  // Said once the first run has said how it went, which clears the line.
  let ranFirst = false;
  let sharedFirst = false;
  const library = openLibrary((shared) => {
    sharedFirst = shared && !ranFirst;
    if (shared && ranFirst) {
      say(sharedNote, 'standing');
    }
  });
  const autosave = startAutosave(
    (withHistory) => editor?.saved(withHistory),
    (m) => say(m, 'standing'),
    library.recordKey(library.current().id),
  );
  const listeners: (() => void)[] = [];
  let loadedAs: { text: string; what: string } | null = null; // the script loaded last, and what it was
  let early: (() => void) | null = null; // a load asked for before the editor was made
  const onChange = (): void => {
    autosave.changed();
    listeners.forEach((listener) => listener());
  };

  // A reload keeps what was typed since the tab opened its link; a link new to the tab is read.
  // A fragment that is no link of ours (a plain anchor) is left alone.
  const fragment = location.hash;
  const reading = fragment === '' ? null : await readLink(fragment);
  const link = reading?.kind === 'none' ? null : reading;
  const again = link !== null && autosave.kept !== null && autosave.openedHere(fragment);
  const first = again ? null : link;
  const linked = (reading: LinkReading): string => (reading.kind === 'script' ? reading.text : builtin);

  // The editor's text replaced by text unless it is that already (no empty step to undo).
  const put = (text: string): boolean => {
    const into = editor;
    return into !== null && into.text() !== text && autosave.load(() => into.setText(text));
  };
  // What a link gave, said after the run (which says how it went).
  const tell = (reading: LinkReading, replaced: boolean): void => {
    const trouble = linkTrouble(reading);
    if (trouble) {
      say(replaced ? `${trouble} ${undoNote}` : trouble, 'standing');
    } else if (replaced) {
      say(`The link's script is loaded. ${undoNote}`);
    }
  };
  const open = async (reading: LinkReading, from: string): Promise<void> => {
    autosave.opened(from);
    const replaced = put(linked(reading));
    await run();
    tell(reading, replaced);
  };
  const keptDoc = (autosave.kept as { doc?: unknown } | null)?.doc;

  const load = (text: string, what: string): void => {
    // Chosen before the editor is made, in the page's first moments: loaded into it once made.
    if (editor === null) {
      early = () => load(text, what);
      return;
    }
    loadedAs = { text, what };
    const replaced = put(text);
    void run().then(() => replaced && say(`${what} is loaded. ${undoNote}`));
  };

  return {
    start:
      autosave.kept !== null
        ? { text: builtin, saved: autosave.kept, onChange }
        : { text: first ? linked(first) : builtin, onChange },
    firstText: first ? linked(first) : typeof keptDoc === 'string' ? keptDoc : builtin,
    async begin(runFirst) {
      run = runFirst;
      if (first) {
        await open(first, fragment);
      } else {
        await run();
      }
      ranFirst = true;
      if (sharedFirst) {
        say(sharedNote, 'standing');
      }
    },
    attach(made) {
      editor = made;
      early?.();
      // The edits kept from before, replaced by the new link's script that ran first.
      if (first && put(linked(first))) {
        tell(first, true);
      }
      // The link this tab opened before, edited since: the edits stay, the link's script one undo
      // away, and that is said.
      if (again && link?.kind === 'script' && autosave.keptEdited && made.text() !== link.text) {
        const edits = made.text();
        made.setText(link.text);
        made.setText(edits);
        say(
          "This tab opened this link before: your edits of its script are shown. Ctrl-Z brings back the link's script.",
          'standing',
        );
      }
      addEventListener('hashchange', () => {
        const now = location.hash;
        if (now !== '') {
          void readLink(now).then((reading) => {
            // A link pasted while the one before was read wins; a plain anchor is no link.
            if (location.hash === now && reading.kind !== 'none') {
              void open(reading, now);
            }
          });
        }
      });
    },
    load,
    shared: (now) => autosave.opened(now),
    watch: (listener) => listeners.push(listener),
    firstVisit: autosave.kept === null && link === null,
    name() {
      const from = editor?.text() === loadedAs?.text ? loadedAs?.what : null;
      const named = from?.replace(/^(Example|The file) /, '').replace(/\.txt$/, '');
      return named && !named.startsWith('The ') ? named : library.current().name;
    },
    library,
    switchTo(id, text) {
      const saved = autosave.use(library.recordKey(id));
      library.choose(id);
      editor?.restore(saved !== null ? { text: builtin, saved, onChange } : { text: text ?? builtin, onChange });
      if (saved === null) {
        autosave.load(() => {}); // the new script's record, written once typing would pause
      }
      void run();
    },
  };
}
