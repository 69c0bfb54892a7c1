// Time from navigation to the page's first WebGL draw, served from 127.0.0.1,
// in headless chromium, beside the bare raylib page built the same way.
//   node web_first_frame.mjs GAME_FOLDER BARE_FOLDER TRIALS
// Each load is a first visit (its own browser context: no cache, no service
// worker); the pages take turns. Prints "GAME_MS BARE_MS", medians.
import { launchChromium, openPage } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const [gameFolder, bareFolder, trials] = process.argv.slice(2);

// performance.now() counts from the navigation's start.
function markFirstDraw() {
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = WebGLRenderingContext.prototype[name];
    WebGLRenderingContext.prototype[name] = function (...args) {
      if (window.firstDraw === undefined) window.firstDraw = performance.now();
      return draw.apply(this, args);
    };
  }
}

async function firstDraw(browser, url) {
  const context = await browser.createBrowserContext();
  const page = await openPage(context, url, markFirstDraw);
  await page.waitForFunction(() => window.firstDraw !== undefined, { timeout: 20000 });
  const ms = await page.evaluate(() => window.firstDraw);
  await context.close();
  return ms;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[sorted.length >> 1];
}

const game = await serve(gameFolder);
const bare = await serve(bareFolder);
const chromium = await launchChromium();
try {
  const ms = { game: [], bare: [] };
  await firstDraw(chromium.browser, game.url); // chromium's own first start
  for (let n = 0; n < trials; n++) {
    for (const which of n % 2 ? ['bare', 'game'] : ['game', 'bare']) {
      ms[which].push(await firstDraw(chromium.browser, (which === 'game' ? game : bare).url));
    }
  }
  console.error(`first draw, game: ${ms.game.map((t) => t.toFixed(0)).join(' ')} ms`);
  console.error(`first draw, bare: ${ms.bare.map((t) => t.toFixed(0)).join(' ')} ms`);
  console.log(`${median(ms.game)} ${median(ms.bare)}`);
} finally {
  await chromium.close();
  game.close();
  bare.close();
}
