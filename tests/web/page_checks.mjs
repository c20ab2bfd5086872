// The browser page in Debian's headless Chromium, driven with real key events: it shows exactly
// the native game's pictures, its recordings replay natively to what it showed, it keeps the
// game's pace, sound starts with the first key, a hidden page stops, a page that loses the keyboard
// lets go of every key, and missing or broken data is one clear line.
//
// Usage: node page_checks.mjs WEB_BUILD NATIVE_BUILD
//   WEB_BUILD holds the page (index.html, page.js, brickrun.js, brickrun.wasm, data.tar.gz);
//   NATIVE_BUILD holds brickrun-headless and data/.
import { chromium } from "playwright-core";
import { execFileSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { serve } from "./serve.mjs";

const [web, native] = process.argv.slice(2);
if (!web || !native) {
  console.error("usage: node page_checks.mjs WEB_BUILD NATIVE_BUILD");
  process.exit(2);
}
const work = mkdtempSync(join(tmpdir(), "brickrun-page-"));
let failed = false;
function check(ok, what) {
  console.log(`${ok ? "ok" : "FAIL"}: ${what}`);
  if (!ok) failed = true;
}

// What the native headless runner shows at present n, as bytes R, G, B (from its BMP shot).
function nativePicture(args, present) {
  const shot = join(work, `native-${present}.bmp`);
  execFileSync(join(native, "brickrun-headless"),
               ["--data", join(native, "data"), ...args, "--shot", `${present}:${shot}`],
               { stdio: ["ignore", "ignore", "ignore"] });
  const bmp = readFileSync(shot);
  const width = bmp.readInt32LE(18), height = bmp.readInt32LE(22), offset = bmp.readUInt32LE(10);
  const rowBytes = (width * 3 + 3) & ~3;
  const rgb = new Uint8Array(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * rowBytes;
    for (let x = 0; x < width; ++x) {
      rgb[(y * width + x) * 3] = bmp[row + x * 3 + 2];
      rgb[(y * width + x) * 3 + 1] = bmp[row + x * 3 + 1];
      rgb[(y * width + x) * 3 + 2] = bmp[row + x * 3];
    }
  }
  return rgb;
}

// How many pixels of the page's picture (R, G, B, A) differ from a native one (R, G, B).
function differences(rgba, rgb) {
  let n = 0;
  for (let i = 0; i < rgb.length / 3; ++i) {
    if (rgba[4 * i] !== rgb[3 * i] || rgba[4 * i + 1] !== rgb[3 * i + 1] ||
        rgba[4 * i + 2] !== rgb[3 * i + 2] || rgba[4 * i + 3] !== 255) ++n;
  }
  return n;
}

const waitFor = (page, test, arg, ms = 10000) => page.waitForFunction(test, arg, { timeout: ms });
const presents = (page) => page.evaluate(() => window.brickrun.presents);
const pause = (ms) => new Promise((done) => setTimeout(done, ms));
// A key held long enough to span a few of the game's key snapshots, as a player's press does.
async function hold(page, key) {
  await page.keyboard.down(key);
  await pause(150);
  await page.keyboard.up(key);
}
const inPlay = () => window.brickrun.screen() === "game";

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--mute-audio", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic"],
});
const server = await serve(web);
try {
  // ---- the title menu, as soon as the page lets a key start it ----
  const page = await browser.newPage({ viewport: { width: 1280, height: 1000 } });
  const began = Date.now();
  await page.goto(server.url);
  await waitFor(page, () => document.getElementById("prompt").textContent.startsWith("Click"));
  await page.click("#cover");
  await waitFor(page, () => window.brickrun.presents >= 2);
  const toTitle = Date.now() - began;
  check(toTitle <= 1500, `the title menu shows ${toTitle} ms after navigation (at most 1500)`);
  await waitFor(page, () => window.brickrun.presents >= 4);
  const shown = await page.evaluate(() => window.brickrun.pixels());
  const title = nativePicture(["--input", "/dev/null", "--presents", "3"], 3);
  const off = differences(shown, title);
  check(off === 0, `the canvas shows the native title picture pixel for pixel (${off} pixels differ)`);
  const box = await page.evaluate(() => {
    const s = document.getElementById("screen");
    return { w: s.width, h: s.height, cw: s.clientWidth, ch: s.clientHeight,
             rendering: getComputedStyle(s).imageRendering };
  });
  check(box.w === 800 && box.h === 600 && box.cw === 800 && box.ch === 600,
        `an 800x600 canvas shown 1x in a 1280x1000 page (${box.cw}x${box.ch})`);
  check(box.rendering === "pixelated" || box.rendering === "crisp-edges", `sharp pixels (${box.rendering})`);
  const sound = await page.evaluate(() => {
    const s = window.brickrun.sound;
    return s ? { state: s.context.state, time: s.context.currentTime } : null;
  });
  check(sound && sound.state === "running" && sound.time > 0,
        `the sound's clock runs after the first click (${JSON.stringify(sound)})`);

  // ---- a game: the pace, a hidden page, a lost keyboard ----
  await hold(page, "Enter");
  await waitFor(page, inPlay, undefined, 20000);
  const p0 = await presents(page);
  const late0 = await page.evaluate(() => window.brickrun.sound.late);
  const t0 = Date.now();
  await pause(2000);
  const rate = ((await presents(page)) - p0) * 1000 / (Date.now() - t0);
  check(rate > 25 && rate < 35, `about 30 presents a second in play (${rate.toFixed(1)})`);
  const late = (await page.evaluate(() => window.brickrun.sound.late)) - late0;
  check(late === 0, `the sound never ran dry in 2 s of play (${late} gaps)`);

  await page.evaluate(() => {
    Object.defineProperty(document, "hidden", { configurable: true, get: () => true });
    Object.defineProperty(document, "visibilityState", { configurable: true, get: () => "hidden" });
    document.dispatchEvent(new Event("visibilitychange"));
  });
  await pause(100);
  const hiddenAt = await presents(page);
  await pause(600);
  const quiet = await page.evaluate(() => window.brickrun.sound.context.state);
  check((await presents(page)) === hiddenAt && quiet === "suspended",
        `a hidden page shows no new pictures and its sound stops (${quiet})`);
  await page.evaluate(() => {
    delete document.hidden;
    delete document.visibilityState;
    document.dispatchEvent(new Event("visibilitychange"));
  });
  await waitFor(page, (n) => window.brickrun.presents > n + 5, hiddenAt);
  check(true, "shown again, the page goes on");

  await page.keyboard.down("ArrowRight");
  const held = await page.evaluate(() => window.brickrun.keysDown());
  await page.evaluate(() => window.dispatchEvent(new FocusEvent("blur")));
  const afterBlur = await page.evaluate(() => window.brickrun.keysDown());
  await page.keyboard.up("ArrowRight");
  check(held === 1 && afterBlur === 0, `a blur lets go of held keys (${held} held, ${afterBlur} after)`);

  // Escape ends the game; the page asks to play again, and a key starts the title menu again.
  await hold(page, "Escape");
  await waitFor(page, () => document.getElementById("prompt").textContent.includes("again"));
  const before = await presents(page);
  await hold(page, "ArrowLeft");
  await waitFor(page, (n) => window.brickrun.presents > n + 3, before);
  const again = await page.evaluate(() => window.brickrun.sound.context.state);
  check(again === "running", "after Escape the page offers a new game, a key starts it, and it is heard");
  await page.close();

  // ---- a game controller (the standard layout) and the touch buttons ----
  const pads = await browser.newPage({ hasTouch: true });
  await pads.addInitScript(() => {
    // One controller with Start (button 9) down, as the Gamepad API reports it.
    const buttons = Array.from({ length: 17 }, (_, i) => ({ pressed: i === 9, touched: false, value: i === 9 ? 1 : 0 }));
    const pad = { id: "test pad", index: 0, connected: true, mapping: "standard", timestamp: 1,
                  axes: [0, 0, 0, 0], buttons };
    navigator.getGamepads = () => [pad];
  });
  await pads.goto(server.url);
  await waitFor(pads, () => document.getElementById("prompt").textContent.startsWith("Click"));
  check(await pads.evaluate(() => !document.getElementById("touch").hidden),
        "a touch screen shows the touch buttons");
  await pads.click("#cover");
  await waitFor(pads, inPlay, undefined, 20000);
  check(true, "a controller's Start starts a game from the title menu");
  const touched = await pads.evaluate(() => {
    const press = (key, id, type) => document.querySelector(`#touch [data-key="${key}"]`)
      .dispatchEvent(new PointerEvent(type, { pointerId: id, bubbles: true, pointerType: "touch" }));
    press(205, 11, "pointerdown");  // right
    press(57, 12, "pointerdown");   // jump, with right still held
    const both = window.brickrun.keysDown();
    press(205, 11, "pointerup");
    const one = window.brickrun.keysDown();
    press(57, 12, "pointerup");
    return [both, one, window.brickrun.keysDown()];
  });
  check(touched.join() === "2,1,0", `two touch buttons hold two keys at once (${touched})`);
  await pads.close();

  // ---- a recorded session replays natively to the picture the page showed ----
  const recorded = await browser.newPage();
  await recorded.goto(server.url + "?record");
  await waitFor(recorded, () => document.getElementById("prompt").textContent.startsWith("Click"));
  await recorded.click("#cover");
  await waitFor(recorded, () => window.brickrun.presents >= 3);
  await hold(recorded, "Enter");
  await waitFor(recorded, inPlay, undefined, 20000);
  await recorded.keyboard.down("ArrowRight");
  await recorded.keyboard.down("Space");
  await pause(400);
  await recorded.keyboard.up("Space");
  await pause(600);
  await recorded.keyboard.up("ArrowRight");
  const session = await recorded.evaluate(() => {
    const bytes = window.brickrun.recording();
    return { bytes, presents: window.brickrun.presents, pixels: window.brickrun.pixels() };
  });
  writeFileSync(join(work, "session.brr"), Buffer.from(session.bytes));
  const replayed = nativePicture(["--replay", join(work, "session.brr")], session.presents);
  const apart = differences(session.pixels, replayed);
  check(apart === 0, `the page's recording (${session.bytes.length} bytes, ${session.presents} presents) ` +
                     `replays natively to the picture the page showed (${apart} pixels differ)`);
  await recorded.close();

  // ---- missing and broken data: one clear line ----
  for (const [what, data] of [["missing", null], ["broken", Buffer.from("not a gzip file")]]) {
    const folder = join(work, what);
    execFileSync("mkdir", ["-p", folder]);
    for (const name of ["index.html", "levels.js", "page.js", "brickrun.js", "brickrun.wasm"])
      copyFileSync(join(web, name), join(folder, name));
    if (data) writeFileSync(join(folder, "data.tar.gz"), data);
    const other = await serve(folder);
    const p = await browser.newPage();
    await p.goto(other.url);
    await waitFor(p, () => !document.getElementById("problem").hidden);
    const line = await p.evaluate(() => document.getElementById("problem").textContent);
    check(line.startsWith("brickrun: ") && !line.includes("\n"), `${what} data: "${line}"`);
    await p.close();
    await other.close();
  }
} finally {
  await server.close();
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}
if (failed) process.exit(1);
console.log("passed");
