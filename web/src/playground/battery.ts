// Less drawing on battery: where the browser tells the battery's state (navigator.getBattery), the
// page draws 30 frames a second while it is not charging, the animation keeping its speed, and
// follows the charger coming and going.
import type { Loop } from '../shared/loop';
import { say } from '../shared/status';

export const batteryFrameRate = 30; // frames a second

// The part of the Battery Status API used here; the DOM's own types no longer describe it.
interface BatteryManager extends EventTarget {
  readonly charging: boolean;
}
type BatteryNavigator = Navigator & { getBattery?: () => Promise<BatteryManager> };

// Follows the battery for the rest of the page's life. The rate it draws at is in the body's
// data-draw-rate ("display" or the battery's frames a second), for the tests.
export async function followBattery(loop: Loop): Promise<void> {
  const { getBattery } = navigator as BatteryNavigator;
  if (typeof getBattery !== 'function') {
    return;
  }
  let battery: BatteryManager;
  try {
    battery = await getBattery.call(navigator);
  } catch {
    // Refused, as a frame whose permissions policy forbids it is: drawn as on mains.
    return;
  }
  const follow = (): void => {
    const onBattery = !battery.charging;
    loop.setDrawRate(onBattery ? batteryFrameRate : null);
    document.body.dataset.drawRate = onBattery ? String(batteryFrameRate) : 'display';
    if (onBattery) {
      say(`On battery: drawing ${batteryFrameRate} frames a second`);
    }
  };
  battery.addEventListener('chargingchange', follow);
  follow();
}
