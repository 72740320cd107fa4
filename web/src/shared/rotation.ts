// The order of a rotation between several scripts (the page's saver, the wallpaper): in turn, or
// shuffled so that none comes again before all have run.

export const stepsPerSecond = 60; // the animation's own rate: an interval's steps

// The index after `current` in a list of `count`: the next one in turn, or with shuffle the next
// of a random order of them all, drawn afresh once each has run (the one shown first counts as run
// in the first round; a new round never starts with the one just shown).
export function createOrder(
  count: number,
  shuffle: boolean,
  random: () => number = Math.random,
): (current: number) => number {
  const shuffled = (indices: number[]): number[] => {
    for (let i = indices.length - 1; i > 0; --i) {
      const j = Math.floor(random() * (i + 1));
      [indices[i], indices[j]] = [indices[j], indices[i]];
    }
    return indices;
  };
  const all = Array.from({ length: count }, (_, i) => i);
  let round: number[] | null = null; // what is left of this round
  return (current) => {
    if (!shuffle || count < 2) {
      return (current + 1) % count;
    }
    if (round === null) {
      round = shuffled(all.filter((i) => i !== current));
    } else if (round.length === 0) {
      round = shuffled([...all]);
      if (round[0] === current) {
        [round[0], round[count - 1]] = [round[count - 1], round[0]];
      }
    }
    return round.shift() as number;
  };
}
