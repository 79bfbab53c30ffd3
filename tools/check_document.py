#!/usr/bin/env python3
"""Checks a built HTML document in headless Chromium.

Usage: check_document.py DOCUMENT [--screenshot FILE.png] [--width PX] [--dark] [--print]
                         [--at ID] [--filter-bench [--trace FILE]] [--want-diagrams]
                         [--no-links] [--pages N] [--opens N] [--chromium PATH]

Fails (exit 1) when the page logs a console error or throws, when a contents link has no
anchor of its name (or more than one), or when following a link does not bring its anchor
into view. A classic document also fails when Chromium does not read it as windows-1252 (the
bytes it is saved in). A modern page (an HTML5 page) is checked by its ids instead of anchor
names, and also fails when Chromium does not read it as UTF-8, when its last section's
contents link, followed on the freshly opened page, does not leave that section in view once
the page has settled, when scrolling up from a link's target into objects not laid out
before moves the page under the reader, when its contents panel's rows, scrolled
through, are not the list in the file (each section, owner, entry and member in order, with
its text, link and mark of a change), when typing in its filter box does not narrow the
contents, when clicking a table in a diagram (a table's own and an owner's overview) does not
bring that table's section into view, or when it asks for anything outside its own file.
A modern page is also checked for every reader (unless --no-links): every heading is in the
accessibility tree at load and the page's height then is its height once every object has
been in view; axe-core (tools/axe, installed by tools/install-deps.sh) finds no violation in
light and dark at desktop width and at 390 px with the contents closed and open; Tab,
Shift+Tab, the arrow keys, Home, End, Enter and Escape work in the contents as on a screen,
and the focus never goes behind the open panel; a browser font of 24 px is the page's; at
390 px the page does not scroll sideways, tables of three columns fit and a diagram fits with
a button that shows it full size; a print to PDF (read back with pdftotext) holds every line
of code, every table cell and the contents list.
One page of a web site (DOCUMENT is a page beside its index.html) is checked as the site's
check opens each of its pages, with the references that start on it.
A web site (DOCUMENT is its folder) is checked across its pages: every link and every
style, script or image reference of every page (a diagram's too) stays inside the folder and
leads to a page that exists and, with a fragment, to an element of that id in it, and every
page is reached from index.html (a list's numbered pages through each other); then index.html is checked as a modern page (its diagrams
and the Enter key lead to object pages, and its search box finds an object by a word it
holds, ranking matches by name first), and each object page (--pages N: the first N) is
opened and checked for console errors, requests outside the folder, its in-page links, its
diagram's links and, with axe-core, for every reader; how long index.html and each page took
to open, and the memory of Chromium's renderer processes then, are printed.
--opens N first opens a web site's index.html and each page of its lists (sequences.html,
sequences-2.html, ..., roles.html) N times, each in a fresh browser, and prints the median,
fastest and slowest time until it answered and the median memory of its renderer then, with
the machine's load (one opening on a busy machine says little), and the slowest median of
the lists' pages.
--filter-bench collects the page's garbage, then types a name into the filter box one key at
a time and prints the time each keystroke takes until the next frame, and until the narrowed
contents are laid out (the frame's painting aside); --trace records Chromium's performance
trace meanwhile. --width, --dark, --print and --at shape the screenshot: the window width,
the dark colour scheme, the print media and the id it scrolls to. Talks to Chromium over the DevTools pipe (file descriptors 3 and 4), so it needs no
network port and no Python package beyond the standard library.
"""

import argparse
import base64
import html.parser
import json
import os
import pathlib
import select
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


# The modern page: every in-page link lands on the element with its id.
MODERN_LINK_CHECK = r"""
(() => {
  const failures = [];
  const links = [...document.querySelectorAll('a[href^="#"]')];
  const bottom = () => Math.ceil(window.scrollY + window.innerHeight) >=
      document.documentElement.scrollHeight - 1;
  for (const link of links) {
    const id = decodeURIComponent(link.getAttribute('href').slice(1));
    const target = document.getElementById(id);
    if (!target) {
      failures.push(`#${id}: no element has this id`);
      continue;
    }
    for (let e = target; e; e = e.parentElement) if (e.tagName === 'DETAILS') e.open = true;
    window.scrollTo(0, 0);
    link.click();
    const top = target.getBoundingClientRect().top;
    const margin = (parseFloat(getComputedStyle(target).scrollMarginTop) || 0) +
        (parseFloat(getComputedStyle(document.documentElement).scrollPaddingTop) || 0);
    const landed = Math.abs(top - margin) <= 2 ||
        (window.scrollY === 0 && top >= 0 && top <= margin + 2) ||
        (bottom() && top >= 0 && top < window.innerHeight);
    if (!landed) failures.push(`#${id}: element at ${top}px after following the link`);
  }
  window.scrollTo(0, 0);
  return {links: links.length, failures, charset: document.characterSet};
})()
"""

# Waits until the page has settled around an element: objects coming near the view are laid
# out a few frames later and move what follows them, and the page holds a followed link's
# target in view meanwhile; how many frames that takes depends on how busy the machine is.
# Settled is five frames in a row in which the element did not move and no object was laid
# out or skipped for the first time; after 20 s the check goes on and reports what it finds.
SETTLED = r"""((el) => new Promise(resolve => {
  let changed = true, last = null, still = 0;
  const note = () => { changed = true; };
  document.addEventListener('contentvisibilityautostatechange', note, true);
  const end = performance.now() + 20000;
  requestAnimationFrame(function frame() {
    const top = el.getBoundingClientRect().top;
    still = top === last && !changed ? still + 1 : 0;
    last = top;
    changed = false;
    if (still < 5 && performance.now() < end) return requestAnimationFrame(frame);
    document.removeEventListener('contentvisibilityautostatechange', note, true);
    resolve();
  });
}))"""

# Where a table in the first diagram that `selector` finds links: the first box that links to
# another table, scrolled into view once the page has settled, with a point inside its box;
# null without one.
DIAGRAM_TARGET = r"""
(async (selector) => {
  const settled = SETTLED;
  const figure = document.querySelector(selector);
  if (!figure) return null;
  const own = figure.closest('article');
  await settled(document.documentElement);
  const page = location.pathname.split('/').pop();
  for (const a of figure.querySelectorAll('svg a')) {
    const href = a.getAttributeNS('http://www.w3.org/1999/xlink', 'href') || a.getAttribute('href');
    if (!href || (own && href === '#' + own.id) || href === page) continue;
    const box = () => a.querySelector('polygon').getBoundingClientRect();
    for (let i = 0; i < 10 && (i === 0 || box().top < 0 || box().bottom > innerHeight); i++) {
      a.scrollIntoView({block: 'center'});
      await settled(a);
    }
    const {left, top, width, height} = box();
    return {href, x: left + width / 2, y: top + Math.min(height / 2, 8)};
  }
  return null;
})
""".replace("SETTLED", SETTLED)

