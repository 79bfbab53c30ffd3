"use strict";
// The contents panel: the filter box narrows the list as one types; on a narrow screen the
// panel opens and closes with the Contents button and closes when a link is followed.
(function () {
  var side = document.getElementById("side");
  var full = side && side.querySelector(".nav-sections");
  if (!full) return;
  var box = document.getElementById("filter");
  var status = document.getElementById("filter-status");

  // The list in the file stays for readers without script; here it is read into rows and
  // only the rows in and near the panel's view are drawn, so a keystroke over tens of
  // thousands of entries changes a few dozen elements.
  var rows = [];     // every row in order: {kind, text, href, entry, group, section}
  var entries = [];  // per entry: the text the filter searches
  var groupCount = 0, sectionCount = 0;
  Array.prototype.forEach.call(full.children, function (li) {
    var title = li.querySelector(".nav-title");
    var section = sectionCount++;
    rows.push({kind: "section", text: title.textContent, href: title.getAttribute("href"), section: section});
    Array.prototype.forEach.call(li.querySelectorAll(".nav-group"), function (g) {
      var group = groupCount++;
      rows.push({kind: "owner", text: g.querySelector(".nav-owner").textContent, group: group});
      Array.prototype.forEach.call(g.querySelectorAll("li[data-filter]"), function (item) {
        var entry = entries.length;
        entries.push(item.getAttribute("data-filter"));
        var links = item.querySelectorAll("a");
        for (var i = 0; i < links.length; i++) {
          rows.push({kind: i ? "member" : "item", text: links[i].textContent,
                     href: links[i].getAttribute("href"), entry: entry, group: group, section: section,
                     changed: !i && item.classList.contains("changed")});
        }
      });
    });
  });
  full.hidden = true;
  var list = document.createElement("div");
  list.className = "nav-rows";
  full.parentNode.insertBefore(list, full);

  function row(r) {
    var div = document.createElement("div");
    div.className = "row row-" + r.kind + (r.changed ? " changed" : "");
    if (r.href) {
      var a = document.createElement("a");
      a.href = r.href;
      a.textContent = r.text;
      if (r.kind === "section") a.className = "nav-title";
      else a.title = r.text;
      div.appendChild(a);
    } else {
      div.textContent = r.text;
    }
    return div;
  }
  // Each kind of row has its own height, measured once the panel shows (on a narrow screen
  // not before its button opens it).
  var heights = null;
  function measure() {
    var found = {}, kinds = ["section", "owner", "item", "member"];
    for (var i = 0; i < kinds.length; i++) {
      var probe = list.appendChild(row({kind: kinds[i], text: "X", href: kinds[i] === "owner" ? null : "#"}));
      found[kinds[i]] = probe.getBoundingClientRect().height;
      list.removeChild(probe);
      if (!found[kinds[i]]) return false;
    }
    heights = found;
    return true;
  }

  // A keystroke allocates nothing in proportion to the list: on a page of a million elements
  // every collection of garbage has the whole page to trace.
  var match = new Uint8Array(entries.length);
  var groupShown = new Uint8Array(groupCount), sectionShown = new Uint8Array(sectionCount);
  var shown = new Int32Array(rows.length), shownCount = 0;
  var tops = new Float64Array(rows.length + 1), drawn = {};
  function place() {
    for (var i = 0; i < shownCount; i++) tops[i + 1] = tops[i] + heights[rows[shown[i]].kind];
    list.style.height = tops[shownCount] + "px";
  }
  function draw() {
    if (!heights) {
      if (!measure()) return;
      place();
    }
    var top = side.scrollTop - list.offsetTop, height = side.clientHeight || window.innerHeight;
    var from = top - height, to = top + 2 * height;
    var lo = 0, hi = shownCount;
    while (lo < hi) { var mid = (lo + hi) >> 1; if (tops[mid + 1] <= from) lo = mid + 1; else hi = mid; }
    var keep = {};
    for (var i = lo; i < shownCount && tops[i] < to; i++) {
      keep[i] = drawn[i] || list.appendChild(row(rows[shown[i]]));
      keep[i].style.top = tops[i] + "px";
    }
    for (var k in drawn) {
      if (keep[k]) continue;
      if (drawn[k].contains(document.activeElement)) keep[k] = drawn[k];
      else list.removeChild(drawn[k]);
    }
    drawn = keep;
  }

  function apply() {
    var words = box.value.toLowerCase().split(/\s+/).filter(Boolean);
    var count = 0, i;
    for (i = 0; i < entries.length; i++) {
      var m = 1;
      for (var w = 0; w < words.length && m; w++) if (entries[i].indexOf(words[w]) < 0) m = 0;
      match[i] = m;
    }
    groupShown.fill(0);
    sectionShown.fill(words.length ? 0 : 1);
    for (i = 0; i < rows.length; i++) {
      var r = rows[i];
      if (r.kind === "item" && match[r.entry]) { count++; groupShown[r.group] = sectionShown[r.section] = 1; }
    }
    shownCount = 0;
    for (i = 0; i < rows.length; i++) {
      r = rows[i];
      if (r.kind === "section" ? sectionShown[r.section] : r.kind === "owner" ? groupShown[r.group] : match[r.entry]) {
        shown[shownCount++] = i;
      }
    }
    if (heights) place();
    for (var k in drawn) list.removeChild(drawn[k]);
    drawn = {};
    side.scrollTop = 0;
    draw();
    status.textContent = words.length ? count + " of " + entries.length + " shown" : "";
  }
  box.addEventListener("input", apply);
  side.addEventListener("scroll", draw, {passive: true});
  window.addEventListener("resize", draw);
  apply();

  var toggle = document.getElementById("nav-toggle");
  function setOpen(open) {
    side.classList.toggle("open", open);
    toggle.setAttribute("aria-expanded", open ? "true" : "false");
    if (open) draw();
  }
  toggle.addEventListener("click", function () { setOpen(!side.classList.contains("open")); });
  side.addEventListener("click", function (e) {
    if (e.target.tagName === "A" && getComputedStyle(toggle.parentNode).display !== "none") setOpen(false);
  });

  // The browser keeps what the reader sees in place when content above it changes size, but
  // not when an object or batch out of view is laid out for the first time and its estimated
  // height gives way to its real one: scrolling up into objects never seen would move the
  // page under the reader. So the page is moved by that change for those that begin above
  // the view and ended within it (a batch's change holds its objects' own). One that filled
  // the view, as where the scroll bar was dragged to, moves nothing: nothing seen follows it.
  var fresh = new Set(), heightOf = new Map();
  var sized = new ResizeObserver(function (entries) {
    var moved = new Map(), by = 0;
    entries.forEach(function (e) {
      var was = heightOf.get(e.target), now = e.borderBoxSize[0].blockSize;
      heightOf.set(e.target, now);
      if (!fresh.delete(e.target) || was === undefined) return;
      var top = e.target.getBoundingClientRect().top;
      if (top < 0 && top + was < window.innerHeight) moved.set(e.target, now - was);
    });
    moved.forEach(function (change, el) {
      if (!moved.has(el.parentElement.closest(".batch"))) by += change;
    });
    if (by) window.scrollBy(0, by);
  });
  // Watching every object would cost each frame of a large page (every keystroke in the
  // filter) a look at tens of thousands of them: the batches are watched always, the objects
  // of a batch only while the browser lays that batch out.
  function watch(el, on) {
    if (on) sized.observe(el); else { sized.unobserve(el); heightOf.delete(el); }
  }
  document.querySelectorAll(".batch").forEach(function (el) { watch(el, true); });
  document.addEventListener("contentvisibilityautostatechange", function (e) {
    if (!e.skipped) fresh.add(e.target);
    if (e.target.classList.contains("batch"))
      e.target.querySelectorAll(".object").forEach(function (el) { watch(el, !e.skipped); });
  }, true);

  // Objects out of view have only an estimated height until they come near it, so a jump to
  // a far anchor lands short of it once the objects it passed are laid out (a frame or two
  // later): the target is brought into view again until it has stayed put for a few frames.
  // Anything the reader does meanwhile (a wheel, a touch, a key, a press on the page or its
  // scroll bar) ends that at once, so they are never pulled back to the target.
  var landing = 0;  // counts landings and the reader's acts: a landing runs while it is the last
  function land(id) {
    var target = id && document.getElementById(id);
    if (!target) return;
    var run = ++landing, last = null, still = 0, frames = 0;
    requestAnimationFrame(function again() {
      if (run !== landing) return;
      var top = target.getBoundingClientRect().top;
      if (top === last) still++; else still = 0;
      if (still >= 3 || frames++ > 30) return;
      if (top !== last) target.scrollIntoView();
      last = target.getBoundingClientRect().top;
      requestAnimationFrame(again);
    });
  }
  ["wheel", "touchstart", "keydown", "pointerdown"].forEach(function (type) {
    window.addEventListener(type, function () { landing++; }, {capture: true, passive: true});
  });
  // A followed link's landing starts with its click, before the browser moves to the target,
  // so that a wheel turned in the same frame already ends it; the location's change that
  // follows starts no second one. A link in a diagram, or going back and forward, lands
  // when the location changes.
  var aim = null;  // the id a followed link lands on, until the location changes
  document.addEventListener("click", function (e) {
    var link = e.target.closest && e.target.closest('a[href^="#"]');
    if (link) land(aim = decoded(link.getAttribute("href").slice(1)));
  });
  // A fragment that does not decode (a stray "%") names no anchor.
  function decoded(fragment) {
    try { return decodeURIComponent(fragment); } catch (e) { return null; }
  }
  function hash() { return decoded(location.hash.slice(1)); }
  window.addEventListener("hashchange", function () {
    if (hash() !== aim) land(hash());
    aim = null;
  });
  land(hash());
})();
