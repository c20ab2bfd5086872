// The level editor and shared levels in the browser page, in Debian's headless Chromium: ?edit
// opens the editor, the mouse paints where it points through the canvas's scaling, Save and Ctrl+S
// download the level with exactly the painted cell changed, Open level and a dropped file go
// through the game's own reader, unsaved work comes back after a reload, Share makes a link that
// plays the level, a link's broken level shows the compiler's own words, and a damaged or hostile
// link is one clear line.
//
// Usage: node editor_checks.mjs WEB_BUILD NATIVE_BUILD
//   NATIVE_BUILD holds brickrun-assets, whose words about a broken level the page must repeat.
import { chromium } from "playwright-core";
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { deflateRawSync } from "node:zlib";
import { serve } from "./serve.mjs";

const [web, native] = process.argv.slice(2).map((folder) => folder && resolve(folder));
if (!web || !native) {
  console.error("usage: node editor_checks.mjs WEB_BUILD NATIVE_BUILD");
  process.exit(2);
}
const source = join(dirname(fileURLToPath(import.meta.url)), "..", "..");
const work = mkdtempSync(join(tmpdir(), "brickrun-editor-"));
let failed = false;
function check(ok, what) {
  console.log(`${ok ? "ok" : "FAIL"}: ${what}`);
  if (!ok) failed = true;
}

const waitFor = (page, test, arg, ms = 10000) => page.waitForFunction(test, arg, { timeout: ms });
// Lets the game take a few more key and pointer snapshots: a press held that long is seen.
async function presentsPass(page, count = 3) {
  const at = await page.evaluate(() => window.brickrun.presents);
  await waitFor(page, ([from, n]) => window.brickrun.presents >= from + n, [at, count]);
}
const screenIs = (page, what, ms) => waitFor(page, (w) => window.brickrun.screen() === w, what, ms);
// Holds a key (with Control when asked) across a few of the game's key snapshots.
async function hold(page, key, control = false) {
  if (control) await page.keyboard.down("Control");
  await page.keyboard.down(key);
  await presentsPass(page);
  await page.keyboard.up(key);
  if (control) await page.keyboard.up("Control");
}
// The next download, as text, once `act` has started it.
async function download(page, act) {
  const [file] = await Promise.all([page.waitForEvent("download", { timeout: 10000 }), act()]);
  return { name: file.suggestedFilename(), text: readFileSync(await file.path(), "latin1") };
}
const note = (page) => page.evaluate(() => document.getElementById("note").textContent);
const problem = (page) => page.evaluate(() => {
  const p = document.getElementById("problem");
  return p.hidden ? null : p.textContent;
});
const linkFor = (url, text) => `${url}#level=z.${deflateRawSync(Buffer.from(text, "latin1")).toString("base64url")}`;

