// The start of every page of the site: makes sure the page can run a program
// before it loads one, and says in a player's words why when it cannot.
//
// The programs' threads need shared memory, which a browser gives only to a
// page that is "cross-origin isolated": served in a secure context (HTTPS, or
// localhost) with two headers. A host that sends them needs nothing more.
// Any other static host gets them from the site's service worker
// (service-worker.js), which adds them to every response it serves; it
// controls a page only from its second load, so the first visit reloads
// once, and a mark in the tab's session storage makes sure it reloads by
// itself only once. The worker also keeps the site for playing offline.
//
// A program's page holds its script inert in <template id="program">; it is
// started here once the page is isolated. This script is loaded in the
// page's head, so that it is at hand as soon as the page is read.
(function () {
  'use strict';
  const kReloadMark = 'operation-brannoway: reloaded for isolation';
  const kHosting = 'The game\'s README tells how to host it ("Hosting the site").';

  const worker = navigator.serviceWorker;  // none outside a secure context
  const register = () => worker.register('service-worker.js');
  const element = id => document.getElementById(id);
  const whenRead = then => (document.readyState === 'loading' ? document.addEventListener('DOMContentLoaded', then) : then());

  function say(text) {
    whenRead(() => {
      const n = element('notice');
      if (!n) return;
      n.textContent = text;
      n.hidden = false;
      n.classList.add('problem');
    });
  }

  // What is wrong, and what to do about it.
  function explain(problem) {
    const host = location.host || location.href;
    const texts = {
      file: 'This page was opened as a file, and a browser runs the game only when a web server serves it. ' +
            'Put the site\'s files on a web host (HTTPS) or serve them on this computer and open the address ' +
            'there. ' + kHosting,
      insecure: 'This page came from ' + host + ' over plain HTTP. Browsers give the game what its threads need ' +
                'only over HTTPS, or from localhost on the computer that serves it. Open it at an https:// ' +
                'address. ' + kHosting,
      noWorker: 'This browser does not let the site start its service worker (a private window may not), and ' +
                'the server does not send the two headers the game needs. Open the game in a normal window. ' +
                kHosting,
      notIsolated: 'The browser did not give this page the isolation the game needs, even through the site\'s ' +
                   'service worker. Reload the page once more; if this stays, open the game in a normal window ' +
                   'of a current browser. ' + kHosting,
      tooOld: 'This browser cannot run the game: it lacks WebAssembly with threads. Use a current Chrome, Edge, ' +
              'Firefox or Safari.',
    };
    say(texts[problem]);
  }

  // The mark works only where session storage does; without it the page
  // never reloads, and explains instead.
  function reloadedBefore() {
    try {
      return sessionStorage.getItem(kReloadMark) !== null;
    } catch (e) {
      return true;
    }
  }

  function markReload(reloading) {
    try {
      if (reloading) sessionStorage.setItem(kReloadMark, '1');
      else sessionStorage.removeItem(kReloadMark);
    } catch (e) {
      // no session storage: reloadedBefore() says so
    }
  }

  // A download that fails says so, instead of leaving the page at "Downloading…":
  // the program's loader reports it as an error nobody catches.
  function failedDownload(what) {
    say('A part of the game could not be downloaded (' + what + '). Check the connection and reload the page.');
  }
  function whenDownloadFailed(message) {
    if (!/NetworkError|Not Found|fetch|failed to load|Failed to load/.test(message)) return;
    const file = /([\w.-]+\.(?:data|wasm|js))\b/.exec(message);
    failedDownload(file ? file[1] : message);
  }
  addEventListener('error', e => whenDownloadFailed(String(e.message)));
  addEventListener('unhandledrejection', e => whenDownloadFailed(String(e.reason && (e.reason.message || e.reason))));

  function startProgram() {
    if (document.readyState === 'loading') return whenRead(startProgram);
    const program = element('program');
    if (!program) return;
    if (typeof SharedArrayBuffer === 'undefined' || typeof WebAssembly === 'undefined') return explain('tooOld');
    for (const inert of program.content.querySelectorAll('script[src]')) {
      const script = document.createElement('script');
      script.src = inert.getAttribute('src');
      script.async = true;
      script.onerror = () => failedDownload(script.getAttribute('src'));
      document.body.appendChild(script);
    }
  }

  // A few seconds after the program shows its window (its downloads and its
  // first frames come first), the worker is put in place if the host's own
  // headers made that unnecessary so far, and keeps the rest of the site, so
  // that every program plays offline.
  function keepTheSite() {
    if (!worker) return;
    register().then(() => worker.ready).then(r => r.active && r.active.postMessage('keep-the-site'), () => {});
  }
  document.addEventListener('winlayer-window-shown', () => setTimeout(keepTheSite, 3000), {once: true});

  const isProgram = () => !!element('program');

  // A new build's worker takes over as soon as it has kept the new files: a
  // page that is still loading the old build's program then starts again,
  // so that it never mixes the two builds' files.
  let windowShown = false;
  document.addEventListener('winlayer-window-shown', () => (windowShown = true), {once: true});
  if (worker && worker.controller)
    worker.addEventListener('controllerchange', () => windowShown || !isProgram() || location.reload());

  if (self.crossOriginIsolated) {
    markReload(false);
    startProgram();
    if (worker) whenRead(() => isProgram() || register().catch(() => {}));  // the index puts the worker in place
    return;
  }
  if (location.protocol === 'file:') return explain('file');
  if (!self.isSecureContext) return explain('insecure');
  if (!worker) return explain('noWorker');
  register().then(() => worker.ready).then(() => whenRead(() => {
    if (!isProgram()) return;  // the site's other pages only put the worker in place
    if (reloadedBefore()) {
      markReload(false);  // a reload by hand tries once more, and again once only
      return explain('notIsolated');
    }
    markReload(true);
    location.reload();
  }), () => explain('noWorker'));
})();
