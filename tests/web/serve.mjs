// A static file server on 127.0.0.1 for the page's checks: the files of one folder, with the types a
// browser wants for them (.wasm as application/wasm, or it will not compile it as it streams).
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize } from "node:path";

const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".mjs": "text/javascript",
  ".wasm": "application/wasm",
  ".png": "image/png",
  ".gz": "application/gzip",
};

// Serves folder on a free port; resolves to { url, close }.
export function serve(folder) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    if (path.includes("..")) {
      response.writeHead(403).end();
      return;
    }
    const file = path === "/" ? "index.html" : path;
    try {
      const body = await readFile(join(folder, file));
      response.writeHead(200, { "Content-Type": types[extname(file)] || "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end("not found");
    }
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}
