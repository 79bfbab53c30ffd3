#!/usr/bin/env python3
"""Checks a built HTML document in headless Chromium.

Usage: check_document.py DOCUMENT.htm [--screenshot FILE.png] [--chromium PATH]

Fails (exit 1) when the page logs a console error or throws, when Chromium does not read it
as windows-1252 (the bytes it is saved in), when a contents link has no anchor of its name
(or more than one), or when following a link does not bring its anchor into view. Talks to Chromium over the DevTools pipe (file descriptors 3 and 4), so it needs
no network port and no Python package beyond the standard library.
"""

import argparse
import base64
import html.parser
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--remote-debugging-pipe", "--window-size=1024,768",
]

# Runs in the page: follows every contents link and reports the ones that do not land.
LINK_CHECK = r"""
(() => {
  const failures = [];
  const links = [...document.querySelectorAll('a[href^="#"]')];
  const bottom = () => Math.ceil(window.scrollY + window.innerHeight) >=
      document.documentElement.scrollHeight - 1;
  for (const link of links) {
    const name = decodeURIComponent(link.getAttribute('href').slice(1));
    const targets = [...document.getElementsByName(name)];
    if (targets.length !== 1) {
      failures.push(`#${name}: ${targets.length} anchors`);
      continue;
    }
    window.scrollTo(0, 0);
    link.click();
    const top = targets[0].getBoundingClientRect().top;
    const landed = Math.abs(top) <= 1 || (bottom() && top >= 0 && top < window.innerHeight);
    if (location.hash !== '#' + encodeURIComponent(name).replace(/%2E/g, '.') &&
        location.hash !== '#' + name) {
      failures.push(`#${name}: location is ${location.hash}`);
    } else if (!landed) {
      failures.push(`#${name}: anchor at ${top}px after following the link`);
    }
  }
  return {links: links.length, failures, charset: document.characterSet};
})()
"""


class AnchorParser(html.parser.HTMLParser):
    """Collects anchor names and local link targets from the markup itself."""

    def __init__(self):
        super().__init__()
        self.names = []
        self.links = []

    def handle_starttag(self, tag, attrs):
        if tag != "a":
            return
        for key, value in attrs:
            if key == "name" and value is not None:
                self.names.append(value)
            elif key == "href" and value and value.startswith("#"):
                self.links.append(value[1:])


def static_check(text):
    parser = AnchorParser()
    parser.feed(text)
    problems = []
    for name in parser.links:
        count = parser.names.count(name)
        if count != 1:
            problems.append(f"link #{name} has {count} anchors")
    return parser.links, problems


class DevTools:
    """The DevTools protocol over Chromium's pipe: NUL-terminated JSON messages."""

    def __init__(self, chromium, profile):
        to_child_r, self._to_child = os.pipe()
        self._from_child, from_child_w = os.pipe()

        def pipe_fds():  # Chromium reads commands on fd 3 and answers on fd 4
            read_end, write_end = os.dup(to_child_r), os.dup(from_child_w)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self._proc = subprocess.Popen(
            [chromium, *FLAGS, f"--user-data-dir={profile}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=pipe_fds)
        os.close(to_child_r)
        os.close(from_child_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("Chromium did not answer in time")
            chunk = os.read(self._from_child, 65536)
            if not chunk:
                raise RuntimeError("Chromium closed the DevTools pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_child, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method, timeout=30):
        deadline = time.monotonic() + timeout
        for i, event in enumerate(self.events):
            if event.get("method") == method:
                return self.events.pop(i)
        while True:
            event = self._read_message(deadline)
            if event.get("method") == method:
                return event
            self.events.append(event)

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except Exception:
            pass
        try:
            self._proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._proc.kill()
            self._proc.wait()
        os.close(self._to_child)
        os.close(self._from_child)


def console_errors(events):
    errors = []
    for event in events:
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            errors.append(details.get("exception", {}).get("description")
                          or details.get("text", "exception"))
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            errors.append(" ".join(str(a.get("value", a.get("description", "")))
                                   for a in params.get("args", [])))
        elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
            errors.append(params["entry"].get("text", ""))
    return errors


def browser_check(chromium, document, screenshot):
    with tempfile.TemporaryDirectory(prefix="vellumar-chromium-") as profile:
        tools = DevTools(chromium, profile)
        try:
            target = tools.call("Target.createTarget", {"url": "about:blank"})["targetId"]
            session = tools.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
            for domain in ("Page", "Runtime", "Log"):
                tools.call(f"{domain}.enable", session=session)
            tools.call("Page.navigate", {"url": document.as_uri()}, session=session)
            tools.wait_event("Page.loadEventFired")
            result = tools.call("Runtime.evaluate",
                                {"expression": LINK_CHECK, "returnByValue": True},
                                session=session)["result"]["value"]
            if screenshot:
                tools.call("Runtime.evaluate", {"expression": "window.scrollTo(0, 0)"},
                           session=session)
                shot = tools.call("Page.captureScreenshot", {"format": "png"}, session=session)
                pathlib.Path(screenshot).write_bytes(base64.b64decode(shot["data"]))
            # Anything logged while the page loaded or the links were followed.
            tools.call("Runtime.evaluate", {"expression": "0"}, session=session)
            return result, console_errors(tools.events)
        finally:
            tools.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("document")
    parser.add_argument("--screenshot")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    args = parser.parse_args()

    document = pathlib.Path(args.document).resolve()
    text = document.read_bytes().decode("cp1252", errors="replace")
    links, problems = static_check(text)
    if not links:
        problems.append("the document has no contents links")

    result, errors = browser_check(args.chromium, document, args.screenshot)
    problems += [f"console: {e}" for e in errors]
    problems += result["failures"]
    if result["charset"] != "windows-1252":
        problems.append(f"Chromium reads the document as {result['charset']}")
    if result["links"] != len(links):
        problems.append(f"Chromium found {result['links']} links, the markup {len(links)}")

    for p in problems:
        print(f"FAIL {p}", file=sys.stderr)
    print(f"{document}: {len(links)} contents links, {len(errors)} console errors, "
          f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
