// Never losing work: the editor's text and undo history kept in the browser's storage as one
// types, in the record of the script open (library.ts), and brought back on reload; and which
// shared link this tab has opened already.

const linkKey = 'lumenweave.link'; // sessionStorage: this tab's, so a reload does not open it again
const version = 1;
const quiet = 500; // milliseconds without a change before the text is saved

interface Kept {
  version: number;
  editor: unknown; // the editor's own saved form
  edited: boolean; // changed by hand since it was last loaded (built-in, example, link)
}

// A snapshot of the editor: with its undo history, or the text alone when room is short.
export type Snapshot = (withHistory: boolean) => unknown;

export interface Autosave {
  // What the last visit left, to start the editor from; null when nothing was kept.
  kept: unknown | null;
  // Whether what was kept had been changed by hand since it was last loaded.
  keptEdited: boolean;
  // Saves what waits, then keeps to the record under key from now on; what that one holds (null
  // for nothing).
  use(key: string): unknown | null;
  // Whether fragment is the link this tab opened last (so its script was loaded already).
  openedHere(fragment: string): boolean;
  // The text changed by hand: saved once typing pauses.
  changed(): void;
  // Replaces the text by a script loaded (the built-in one, an example, a link's), which is no
  // edit of the user's. Returns whether it replaced edits of the user's.
  load(replace: () => void): boolean;
  // This tab has opened the link in fragment (or made it, with Share).
  opened(fragment: string): void;
}

export function storage(kind: 'localStorage' | 'sessionStorage'): Storage | null {
  try {
    const store = window[kind];
    store.getItem(linkKey); // a browser that refuses storage to the page throws here
    return store;
  } catch {
    return null;
  }
}

function readKept(store: Storage | null, key: string): Kept | null {
  try {
    const kept = JSON.parse(store?.getItem(key) ?? 'null') as Kept | null;
    return kept && kept.version === version ? kept : null;
  } catch {
    return null;
  }
}

// The text kept in the record under key (another script's), or null.
export function keptText(key: string): string | null {
  const editor = readKept(storage('localStorage'), key)?.editor as { doc?: unknown } | null | undefined;
  return typeof editor?.doc === 'string' ? editor.doc : null;
}

// snapshot is asked for when saving, so it may name an editor made after this; key names the
// record of the script open.
export function startAutosave(snapshot: Snapshot, say: (message: string) => void, key: string): Autosave {
  const local = storage('localStorage');
  const session = storage('sessionStorage');
  const kept = readKept(local, key);
  let edited = kept?.edited ?? false;
  let timer: number | undefined;
  let told = false; // a page that cannot save says so once, when it first tries
  const tell = (message: string): void => {
    if (!told) {
      told = true;
      say(message);
    }
  };

  // Saved with the undo history if there is room, else the text alone.
  const save = (): void => {
    clearTimeout(timer);
    timer = undefined;
    if (!local) {
      tell('This browser keeps no storage for the page: edits are lost on reload.');
      return;
    }
    for (const withHistory of [true, false]) {
      try {
        local.setItem(key, JSON.stringify({ version, editor: snapshot(withHistory), edited }));
        return;
      } catch {
        // No room: tried again smaller, then given up.
      }
    }
    tell("The browser's storage for the page is full: edits are lost on reload.");
  };
  // Saved once typing pauses; what is said of a failure then follows what the change said.
  const later = (): void => {
    clearTimeout(timer);
    timer = setTimeout(save, quiet);
  };
  const flush = (): void => {
    if (timer !== undefined) {
      save();
    }
  };
  addEventListener('pagehide', flush);
  document.addEventListener('visibilitychange', () => document.visibilityState === 'hidden' && flush());

  return {
    kept: kept?.editor ?? null,
    keptEdited: kept?.edited ?? false,
    use(next) {
      flush();
      key = next;
      const found = readKept(local, key);
      edited = found?.edited ?? false;
      return found?.editor ?? null;
    },
    openedHere: (fragment) => session?.getItem(linkKey) === fragment,
    changed() {
      edited = true;
      later();
    },
    load(replace) {
      const replaced = edited;
      replace();
      edited = false;
      later();
      return replaced;
    },
    opened(fragment) {
      try {
        session?.setItem(linkKey, fragment);
      } catch {
        // Without it a reload opens the link again, the edits one undo away: nothing lost.
      }
    },
  };
}
