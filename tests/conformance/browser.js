// What the browser checks share: a static server on 127.0.0.1, Debian's Chromium driven by
// puppeteer-core, and pages that may reach nothing but that server and report every console
// message. Node from Debian or NodeSource; puppeteer-core from the repository's node_modules.
"use strict";

const { spawn } = require("node:child_process");
const net = require("node:net");
const puppeteer = require("puppeteer-core");

const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";
// Without the SwiftShader flags Chromium warns that it falls back to software WebGL.
const CHROMIUM_FLAGS = ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"];

// Resolves once something accepts connections on 127.0.0.1:`port`.
async function accepting(port) {
  for (let tries = 0; tries < 100; ++tries) {
    const ok = await new Promise(resolve => {
      const socket = net.connect(port, "127.0.0.1", () => { socket.end(); resolve(true); });
      socket.on("error", () => resolve(false));
    });
    if (ok) return;
    await new Promise(resolve => setTimeout(resolve, 100));
  }
  throw new Error(`nothing listens on 127.0.0.1:${port}`);
}

// Runs a server command that prints its address (http://127.0.0.1:PORT/) on stdout; resolves to
// { address, stop } once the server accepts connections.
function startServer(command, args) {
  return new Promise((resolve, reject) => {
    const server = spawn(command, args, { stdio: ["ignore", "pipe", "pipe"] });
    let printed = "";
    const timer = setTimeout(() => fail(new Error(`${command} printed no address in 10 s: ${printed}`)), 10000);
    const fail = error => { clearTimeout(timer); server.kill(); reject(error); };
    server.on("error", fail);
    server.on("exit", code => fail(new Error(`${command} ended (exit ${code}): ${printed}`)));
    server.stderr.on("data", () => {});  // its request log
    server.stdout.on("data", data => {
      printed += data;
      const address = printed.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
      if (!address) return;
      clearTimeout(timer);
      server.stdout.removeAllListeners("data");
      accepting(Number(address[1])).then(() => {
        server.removeAllListeners("exit");
        resolve({ address: address[0], stop: () => server.kill("SIGINT") });
      }, fail);
    });
  });
}

async function launch(width, height) {
  return puppeteer.launch({ executablePath: CHROMIUM, headless: true,
                            args: [...CHROMIUM_FLAGS, `--window-size=${width},${height}`] });
}

// A page whose requests beyond 127.0.0.1 are refused, and whose console messages, script errors
// and refused requests all land in `messages` as text.
async function guardedPage(browser, width, height) {
  const page = await browser.newPage();
  const messages = [];
  await page.setViewport({ width, height });
  await page.setRequestInterception(true);
  page.on("request", request => {
    const url = new URL(request.url());
    // Data and file URLs reach no network: the page's icon, and a page opened as a file.
    if (["data:", "file:"].includes(url.protocol) || url.hostname === "127.0.0.1") return request.continue();
    messages.push(`refused a request for ${request.url()}`);
    request.abort("blockedbyclient");
  });
  page.on("console", message => messages.push(`console ${message.type()}: ${message.text()}`));
  page.on("pageerror", error => messages.push(`script error: ${error.message}`));
  return { page, messages };
}

module.exports = { startServer, launch, guardedPage };
