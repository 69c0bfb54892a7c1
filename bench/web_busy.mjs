// How busy the page's main thread is while the game plays, beside the bare
// raylib page drawing the same frames, in headless chromium.
//   node web_busy.mjs GAME_FOLDER BARE_FOLDER SECONDS PAIRS
// Both pages get the same clicks: one past the intro, then, for the busy
// scene, one every other frame in columns where nothing is carried, so that
// level 1 keeps about 75 bubbles rising. Each sample is a fresh page and one
// window of SECONDS; game and bare take turns, PAIRS samples of each per
// scene. The idle scene's pages are also measured before the click: the
// game's intro, the bare page's level-1 picture. Prints one line a sample,
// "SCENE WHICH BUSY CPU FPS" (scene intro, idle or busy; which game or bare;
// shares of the main thread as fractions, busy with tasks and on the CPU; see
// mainThreadSeconds), in the order taken.
import { setTimeout as sleep } from 'node:timers/promises';
import { clickCanvas, launchChromium, mainThreadSeconds, openPage } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const [gameFolder, bareFolder, seconds, pairs] = process.argv.slice(2);
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

// The main thread's shares and the frame rate over one window.
async function oneWindow(page, length) {
  const before = await mainThreadSeconds(page);
  const frames0 = await page.evaluate(() => window.framesDrawn);
  const t0 = performance.now();
  await sleep(length * 1000);
  const after = await mainThreadSeconds(page);
  const frames1 = await page.evaluate(() => window.framesDrawn);
  const elapsed = (performance.now() - t0) / 1000;
  return {
    busy: (after.busy - before.busy) / elapsed,
    cpu: (after.cpu - before.cpu) / elapsed,
    fps: (frames1 - frames0) / elapsed,
  };
}

// Samples one page; returns { scene: result } for each scene it measured.
async function measure(browser, url, busy) {
  const page = await openPage(browser, url, countFrames);
  await page.waitForFunction(() => window.framesDrawn > 10);
  const results = {};
  if (!busy) results.intro = await oneWindow(page, 3);
  await clickCanvas(page, 640, 400);
  if (busy) await page.evaluate(startClicking, columns);
  // The player lands; with clicks, the first bubbles reach the top and the count is steady.
  await sleep(busy ? 3000 : 1000);
  results[busy ? 'busy' : 'idle'] = await oneWindow(page, Number(seconds));
  await page.close();
  return results;
}

const game = await serve(gameFolder);
const bare = await serve(bareFolder);
const chromium = await launchChromium();
try {
  for (const scene of ['idle', 'busy']) {
    for (let n = 0; n < pairs; n++) {
      // Turns alternate who goes first, so a change of load hits both alike.
      for (const which of n % 2 ? ['bare', 'game'] : ['game', 'bare']) {
        const results = await measure(chromium.browser, (which === 'game' ? game : bare).url, scene === 'busy');
        for (const [name, r] of Object.entries(results)) {
          console.error(`${name} ${which}: busy ${(100 * r.busy).toFixed(1)}%, CPU ${(100 * r.cpu).toFixed(2)}% at ${r.fps.toFixed(1)} fps`);
          console.log(`${name} ${which} ${r.busy} ${r.cpu} ${r.fps}`);
        }
      }
    }
  }
} finally {
  await chromium.close();
  game.close();
  bare.close();
}
