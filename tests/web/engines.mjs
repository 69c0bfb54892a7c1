// The three engines the page is tested in, behind the same few operations.
//   const browser = await launch('chromium' | 'firefox' | 'webkit');
//   const page = await browser.open(url, { width, height, touch, before });
// A page: evaluate(fn, ...args), screenshot() (the viewport as PNG),
// click(x, y), touch(x, y) (a finger down, .lift() it), keyDown(key),
// keyUp(key), press(key) (keys by KeyboardEvent.key: 'd', ' ', 'Escape',
// 'ArrowDown'), resize(width, height),
// reload(), errors() (the page's uncaught errors), close(); viewport
// coordinates in CSS pixels. `touch` and `before` (run before the page's
// scripts) are for Chromium and Firefox; `raw` is their puppeteer page.
import { launchChromium } from './chromium.mjs';
import { launchFirefox } from './firefox.mjs';
import { launchWebKit } from './webkit.mjs';
import { startXvfb } from './xvfb.mjs';

export const engineNames = ['chromium', 'firefox', 'webkit'];
export { desktop } from './chromium.mjs';

// Chromium's touch by its protocol: touchStart takes every finger down,
// touchEnd the ones that lift (puppeteer's own touches lift the others, or
// none until all do). Each new finger gets a lower number than those already
// down, as some phones do; RGFW once acted only on the highest.
function chromiumFingers(page) {
  const down = [];
  let cdp;
  return async (x, y) => {
    cdp ??= await page.createCDPSession();
    const finger = { x, y, id: 9 - down.length };
    down.push(finger);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: down });
    return {
      async lift() {
        down.splice(down.indexOf(finger), 1);
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [finger] });
      },
    };
  };
}

function firefoxFingers(page) {
  return async (x, y) => {
    const finger = await page.touchscreen.touchStart(x, y);
    return { lift: () => finger.end() };
  };
}

async function puppeteerPage(browser, url, { width, height, touch, before }, emulate, fingers) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const resize = (width, height) => page.setViewport({ width, height, deviceScaleFactor: 1, ...emulate(touch, width, height) });
  await resize(width, height);
  if (before) await page.evaluateOnNewDocument(before);
  await page.goto(url);
  return {
    raw: page,
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    resize,
    screenshot: async () => Buffer.from(await page.screenshot()),
    click: (x, y) => page.mouse.click(x, y, { delay: 30 }),
    touch: fingers(page),
    keyDown: (key) => page.keyboard.down(key),
    keyUp: (key) => page.keyboard.up(key),
    press: (key) => page.keyboard.press(key),
    // A tab in the background draws no frames in Firefox.
    reload: () => page.bringToFront().then(() => page.reload()),
    errors: async () => errors,
    close: () => page.close(),
  };
}

async function chromium() {
  const { browser, close } = await launchChromium();
  const emulate = (touch, width, height) => (touch ? { isMobile: true, hasTouch: true, isLandscape: width > height } : {});
  return { open: (url, view) => puppeteerPage(browser, url, view, emulate, chromiumFingers), close };
}

// Firefox keeps a second browser, with touch, for the pages that want it;
// both on one private X server.
async function firefox() {
  const x = await startXvfb();
  const browsers = {};
  const browser = async (touch) => (browsers[touch] ??= await launchFirefox(x.display, { touch }));
  try {
    await browser(false);
  } catch (error) {
    x.stop();
    throw error;
  }
  return {
    open: async (url, view) => puppeteerPage(await browser(!!view.touch), url, view, () => ({}), firefoxFingers),
    async close() {
      for (const one of Object.values(browsers)) await one.close();
      x.stop();
    },
  };
}

export function launch(engine) {
  const launchers = { chromium, firefox, webkit: launchWebKit };
  if (!launchers[engine]) throw new Error(`no engine "${engine}": give one of ${engineNames.join(', ')}`);
  return launchers[engine]();
}
