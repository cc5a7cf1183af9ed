// Injected into every page of kinoro-host: lists the page's controls for the host, runs their
// <script for=… event=…> handlers, keeps them placed over their elements and offers
// window.kinoro to the page's script once the controls exist.
(function () {
  "use strict";
  const handlers = {};

  function collectHandlers() {
    document.querySelectorAll("script[for][event]").forEach(function (s) {
      const id = s.getAttribute("for");
      const event = s.getAttribute("event").replace(/\(.*\)\s*$/, "").trim();
      handlers[id] = handlers[id] || {};
      (handlers[id][event] = handlers[id][event] || []).push(new Function(s.text));
    });
  }

  function controls() {
    return Array.from(document.querySelectorAll("object[classid]")).filter(function (o) {
      return /^clsid:/i.test(o.getAttribute("classid"));
    });
  }

  window.__kinoroObjects = function () {
    collectHandlers();
    return JSON.stringify(controls().map(function (o, i) {
      if (!o.id) o.id = "kinoro" + i;
      const r = o.getBoundingClientRect();
      return {
        id: o.id, clsid: o.getAttribute("classid").slice(6),
        x: r.left, y: r.top, w: r.width, h: r.height,
        params: Array.from(o.querySelectorAll("param")).map(function (p) {
          return [p.getAttribute("name") || "", p.getAttribute("value") || ""];
        })
      };
    }));
  };

  window.__kinoroEvent = function (id, name) {
    const element = document.getElementById(id);
    ((handlers[id] || {})[name] || []).forEach(function (f) {
      try { f.call(element); } catch (e) { console.error(e); }
    });
    if (element) element.dispatchEvent(new CustomEvent("kinoroevent", {detail: name}));
  };

  new QWebChannel(qt.webChannelTransport, function (channel) {
    const host = channel.objects.kinoroHost;
    function promise(start) {
      return new Promise(function (resolve, reject) {
        start(function (r) { r.ok ? resolve(r.value) : reject(new Error(r.error)); });
      });
    }
    const api = {
      get: function (id, name) { return promise(function (cb) { host.get(id, name, cb); }); },
      set: function (id, name, value) {
        return promise(function (cb) { host.set(id, name, value, cb); });
      },
      call: function (id, name) { return promise(function (cb) { host.call(id, name, cb); }); },
      // invoke(id, name): a property read; invoke(id, name, [value]): a write;
      // invoke(id, name, []): a method call.
      invoke: function (id, name, args) {
        if (args === undefined) return api.get(id, name);
        return args.length ? api.set(id, name, args[0]) : api.call(id, name);
      }
    };
    function place() {
      controls().forEach(function (o) {
        const r = o.getBoundingClientRect();
        host.place(o.id, Math.round(r.left), Math.round(r.top), Math.round(r.width),
                   Math.round(r.height));
      });
    }
    window.addEventListener("scroll", place, {passive: true});
    window.addEventListener("resize", place);
    window.__kinoroReady = function () {
      window.kinoro = api;
      place();
      document.dispatchEvent(new Event("kinoroready"));
    };
  });
})();
