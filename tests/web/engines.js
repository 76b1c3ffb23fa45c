// The browser engines behind one small interface, so that each scenario of
// the browser test is written once: Chromium and Firefox through
// puppeteer-core (DevTools and WebDriver BiDi), WebKitGTK through its
// WebKitWebDriver and MiniBrowser (selenium-webdriver), in an X server of
// its own. A page is a puppeteer page, or for WebKit an object with the few
// methods of one that the scenarios use. All of them are Debian's browsers:
// nothing is downloaded.
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const net = require('net');
const path = require('path');
const puppeteer = require('puppeteer-core');
const {Builder, Key} = require('selenium-webdriver');
const {launch, sleep, waitFor} = require('./browser.js');

const probeSource = fs.readFileSync(path.join(__dirname, 'page_probe.js'), 'utf8');

// What each engine (or its driver) cannot do: a scenario that needs it is
// skipped, and says why.
const lacks = {
  chromium: {},
  firefox: {
    installability: 'installability is a Chromium-only DevTools call',
    offlineWorker: "the offline mode leaves out the browser's own check for a new service worker: /sw.js not counted",
    touchScreen: 'no touch-screen emulation over WebDriver BiDi: the page learns of touch from the first tap',
  },
  webkit: {
    installability: 'installability is a Chromium-only DevTools call',
    offline: 'WebDriver has no offline mode',
    touch: 'WebKitWebDriver turns touch actions into mouse pointers',
    hiddenTab: 'a MiniBrowser window behind another stays visible to its page',
  },
};

// Errors the page reports, for the engines whose driver does not pass them on.
const errorCollector = `window.pageErrors = window.pageErrors || [];
  window.addEventListener('error', (e) => pageErrors.push('uncaught: ' + e.message));
  const consoleError = console.error;
  console.error = function (...words) { pageErrors.push('console: ' + words.join(' ')); return consoleError.apply(this, words); };`;

async function puppeteerEngine(name, userDir) {
  const browser = name === 'chromium' ? await launch(userDir) : await puppeteer.launch({
    browser: 'firefox', executablePath: process.env.MARCHFIRE_FIREFOX || '/usr/bin/firefox-esr',
    headless: true, protocolTimeout: 30000, userDataDir: userDir,
  });
  return {
    name, browser, lacks: lacks[name],
    // A page that records every error from its first line.
    async open(url, viewport, prepare) {
      const page = await browser.newPage();
      if (prepare) await prepare(page);
      const errors = [];
      page.on('pageerror', (error) => errors.push(`uncaught: ${error.message}`));
      page.on('console', (message) => {
        if (message.type() === 'error') errors.push(`console: ${message.text()}`);
      });
      page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
      await page.setViewport(viewport);
      await page.evaluateOnNewDocument(probeSource);
      await page.goto(url, {waitUntil: 'load', timeout: 15000});
      return {page, errors: async () => errors};
    },
    newTab: async () => {
      const tab = await browser.newPage();
      await tab.bringToFront();
      return tab;
    },
    close: () => browser.close(),
  };
}

function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer();
    probe.listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// An X server on a free display, which names itself.
function startXvfb() {
  return new Promise((resolve, reject) => {
    const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                         {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
    let said = '';
    server.stdio[3].on('data', (bytes) => {
      said += bytes;
      if (said.includes('\n')) resolve({server, display: `:${said.trim()}`});
    });
    server.on('exit', (code) => reject(new Error(`Xvfb ended (${code})`)));
  });
}

const webDriverKeys = {ArrowLeft: Key.ARROW_LEFT, ArrowRight: Key.ARROW_RIGHT, Enter: Key.ENTER,
                       Escape: Key.ESCAPE, ' ': ' ', KeyP: 'p', KeyF: 'f'};

async function webkitEngine(userDir, extraEnv) {
  const x = await startXvfb();
  const port = await freePort();
  const env = {...process.env, ...extraEnv, DISPLAY: x.display, XDG_RUNTIME_DIR: userDir, HOME: userDir};
  const service = spawn(process.env.MARCHFIRE_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
                        {env, stdio: 'ignore'});
  const browserBinary = process.env.MARCHFIRE_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
  const driver = await waitFor('WebKitWebDriver', () => new Builder().usingServer(`http://127.0.0.1:${port}/`)
    .withCapabilities({browserName: 'MiniBrowser',
                       'webkitgtk:browserOptions': {binary: browserBinary, args: ['--automation']}})
    .build().catch(() => null), 15000, 200);
  const home = await driver.getWindowHandle();
  let current = home;
  let chrome = null;  // the window's size around its page
  const focus = async (handle) => {
    if (current !== handle) await driver.switchTo().window(handle);
    current = handle;
  };

  const pageOf = (handle) => {
    const evaluate = async (fn, ...args) => {
      await focus(handle);
      const call = typeof fn === 'string' ? `return (${fn});` : `return (${fn}).apply(null, arguments);`;
      return driver.executeScript(call, ...args);
    };
    const keys = async (...steps) => {
      await focus(handle);
      let actions = driver.actions();
      for (const [down, key] of steps) actions = down ? actions.keyDown(webDriverKeys[key]) : actions.keyUp(webDriverKeys[key]);
      await actions.perform();
    };
    return {
      evaluate,
      $eval: async (selector, fn) => {
        await focus(handle);
        return driver.executeScript(`return (${fn})(document.querySelector(arguments[0]));`, selector);
      },
      keyboard: {down: (k) => keys([true, k]), up: (k) => keys([false, k]), press: (k) => keys([true, k], [false, k])},
      screenshot: async ({path: file}) => {
        await focus(handle);
        fs.writeFileSync(file, Buffer.from(await driver.takeScreenshot(), 'base64'));
      },
      bringToFront: () => focus(handle),
      reload: async () => {
        await focus(handle);
        await driver.navigate().refresh();
      },
      close: async () => {
        await focus(handle);
        await driver.close();
        await focus(home);
        current = home;
      },
    };
  };

  return {
    name: 'webkit', lacks: lacks.webkit,
    display: x.display,  // the X screen the window is shown on
    async open(url, viewport) {
      await focus(home);
      await driver.switchTo().newWindow('window');
      const handle = await driver.getWindowHandle();
      current = handle;
      if (chrome === null) {
        const [outerW, outerH, innerW, innerH] = await driver.executeScript('return [outerWidth, outerHeight, innerWidth, innerHeight]');
        chrome = {width: outerW - innerW, height: outerH - innerH};
      }
      await driver.manage().window().setRect({x: 0, y: 0, width: viewport.width + chrome.width,
                                              height: viewport.height + chrome.height});
      await driver.get(url);
      await driver.executeScript(errorCollector);
      await driver.executeScript(probeSource);
      const page = pageOf(handle);
      return {page, errors: () => page.evaluate(() => (window.pageErrors || []).slice())};
    },
    async newTab() {
      await driver.switchTo().newWindow('tab');
      const handle = await driver.getWindowHandle();
      current = handle;
      return pageOf(handle);
    },
    async close() {
      await driver.quit().catch(() => {});
      service.kill();
      x.server.kill();
      await sleep(100);
    },
  };
}

// `extraEnv`: WebKit's own settings, for the browser and its driver.
function launchEngine(name, userDir, extraEnv = {}) {
  if (name === 'webkit') return webkitEngine(userDir, extraEnv);
  if (name === 'chromium' || name === 'firefox') return puppeteerEngine(name, userDir);
  throw new Error(`no such engine: ${name}`);
}

module.exports = {launchEngine};
