// The checker in a Web Worker (check-worker.ts), so that neither typing nor Run waits for it. Each
// request carries the document's version; an answer to a request that a newer one replaced is
// dropped. A text asked again while its check is under way, or just answered, is not checked
// twice (Run after the editor's own check of the same text).
import type { Problem } from '../shared/engine';

export interface CheckRequest {
  version: number;
  text: string;
}

export type CheckAnswer = { version: number; problems: Problem[] } | { version: number; error: string };

export interface Checker {
  // The problems of `text`, or null when a newer text was given before they came.
  check(text: string): Promise<Problem[] | null>;
}

export interface CheckState {
  running: boolean; // a check is under way
  answers: number; // answers received, stale ones too
}

export function createChecker(url: string, report: (state: CheckState) => void): Checker {
  const worker = new Worker(url, { type: 'module' });
  let latest = 0;
  let answers = 0;
  const tell = (): void => report({ running: waiting.size > 0, answers });
  const waiting = new Map<number, { resolve(p: Problem[] | null): void; reject(e: Error): void }>();
  let last: { text: string; answer: Promise<Problem[] | null> } | null = null; // the newest request
  worker.addEventListener('message', (event: MessageEvent<CheckAnswer>) => {
    const answer = event.data;
    ++answers;
    // The worker answers only the newest request it has: those before it are stale.
    for (const [version, request] of waiting) {
      if (version > answer.version) {
        continue;
      }
      waiting.delete(version);
      if (version < answer.version) {
        request.resolve(null);
      } else if ('error' in answer) {
        request.reject(new Error(answer.error));
      } else {
        request.resolve(version === latest ? answer.problems : null);
      }
    }
    tell();
  });
  worker.addEventListener('error', (event) => {
    event.preventDefault();
    for (const request of waiting.values()) {
      request.reject(new Error(`the checker did not start: ${event.message}`));
    }
    waiting.clear();
    tell();
  });
  return {
    check(text) {
      if (last?.text === text) {
        return last.answer;
      }
      const version = ++latest;
      const request: CheckRequest = { version, text };
      worker.postMessage(request);
      const answered = new Promise<Problem[] | null>((resolve, reject) =>
        waiting.set(version, { resolve, reject }),
      );
      tell();
      last = { text, answer: answered };
      // A failed check is asked again next time.
      answered.catch(() => last?.answer === answered && (last = null));
      return answered;
    },
  };
}
