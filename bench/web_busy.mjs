// How busy the page's main thread is while the game plays, beside the bare
// raylib page drawing the same frames, in headless chromium.
//   node web_busy.mjs GAME_FOLDER BARE_FOLDER SECONDS WINDOWS
// Both pages get the same clicks: one past the intro, then, for the busy
// scene, one every other frame in columns where nothing is carried, so that
// level 1 keeps about 75 bubbles rising. Pages take turns, one window each,
// WINDOWS times per scene. Prints a line "SCENE GAME_SHARE GAME_FPS
// BARE_SHARE BARE_FPS" for the scenes idle and busy, shares as fractions.
import { setTimeout as sleep } from 'node:timers/promises';
import { busySeconds, clickCanvas, launchChromium, openPage } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const [gameFolder, bareFolder, seconds, windows] = process.argv.slice(2);
const columns = [100, 250, 400, 700, 850, 1000, 1200];

// Frames drawn so far: both programs clear the screen once a frame.
function countFrames() {
  window.framesDrawn = 0;
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) {
    window.framesDrawn++;
    return clear.call(this, mask);
  };
}

// Clicks from inside the page, every other frame: driven from outside, each
// click would cost the page more than the game spends on it.
function startClicking(columns) {
  const canvas = document.getElementById('canvas');
  let n = 0;
  setInterval(() => {
    const box = canvas.getBoundingClientRect();
    const at = { clientX: box.left + columns[n++ % columns.length], clientY: box.top + 700, bubbles: true };
    for (const type of ['mousemove', 'mousedown', 'mouseup']) canvas.dispatchEvent(new MouseEvent(type, at));
  }, 1000 / 30);
}

async function measure(browser, url, busy) {
  const page = await openPage(browser, url, countFrames);
  await page.waitForFunction(() => window.framesDrawn > 10);
  await clickCanvas(page, 640, 400);
  if (busy) await page.evaluate(startClicking, columns);
  await sleep(4000); // the first bubbles reach the top: the count is steady
  const busy0 = await busySeconds(page);
  const frames0 = await page.evaluate(() => window.framesDrawn);
  const t0 = performance.now();
  await sleep(seconds * 1000);
  const busy1 = await busySeconds(page);
  const frames1 = await page.evaluate(() => window.framesDrawn);
  const elapsed = (performance.now() - t0) / 1000;
  await page.close();
  return { share: (busy1 - busy0) / elapsed, fps: (frames1 - frames0) / elapsed };
}

const game = await serve(gameFolder);
const bare = await serve(bareFolder);
const chromium = await launchChromium();
try {
  for (const scene of ['idle', 'busy']) {
    const sum = { game: { share: 0, fps: 0 }, bare: { share: 0, fps: 0 } };
    for (let n = 0; n < windows; n++) {
      // Turns alternate who goes first, so a change of load hits both alike.
      for (const which of n % 2 ? ['bare', 'game'] : ['game', 'bare']) {
        const result = await measure(chromium.browser, (which === 'game' ? game : bare).url, scene === 'busy');
        console.error(`${scene} ${which}: busy ${(100 * result.share).toFixed(1)}% at ${result.fps.toFixed(1)} fps`);
        sum[which].share += result.share / windows;
        sum[which].fps += result.fps / windows;
      }
    }
    console.log(`${scene} ${sum.game.share} ${sum.game.fps} ${sum.bare.share} ${sum.bare.fps}`);
  }
} finally {
  await chromium.close();
  game.close();
  bare.close();
}
