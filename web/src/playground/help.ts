// The help overlay, on ? and F1: the keys, the controls and where to read more, in a modal
// dialog that Escape or a click closes.

export interface Help {
  toggle(): void;
  isOpen(): boolean;
}

export function createHelp(dialog: HTMLDialogElement): Help {
  // A click anywhere closes it, except on a link, which goes where it leads.
  dialog.addEventListener('click', (event) => {
    if (!(event.target as Element).closest('a')) {
      dialog.close();
    }
  });
  return {
    toggle() {
      if (dialog.open) {
        dialog.close();
      } else {
        dialog.showModal();
      }
    },
    isOpen: () => dialog.open,
  };
}
