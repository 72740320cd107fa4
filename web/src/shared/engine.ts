// The core compiled to WebAssembly (lumenweave.wasm): loading it with the few system calls it
// makes, and typed access to its C interface (web/engine/engine.cpp).

interface Exports {
  memory: WebAssembly.Memory;
  _initialize(): void;
  lw_alloc(bytes: number): number;
  lw_free(address: number): void;
  lw_start(seed: number, script: number): void;
  lw_record_frame(): void;
  lw_advance_frame(): void;
  lw_actuator_value(index: number): number;
  lw_mesh(width: number, height: number, lineWidth: number): number;
  lw_mesh_vertex_count(): number;
  lw_mesh_clears(): number;
  lw_builtin_script(): number;
  lw_check(text: number, length: number): number;
  lw_problem_line(i: number): number;
  lw_problem_warning(i: number): number;
  lw_problem_message(i: number): number;
  lw_problem_message_length(i: number): number;
  lw_saver_start(): void;
  lw_saver_pointer(x: number, y: number): number;
}

// A frame's triangles in clip space, built by the core (drawlist/mesh.hpp).
export interface Mesh {
  // Seven floats a vertex (clip x, y, z, w; red, green, blue), three vertices a triangle: a view
  // of the module's memory, valid until the engine is next called.
  vertices: Float32Array;
  clears: boolean; // the colour buffer is cleared to black before the triangles
}

// An error stops the script from running; a warning is a line that runs, with a meaning of its
// own that is probably not the one meant.
export type Severity = 'error' | 'warning';

export interface Problem {
  line: number; // from 1
  message: string;
  severity: Severity;
}

// The whole of the engine's state: the core keeps all of it in the module's memory, and between
// calls nothing else (the stack pointer is back at its base).
export type EngineState = Uint8Array<ArrayBuffer>;

export interface Engine {
  start(seed: number, script: string): void;
  snapshot(): EngineState;
  // Puts the engine back to a snapshot; false when its memory has grown since, which a copy of
  // the old size cannot undo.
  restore(state: EngineState): boolean;
  // Records the next frame; the engine keeps it, to be meshed and drawn as often as needed.
  record(): void;
  // The next frame without its draw list: the same animation step, for frames nobody sees.
  advance(): void;
  // The value of the actuator in slot `index` after the last step; NaN for an empty slot.
  actuatorValue(index: number): number;
  // The frame last recorded as a drawing buffer of width x height pixels shows it, outlines
  // lineWidth pixels wide.
  mesh(width: number, height: number, lineWidth: number): Mesh;
  check(script: string): Problem[];
  // The saver's move rule, the native hosts' own: a run starts, then each pointer move is asked
  // whether it ends the run.
  startPointerWatch(): void;
  pointerEndsSaver(x: number, y: number): boolean;
  builtinScript: string;
}

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The system interface the module imports. Only standard output and error are written (the
// core's warnings); they go to the console.
function systemImports(memory: () => WebAssembly.Memory): WebAssembly.ModuleImports {
  const badFile = 8;
  const lines = ['', '', ''];
  return {
    fd_write(fd: number, iovs: number, count: number, written: number): number {
      const view = new DataView(memory().buffer);
      let total = 0;
      for (let i = 0; i < count; ++i) {
        const base = view.getUint32(iovs + i * 8, true);
        const length = view.getUint32(iovs + i * 8 + 4, true);
        if (fd === 1 || fd === 2) {
          lines[fd] += decoder.decode(new Uint8Array(memory().buffer, base, length));
        }
        total += length;
      }
      if (fd === 1 || fd === 2) {
        const parts = lines[fd].split('\n');
        lines[fd] = parts.pop() ?? '';
        parts.forEach((line) => console.info(line));
      }
      view.setUint32(written, total, true);
      return fd === 1 || fd === 2 ? 0 : badFile;
    },
    fd_close: () => badFile,
    fd_seek: () => badFile,
    fd_fdstat_get: () => badFile,
  };
}

// The engine from lumenweave.wasm's address, or from its bytes (the wallpaper carries them: a
// page opened from a file may fetch nothing).
export async function loadEngine(source: string | Uint8Array<ArrayBuffer>): Promise<Engine> {
  let exports: Exports | null = null;
  const memory = (): WebAssembly.Memory => (exports as Exports).memory;
  const imports = { wasi_snapshot_preview1: systemImports(memory) };
  const { instance } =
    typeof source === 'string'
      ? await WebAssembly.instantiateStreaming(fetch(source), imports)
      : await WebAssembly.instantiate(source, imports);
  const lw = instance.exports as unknown as Exports;
  exports = lw;
  lw._initialize();

  // The text as UTF-8 with a NUL after it; the caller frees it.
  const copyIn = (text: string): { address: number; length: number } => {
    const bytes = encoder.encode(text);
    const address = lw.lw_alloc(bytes.length + 1);
    const heap = new Uint8Array(lw.memory.buffer, address, bytes.length + 1);
    heap.set(bytes);
    heap[bytes.length] = 0;
    return { address, length: bytes.length };
  };

  const builtin = new Uint8Array(lw.memory.buffer, lw.lw_builtin_script());
  return {
    builtinScript: decoder.decode(builtin.subarray(0, builtin.indexOf(0))),
    start(seed, script) {
      const text = copyIn(script);
      lw.lw_start(seed >>> 0, text.address);
      lw.lw_free(text.address);
    },
    snapshot: () => new Uint8Array(lw.memory.buffer).slice(),
    restore(state) {
      const heap = new Uint8Array(lw.memory.buffer);
      if (heap.length !== state.length) {
        return false;
      }
      heap.set(state);
      return true;
    },
    record: () => lw.lw_record_frame(),
    advance: () => lw.lw_advance_frame(),
    actuatorValue: (index) => lw.lw_actuator_value(index),
    mesh(width, height, lineWidth) {
      const address = lw.lw_mesh(width, height, lineWidth);
      // The view is made after the call: building may have grown the memory, detaching old views.
      const floats = lw.lw_mesh_vertex_count() * 7;
      return {
        vertices: new Float32Array(lw.memory.buffer, address, floats),
        clears: lw.lw_mesh_clears() === 1,
      };
    },
    check(script) {
      const text = copyIn(script);
      const count = lw.lw_check(text.address, text.length);
      lw.lw_free(text.address);
      const problems: Problem[] = [];
      for (let i = 0; i < count; ++i) {
        const message = new Uint8Array(lw.memory.buffer, lw.lw_problem_message(i), lw.lw_problem_message_length(i));
        problems.push({
          line: lw.lw_problem_line(i),
          message: decoder.decode(message),
          severity: lw.lw_problem_warning(i) === 1 ? 'warning' : 'error',
        });
      }
      return problems;
    },
    startPointerWatch: () => lw.lw_saver_start(),
    pointerEndsSaver: (x, y) => lw.lw_saver_pointer(Math.round(x), Math.round(y)) === 1,
  };
}
