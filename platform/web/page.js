// The page around the game: loading its data, the first screen that asks for a click or a key
// (browsers start sound only after one), the picture's size, the touch buttons, the sound and
// full-screen buttons, and what tests look at (window.brickrun). With ?edit the page opens the
// level editor at once instead; a link that carries a level (levels.js) plays that level, or with
// ?edit opens it in the editor.
"use strict";

(function () {
  const page = new URLSearchParams(location.search);
  const $ = (id) => document.getElementById(id);
  const cover = $("cover"), prompt = $("prompt"), problem = $("problem"), screen = $("screen");
  let runtime = false, data = false, playing = false, broken = false;
  const levels = window.brickrunLevels;
  const editing = page.has("edit");
  const linked = levels.fromAddress(location.hash);  // the level a link carries, or null
  let editor = null;  // the editor's buttons, once it opens
  // What a click or a key starts: the title menu, or the link's level at once.
  let begin = () => Module._brickrun_start();
  if (linked) linked.catch((error) => brickrun.fail(error.message));

  const brickrun = (window.brickrun = {
    presents: 0,  // pictures shown so far
    sound: null,
    // One clear line for a player, instead of a blank page.
    fail(line) {
      broken = true;
      problem.textContent = line;
      problem.hidden = false;
      prompt.hidden = true;
      cover.hidden = false;
    },
    // The game ended: a new one starts from the title menu (or the editor) on the next click or key.
    ended(status) {
      playing = false;
      if (status !== 0 || broken) return;
      if (editor) {
        editor.forget();
        begin = () => Module.ccall("brickrun_edit", "number", ["string"], [editor.path()]);
      } else {
        begin = () => Module._brickrun_start();
      }
      ask(editor ? "Press a key or click to edit again" : "Press a key or click to play again");
    },
    editing() { return Boolean(window.Module && Module.brickrunEditing); },
    // For tests: the picture in the canvas, as bytes R, G, B, A.
    pixels() {
      return Array.from(screen.getContext("2d").getImageData(0, 0, 800, 600).data);
    },
    keysDown() { return Module._brickrun_keys_down(); },
    // For tests: what the last picture shows, "menu", "banner", "game_over", "game" or "editor";
    // null before the game's module runs.
    screen() {
      return runtime ? ["menu", "banner", "game_over", "game", "editor"][Module._brickrun_screen()] : null;
    },
    // For tests (with ?record): ends the recording of this session and hands over its bytes.
    recording() {
      Module._brickrun_stop_recording();
      return Array.from(Module.FS.readFile("/session.brr"));
    },
  });

  // ---- the picture's size: the largest whole multiple that fits, or shrunk to fit ----
  function fit() {
    const w = window.innerWidth, h = window.innerHeight;
    const fits = Math.min(w / 800, h / 600);
    const scale = fits >= 1 ? Math.floor(fits) : fits;
    const cw = Math.round(800 * scale), ch = Math.round(600 * scale);
    Object.assign(screen.style, {
      width: cw + "px", height: ch + "px",
      left: Math.floor((w - cw) / 2) + "px", top: Math.floor((h - ch) / 2) + "px",
    });
  }
  window.addEventListener("resize", fit);
  fit();

  // ---- the data: one gzipped tar of Graphics/, Maps/, Sounds/ and font.raw ----
  async function fetchData() {
    const response = await fetch("data.tar.gz");
    if (!response.ok) throw new Error("data.tar.gz: " + response.status + " " + response.statusText);
    try {
      const stream = response.body.pipeThrough(new DecompressionStream("gzip"));
      return new Uint8Array(await new Response(stream).arrayBuffer());
    } catch (error) {
      throw new Error("data.tar.gz is damaged (" + error.message + ")");
    }
  }

  // Files of a tar archive: 512-byte headers (name at 0, octal size at 124, type at 156), each
  // file's bytes padded to 512.
  function untar(bytes) {
    const files = [];
    const text = (at, n) => new TextDecoder().decode(bytes.subarray(at, at + n)).replace(/\0.*$/s, "");
    for (let at = 0; at + 512 <= bytes.length;) {
      const name = text(at, 100);
      if (!name) break;
      const size = parseInt(text(at + 124, 12).trim() || "0", 8);
      const type = String.fromCharCode(bytes[at + 156]);
      if (isNaN(size) || at + 512 + size > bytes.length) throw new Error("data.tar.gz is damaged");
      if (type === "0" || type === "\0") files.push([name.replace(/^\.\//, ""), bytes.slice(at + 512, at + 512 + size)]);
      at += 512 + Math.ceil(size / 512) * 512;
    }
    return files;
  }

  const loading = fetchData().then(untar);

  function install(files) {
    for (const [name, contents] of files) {
      const folder = name.includes("/") ? "/" + name.slice(0, name.lastIndexOf("/")) : "/";
      Module.FS.mkdirTree(folder);
      Module.FS.writeFile("/" + name, contents);
    }
  }

  // ---- starting ----
  function ask(text) {
    prompt.textContent = text;
    prompt.hidden = false;
    cover.hidden = false;
  }

  // Runtime and data are in: the editor opens at once (its sound starts with the first click or
  // key), a link's level is checked by the game's own compiler before it is offered, and else the
  // title menu waits for a click or a key.
  async function ready() {
    if (!runtime || !data || broken) return;
    let level = null;
    try {
      level = await linked;
    } catch (error) {
      brickrun.fail(error.message);
      return;
    }
    if (editing) {
      editor = levels.editor(brickrun, $);
      if (editor.open(level, "level.txt")) start();
      return;
    }
    if (level) {
      Module.FS.writeFile("/level.txt", level);
      if (!Module.ccall("brickrun_use_level", "number", ["string"], ["level.txt"])) return;
      begin = () => Module._brickrun_play();
    }
    ask("Click or press a key to play");
  }

  function makeSound() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return null;
    const context = new Context({ sampleRate: 48000 });
    const lead = 0.1;  // seconds of sound kept ahead of what plays
    let next = 0;      // when the next buffer starts, in the context's time
    return {
      context,
      late: 0,  // times the sound ran dry while playing (a gap a player would hear)
      wanted() {
        if (context.state !== "running") return 0;
        const ahead = Math.max(0, next - context.currentTime);
        return Math.max(0, Math.round((lead - ahead) * 48000));
      },
      play(samples) {
        const buffer = context.createBuffer(1, samples.length, 48000);
        const out = buffer.getChannelData(0);
        for (let i = 0; i < samples.length; ++i) out[i] = samples[i] / 32768;
        const source = context.createBufferSource();
        source.buffer = buffer;
        source.connect(context.destination);
        // Behind (the page was busy): start again a little ahead rather than late.
        if (next < context.currentTime) {
          if (next > 0) this.late += 1;
          next = context.currentTime + 0.01;
        }
        source.start(next);
        next += samples.length / 48000;
      },
      pause(paused) {
        if (paused) context.suspend(); else if (playing) context.resume();
      },
    };
  }

  function start() {
    if (!runtime || !data || broken || playing) return;
    if (!brickrun.sound) brickrun.sound = makeSound();
    if (brickrun.sound) brickrun.sound.context.resume();
    cover.hidden = true;
    playing = true;
    if (page.has("record") && !Module.ccall("brickrun_record", "number", ["string"], ["/session.brr"]))
      return;
    begin();
  }
  cover.addEventListener("click", start);
  window.addEventListener("keydown", (event) => {
    if (!cover.hidden && !event.ctrlKey && !event.altKey && !event.metaKey) start();
  });
  // The editor starts without a click: its sound waits for the first one.
  for (const gesture of ["keydown", "mousedown"]) {
    window.addEventListener(gesture, () => {
      if (playing && brickrun.sound && brickrun.sound.context.state === "suspended" && !document.hidden)
        brickrun.sound.context.resume();
    });
  }

  // ---- buttons: sound, full screen, and the touch controls ----
  const mute = $("mute");
  mute.addEventListener("click", () => {
    Module._brickrun_set_muted(Module._brickrun_muted() ? 0 : 1);
    screen.focus();
  });
  (function label() {
    if (runtime) mute.textContent = Module._brickrun_muted() ? "Sound: off" : "Sound: on";
    requestAnimationFrame(label);
  })();
  $("full").addEventListener("click", () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  });

  const touch = $("touch");
  if (window.matchMedia("(pointer: coarse)").matches || navigator.maxTouchPoints > 0) touch.hidden = false;
  for (const button of touch.querySelectorAll("button")) {
    const code = Number(button.dataset.key);
    const pointers = new Set();
    const press = (down) => {
      button.classList.toggle("held", down);
      if (runtime) Module._brickrun_touch(code, down ? 1 : 0);
    };
    button.addEventListener("pointerdown", (event) => {
      event.preventDefault();
      try {
        button.setPointerCapture(event.pointerId);  // the finger may slide off the button
      } catch {}
      pointers.add(event.pointerId);
      press(true);
    });
    for (const end of ["pointerup", "pointercancel", "lostpointercapture"]) {
      button.addEventListener(end, (event) => {
        pointers.delete(event.pointerId);
        if (pointers.size === 0) press(false);
      });
    }
  }

  // ---- the game's module ----
  window.Module = {
    onRuntimeInitialized() {
      runtime = true;
      loading.then((files) => { install(files); data = true; ready(); },
                   (error) => brickrun.fail("brickrun: the game's data could not be loaded: " + error.message));
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort: (what) => brickrun.fail("brickrun: the game stopped: " + what),
  };
  loading.catch((error) => brickrun.fail("brickrun: the game's data could not be loaded: " + error.message));
})();
