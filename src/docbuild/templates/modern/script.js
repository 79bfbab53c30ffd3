"use strict";
// The contents panel: the filter box narrows the list as one types; on a narrow screen the
// panel opens and closes with the Contents button and closes when a link is followed.
(function () {
  var side = document.getElementById("side");
  if (!side) return;
  var box = document.getElementById("filter");
  var status = document.getElementById("filter-status");
  var items = Array.prototype.slice.call(side.querySelectorAll("li[data-filter]"));
  var texts = items.map(function (li) { return li.getAttribute("data-filter"); });
  var shown = items.map(function () { return true; });
  var groups = Array.prototype.slice.call(side.querySelectorAll(".nav-group"));
  var sections = Array.prototype.slice.call(side.querySelectorAll(".nav-section"));

  function apply() {
    var words = box.value.toLowerCase().split(/\s+/).filter(Boolean);
    var count = 0;
    for (var i = 0; i < items.length; i++) {
      var text = texts[i], match = true;
      for (var w = 0; w < words.length && match; w++) match = text.indexOf(words[w]) >= 0;
      if (match) count++;
      if (match !== shown[i]) { shown[i] = match; items[i].hidden = !match; }
    }
    groups.forEach(function (g) {
      var any = g.querySelector("li[data-filter]:not([hidden])") !== null;
      if (g.hidden === any) g.hidden = !any;
    });
    sections.forEach(function (s) {
      var any = words.length === 0 || s.querySelector(".nav-group:not([hidden])") !== null;
      if (s.hidden === any) s.hidden = !any;
    });
    status.textContent = words.length ? count + " of " + items.length + " shown" : "";
  }
  box.addEventListener("input", apply);

  var toggle = document.getElementById("nav-toggle");
  function setOpen(open) {
    side.classList.toggle("open", open);
    toggle.setAttribute("aria-expanded", open ? "true" : "false");
  }
  toggle.addEventListener("click", function () { setOpen(!side.classList.contains("open")); });
  side.addEventListener("click", function (e) {
    if (e.target.tagName === "A" && getComputedStyle(toggle.parentNode).display !== "none") setOpen(false);
  });

  // Objects out of view have only an estimated height until they come near it, so a jump to
  // a far anchor lands short of it once the objects it passed are laid out (a frame or two
  // later): the target is brought into view again until it has stayed put for a few frames.
  function land() {
    var target = location.hash && document.getElementById(decodeURIComponent(location.hash.slice(1)));
    if (!target) return;
    var last = null, still = 0, frames = 0;
    (function again() {
      var top = target.getBoundingClientRect().top;
      if (top === last) still++; else still = 0;
      if (still >= 3 || frames++ > 30) return;
      if (top !== last) target.scrollIntoView();
      last = target.getBoundingClientRect().top;
      requestAnimationFrame(again);
    })();
  }
  document.addEventListener("click", function (e) {
    var link = e.target.closest && e.target.closest('a[href^="#"]');
    if (link) requestAnimationFrame(land);
  });
  window.addEventListener("hashchange", land);
  land();
})();
