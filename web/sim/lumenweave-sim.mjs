// lumenweave-sim for Node: the native tool's command line around the page's own WebAssembly
// engine (lumenweave-sim.wasm, beside this file), printing the same bytes. --trace loads the same
// engine built on the trace core (lumenweave-trace.wasm), as the native tool runs its trace build.
import { readFileSync, writeSync } from 'node:fs';

const toolName = 'lumenweave-sim';
const int64Min = -(2n ** 63n);
const int64Max = 2n ** 63n - 1n;

class UsageError extends Error {}

function usageError(message) {
  throw new UsageError(`${message} (try --help)`);
}

// One line on standard error, control characters shown as '?', as the native tools report.
function report(message) {
  const line = message.replace(/[\x00-\x1f\x7f]/g, '?');
  writeSync(2, `${toolName}: ${line}\n`);
}

// A whole decimal number from low to high (a sign only where low is negative).
function parseNumber(flag, text, low, high) {
  const pattern = low < 0n ? /^-?[0-9]+$/ : /^[0-9]+$/;
  const value = pattern.test(text) ? BigInt(text) : null;
  if (value === null || value < low || value > high) {
    usageError(`${flag} takes a whole number from ${low} to ${high}, not '${text}'`);
  }
  return value;
}

const systemMessages = {
  ENOENT: 'No such file or directory',
  EACCES: 'Permission denied',
  EISDIR: 'Is a directory',
  ENOTDIR: 'Not a directory',
};

// The script's bytes as they are: the engine reads bytes, not characters.
function readScript(path) {
  try {
    return readFileSync(path === '-' ? 0 : path);
  } catch (error) {
    const reason = systemMessages[error.code] ?? error.message;
    throw new UsageError(`cannot read script '${path}': ${reason}`);
  }
}

function parseOptions(args, usage, version) {
  const o = { seed: null, frames: 0n, scriptPath: null, checkPath: null, trace: false, listActuators: false };
  const takesValue = {
    '--seed': true, '--frames': true, '--script': true, '--trace': false, '--check': true,
    '--list-actuators': false,
  };
  for (let i = 0; i < args.length; ++i) {
    const flag = args[i];
    if (flag === '--help') {
      writeSync(1, usage);
      process.exit(0);
    }
    if (flag === '--version') {
      writeSync(1, `${toolName} ${version}\n`);
      process.exit(0);
    }
    if (!(flag in takesValue)) {
      usageError(`unknown argument '${flag}'`);
    }
    let value = null;
    if (takesValue[flag]) {
      if (i + 1 >= args.length) {
        usageError(`${flag} needs a value`);
      }
      value = args[++i];
    }
    if (flag === '--trace') {
      o.trace = true;
    } else if (flag === '--list-actuators') {
      o.listActuators = true;
    } else if (flag === '--script') {
      o.scriptPath = value;
    } else if (flag === '--check') {
      o.checkPath = value;
    } else if (flag === '--seed') {
      // srand48 keeps the low 32 bits of its argument.
      o.seed = Number(BigInt.asUintN(32, parseNumber(flag, value, int64Min, int64Max)));
    } else {
      o.frames = parseNumber(flag, value, 0n, int64Max);
    }
  }
  if (o.checkPath !== null &&
      (o.seed !== null || o.frames || o.scriptPath !== null || o.trace || o.listActuators)) {
    usageError('--check takes no other flag');
  }
  if (o.listActuators && (o.seed !== null || o.frames || o.scriptPath !== null || o.trace)) {
    usageError('--list-actuators takes no other flag');
  }
  return o;
}

async function loadEngine(file) {
  // The WASI module announces itself as experimental on standard error, which the native tool
  // does not print.
  const emitWarning = process.emitWarning;
  process.emitWarning = () => {};
  const { WASI } = await import('node:wasi');
  process.emitWarning = emitWarning;
  const wasi = new WASI({ version: 'preview1', args: [], env: {} });
  const bytes = readFileSync(new URL(file, import.meta.url));
  const { instance } = await WebAssembly.instantiate(bytes, wasi.getImportObject());
  wasi.initialize(instance);
  return instance.exports;
}

function cString(lw, address) {
  const memory = new Uint8Array(lw.memory.buffer);
  let end = address;
  while (memory[end] !== 0) {
    ++end;
  }
  return Buffer.from(memory.subarray(address, end)).toString('utf8');
}

// Copies bytes into the module's memory with a NUL after them.
function copyIn(lw, bytes) {
  const address = lw.lw_alloc(bytes.length + 1);
  const memory = new Uint8Array(lw.memory.buffer);
  memory.set(bytes, address);
  memory[address + bytes.length] = 0;
  return address;
}

function finish(lw) {
  if (!lw.lw_flush()) {
    throw new UsageError('cannot write the output');
  }
}

async function run(args) {
  let lw = await loadEngine('lumenweave-sim.wasm');
  const o = parseOptions(args, cString(lw, lw.lw_usage()), cString(lw, lw.lw_version()));
  if (o.checkPath !== null) {
    const text = readScript(o.checkPath);
    const address = copyIn(lw, text);
    const count = lw.lw_check(address, text.length);
    const name = copyIn(lw, Buffer.from(o.checkPath === '-' ? '<stdin>' : o.checkPath));
    let errors = 0;
    for (let i = 0; i < count; ++i) {
      lw.lw_print_problem(i, name);
      errors += 1 - lw.lw_problem_warning(i);
    }
    finish(lw);
    // Warnings alone leave the script runnable, as in lumenweave-sim.
    return errors === 0 ? 0 : 1;
  }
  if (o.listActuators) {
    lw.lw_list_actuators();
    finish(lw);
    return 0;
  }
  if (o.trace) {
    lw = await loadEngine('lumenweave-trace.wasm');
  }
  const script = o.scriptPath !== null ? copyIn(lw, readScript(o.scriptPath)) : 0;
  const seed = o.seed ?? Math.floor(Date.now() / 1000) >>> 0;
  lw.lw_start(seed, script);
  for (let k = 1n; k <= o.frames; ++k) {
    lw.lw_advance_frame();
    if (!o.trace) {
      lw.lw_print_values(k);
    }
  }
  finish(lw);
  return 0;
}

try {
  process.exitCode = await run(process.argv.slice(2));
} catch (error) {
  if (!(error instanceof UsageError)) {
    throw error;
  }
  report(error.message);
  process.exitCode = 2;
}
