// How the page's game frames fall on the display's refreshes, in headless
// chromium on idle level 1.
//   node web_pacing.mjs GAME_FOLDER SECONDS
// First at the browser's own refreshes, counted by a requestAnimationFrame
// loop of the bench's (countRefreshes). Then with the page's
// requestAnimationFrame driven by the bench at 30, 50, 60, 120 and 144 Hz, with
// timestamps jittered by up to ±0.5 ms as a display's are, as fast as the
// page takes them. Prints one line a rate,
// "HZ REFRESHES_A_SECOND STEPS_A_SECOND ONE TWO_OR_MORE" (HZ "browser" for
// the browser's own; ONE and TWO_OR_MORE are shares of the refreshes).
import { setTimeout as sleep } from 'node:timers/promises';
import { clickCanvas, countRefreshes, drivenRefreshes, launchChromium, openPage, refreshTimes } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const [folder, seconds] = process.argv.slice(2);

function shares(frames, length) {
  const steps = frames.reduce((a, b) => a + b, 0);
  return [frames.length / length, steps / length, frames.filter((f) => f === 1).length / frames.length,
    frames.filter((f) => f >= 2).length / frames.length];
}

const server = await serve(folder);
const chromium = await launchChromium();
try {
  const page = await openPage(chromium.browser, server.url, countRefreshes);
  await page.waitForFunction(() => window.gameFrames > 10);
  await clickCanvas(page, 640, 400);
  await sleep(1000); // the player lands
  const start = await page.evaluate(() => [window.refreshes.length, performance.now()]);
  await sleep(Number(seconds) * 1000);
  const [frames, elapsed] = await page.evaluate((from, t0) => [window.refreshes.slice(from), performance.now() - t0], ...start);
  console.log(`browser ${shares(frames, elapsed / 1000).join(' ')}`);
  await page.close();

  for (const hz of [30, 50, 60, 120, 144]) {
    const driven = await openPage(chromium.browser, server.url, drivenRefreshes);
    await driven.waitForFunction(() => document.getElementById('status').textContent === '');
    await clickCanvas(driven, 640, 400);
    const times = refreshTimes(Number(seconds) * hz, hz, 1000, 0.5);
    const steps = await driven.evaluate((t) => window.driveRefreshes(t), times);
    console.log(`${hz} ${shares(steps, Number(seconds)).join(' ')}`);
    await driven.close();
  }
} finally {
  await chromium.close();
  server.close();
}