# After a click, once the page has settled: the location names the table and its section is
# where the page scrolled.
DIAGRAM_LANDED = r"""
(async (href) => {
  const target = document.getElementById(href.slice(1));
  if (!target) return `${href}: no element has this id`;
  await SETTLED(target);
  if (location.hash !== href) return `clicking ${href} in a diagram left the location at ${location.hash}`;
  const top = target.getBoundingClientRect().top;
  const margin = (parseFloat(getComputedStyle(target).scrollMarginTop) || 0) +
      (parseFloat(getComputedStyle(document.documentElement).scrollPaddingTop) || 0);
  return Math.abs(top - margin) <= 2 ? '' : `clicking ${href} in a diagram left its section at ${top}px`;
})
""".replace("SETTLED", SETTLED)

# On a freshly opened page, the contents link of the last section: objects out of view are
# laid out only as they come near it, so the target must still be in view once they are.
FAR_JUMP_CHECK = r"""
(async () => {
  const links = [...document.querySelectorAll('#side a.nav-title')];
  if (!links.length) return {failures: []};
  const link = links[links.length - 1];
  const target = document.getElementById(decodeURIComponent(link.getAttribute('href').slice(1)));
  const toggle = document.getElementById('nav-toggle');
  if (link.offsetParent === null && toggle) toggle.click();
  link.click();
  await SETTLED(target);
  const top = target.getBoundingClientRect().top;
  const bottom = Math.ceil(window.scrollY + window.innerHeight) >=
      document.documentElement.scrollHeight - 1;
  const margin = parseFloat(getComputedStyle(document.documentElement).scrollPaddingTop) || 0;
  const landed = Math.abs(top - margin) <= 2 || (bottom && top >= 0 && top < window.innerHeight);
  window.scrollTo(0, 0);
  return {failures: landed ? [] : [`${link.getAttribute('href')}: element at ${top}px once the page settled`]};
})()
""".replace("SETTLED", SETTLED)

# A reader who scrolls up from a followed link's target into objects not laid out before must
# see what lay that far above the target: the page must not move under them as those objects
# take their real heights (so this runs before the links are followed, which lays every object
# out). A reader who turns the wheel as soon as they follow a link (here a wheel event and the
# scroll it makes, so that it comes before the page's next frame every time) must stay where
# the wheel took them; by then the objects around the target have their real heights, so the
# target stays put but for the wheel.
WHEEL_CHECK = r"""
(async () => {
  const settled = SETTLED;
  const links = [...document.querySelectorAll('#side .nav-rows a.nav-title')];
  const link = links[Math.floor(links.length / 2)];
  const target = link && document.getElementById(decodeURIComponent(link.getAttribute('href').slice(1)));
  if (!target) return '';
  const href = link.getAttribute('href');
  link.click();
  await settled(target);
  const landed = target.getBoundingClientRect().top;
  let up = Math.min(400, window.scrollY);
  window.scrollBy(0, -up);
  await settled(target);
  let top = target.getBoundingClientRect().top;
  window.scrollTo(0, 0);
  if (Math.abs(top - landed - up) > 2)
    return `${href}: scrolling ${up}px up from the target left it at ${top}px rather than ${landed + up}px`;
  await settled(document.documentElement);
  link.click();
  up = Math.min(400, window.scrollY);
  document.body.dispatchEvent(new WheelEvent('wheel', {bubbles: true, deltaY: -up}));
  window.scrollBy(0, -up);
  await settled(target);
  top = target.getBoundingClientRect().top;
  window.scrollTo(0, 0);
  return Math.abs(top - landed - up) <= 2 ? '' :
      `${href}: a wheel turned ${up}px up at once after following the link ` +
      `left its target at ${top}px rather than ${landed + up}px`;
})()
""".replace("SETTLED", SETTLED)

# The contents list the file holds: the page's own list, or a web site's, which is in a
# noscript element (text to a browser with script), read as markup.
CONTENTS_LIST = r"""(() => {
  const side = document.getElementById('side');
  return side.querySelector('.nav-sections') || new DOMParser().parseFromString(
      side.querySelector('noscript').textContent, 'text/html').querySelector('.nav-sections');
})()"""

# Types into the filter box: every name typed whole leaves its entry and fewer than all. The
# panel draws only the rows in and near its view in place of the list in the file, so what it
# shows is told by the links drawn and the count it states.
FILTER_CHECK = r"""
(() => {
  const box = document.getElementById('filter');
  if (!box) return {failures: ['the page has no filter box']};
  const side = document.getElementById('side');
  const items = [...CONTENTS_LIST.querySelectorAll('li[data-filter]')];
  const href = (li) => li.querySelector('a').getAttribute('href');
  const drawn = () => [...side.querySelectorAll('a')].filter(a => a.offsetParent !== null)
      .map(a => a.getAttribute('href'));
  const count = () => {
    const m = /^(\d+) of (\d+) shown$/.exec(document.getElementById('filter-status').textContent);
    return m && +m[2] === items.length ? +m[1] : null;
  };
  const type = (text) => { box.value = text; box.dispatchEvent(new Event('input')); };
  const failures = [];
  // On a narrow screen the panel opens with its button first.
  const toggle = document.getElementById('nav-toggle');
  if (box.offsetParent === null && toggle) toggle.click();
  const first = href(items[0]), last = items[items.length - 1];
  const name = last.querySelector('a').textContent;
  if (!drawn().includes(first)) failures.push('the first entry is not shown before typing');
  side.scrollTop = side.scrollHeight;
  side.dispatchEvent(new Event('scroll'));
  if (!drawn().includes(href(last))) failures.push('the last entry is not shown at the end of the panel');
  let typed = '';
  for (const ch of name.toLowerCase()) type(typed += ch);
  const left = count();
  if (!drawn().includes(href(last))) failures.push(`typing "${name}" hid its own entry`);
  if (left === null || (left >= items.length && items.length > 1))
    failures.push(`typing "${name}" left ${left} of ${items.length} entries`);
  type('no such object anywhere');
  if (drawn().length !== 0 || count() !== 0) failures.push('a filter that matches nothing left entries');
  type('');
  if (!drawn().includes(first) || count() !== null)
    failures.push('clearing the filter did not bring all back');
  return {entries: items.length, narrowed: left, failures};
})()
""".replace("CONTENTS_LIST", CONTENTS_LIST)

