// The page's pace in headless Chromium: 10 s of play (a run to the right), the game frames shown a
// second and the longest time between two. Banners, which show a picture every refresh as in the
// window, are left out. Prints numbers; asserts nothing.
//
// Usage: node bench/page_pace.mjs WEB_BUILD   (playwright-core from tests/web/node_modules)
import { createRequire } from "node:module";
import { fileURLToPath } from "node:url";
import { dirname, join } from "node:path";

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, "../tests/web/package.json"));
const { chromium } = require("playwright-core");
const { serve } = await import(join(here, "../tests/web/serve.mjs"));

const server = await serve(process.argv[2]);
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--mute-audio", "--disable-background-networking"],
});
try {
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.waitForFunction(() => document.getElementById("prompt").textContent.startsWith("Click"));
  await page.click("#cover");
  await page.waitForFunction(() => window.brickrun.presents >= 3);
  await page.keyboard.down("Enter");
  await page.waitForFunction(() => window.brickrun.screen() === "game", undefined, { timeout: 20000 });
  await page.keyboard.up("Enter");
  await page.keyboard.down("ArrowRight");
  const result = await page.evaluate(() => new Promise((done) => {
    const start = performance.now();
    let last = window.brickrun.presents, lastAt = start, worst = 0, count = 0, time = 0;
    (function watch() {
      const now = performance.now();
      const playing = window.brickrun.screen() === "game";
      if (window.brickrun.presents !== last) {
        if (playing && lastAt !== null) {
          worst = Math.max(worst, now - lastAt);
          count += window.brickrun.presents - last;
          time += now - lastAt;
        }
        last = window.brickrun.presents;
        lastAt = playing ? now : null;
      }
      if (now - start < 10000) requestAnimationFrame(watch);
      else done({ rate: count * 1000 / time, worst });
    })();
  }));
  console.log(`page, 10 s of play: ${result.rate.toFixed(1)} game frames a second, ` +
              `longest gap ${result.worst.toFixed(1)} ms`);
} finally {
  await browser.close();
  await server.close();
}
