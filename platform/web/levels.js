// Levels in the page: a link that carries a level (its text packed after "#level="), and the level
// editor's buttons: Open level (or a file dropped on the page), Save (a download), Share (a link),
// and unsaved work kept by the browser between visits.
//
// A link reads "#level=z.DATA" (DATA the level's text as raw deflate, then base64url) or, from a
// browser that cannot compress, "#level=t.DATA" (the text as it is). Unpacked, a level is at most
// 4 MB: a link that would unpack to more stops there, so a small link cannot fill the memory.
"use strict";

window.brickrunLevels = (function () {
  const maxUnpacked = 4 << 20;
  const maxOpened = 16 << 20;  // what the editor opens at most, as on the desktop
  const damaged = (why) => new Error("brickrun: the link's level is damaged: " + why);

  function toBase64url(bytes) {
    let binary = "";
    for (let at = 0; at < bytes.length; at += 0x8000)
      binary += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
    return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
  }

  function fromBase64url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) throw damaged("it is not base64url");
    const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // All of a stream's bytes, refused once they pass the limit (the rest is never made).
  async function readCapped(stream) {
    const reader = stream.getReader();
    const parts = [];
    let total = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      total += value.length;
      if (total > maxUnpacked) {
        reader.cancel().catch(() => {});
        throw new Error("brickrun: the link's level unpacks to more than 4 MB, more than a shared level may be");
      }
      parts.push(value);
    }
    const bytes = new Uint8Array(total);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    return bytes;
  }

  // The part of a link after "#level=" for a level's text.
  async function pack(bytes) {
    try {
      const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream("deflate-raw"));
      return "z." + toBase64url(new Uint8Array(await new Response(stream).arrayBuffer()));
    } catch {
      return "t." + toBase64url(bytes);
    }
  }

  // The level's text from the part after "#level="; an Error of one line when it cannot be had.
  async function unpack(packed) {
    const marker = packed.slice(0, 2);
    if (marker !== "z." && marker !== "t.")
      throw damaged("it does not start with z. (packed) or t. (plain)");
    const data = packed.slice(2);
    if (data.length > Math.ceil(maxUnpacked * 4 / 3) + 4) throw damaged("it is far too long");
    const bytes = fromBase64url(data);
    if (marker === "t.") {
      if (bytes.length > maxUnpacked) throw damaged("its level is over 4 MB");
      return bytes;
    }
    let stream;
    try {
      stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate-raw"));
    } catch (error) {
      throw new Error("brickrun: this browser cannot unpack a link's level (" + error.message + ")");
    }
    try {
      return await readCapped(stream);
    } catch (error) {
      if (error.message.startsWith("brickrun:")) throw error;
      throw damaged("it does not unpack (" + error.message + ")");
    }
  }

  // The level a page's address carries: null without "#level=", else a promise of its bytes.
  function fromAddress(hash) {
    return hash.startsWith("#level=") ? unpack(hash.slice("#level=".length)) : null;
  }

  // A name the page's file system takes for an opened file: no folders, never empty.
  function safeName(name) {
    const base = String(name).split(/[\\/]/).pop().replace(/[\0-\x1f]/g, "");
    return base && base !== "." && base !== ".." ? base : "level.txt";
  }

  // ---- the editor's buttons ----
  function editor(brickrun, $) {
    const bar = $("edit"), note = $("note"), link = $("link"), file = $("file");
    let name = "level.txt";
    const path = () => "levels/" + name;
    const keyOf = (n) => "brickrun-unsaved:" + n;
    bar.hidden = false;

    brickrun.say = (line) => { note.textContent = line; };
    brickrun.download = (saved, bytes) => {
      const a = document.createElement("a");
      a.href = URL.createObjectURL(new Blob([bytes], { type: "text/plain" }));
      a.download = saved;
      document.body.append(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(a.href), 60000);
    };

    // Unsaved work outlives the page in localStorage, as the editor's recovery file (its text and
    // a line that proves it whole); the editor offers it when the same level opens again.
    function keepWork() {
      const kept = Module._brickrun_keep_work();
      try {
        if (kept === 0) localStorage.removeItem(keyOf(name));
        if (kept !== 1) return;
        const bytes = Module.FS.readFile(path() + ".recover");
        let binary = "";
        for (let at = 0; at < bytes.length; at += 0x8000)
          binary += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
        localStorage.setItem(keyOf(name), binary);
      } catch {
        // No storage (private windows, a full quota): the work stays only as long as the page.
      }
    }
    setInterval(() => { if (brickrun.editing()) keepWork(); }, 5000);
    window.addEventListener("pagehide", () => { if (brickrun.editing()) keepWork(); });

    // Writes the level (null: a new one) and any kept work of that name, and opens it.
    function open(level, as) {
      const next = safeName(as), where = "levels/" + next;
      Module.FS.mkdirTree("/levels");
      for (const end of ["", ".recover"]) {
        try { Module.FS.unlink(where + end); } catch {}
      }
      if (level) Module.FS.writeFile(where, level);
      let kept = null;
      try { kept = localStorage.getItem(keyOf(next)); } catch {}
      if (kept) Module.FS.writeFile(where + ".recover", Uint8Array.from(kept, (c) => c.charCodeAt(0)));
      if (Module.ccall("brickrun_edit", "number", ["string"], [where]) !== 1) return false;
      name = next;
      return true;
    }

    async function openFile(chosen) {
      if (!chosen) return;
      if (chosen.size > maxOpened) {
        brickrun.say("Cannot open " + chosen.name + ": it is over 16 MB, far more than any level");
        return;
      }
      if (Module._brickrun_unsaved() && !confirm("The level has unsaved changes. Open another?")) return;
      if (open(new Uint8Array(await chosen.arrayBuffer()), chosen.name)) brickrun.say("Opened " + name);
    }

    $("open").addEventListener("click", () => file.click());
    file.addEventListener("change", () => {
      openFile(file.files[0]);
      file.value = "";
    });
    window.addEventListener("dragover", (event) => event.preventDefault());
    window.addEventListener("drop", (event) => {
      event.preventDefault();
      openFile(event.dataTransfer.files[0]);
    });
    $("save").addEventListener("click", () => Module._brickrun_save());
    $("share").addEventListener("click", async () => {
      const at = Module._brickrun_level_text();
      const text = Module.HEAPU8.slice(at, at + Module._brickrun_level_size());
      link.value = location.origin + location.pathname + "#level=" + (await pack(text));
      link.hidden = false;
      link.select();
      try {
        await navigator.clipboard.writeText(link.value);
        brickrun.say("The link to this level is copied (" + link.value.length + " characters)");
      } catch {
        brickrun.say("The link to this level is in the box: copy it from there");
      }
    });
    // The buttons give the keyboard back to the editor once pressed.
    for (const button of bar.querySelectorAll("button")) button.addEventListener("click", () => button.blur());

    // The editor was left: what it dropped on leaving is not to come back.
    function forget() {
      try { localStorage.removeItem(keyOf(name)); } catch {}
    }

    return { open, forget, path };
  }

  return { fromAddress, editor };
})();