// The picture's pixel (x, y), as R, G, B.
const pixel = (page, x, y) => page.evaluate(([x, y]) => {
  const d = document.getElementById("screen").getContext("2d").getImageData(x, y, 1, 1).data;
  return [d[0], d[1], d[2]].join();
}, [x, y]);
// The cell at picture (x, y) as one string, but for its top and left edges, where the editor
// draws its grid.
const block = (page, x, y) => page.evaluate(([x, y]) =>
  Array.from(document.getElementById("screen").getContext("2d").getImageData(x + 1, y + 1, 31, 31).data).join(),
  [x, y]);

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  downloadsPath: join(work, "downloads"),
  args: ["--no-sandbox", "--disable-gpu", "--mute-audio", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic"],
});
const server = await serve(web);
try {
  // ---- ?edit: the editor, painted with the mouse through the canvas's scaling (twice here) ----
  const context = await browser.newContext({ viewport: { width: 1700, height: 1300 } });
  const page = await context.newPage();
  const began = Date.now();
  await page.goto(server.url + "?edit");
  await screenIs(page, "editor");
  const toEditor = Date.now() - began;
  check(toEditor <= 3000, `?edit shows the editor ${toEditor} ms after navigation (at most 3000)`);
  const box = await page.evaluate(() => document.getElementById("screen").getBoundingClientRect().toJSON());
  check(box.width === 1600, `the canvas is shown at twice its size (${box.width} pixels wide)`);
  const at = (x, y) => [box.left + (x + 0.5) * box.width / 800, box.top + (y + 0.5) * box.height / 600];

  const fresh = await download(page, () => page.click("#save"));
  check(fresh.name === "level.txt", `Save downloads a new level as level.txt (${fresh.name})`);

  // Cell (5, 5) lies at picture (160..191, 128..159): the game's own place for it.
  const before = await pixel(page, 176, 144);
  await page.mouse.move(...at(176, 144));
  await page.mouse.down();
  await presentsPass(page);
  await page.mouse.up();
  await waitFor(page, (b) => {
    const d = document.getElementById("screen").getContext("2d").getImageData(176, 144, 1, 1).data;
    return [d[0], d[1], d[2]].join() !== b;
  }, before);
  check(true, "a left click on cell (5, 5) changes the picture there");
  // The pointer's frame round its cell goes with the pointer.
  await page.mouse.move(...at(400, 560));
  const shownAt = await page.evaluate(() => window.brickrun.presents);
  await waitFor(page, (n) => window.brickrun.presents > n + 3, shownAt);
  const painted = await block(page, 160, 128);

  await page.evaluate(() => window.addEventListener("keydown", (event) => {
    if (event.code === "KeyS") window.savePrevented = event.defaultPrevented;
  }));
  const saved = await download(page, () => hold(page, "s", true));
  const a = fresh.text.split("\n"), b = saved.text.split("\n");
  const row5 = a.length - 1 - 20 + 5;  // the map's 20 rows end the file
  const changed = [];
  for (let i = 0; i < Math.max(a.length, b.length); ++i)
    if (a[i] !== b[i]) changed.push(i);
  check(a.length === b.length && changed.join() === String(row5) &&
        b[row5] === a[row5].slice(0, 5) + "B" + a[row5].slice(6) && a[row5][5] === ".",
        `Ctrl+S downloads the level with just cell (5, 5) now a brick (lines changed: ${changed})`);
  check(await page.evaluate(() => window.savePrevented === true), "Ctrl+S is kept from the browser");

  // ---- unsaved work outlives the page ----
  await page.mouse.move(...at(240, 144));
  await page.mouse.down();
  await presentsPass(page);
  await page.mouse.up();
  await waitFor(page, () => window.Module._brickrun_unsaved() === 1);
  await page.reload();
  await screenIs(page, "editor");
  await hold(page, "y");  // the editor asks whether to restore the work it finds
  const restored = await download(page, () => page.click("#save"));
  const r = restored.text.split("\n");
  check(r[row5] === b[row5].slice(0, 7) + "B" + b[row5].slice(8),
        "painted, not saved, reloaded: the editor offers the work back, and Y restores it");

  // While editing, the wheel (it scrolls the view) and the right button over the canvas are the
  // editor's.
  const taken = () => page.evaluate(() => {
    const canvas = document.getElementById("screen");
    const wheel = new WheelEvent("wheel", { deltaY: 100, bubbles: true, cancelable: true });
    const menu = new MouseEvent("contextmenu", { bubbles: true, cancelable: true });
    canvas.dispatchEvent(wheel);
    canvas.dispatchEvent(menu);
    return [wheel.defaultPrevented, menu.defaultPrevented].join();
  });
  check((await taken()) === "true,true", "while editing, the wheel and the right button over the canvas are the editor's");

  // ---- Share: a link that carries the level; opened, it plays ----
  await context.grantPermissions(["clipboard-read", "clipboard-write"]);
  await page.click("#share");
  await waitFor(page, () => !document.getElementById("link").hidden);
  const link = await page.evaluate(() => document.getElementById("link").value);
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  check(link.startsWith(server.url + "#level=z.") && copied === link,
        `Share makes a packed link of ${link.length} characters and copies it`);

  const player = await browser.newPage();
  await player.goto(link);
  await waitFor(player, () => document.getElementById("prompt").textContent.startsWith("Click"));
  await player.click("#cover");
  await screenIs(player, "banner");
  await screenIs(player, "game", 10000);
  await presentsPass(player, 5);
  const inPlay = await block(player, 160, 128);
  check(inPlay === painted, "the link plays its level at once: after the banner, the painted brick in play");
  const played = await player.evaluate(() => {
    const wheel = new WheelEvent("wheel", { deltaY: 100, bubbles: true, cancelable: true });
    document.getElementById("screen").dispatchEvent(wheel);
    return wheel.defaultPrevented;
  });
  check(!played, "in play, the wheel over the canvas is the page's");
  await player.close();

  // ---- Open level, a dropped file, and files that are no level ----
  const level3 = readFileSync(join(source, "assets", "maps", "level3.txt"));
  await page.setInputFiles("#file", { name: "level3.txt", mimeType: "text/plain", buffer: level3 });
  await waitFor(page, () => document.getElementById("note").textContent === "Opened level3.txt");
  const reopened = await download(page, () => hold(page, "s", true));
  check(reopened.name === "level3.txt" && reopened.text === level3.toString("latin1"),
        "Open level opens a file, and Ctrl+S downloads it as it was, under its own name");
  await page.click("#share");
  await waitFor(page, (old) => document.getElementById("link").value !== old, link);
  const link3 = await page.evaluate(() => document.getElementById("link").value);
  const hash3 = link3.length - server.url.length;
  check(hash3 < level3.length, `level3.txt shares as a link of ${link3.length} characters ` +
        `(${hash3} after the page's address; the level is ${level3.length} bytes)`);

  await page.evaluate(() => {
    const files = new DataTransfer();
    files.items.add(new File(["# dropped\n" + ".".repeat(40) + "\n"], "dropped.txt", { type: "text/plain" }));
    window.dispatchEvent(new DragEvent("drop", { dataTransfer: files, bubbles: true, cancelable: true }));
  });
  await waitFor(page, () => document.getElementById("note").textContent === "Opened dropped.txt");
  const dropped = await download(page, () => page.click("#save"));
  check(dropped.text === "# dropped\n" + ".".repeat(40) + "\n", "a file dropped on the page opens in the editor");

  for (const [what, name, buffer, words] of [
    ["binary", "picture.txt", Buffer.from([0x89, 0x50, 0x4e, 0x47, 0, 0, 0, 13]), "not a level's text"],
    ["huge", "huge.txt", Buffer.alloc((16 << 20) + 1, 0x2e), "over 16 MB"],
  ]) {
    await page.setInputFiles("#file", { name, mimeType: "text/plain", buffer });
    await waitFor(page, (n) => document.getElementById("note").textContent.includes(n), name);
    const line = await note(page);
    const still = await download(page, () => page.click("#save"));
    check(line.includes(words) && !line.includes("\n") && still.name === "dropped.txt",
          `a ${what} file is one line ("${line}") and the open level stays`);
  }
  await context.close();

  // ---- links: a broken level has the compiler's words, a damaged link one line ----
  const broken = level3.toString("latin1").replace(/\n\.\.\.\./, "\n..Q.");
  mkdirSync(join(work, "assets"));
  writeFileSync(join(work, "assets", "level.txt"), broken, "latin1");
  let compiler = "";
  try {
    execFileSync(join(native, "brickrun-assets"), ["level", "level.txt", "out.map"],
                 { cwd: join(work, "assets"), stdio: ["ignore", "ignore", "pipe"] });
  } catch (error) {
    compiler = error.stderr.toString().trim();
  }
  const shown = await browser.newPage();
  await shown.goto(linkFor(server.url, broken));
  await waitFor(shown, () => !document.getElementById("problem").hidden);
  const words = await problem(shown);
  check(compiler.startsWith("level.txt:") && words.endsWith(": " + compiler),
        `a link's broken level shows the compiler's words ("${words}")`);
  await shown.close();

  const editing = await browser.newPage();
  await editing.goto(linkFor(server.url + "?edit", broken));
  await screenIs(editing, "editor");
  const opened = await download(editing, () => editing.click("#save"));
  check(opened.text === broken, "?edit with a link opens its level (broken or not) in the editor");
  await editing.close();

  // A browser that cannot compress shares the text as it is, and the link still opens.
  const plain = await browser.newPage();
  await plain.addInitScript(() => { delete window.CompressionStream; });
  await plain.goto(linkFor(server.url + "?edit", broken));
  await screenIs(plain, "editor");
  await plain.click("#share");
  await waitFor(plain, () => !document.getElementById("link").hidden);
  const plainLink = await plain.evaluate(() => document.getElementById("link").value);
  await plain.goto(plainLink.replace("#", "?edit#"));
  await screenIs(plain, "editor");
  const unpacked = await download(plain, () => plain.click("#save"));
  check(plainLink.includes("#level=t.") && unpacked.text === broken,
        "without CompressionStream, Share makes a plain link that opens the same text");
  await plain.close();

  const bomb = deflateRawSync(Buffer.alloc(64 << 20, 0x2e)).toString("base64url");
  const cut = deflateRawSync(Buffer.from(broken, "latin1")).subarray(0, 200).toString("base64url");
  for (const [what, hash, words] of [
    ["not base64url", "#level=z.$$$$", "not base64url"],
    ["an unknown packing", "#level=q.AAAA", "does not start with"],
    ["a 64 MB bomb", "#level=z." + bomb, "more than 4 MB"],
    ["cut short", "#level=z." + cut, "does not unpack"],
  ]) {
    const p = await browser.newPage();
    await p.goto(server.url + hash);
    await waitFor(p, () => !document.getElementById("problem").hidden);
    const line = await problem(p);
    const presents = await p.evaluate(() => window.brickrun.presents);
    check(line.startsWith("brickrun: ") && line.includes(words) && !line.includes("\n") && presents === 0,
          `a link ${what}: "${line}"`);
    await p.close();
  }
} finally {
  await server.close();
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}
if (failed) process.exit(1);
console.log("passed");