# The panel's rows, drawn a screen at a time from its top to its end, are the list in the
# file: each section, owner, entry and member in its order, with its text, its link and the
# entry's mark of a change.
PANEL_ROWS_CHECK = r"""
(() => {
  const want = [...CONTENTS_LIST.querySelectorAll('a.nav-title, .nav-owner, li[data-filter] a')]
      .map(e => {
        const kind = e.classList.contains('nav-title') ? 'section' :
            e.classList.contains('nav-owner') ? 'owner' :
            e.parentElement.hasAttribute('data-filter') ? 'item' : 'member';
        const changed = kind === 'item' && e.parentElement.classList.contains('changed');
        return `${kind} ${e.textContent} ${e.getAttribute('href') || ''}${changed ? ' changed' : ''}`;
      });
  const side = document.getElementById('side');
  const toggle = document.getElementById('nav-toggle');
  if (side.offsetParent === null && toggle) toggle.click();
  const seen = new Map();
  for (let top = 0; ; top += side.clientHeight) {
    side.scrollTop = top;
    side.dispatchEvent(new Event('scroll'));
    for (const row of side.querySelectorAll('.nav-rows .row')) seen.set(parseFloat(row.style.top), row);
    if (side.scrollTop + side.clientHeight >= side.scrollHeight - 1) break;
  }
  side.scrollTop = 0;
  side.dispatchEvent(new Event('scroll'));
  const got = [...seen].sort((a, b) => a[0] - b[0]).map(([, row]) => {
    const a = row.querySelector('a');
    return `${/row-(\w+)/.exec(row.className)[1]} ${row.textContent} ` +
        `${a ? a.getAttribute('href') : ''}${row.classList.contains('changed') ? ' changed' : ''}`;
  });
  const at = want.findIndex((w, i) => w !== got[i]);
  if (at < 0 && want.length === got.length) return [];
  const i = at < 0 ? Math.min(want.length, got.length) : at;
  return [`the contents panel shows ${got.length} rows for the list's ${want.length}; ` +
          `row ${i} is "${got[i]}", the list's "${want[i]}"`];
})()
""".replace("CONTENTS_LIST", CONTENTS_LIST)

# A web site's search: once the search index has loaded, a word that an object holds (a
# column, a comment, its source) and that no entry's name, owner or database holds finds that
# object, marked as found in what it holds; and within each owner the entries that match by
# name come before those that match by what they hold.
SEARCH_CHECK = r"""
(async () => {
  const end = performance.now() + 20000;
  while (!window.vellumarSearch && performance.now() < end) await new Promise(r => setTimeout(r, 50));
  const index = window.vellumarSearch;
  if (!index) return {failures: ['the search index did not load']};
  const box = document.getElementById('filter');
  const side = document.getElementById('side');
  const type = (text) => { box.value = text; box.dispatchEvent(new Event('input')); };
  const rows = () => [...side.querySelectorAll('.nav-rows .row')]
      .sort((a, b) => parseFloat(a.style.top) - parseFloat(b.style.top));
  const items = [...CONTENTS_LIST.querySelectorAll('li[data-filter]')];
  const filters = items.map(li => li.getAttribute('data-filter'));
  const failures = [];
  let word = null, ordered = 0;
  for (const li of items) {
    const href = li.querySelector('a').getAttribute('href');
    const held = (index[href] || '').split(' ');
    word = held.find(w => w.length > 3 && !filters.some(f => f.includes(w)));
    if (!word) continue;
    type(word);
    const found = rows().find(r => r.querySelector('a') && r.querySelector('a').getAttribute('href') === href);
    if (!found) failures.push(`searching "${word}" did not find ${href}`);
    else if (!found.classList.contains('in-text'))
      failures.push(`${href}, found by "${word}" in what it holds, is not marked so`);
    break;
  }
  if (!word) failures.push('no object holds a word that no name holds');
  // Forty words of the entries' names (a name's parts between "_"), taken across the list:
  // within an owner, no match by name after one by what it holds.
  const words = [...new Set(items.flatMap(li => li.querySelector('a').textContent.toLowerCase()
      .split(/[^a-z0-9$#]+/).filter(w => w.length > 3)))];
  const step = Math.max(1, Math.floor(words.length / 40));
  for (const typed of words.filter((_, i) => i % step === 0)) {
    type(typed);
    let inText = false;
    for (const row of rows()) {
      if (row.classList.contains('row-owner') || row.classList.contains('row-section')) inText = false;
      else if (row.classList.contains('row-item')) {
        if (row.classList.contains('in-text')) inText = true;
        else if (inText) failures.push(`searching "${box.value}": ${row.textContent} matches by ` +
                                       'name but comes after a match by what an object holds');
      }
      ordered += row.classList.contains('in-text');
    }
  }
  type('');
  return {word, ordered, failures};
})()
""".replace("CONTENTS_LIST", CONTENTS_LIST)

# One keystroke at a time, each timed from its input event to the next frame.
FILTER_BENCH = r"""
(async () => {
  const box = document.getElementById('filter');
  const items = CONTENTS_LIST.querySelectorAll('li[data-filter]');
  const name = items[Math.floor(items.length / 2)].querySelector('a').textContent.toLowerCase();
  const frame = () => new Promise(r => requestAnimationFrame(() => setTimeout(r, 0)));
  const times = [], laidOut = [];
  const key = async (value) => {
    await frame();
    performance.mark(`key "${value}"`);
    const start = performance.now();
    box.value = value;
    box.dispatchEvent(new Event('input'));
    document.body.offsetHeight;
    laidOut.push(performance.now() - start);
    await frame();
    times.push(performance.now() - start);
  };
  let typed = '';
  for (const ch of name) await key(typed += ch);
  for (let i = typed.length - 1; i >= 0; i--) await key(typed.slice(0, i));
  return {entries: items.length, typed: name, times, laidOut};
})()
""".replace("CONTENTS_LIST", CONTENTS_LIST)


# The modern page for every reader. Each check returns a list of failures.

HEADING_SELECTOR = "main h1, main h2, main h3, main h4, main h5, main h6"

# How many headings the page has, and its height as laid out, once it has been drawn.
HEADINGS = r"""
(async () => {
  await new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)));
  return {headings: document.querySelectorAll('HEADINGS').length,
          height: document.documentElement.scrollHeight};
})()
""".replace("HEADINGS", HEADING_SELECTOR)

# Runs axe-core (injected before) over the page; its violations with the elements they name.
AXE_RUN = r"""
(async () => {
  // axe reads a page's own style sheets again by a request, which a page opened from
  // file:// may not make: a web site's pages are checked on the styles as applied.
  const result = await axe.run(document, {resultTypes: ['violations'],
      preload: !document.querySelector('link[rel=stylesheet]')});
  return result.violations.map(v => `${v.id} (${v.help}): ` +
      v.nodes.slice(0, 3).map(n => n.target.join(' ')).join(', ') +
      (v.nodes.length > 3 ? ` and ${v.nodes.length - 3} more` : ''));
})()
"""

# What a print must hold: every line of code, every table cell, the contents list; the
# texts with their white space removed, as a PDF's text breaks lines where the page did.
PRINT_TEXTS = r"""
(() => {
  const squeeze = (e) => e.textContent.replace(/\s+/g, '');
  const texts = (selector) => [...document.querySelectorAll(selector)].map(squeeze).filter(Boolean);
  return {code: texts('pre.code .line'), cells: texts('main td'),
          contents: [squeeze(CONTENTS_LIST)]};
})()
""".replace("CONTENTS_LIST", CONTENTS_LIST)

