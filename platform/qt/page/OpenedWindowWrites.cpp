#include "OpenedWindowWrites.h"

#include <QWebEnginePage>

#include "PageScripts.h"

namespace qz {

namespace {
// In the page's own world: only there is window.open the page's. The opened window runs the same
// script and, once its own document has loaded, calls its opener back through a hidden property.
const char kHoldScript[] = R"(
(function () {
  var readyKey = '__qzOpenedWindowReady';
  if (window.opener && location.href !== 'about:blank') {
    var tell = function () {
      try {
        var ready = window.opener && window.opener[readyKey];
        if (typeof ready === 'function') ready(window);
      } catch (e) {}  // an opener of another site keeps its windows to itself
    };
    // The empty document may be complete before this script runs.
    if (document.readyState === 'complete') setTimeout(tell, 0);
    else window.addEventListener('load', tell);
  }

  var open = window.open;
  if (typeof open !== 'function') return;
  var waiting = new WeakMap();  // opened window -> calls held until its own document is there
  Object.defineProperty(window, readyKey, {
    value: function (opened) {
      var calls = waiting.get(opened);
      if (!calls) return;
      waiting.delete(opened);
      calls.forEach(function (call) { call(); });
    }
  });

  function opensEmptyDocument(args) {
    var address = args.length === 0 || args[0] === undefined ? '' : String(args[0]);
    return /^\s*(about:blank\s*)?$/i.test(address);
  }

  function held(opened) {
    var calls = [];
    waiting.set(opened, calls);
    function later(call) {
      if (waiting.has(opened)) calls.push(call);
      else call();
    }
    function onDocument(name) {
      return function () {
        var args = arguments;
        later(function () { opened.document[name].apply(opened.document, args); });
      };
    }
    var document = {
      write: onDocument('write'),
      writeln: onDocument('writeln'),
      close: onDocument('close'),
      open: function () { later(function () { opened.document.open(); }); return document; }
    };
    return new Proxy(opened, {
      get: function (target, name) {
        if (waiting.has(opened)) {
          if (name === 'document') return document;
          if (name === 'print' || name === 'focus')
            return function () { later(function () { opened[name](); }); };
        }
        var value = Reflect.get(target, name);
        return typeof value === 'function' ? value.bind(target) : value;
      },
      set: function (target, name, value) { return Reflect.set(target, name, value); }
    });
  }

  window.open = function () {
    var opened = open.apply(this, arguments);
    return opened && opensEmptyDocument(arguments) ? held(opened) : opened;
  };
})();
)";
} // namespace

OpenedWindowWrites::OpenedWindowWrites(QWebEnginePage* page) {
    insertDocumentScript(
        *page, QStringLiteral("qz-opened-window-writes"), kHoldScript, QWebEngineScript::MainWorld, true);
}

} // namespace qz
