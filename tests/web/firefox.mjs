// Debian's Firefox ESR, headless, driven by puppeteer-core over WebDriver
// BiDi. Its WebGL needs an X display even headless.
import puppeteer from 'puppeteer-core';

// Touch cannot be emulated per page here; a browser has it or not.
const touchPrefs = {
  'dom.w3c_touch_events.enabled': 1, 'dom.maxtouchpoints.testing.value': 5,
  'ui.primaryPointerCapabilities': 1, 'ui.allPointerCapabilities': 1,
};

// A puppeteer Browser on X display `display`, with a fresh profile.
export function launchFirefox(display, { touch = false } = {}) {
  return puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
    env: { ...process.env, DISPLAY: display },
    // puppeteer relaxes the file:// origin rule; players have Firefox's own.
    extraPrefsFirefox: { 'security.fileuri.strict_origin_policy': true, ...(touch ? touchPrefs : {}) },
  });
}