# The element that has the focus, where it is, and whether it is the topmost at its centre
# (not behind the open contents panel or anything else).
FOCUSED = r"""
(() => {
  const e = document.activeElement;
  if (!e || e === document.body) return null;
  const box = e.getBoundingClientRect();
  const x = box.left + Math.min(box.width / 2, 8), y = box.top + box.height / 2;
  const top = document.elementFromPoint(x, y);
  const where = e.closest('#side') ? 'panel' : e.closest('main') ? 'main' :
      e.closest('.bar') ? 'bar' : 'other';
  return {tag: e.tagName, href: e.getAttribute('href'), id: e.id, where,
          text: e.textContent.trim().slice(0, 60),
          onTop: !!top && (top === e || e.contains(top) || top.contains(e)),
          inView: box.bottom > 0 && box.top < innerHeight};
})()
"""

# At phone width: the page never scrolls sideways; a table of three columns or fewer fits;
# a diagram is drawn to the width, and its button shows it at full size and back.
PHONE_LAYOUT = r"""
(async () => {
  // A few frames and a moment, so that the page has answered the change of width however
  // busy the machine is.
  const frame = () => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(
      () => requestAnimationFrame(() => setTimeout(r, 50)))));
  await frame();
  const failures = [];
  const root = document.documentElement;
  if (root.scrollWidth > innerWidth + 1)
    failures.push(`the page is ${root.scrollWidth}px wide on a ${innerWidth}px screen`);
  for (const wrap of document.querySelectorAll('main .table-wrap')) {
    const columns = wrap.querySelectorAll('thead th').length;
    if (columns <= 3 && wrap.scrollWidth > wrap.clientWidth + 1)
      failures.push(`a table of ${columns} columns (${wrap.querySelector('td')?.textContent}) ` +
                    `is ${wrap.scrollWidth}px wide in ${wrap.clientWidth}px`);
  }
  let zoomed = 0;
  for (const figure of document.querySelectorAll('figure.diagram')) {
    const svg = figure.querySelector('svg');
    if (svg.getBoundingClientRect().width > figure.clientWidth + 1)
      failures.push(`a diagram (${figure.querySelector('figcaption').textContent}) is wider than the page`);
    const button = figure.querySelector('button.zoom');
    if (svg.width.baseVal.value <= figure.clientWidth + 1) continue;
    if (!button || button.hidden || button.offsetParent === null) {
      failures.push(`a diagram drawn smaller than its full size has no button to show it so`);
      continue;
    }
    button.click();
    await frame();
    const full = svg.getBoundingClientRect().width;
    const focusable = figure.tabIndex === 0;
    button.click();
    await frame();
    if (Math.abs(full - svg.width.baseVal.value) > 1 || !focusable)
      failures.push(`a diagram's button shows it ${full}px wide, not its full ` +
                    `${svg.width.baseVal.value}px, in a region that ${focusable ? '' : 'cannot '}take the focus`);
    zoomed++;
  }
  return {failures, zoomed};
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


class SiteParser(html.parser.HTMLParser):
    """Collects a page's ids and every URL it refers to (links, styles, scripts, images,
    a diagram's links)."""

    REFERENCES = {"href", "src", "xlink:href", "action", "poster", "data"}

    def __init__(self):
        super().__init__()
        self.ids = set()
        self.urls = []

    def handle_starttag(self, tag, attrs):
        for key, value in attrs:
            if key == "id" and value is not None:
                self.ids.add(value)
            elif key in self.REFERENCES and value is not None:
                self.urls.append((tag, value))
            elif key == "srcset" and value:
                self.urls += [(tag, part.split()[0]) for part in value.split(",") if part.strip()]

    handle_startendtag = handle_starttag


def site_check(folder):
    """Every reference of every page of the site stays in the folder and lands; every page
    is reached from index.html, by its links or theirs. Returns (pages, links, problems)."""
    import urllib.parse
    pages = {}
    for path in sorted(folder.glob("*.html")):
        parser = SiteParser()
        parser.feed(path.read_text(encoding="utf-8"))
        pages[path.name] = parser
    problems = []
    if "index.html" not in pages:
        return pages, 0, [f"{folder} has no index.html"]
    links = 0
    leads_to = {name: set() for name in pages}
    for name, page in pages.items():
        for tag, url in page.urls:
            links += 1
            parts = urllib.parse.urlsplit(url)
            if parts.scheme or parts.netloc or url.startswith("/"):
                problems.append(f"{name}: <{tag}> refers outside the folder: {url}")
                continue
            target = urllib.parse.unquote(parts.path) or name
            fragment = urllib.parse.unquote(parts.fragment)
            if "/" in target or target in (".", ".."):
                problems.append(f"{name}: <{tag}> leads out of the folder: {url}")
                continue
            if not (folder / target).is_file():
                problems.append(f"{name}: <{tag}> leads to {target}, which is not in the folder")
                continue
            if target in pages:
                leads_to[name].add(target)
            if fragment and target in pages and fragment not in pages[target].ids:
                problems.append(f"{name}: {url} names no element of {target}")
    # A list's numbered pages are reached by the way between them, not from index.html.
    reached, todo = {"index.html"}, ["index.html"]
    while todo:
        for target in leads_to[todo.pop()] - reached:
            reached.add(target)
            todo.append(target)
    unreached = sorted(set(pages) - reached)
    if unreached:
        problems.append(f"{len(unreached)} pages are not reached from index.html, the first: "
                        f"{unreached[0]}")
    return pages, links, problems


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
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._from_child], [], [], left)[0]:
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


def evaluate(tools, session, expression):
    reply = tools.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                            "awaitPromise": True}, session=session, timeout=600)
    if "exceptionDetails" in reply:
        raise RuntimeError(reply["exceptionDetails"].get("text", "script failed"))
    return reply["result"]["value"]


def requests_outside(events, document, site=None):
    """The URLs the page asked for other than its own file (a site's: its folder's)."""
    own = document.as_uri()
    urls = [e["params"]["request"]["url"] for e in events
            if e.get("method") == "Network.requestWillBeSent"]
    inside = (lambda u: u.startswith(site.as_uri() + "/")) if site else \
        (lambda u: u.split("#")[0] == own)
    return [u for u in urls if not inside(u) and not u.startswith("data:")]


# Once a page has loaded: a letter typed into the contents' box (when it has one) and erased,
# each until the next frame, so that the page answers its reader.
RESPONDS = r"""
(async () => {
  const frame = () => new Promise(r => requestAnimationFrame(() => setTimeout(r, 0)));
  const box = document.getElementById('filter');
  if (box) {
    box.value = 'a';
    box.dispatchEvent(new Event('input'));
    await frame();
    box.value = '';
    box.dispatchEvent(new Event('input'));
  }
  await frame();
  return 0;
})()
"""


def open_page(tools, session, url):
    """Opens the page; the seconds until it has loaded and until it answers its reader."""
    start = time.monotonic()
    tools.call("Page.navigate", {"url": url}, session=session)
    tools.wait_event("Page.loadEventFired", timeout=900)
    loaded = time.monotonic() - start
    evaluate(tools, session, RESPONDS)
    return loaded, time.monotonic() - start


