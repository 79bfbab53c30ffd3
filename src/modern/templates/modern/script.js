"use strict";
// A region that scrolls sideways (a wide table, a long line of code, a diagram at full
// size) takes the focus, so that the keys scroll it, and is named for a screen reader. A
// diagram drawn smaller than its full size gets a button that shows it at full size, to be
// scrolled sideways, and back. Every size is read before anything is changed, so that a
// page of thousands of tables is laid out once, not once per table.
(function () {
  var regions = document.querySelectorAll(".table-wrap, pre, figure.diagram");
  var buttons = document.querySelectorAll("figure.diagram button.zoom");
  function label(el) {
    var before = el.previousElementSibling, summary = el.parentNode.querySelector("summary");
    var what = before && /^H[2-6]$/.test(before.tagName) ? before.textContent
        : el.parentNode.tagName === "DETAILS" && summary ? summary.textContent
        : el.tagName === "FIGURE" ? "Diagram" : el.tagName === "PRE" ? "Code" : "Table";
    var owner = el.parentNode.closest(".member, .object, .part");
    var heading = owner && owner.querySelector("h2, h3, h4");
    var name = heading && (heading.querySelector(".full") || heading);
    return what + (name ? ", " + name.textContent.replace(/\s*#$/, "").trim() : "");
  }
  function mark() {
    var scrolls = Array.prototype.map.call(regions, function (el) {
      return el.scrollWidth > el.clientWidth + 1;
    });
    var scaled = Array.prototype.map.call(buttons, function (button) {
      var figure = button.closest("figure"), svg = figure.querySelector("svg");
      return figure.classList.contains("full") ||
          (svg && svg.width.baseVal.value > figure.clientWidth + 1);
    });
    regions.forEach(function (el, i) {
      if (scrolls[i] === el.hasAttribute("tabindex")) return;
      if (!scrolls[i]) {
        el.removeAttribute("tabindex");
        el.removeAttribute("role");
        el.removeAttribute("aria-label");
        return;
      }
      el.tabIndex = 0;
      if (el.tagName === "FIGURE") return;  // named by its caption
      el.setAttribute("role", "region");
      el.setAttribute("aria-label", label(el));
    });
    buttons.forEach(function (button, i) { button.hidden = !scaled[i]; });
  }
  buttons.forEach(function (button) {
    button.addEventListener("click", function () {
      var full = button.closest("figure").classList.toggle("full");
      button.setAttribute("aria-pressed", full ? "true" : "false");
      mark();
    });
  });
  var pending = false;
  function later() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(function () { pending = false; mark(); });
  }
  window.addEventListener("resize", later);
  document.addEventListener("toggle", later, true);
  mark();
})();

// The contents panel: the filter box narrows the list as one types; on a narrow screen the
// panel opens and closes with the Contents button and closes when a link is followed. On a
// web site the box also searches what each object holds (its columns, comments and source,
// from the site's search index): within each owner, the objects whose names match come
// first, then those that match by what they hold.
(function () {
  var side = document.getElementById("side");
  var full = side && side.querySelector(".nav-sections");
  // A web site's list is in a noscript element: for a reader without script it is the
  // contents; with script the browser keeps it as text, which is read here by its tags,
  // without making an element of its tens of thousands of entries. They are made for print
  // only, where the list is printed whole.
  var quiet = side && side.querySelector("noscript");
  if (!full && !quiet) return;
  var box = document.getElementById("filter");
  var status = document.getElementById("filter-status");

  // The list in the file stays for readers without script; here it is read into rows and
  // only the rows in and near the panel's view are drawn, so a keystroke over tens of
  // thousands of entries changes a few dozen elements.
  var rows = [];     // every row in order: {kind, text, href, entry, group, section}
  var entries = [];  // per entry: the text the filter searches
  var entryHrefs = [];  // per entry: its link, which the search index is keyed by
  var groupCount = 0, sectionCount = 0;
  readList(full ? full.outerHTML : quiet.textContent);
  if (full) {
    full.hidden = true;
  } else {
    window.addEventListener("beforeprint", function () {
      if (full) return;
      var made = document.createElement("template");
      made.innerHTML = quiet.textContent;
      full = made.content.querySelector(".nav-sections");
      if (!full) return;
      full.hidden = true;
      quiet.parentNode.insertBefore(full, quiet);
    });
  }
  var list = document.createElement("div");
  list.className = "nav-rows";
  (full || quiet).parentNode.insertBefore(list, full || quiet);

  // The list's markup, as the page template writes it: a section is an li of class
  // nav-section with its a of class nav-title, an owner a ul of class nav-group with its
  // span of class nav-owner, an entry an li with data-filter whose links are the entry's
  // own and then its members'.
  function readList(html) {
    var tag = /<(\/?)([a-zA-Z][a-zA-Z0-9]*)((?:[^>"]|"[^"]*")*)>|[^<]+/g;
    var section = -1, group = -1, entry = -1, links = 0, changed = false;
    var open = null, openTag = "";  // the row whose text is being read, and its element
    var m;
    while ((m = tag.exec(html))) {
      var name = m[2] && m[2].toLowerCase();
      if (!name) {
        if (open) open.text += m[0];
      } else if (m[1]) {
        if (open && name === openTag) {
          open.text = decode(open.text);
          rows.push(open);
          open = null;
        }
      } else if (!open && (name === "li" || name === "ul" || name === "a" || name === "span")) {
        var at = attributes(m[3]), classes = " " + (at["class"] || "") + " ";
        if (name === "li" && classes.indexOf(" nav-section ") >= 0) {
          section = sectionCount++;
          entry = -1;
        } else if (name === "ul" && classes.indexOf(" nav-group ") >= 0) {
          group = groupCount++;
          entry = -1;
        } else if (name === "span" && classes.indexOf(" nav-owner ") >= 0) {
          open = {kind: "owner", text: "", group: group};
        } else if (name === "li" && "data-filter" in at) {
          entry = entries.length;
          entries.push(at["data-filter"]);
          links = 0;
          changed = classes.indexOf(" changed ") >= 0;
        } else if (name === "a" && classes.indexOf(" nav-title ") >= 0) {
          open = {kind: "section", text: "", href: at.href, section: section};
        } else if (name === "a" && entry >= 0) {
          if (!links) entryHrefs.push(at.href);
          open = {kind: links ? "member" : "item", text: "", href: at.href, entry: entry,
                  group: group, section: section, changed: !links && changed};
          links++;
        }
        if (open) openTag = name;
      }
    }
  }
  function attributes(text) {
    var at = {}, pair = /([^\s=]+)(?:\s*=\s*"([^"]*)")?/g, m;
    while ((m = pair.exec(text))) at[m[1].toLowerCase()] = m[2] === undefined ? "" : decode(m[2]);
    return at;
  }
  function decode(text) {
    if (text.indexOf("&") < 0) return text;
    // Here, not beside the function: the list is read before a statement after it runs.
    var named = {amp: "&", lt: "<", gt: ">", quot: "\"", apos: "'", nbsp: "\u00a0"};
    return text.replace(/&(?:#(\d+)|#x([0-9a-fA-F]+)|([a-zA-Z]+));/g, function (all, dec, hex, name) {
      if (dec || hex) return String.fromCodePoint(dec ? +dec : parseInt(hex, 16));
      return named.hasOwnProperty(name) ? named[name] : all;
    });
  }

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
    function put(i) {
      keep[i] = drawn[i] || list.appendChild(row(rows[shown[i]]));
      keep[i].style.top = tops[i] + "px";
      var r = rows[shown[i]];
      var inText = r.kind === "item" && match[r.entry] === 1;
      keep[i].classList.toggle("in-text", inText);
      if (inText) keep[i].firstChild.title = r.text + ": found in its columns, comments or source";
      var a = keep[i].firstChild;
      if (a.tagName === "A") a.tabIndex = i === current ? 0 : -1;
    }
    for (var i = lo; i < shownCount && tops[i] < to; i++) put(i);
    if (current < shownCount && !keep[current]) put(current);
    for (var k in drawn) {
      if (keep[k]) continue;
      if (drawn[k].contains(document.activeElement)) keep[k] = drawn[k];
      else list.removeChild(drawn[k]);
    }
    drawn = keep;
  }

  // The keyboard: the panel is one stop in the Tab order, at its current row, which is
  // always drawn; the arrow keys, Page Up, Page Down, Home and End move through every row,
  // drawn or not, so Tab and Shift+Tab go from the filter to the panel to the document as
  // they appear on the screen.
  var current = 0;  // the position in `shown` of the row that takes the focus
  function linked(i) { return rows[shown[i]].kind !== "owner"; }
  function moveTo(i, step) {
    while (i >= 0 && i < shownCount && !linked(i)) i += step;
    if (i < 0 || i >= shownCount) return;
    current = i;
    var filterHeight = box.parentNode.offsetHeight, top = list.offsetTop + tops[i];
    if (top - filterHeight < side.scrollTop) side.scrollTop = top - filterHeight;
    else if (top + heights[rows[shown[i]].kind] > side.scrollTop + side.clientHeight)
      side.scrollTop = top + heights[rows[shown[i]].kind] - side.clientHeight;
    draw();
    drawn[i].firstChild.focus({preventScroll: true});
  }
  list.addEventListener("keydown", function (e) {
    var page = Math.max(1, Math.floor(side.clientHeight / heights.item) - 2);
    var moves = {ArrowDown: [current + 1, 1], ArrowUp: [current - 1, -1],
                 PageDown: [Math.min(current + page, shownCount - 1), -1],
                 PageUp: [Math.max(current - page, 0), 1],
                 Home: [0, 1], End: [shownCount - 1, -1]};
    var move = moves[e.key];
    if (!move || e.altKey || e.ctrlKey || e.metaKey || !shownCount) return;
    e.preventDefault();
    moveTo(move[0], move[1]);
  });
  // A row the reader clicks or reaches otherwise becomes the current one.
  list.addEventListener("focusin", function (e) {
    for (var k in drawn) {
      if (drawn[k].contains(e.target) && +k !== current) {
        current = +k;
        draw();
      }
    }
  });

  // The words of what each entry holds, once the search index has loaded (it comes after
  // the page, so that the contents work at once).
  var texts = null;
  function loadIndex() {
    var index = window.vellumarSearch;
    if (!index || texts) return;
    texts = entryHrefs.map(function (href) { return index[href] || ""; });
    if (box.value) apply();
  }
  window.onVellumarSearch = loadIndex;

  // match: 2 every word is in the entry's name, owner or database; 1 some only in what it
  // holds; 0 a word is in neither.
  function apply() {
    var words = box.value.toLowerCase().split(/\s+/).filter(Boolean);
    var count = 0, i;
    for (i = 0; i < entries.length; i++) {
      var m = 2;
      for (var w = 0; w < words.length && m; w++) {
        if (entries[i].indexOf(words[w]) >= 0) continue;
        m = texts && texts[i].indexOf(words[w]) >= 0 ? 1 : 0;
      }
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
      if (r.kind === "section" ? !sectionShown[r.section] : r.kind !== "owner" || !groupShown[r.group]) continue;
      shown[shownCount++] = i;
      if (r.kind === "section") continue;
      // The owner's entries (each with its members): by name first, then by what they hold.
      for (var pass = 2; pass >= 1; pass--) {
        for (var j = i + 1; j < rows.length && rows[j].kind !== "owner" && rows[j].kind !== "section"; j++) {
          if (match[rows[j].entry] === pass) shown[shownCount++] = j;
        }
      }
    }
    if (heights) place();
    for (var k in drawn) list.removeChild(drawn[k]);
    drawn = {};
    side.scrollTop = 0;
    current = 0;
    draw();
    status.textContent = words.length ? count + " of " + entries.length + " shown" : "";
  }
  box.addEventListener("input", apply);
  // Enter in the filter goes to the first entry it leaves whose name matches (else the first
  // it leaves) and puts the focus there.
  box.addEventListener("keydown", function (e) {
    if (e.key !== "Enter") return;
    e.preventDefault();
    var best = 0;
    for (var k = 0; k < shownCount; k++) {
      if (rows[shown[k]].kind === "item" && match[rows[shown[k]].entry] === 2) { best = k; break; }
    }
    for (var i = best; i < shownCount; i++) {
      var r = rows[shown[i]];
      if (r.kind !== "item") continue;
      // A web site's entry is a page of its own.
      if (r.href.charAt(0) !== "#") {
        location.href = r.href;
        return;
      }
      var target = document.getElementById(decodeURIComponent(r.href.slice(1)));
      location.hash = r.href;
      setOpen(false);
      if (target) {
        target.tabIndex = -1;
        target.focus();
      }
      return;
    }
  });
  side.addEventListener("scroll", draw, {passive: true});
  apply();
  loadIndex();

  // On a narrow screen the panel covers the document: while it is open the document is
  // inert, so the focus never goes behind it, and Escape closes it.
  var toggle = document.getElementById("nav-toggle");
  var main = document.getElementById("main");
  function narrow() { return getComputedStyle(toggle.parentNode).display !== "none"; }
  function setOpen(open) {
    side.classList.toggle("open", open);
    toggle.setAttribute("aria-expanded", open ? "true" : "false");
    main.inert = open && narrow();
    if (open) draw();
  }
  toggle.addEventListener("click", function () { setOpen(!side.classList.contains("open")); });
  side.addEventListener("click", function (e) {
    if (e.target.tagName === "A" && narrow()) setOpen(false);
  });
  document.addEventListener("keydown", function (e) {
    if (e.key !== "Escape" || !side.classList.contains("open") || !narrow()) return;
    setOpen(false);
    toggle.focus();
  });
  window.addEventListener("resize", function () {
    main.inert = side.classList.contains("open") && narrow();
    draw();
  });
})();
