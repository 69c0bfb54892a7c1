// Lighthouse's mobile profile (its default: a mid-range phone, simulated
// slow 4G and a 4x slower CPU) on the game's page and on the bare raylib
// page, each served gzipped as real hosts serve it, in Debian's chromium.
//   node web_lighthouse.mjs GAME_FOLDER BARE_FOLDER RUNS
// The pages take turns. Prints one line a run and page, "WHICH PERFORMANCE
// ACCESSIBILITY BEST_PRACTICES SEO TBT_MS KB" (scores 0 to 1; KB is what the
// visit transferred).
import lighthouse from 'lighthouse';
import { launchChromium } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const [gameFolder, bareFolder, runs] = process.argv.slice(2);
const categories = ['performance', 'accessibility', 'best-practices', 'seo'];

const game = await serve(gameFolder, { gzip: true });
const bare = await serve(bareFolder, { gzip: true });
const chromium = await launchChromium();
try {
  const port = Number(new URL(chromium.browser.wsEndpoint()).port);
  for (let n = 0; n < runs; n++) {
    for (const which of n % 2 ? ['bare', 'game'] : ['game', 'bare']) {
      const { lhr } = await lighthouse((which === 'game' ? game : bare).url,
        { port, logLevel: 'error', onlyCategories: categories });
      const scores = categories.map((c) => lhr.categories[c].score);
      const tbt = lhr.audits['total-blocking-time'].numericValue;
      const kb = lhr.audits['total-byte-weight'].numericValue / 1000;
      console.error(`lighthouse ${which}: ${scores.join(' ')}, TBT ${tbt.toFixed(0)} ms, ${kb.toFixed(1)} KB`);
      for (const [id, audit] of Object.entries(lhr.audits)) {
        if (audit.score !== null && audit.score < 1 && ['accessibility', 'best-practices', 'seo'].some((c) =>
          lhr.categories[c].auditRefs.some((r) => r.id === id && r.weight > 0))) console.error(`  ${id}: ${audit.title}`);
      }
      console.log(`${which} ${scores.join(' ')} ${tbt} ${kb}`);
    }
  }
} finally {
  await chromium.close();
  game.close();
  bare.close();
}