def left_for(tools, session, href, failures, what):
    """After a click or key that leads to another page of a site: that page opened."""
    try:
        tools.wait_event("Page.loadEventFired", timeout=30)
    except TimeoutError:
        failures.append(f"{what} {href} opened no page")
        return
    at = evaluate(tools, session, "location.pathname.split('/').pop() + location.hash")
    if at != href:
        failures.append(f"{what} {href} opened {at}")


def click_diagrams(tools, session, failures):
    """Clicks a table in a table's diagram and in an overview as a reader would (a mouse
    press and release where its box is drawn); returns how many were clicked."""
    clicked = 0
    for selector in ("article figure.diagram", "figure.diagram.overview"):
        evaluate(tools, session, "history.replaceState(null, '', ' '); 0")
        target = evaluate(tools, session, f"{DIAGRAM_TARGET}({json.dumps(selector)})")
        if not target:
            continue
        back = evaluate(tools, session, "location.href")
        for kind in ("mousePressed", "mouseReleased"):
            tools.call("Input.dispatchMouseEvent",
                       {"type": kind, "x": target["x"], "y": target["y"], "button": "left",
                        "clickCount": 1}, session=session)
        clicked += 1
        if not target["href"].startswith("#"):  # a site's page of its own
            left_for(tools, session, target["href"], failures, "clicking in a diagram")
            open_page(tools, session, back)
            continue
        failure = evaluate(tools, session, f"{DIAGRAM_LANDED}({json.dumps(target['href'])})")
        if failure:
            failures.append(failure)
    evaluate(tools, session, "window.scrollTo(0, 0); 0")
    return clicked


AXE = pathlib.Path(__file__).resolve().parent / "axe" / "node_modules" / "axe-core" / "axe.min.js"

KEYS = {"Tab": 9, "Enter": 13, "Escape": 27, "End": 35, "Home": 36, "ArrowUp": 38,
        "ArrowDown": 40}


def press(tools, session, key, shift=False):
    """A key pressed and released as the reader's keyboard would."""
    code = KEYS[key]
    down = {"type": "rawKeyDown", "key": key, "code": key, "windowsVirtualKeyCode": code,
            "nativeVirtualKeyCode": code, "modifiers": 8 if shift else 0}
    if key == "Enter":
        down.update(type="keyDown", text="\r", unmodifiedText="\r")
    tools.call("Input.dispatchKeyEvent", down, session=session)
    tools.call("Input.dispatchKeyEvent", {**down, "type": "keyUp", "text": "",
                                          "unmodifiedText": ""}, session=session)
    return evaluate(tools, session, FOCUSED)


def headings_check(tools, session):
    """Every heading of the page is in the accessibility tree at load, none ignored."""
    tree = tools.call("Accessibility.getFullAXTree", session=session)["nodes"]
    present = {n.get("backendDOMNodeId") for n in tree
               if n.get("role", {}).get("value") == "heading" and not n.get("ignored")}
    root = tools.call("DOM.getDocument", {"depth": 0}, session=session)["root"]["nodeId"]
    ids = tools.call("DOM.querySelectorAll", {"nodeId": root, "selector": HEADING_SELECTOR},
                     session=session)["nodeIds"]
    missing = [i for i, node in enumerate(ids) if tools.call(
        "DOM.describeNode", {"nodeId": node}, session=session)["node"]["backendNodeId"]
        not in present]
    if not missing:
        return []
    texts = evaluate(tools, session, f"[...document.querySelectorAll({json.dumps(HEADING_SELECTOR)})]"
                     ".map(h => h.textContent.replace(/\\s+/g, ' ').trim())")
    return [f"{len(missing)} of {len(ids)} headings are not in the accessibility tree at load, "
            f"the first: {texts[missing[0]]!r}"]


def axe_check(tools, session, label):
    evaluate(tools, session, AXE.read_text(encoding="utf-8") + "\n0")
    return [f"axe-core {label}: {v}" for v in evaluate(tools, session, AXE_RUN)]


def print_check(tools, session, pdf_path):
    """Prints the page to PDF (Letter) and reads its text back: every line of code, every
    table cell and the contents list in its order must be in it. Returns (failures, pages)."""
    wanted = evaluate(tools, session, PRINT_TEXTS)
    data = tools.call("Page.printToPDF", {"preferCSSPageSize": False}, session=session,
                      timeout=300)["data"]
    pdf_path.write_bytes(base64.b64decode(data))
    text = subprocess.run(["pdftotext", "-raw", str(pdf_path), "-"], check=True,
                          capture_output=True).stdout.decode("utf-8", "replace")
    pages = text.count("\f")
    printed = "".join(text.split()).replace("\u2022", "")  # the bullets before members
    failures = []
    for what, texts in (("line of code", wanted["code"]), ("table cell", wanted["cells"]),
                        ("contents list", wanted["contents"])):
        lost = [t for t in texts if t not in printed]
        if lost:
            failures.append(f"print: {len(lost)} of {len(texts)} texts of a {what} are not in "
                            f"the PDF, the first: {lost[0][:80]!r}")
    return failures, pages


def keyboard_check(tools, session):
    """Tab and Shift+Tab go from the filter to the contents to the document and back in one
    stop each; the arrow keys, Home and End reach every entry; Enter in the filter goes to
    the first match."""
    failures = []
    evaluate(tools, session, "window.scrollTo(0, 0); document.getElementById('filter').focus(); 0")
    row = press(tools, session, "Tab")
    if not row or row["where"] != "panel" or row["tag"] != "A":
        return [f"Tab from the filter went to {row} rather than the contents"]
    after = press(tools, session, "Tab")
    if not after or after["where"] != "main":
        failures.append(f"Tab from the contents went to {after} rather than the document")
    back = press(tools, session, "Tab", shift=True)
    if not back or back["href"] != row["href"]:
        failures.append(f"Shift+Tab from the document went to {back}, not to {row['href']}")
    hrefs = evaluate(tools, session,
                     f"[...{CONTENTS_LIST}.querySelectorAll('a')]"
                     ".map(a => a.getAttribute('href'))")
    for key, want in (("End", hrefs[-1]), ("Home", hrefs[0]), ("ArrowDown", hrefs[1])):
        got = press(tools, session, key)
        if not got or got["href"] != want or not got["inView"]:
            failures.append(f"{key} in the contents went to {got}, not to {want}")
    filtered = press(tools, session, "Tab", shift=True)
    if not filtered or filtered["id"] != "filter":
        failures.append(f"Shift+Tab from the contents went to {filtered}, not to the filter")
    # The last entry, so that the location it goes to is not the one it had; on a web site
    # the last that is a page of its own.
    name, first = evaluate(tools, session, "((all) => ((a) => [a.textContent, a.getAttribute('href')])"
                           "(all.filter(a => !a.getAttribute('href').startsWith('#')).pop() || all.pop()))"
                           f"([...{CONTENTS_LIST}.querySelectorAll('li[data-filter] > a')])")
    evaluate(tools, session, "{ const b = document.getElementById('filter'); b.value = " +
             json.dumps(name.lower()) + "; b.dispatchEvent(new Event('input')); } 0")
    if not first.startswith("#"):  # a site's entry is a page of its own
        back = evaluate(tools, session, "location.href")
        for kind in ("keyDown", "keyUp"):
            tools.call("Input.dispatchKeyEvent", {
                "type": kind, "key": "Enter", "code": "Enter", "windowsVirtualKeyCode": 13,
                "nativeVirtualKeyCode": 13, **({"text": "\r"} if kind == "keyDown" else {})},
                session=session)
        left_for(tools, session, first, failures, f"Enter in the filter after {name!r} for")
        open_page(tools, session, back)
        return failures
    landed = press(tools, session, "Enter")
    hash_now = evaluate(tools, session, "location.hash")
    if hash_now != first or not landed or landed["id"] != first[1:]:
        failures.append(f"Enter in the filter after {name!r} went to {hash_now} with the "
                        f"focus on {landed}, not to {first}")
    evaluate(tools, session, "{ const f = document.getElementById('filter'); f.value = ''; "
             "f.dispatchEvent(new Event('input')); window.scrollTo(0, 0); } 0")
    return failures


