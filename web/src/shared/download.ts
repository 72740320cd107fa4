// Saving a file the page made: the browser's download of a blob under a name.

export function download(blob: Blob, name: string): void {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  // The download has its own copy once it started; the address is let go after it.
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}
