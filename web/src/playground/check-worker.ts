// The checker's own thread: the core's checker in its own instance of lumenweave.wasm. Requests
// that arrive while a check runs wait; only the newest of them is checked.
import type { CheckAnswer, CheckRequest } from './checker';
import { loadEngine } from '../shared/engine';

const engine = loadEngine(new URL('lumenweave.wasm', self.location.href).href);
let pending: CheckRequest | null = null;

const answer = (message: CheckAnswer): void => self.postMessage(message);

async function checkNewest(): Promise<void> {
  const checker = await engine.catch((error: unknown) => `the checker did not load: ${error}`);
  const { version, text } = pending as CheckRequest;
  pending = null;
  try {
    if (typeof checker === 'string') {
      throw new Error(checker);
    }
    answer({ version, problems: checker.check(text) });
  } catch (error) {
    answer({ version, error: String(error) });
  }
}

self.addEventListener('message', (event: MessageEvent<CheckRequest>) => {
  const idle = pending === null;
  pending = event.data;
  // A task of its own, after the messages already queued, so that those replace this one.
  if (idle) {
    setTimeout(() => void checkNewest(), 0);
  }
});