def phone_keyboard_check(tools, session):
    """On a narrow screen with the contents open, Tab never takes the focus behind the
    panel; Escape closes it and gives the focus back to its button."""
    failures = []
    evaluate(tools, session, "window.scrollTo(0, 0); document.getElementById('nav-toggle').click();"
             "document.getElementById('nav-toggle').focus(); 0")
    for _ in range(8):
        at = press(tools, session, "Tab")
        if at and (at["where"] == "main" or not at["onTop"]):
            failures.append(f"Tab with the contents open reached {at}, behind the panel")
            break
    evaluate(tools, session, "document.getElementById('filter').focus(); 0")
    at = press(tools, session, "Escape")
    still_open = evaluate(tools, session,
                          "document.getElementById('side').classList.contains('open')")
    if still_open or not at or at["id"] != "nav-toggle":
        failures.append(f"Escape left the contents {'open' if still_open else 'closed'} with "
                        f"the focus on {at}")
    return failures


def font_size_check(tools, session):
    """The reader's font size (24 px here) is the page's."""
    tools.call("Page.setFontSizes", {"fontSizes": {"standard": 24, "fixed": 20}}, session=session)
    sizes = evaluate(tools, session, "[getComputedStyle(document.body).fontSize, "
                     "getComputedStyle(document.querySelector('main h1')).fontSize]")
    tools.call("Page.setFontSizes", {"fontSizes": {"standard": 16, "fixed": 13}}, session=session)
    if sizes[0] != "24px" or float(sizes[1][:-2]) <= 32:
        return [f"with a browser font of 24px the text is {sizes[0]} and the title {sizes[1]}"]
    return []


