// Stand-in until the Windows program's script space lands: the same interface, no space found.
export type Placed = { kind: 'placed'; bytes: Uint8Array } | { kind: 'too-long'; limit: number } | { kind: 'no-space' };
export function placeScript(_program: Uint8Array, _text: string): Placed {
  return { kind: 'no-space' };
}
export function saverFileName(name: string): string {
  return `${name}.scr`;
}
export const saverProgramUrl = 'Lumenweave.scr';