def reader_checks(tools, session, args, at_load):
    """The checks of the modern page for every reader, run after the link checks (so
    every object has been in view once): its headings were all there at load, its height
    did not change since, axe-core finds nothing at desktop width (light and dark, on a
    followed link's highlight) and at phone width (with the contents closed and open), the
    keyboard, the reader's font size, the phone's layout, and print. Returns (failures,
    summary)."""
    failures = list(at_load["failures"])
    height = evaluate(tools, session, "document.documentElement.scrollHeight")
    if height != at_load["height"]:
        failures.append(f"the page was {at_load['height']}px high at load and is {height}px "
                        "once every object has been in view")
    if not AXE.is_file():
        failures.append(f"axe-core is not installed ({AXE}); tools/install-deps.sh installs it")
    target = evaluate(tools, session,
                      "(document.querySelector('article.object') || {}).id || ''")
    evaluate(tools, session, f"location.hash = {json.dumps('#' + target)}; 0")
    for dark in (False, True):
        tools.call("Emulation.setEmulatedMedia", {"features": [
            {"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]},
            session=session)
        if AXE.is_file():
            failures += axe_check(tools, session, "dark" if dark else "light")
    failures += keyboard_check(tools, session)
    failures += font_size_check(tools, session)
    with tempfile.TemporaryDirectory(prefix="vellumar-print-") as folder:
        printed, pages = print_check(tools, session, pathlib.Path(folder) / "page.pdf")
    failures += printed
    tools.call("Emulation.setDeviceMetricsOverride", {"width": 390, "height": 800,
               "deviceScaleFactor": 1, "mobile": True}, session=session)
    phone = evaluate(tools, session, PHONE_LAYOUT)
    failures += [f"at 390px: {f}" for f in phone["failures"]]
    if AXE.is_file():
        failures += axe_check(tools, session, "at 390px")
    failures += phone_keyboard_check(tools, session)
    evaluate(tools, session, "document.getElementById('nav-toggle').click(); 0")
    if AXE.is_file():
        failures += axe_check(tools, session, "at 390px with the contents open")
    evaluate(tools, session, "document.getElementById('nav-toggle').click(); 0")
    tools.call("Emulation.setDeviceMetricsOverride", {"width": args.width, "height": 900,
               "deviceScaleFactor": 1, "mobile": args.width < 600}, session=session)
    return failures, {"headings": at_load["headings"], "pages": pages,
                      "zoomed": phone["zoomed"]}


# What a trace holds: the main thread's events, style, layout and paint, the collections of
# garbage, and the marks the filter benchmark sets at each keystroke. Not the timeline's
# detail, which counts every element of the page at each frame: on a large page that costs
# more than the keystroke it would explain.
TRACE_CATEGORIES = ["devtools.timeline", "disabled-by-default-v8.gc", "blink.user_timing",
                    "v8.execute"]


def traced(tools, session, path, expression):
    """Evaluates `expression`; with a path, records Chromium's performance trace meanwhile
    and writes it there (for the Performance panel or a script that reads its JSON)."""
    if not path:
        return evaluate(tools, session, expression)
    tools.call("Tracing.start", {"transferMode": "ReturnAsStream",
                                 "traceConfig": {"includedCategories": TRACE_CATEGORIES}},
               session=session)
    value = evaluate(tools, session, expression)
    tools.call("Tracing.end", session=session)
    stream = tools.wait_event("Tracing.tracingComplete", timeout=300)["params"]["stream"]
    with open(path, "wb") as out:
        while True:
            chunk = tools.call("IO.read", {"handle": stream}, session=session)
            data = chunk["data"]
            out.write(base64.b64decode(data) if chunk.get("base64Encoded") else data.encode())
            if chunk.get("eof"):
                break
    tools.call("IO.close", {"handle": stream}, session=session)
    return value


def page_memory_mb(tools):
    """What the page holds in memory, in MB: the proportional set size (shared libraries
    shared out) of Chromium's renderer processes, which hold the pages' documents, layout and
    scripts; the browser's own processes hold about the same for any page."""
    children, pids = {}, [tools._proc.pid]
    for entry in pathlib.Path("/proc").iterdir():
        try:
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry.name))
        except (OSError, ValueError, IndexError):
            continue
    total_kb = 0
    while pids:
        pid = pids.pop()
        pids += children.get(pid, [])
        try:
            if b"--type=renderer" not in pathlib.Path(f"/proc/{pid}/cmdline").read_bytes():
                continue
            for line in pathlib.Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
                if line.startswith("Pss:"):
                    total_kb += int(line.split()[1])
        except OSError:
            continue
    return total_kb / 1024


def list_pages(pages):
    """A site's pages of the sequences and the roles: names without a ".", unlike an
    object's, other than index.html."""
    return [n for n in pages if n != "index.html" and "." not in n[:-len(".html")]]


def object_pages_check(tools, session, site, pages, args):
    """Opens each list's page of a site (sequences.html, sequences-2.html, roles.html: a name without a ".",
    unlike an object's) and each object page (the first --pages of them), prints how long
    each took, and checks its in-page links, a click in its diagram and, with axe-core, every
    reader. Returns (failures, pages opened, diagram clicks)."""
    failures, clicked = [], 0
    lists = list_pages(pages)
    names = [n for n in pages if n != "index.html" and n not in lists]
    if args.pages is not None:
        names = names[:args.pages]
    times, memory = [], []
    for name in lists + names:
        opened = open_page(tools, session, (site / name).as_uri())[1]
        if name in lists:
            print(f"  {name}: opened and answering in {opened:.2f} s, its renderer "
                  f"{page_memory_mb(tools):.0f} MB")
        else:
            times.append(opened)
            memory.append(page_memory_mb(tools))
        result = evaluate(tools, session, MODERN_LINK_CHECK)
        failures += [f"{name}: {f}" for f in result["failures"]]
        if result["charset"] != "UTF-8":
            failures.append(f"{name}: Chromium reads it as {result['charset']}")
        page_failures = []
        clicked += click_diagrams(tools, session, page_failures)
        failures += [f"{name}: {f}" for f in page_failures]
        if AXE.is_file() and not args.no_links:
            failures += [f"{name}: {f}" for f in axe_check(tools, session, "on the page")]
    if times:
        print(f"  object pages: slowest opened and answering in {max(times):.2f} s, median "
              f"{sorted(times)[len(times) // 2]:.2f} s; its renderer at most {max(memory):.0f} MB")
    return failures, len(lists + names), clicked


def new_tab(tools, domains, width):
    """A blank tab with `domains` enabled, in a window `width` wide (a phone's below 600);
    its session."""
    target = tools.call("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = tools.call("Target.attachToTarget",
                         {"targetId": target, "flatten": True})["sessionId"]
    for domain in domains:
        tools.call(f"{domain}.enable", session=session)
    mobile = width < 600
    tools.call("Emulation.setDeviceMetricsOverride",
               {"width": width, "height": 800 if mobile else 900, "deviceScaleFactor": 1,
                "mobile": mobile}, session=session)
    return session


def opening_times(chromium, document, count, width):
    """Opens the page `count` times, each in a browser of its own (as a reader opens it,
    with nothing cached); the seconds until it answered (a contents' box, its answer) and
    the megabytes of its renderer then, each time."""
    times, memory = [], []
    for _ in range(count):
        with tempfile.TemporaryDirectory(prefix="vellumar-chromium-") as profile:
            tools = DevTools(chromium, profile)
            try:
                session = new_tab(tools, ("Page", "Runtime"), width)
                times.append(open_page(tools, session, document.as_uri())[1])
                memory.append(page_memory_mb(tools))
            finally:
                tools.close()
    return times, memory


def browser_check(chromium, document, args, modern, site=None, pages=None):
    with tempfile.TemporaryDirectory(prefix="vellumar-chromium-") as profile:
        tools = DevTools(chromium, profile)
        try:
            session = new_tab(tools, ("Page", "Runtime", "Log", "Network", "Accessibility",
                                      "DOM"), args.width)
            features = [{"name": "prefers-color-scheme", "value": "dark" if args.dark else "light"}]
            tools.call("Emulation.setEmulatedMedia", {"features": features}, session=session)
            loaded, answers = open_page(tools, session, document.as_uri())
            if site:
                print(f"  index.html: loaded in {loaded:.2f} s, its contents' box answering "
                      f"in {answers:.2f} s, its renderer {page_memory_mb(tools):.0f} MB")
            readers = modern and not args.no_links
            if readers:
                at_load = evaluate(tools, session, HEADINGS)
                at_load["failures"] = headings_check(tools, session)
            far = evaluate(tools, session, FAR_JUMP_CHECK)["failures"] if modern else []
            if modern and not args.no_links:
                far += [f for f in [evaluate(tools, session, WHEEL_CHECK)] if f]
            result = (evaluate(tools, session, MODERN_LINK_CHECK if modern else LINK_CHECK)
                      if not args.no_links else
                      {"links": 0, "failures": [], "charset": evaluate(
                          tools, session, "document.characterSet")})
            result["failures"] += far
            if modern:
                result["diagrams"] = click_diagrams(tools, session, result["failures"])
                if not args.no_links:
                    result["failures"] += evaluate(tools, session, PANEL_ROWS_CHECK)
                filtered = evaluate(tools, session, FILTER_CHECK)
                result["failures"] += filtered["failures"]
                result["filter"] = filtered
                if site:
                    searched = evaluate(tools, session, SEARCH_CHECK)
                    result["failures"] += searched["failures"]
                    result["search"] = searched
                if args.filter_bench:
                    # The first full collection of garbage after a large page opens marks every
                    # element of it (seconds, on tens of millions of elements) and comes due at
                    # whatever runs soon after: it is done here first, so that the keystrokes
                    # time the filter and not that collection.
                    tools.call("HeapProfiler.collectGarbage", session=session, timeout=300)
                    result["bench"] = traced(tools, session, args.trace, FILTER_BENCH)
            if readers:
                failures, result["readers"] = reader_checks(tools, session, args, at_load)
                result["failures"] += failures
                tools.call("Emulation.setEmulatedMedia", {"features": features}, session=session)
            if args.screenshot:
                if args.print:
                    tools.call("Emulation.setEmulatedMedia",
                               {"media": "print", "features": features}, session=session)
                evaluate(tools, session,
                         "document.getElementById('side') && document.getElementById('side')"
                         ".classList.remove('open'); window.scrollTo(0, 0);" +
                         (f"document.getElementById({json.dumps(args.at)}).scrollIntoView()"
                          if args.at else ""))
                shot = tools.call("Page.captureScreenshot", {"format": "png"}, session=session)
                pathlib.Path(args.screenshot).write_bytes(base64.b64decode(shot["data"]))
            if site:
                failures, result["pages"], clicked = object_pages_check(
                    tools, session, site, pages, args)
                result["failures"] += failures
                result["diagrams"] += clicked
            # Anything logged while the page loaded or the links were followed.
            evaluate(tools, session, "0")
            if modern:
                result["failures"] += [f"request outside the {'folder' if site else 'file'}: {u}"
                                       for u in requests_outside(tools.events, document, site)]
            return result, console_errors(tools.events)
        finally:
            tools.close()


def site_page(document):
    """Whether `document` is one page of a web site other than its index.html: an object's or
    a list's, which has no contents panel of its own to check."""
    return (document.is_file() and document.suffix == ".html" and document.name != "index.html"
            and (document.parent / "index.html").is_file()
            and (document.parent / ".vellumar-files").is_file())


def check_site_page(document, args):
    """One page of a web site, as the site's check opens each of its pages: the site's
    references that start on this page, then the page in Chromium."""
    site = document.parent
    pages, _, problems = site_check(site)
    problems = [p for p in problems if p.startswith(f"{document.name}: ")]
    with tempfile.TemporaryDirectory(prefix="vellumar-chromium-") as profile:
        tools = DevTools(chromium=args.chromium, profile=profile)
        try:
            session = new_tab(tools, ("Page", "Runtime", "Log", "Network"), args.width)
            failures, _, clicked = object_pages_check(
                tools, session, site, {document.name: pages[document.name]}, args)
            evaluate(tools, session, "0")
            problems += failures
            problems += [f"request outside the folder: {u}"
                         for u in requests_outside(tools.events, document, site)]
            errors = console_errors(tools.events)
        finally:
            tools.close()
    problems += [f"console: {e}" for e in errors]
    if args.want_diagrams and clicked < 1:
        problems.append("the page has no diagram to click")
    for p in problems:
        print(f"FAIL {p}", file=sys.stderr)
    print(f"{document}: a page of the web site {site}, {clicked} diagram clicks, "
          f"{len(errors)} console errors, {len(problems)} problems")
    return 1 if problems else 0


def print_filter_bench(bench):
    """Each keystroke's times in the order typed (the name, then erasing it), and the median
    and slowest of each measure with the box's text after the slowest keystroke."""
    typed = bench["typed"]
    texts = [typed[:n] for n in range(1, len(typed) + 1)] + \
            [typed[:n] for n in range(len(typed) - 1, -1, -1)]
    print(f"filter over {bench['entries']} entries, typing and erasing \"{typed}\", "
          f"ms per keystroke:")
    for label, times in (("until the next frame", bench["times"]),
                         ("until laid out", bench["laidOut"])):
        ordered = sorted(times)
        slowest = max(range(len(times)), key=times.__getitem__)
        print(f"  {label}: median {ordered[len(ordered) // 2]:.1f}, slowest {ordered[-1]:.1f} "
              f"(\"{texts[slowest]}\"); each: {' '.join(f'{t:.0f}' for t in times)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("document")
    parser.add_argument("--screenshot")
    parser.add_argument("--width", type=int, default=1024)
    parser.add_argument("--dark", action="store_true")
    parser.add_argument("--print", action="store_true")
    parser.add_argument("--at", help="the id the screenshot scrolls to")
    parser.add_argument("--filter-bench", action="store_true")
    parser.add_argument("--trace", help="write Chromium's performance trace of --filter-bench "
                        "to this file")
    parser.add_argument("--want-diagrams", action="store_true",
                        help="fail unless a table's diagram and an overview were clicked")
    parser.add_argument("--no-links", action="store_true",
                        help="skip following every link (a benchmark's very large page)")
    parser.add_argument("--pages", type=int,
                        help="for a web site: open only the first N object pages")
    parser.add_argument("--opens", type=int, default=0,
                        help="for a web site: first open index.html and each page of its lists this "
                        "many times, each in a fresh browser, and print how long it took to "
                        "answer and its memory")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "/usr/bin/chromium")
    args = parser.parse_args()

    document = pathlib.Path(args.document).resolve()
    site, pages = None, None
    problems = []
    if site_page(document):
        return check_site_page(document, args)
    if document.is_dir():
        site = document
        document = site / "index.html"
        pages, site_links, problems = site_check(site)
        print(f"{site}: {len(pages)} pages, {site_links} references between them")
        if problems:
            for p in problems:
                print(f"FAIL {p}", file=sys.stderr)
            return 1
    raw = document.read_bytes()
    modern = raw.startswith(b"<!DOCTYPE html>")
    if modern:
        links = []
    else:
        links, problems = static_check(raw.decode("cp1252", errors="replace"))
        if not links:
            problems.append("the document has no contents links")

    if site and args.opens:
        medians = {}
        for name in ["index.html"] + list_pages(pages):
            times, memory = (sorted(v) for v in opening_times(
                args.chromium, site / name, args.opens, args.width))
            medians[name] = times[len(times) // 2]
            print(f"  {name} opened {len(times)} times: answering in "
                  f"{medians[name]:.2f} s (median), {times[0]:.2f} to {times[-1]:.2f} s, "
                  f"its renderer {memory[len(memory) // 2]:.0f} MB; "
                  f"machine load {os.getloadavg()[0]:.2f}")
        lists = {n: t for n, t in medians.items() if n != "index.html"}
        if lists:
            slowest = max(lists, key=lists.get)
            print(f"  the lists' {len(lists)} pages: the slowest, {slowest}, answering in "
                  f"{lists[slowest]:.2f} s (median)")
    result, errors = browser_check(args.chromium, document, args, modern, site, pages)
    problems += [f"console: {e}" for e in errors]
    problems += result["failures"]
    if args.want_diagrams and result.get("diagrams", 0) < 2:
        problems.append("the page has no table diagram or no overview to click")
    if result["charset"] != ("UTF-8" if modern else "windows-1252"):
        problems.append(f"Chromium reads the document as {result['charset']}")
    if not modern and result["links"] != len(links):
        problems.append(f"Chromium found {result['links']} links, the markup {len(links)}")

    for p in problems:
        print(f"FAIL {p}", file=sys.stderr)
    if modern:
        f = result["filter"]
        print(f"{document}: {result['links']} in-page links, {result['diagrams']} diagram "
              f"clicks, {f.get('entries', 0)} contents entries ({f.get('narrowed', 0)} left by "
              f"a typed name), {len(errors)} console errors, {len(problems)} problems")
        if "pages" in result:
            print(f"  {result['pages']} object pages opened")
        if "search" in result:
            print(f"  search: \"{result['search']['word']}\" found by what an object holds; "
                  f"{result['search']['ordered']} matches by what they hold ranked after "
                  "those by name")
        if "readers" in result:
            r = result["readers"]
            print(f"  {r['headings']} headings at load, {r['pages']} Letter pages in print, "
                  f"{r['zoomed']} diagrams shown at full size at 390px; axe-core, keyboard, "
                  "font size, phone and print checked")
    else:
        print(f"{document}: {len(links)} contents links, {len(errors)} console errors, "
              f"{len(problems)} problems")
    if "bench" in result:
        print_filter_bench(result["bench"])
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
