// The page's side of the web display (web_display.cpp): each window of the
// program is a canvas in a frame with its title and close box; frames come
// up through each window's triple buffer and are drawn on the animation
// frame after the program asks (paintSoon); pointer and key events go down through the ring of events.
//
// This file runs on the browser's main thread, which never waits: it only
// swaps indices and writes events with atomic operations on the program's
// memory. It reads that memory through wasmMemory.buffer each time, since
// the memory may grow.
(function () {
  'use strict';
  if (typeof document === 'undefined') return;  // the program's threads load this file too

  // The numbers shared with web_display.cpp, written by the build from
  // page_contract.h. (No destructuring here: emscripten 3.1.6's minifier
  // writes it wrongly.)
  const page = winlayerPage;
  const kFresh = page.kFresh;
  const kMove = page.kMove, kButton = page.kButton, kKey = page.kKey, kClose = page.kClose;
  const VK_LBUTTON = 1, VK_RBUTTON = 2, VK_MBUTTON = 4;

  // Touch: a finger that stays about half a second without moving is the right button.
  const kLongPressMs = 500;
  const kLongPressSlopPx = 10;

  const windows = new Map();  // id → window
  let ring = 0, ringSlots = 0, wake = 0, paintWanted = 0;
  let unsent = [];  // events waiting for room in the ring
  let mouseButtons = 0;
  let touch = null;  // the finger that plays; others are ignored
  let ended = false;

  const element = id => document.getElementById(id);
  const heap32 = () => new Int32Array(wasmMemory.buffer);

  function notice(text) {
    const n = element('notice');
    if (n.classList.contains('problem')) return;  // the page's start said what went wrong: that stays
    n.textContent = text;
    n.hidden = !text;
  }

  // ---- events down to the program ------------------------------------------------

  // An event as page_contract.h lays it out; `code` names a key (KeyboardEvent.code).
  function send(kind, window, x, y, button, down, code) {
    if (ended) return;
    const fields = new Int32Array(page.kEventFields);
    fields[page.kKindField] = kind;
    fields[page.kWindowField] = window;
    fields[page.kXField] = x | 0;
    fields[page.kYField] = y | 0;
    fields[page.kButtonField] = button | 0;
    fields[page.kDownField] = down ? 1 : 0;
    const name = new Uint8Array(fields.buffer, page.kKeyCodeField * 4, page.kKeyCodeBytes);
    for (let i = 0; code && i < code.length && i < page.kKeyCodeBytes; ++i) name[i] = code.charCodeAt(i) & 0x7F;
    unsent.push(fields);
    flush();
  }

  function flush() {
    if (!ring) return;
    const memory = heap32();
    let head = Atomics.load(memory, (ring >> 2) + page.kHeadWord);
    const tail = Atomics.load(memory, (ring >> 2) + page.kTailWord);
    let taken = 0;
    while (taken < unsent.length && ((head - tail) >>> 0) < ringSlots) {
      const slot = (ring >> 2) + page.kRingHeaderWords + (head & (ringSlots - 1)) * page.kEventFields;
      memory.set(unsent[taken++], slot);
      head = (head + 1) | 0;
    }
    unsent = unsent.slice(taken);
    Atomics.store(memory, (ring >> 2) + page.kHeadWord, head);
    Atomics.add(memory, wake >> 2, 1);
    Atomics.notify(memory, wake >> 2, 1);
    if (unsent.length) setTimeout(flush, 4);  // the ring is full: the program is busy, nothing is lost
  }

  // The pixel of the window under the pointer, at any enlargement.
  function pixelAt(w, e) {
    const r = w.canvas.getBoundingClientRect();
    return {x: Math.floor((e.clientX - r.left) * w.width / r.width), y: Math.floor((e.clientY - r.top) * w.height / r.height)};
  }

  function moveTo(w, e) {
    const p = pixelAt(w, e);
    if (p.x !== w.pointerX || p.y !== w.pointerY) send(kMove, w.id, p.x, p.y);
    w.pointerX = p.x;
    w.pointerY = p.y;
  }

  // A mouse or pen: its buttons as they are now.
  function mouse(w, e) {
    moveTo(w, e);
    const changed = (e.buttons ^ mouseButtons) & 7;
    for (const b of [{bit: 1, vk: VK_LBUTTON}, {bit: 2, vk: VK_RBUTTON}, {bit: 4, vk: VK_MBUTTON}])
      if (changed & b.bit) send(kButton, w.id, w.pointerX, w.pointerY, b.vk, e.buttons & b.bit);
    mouseButtons = e.buttons & 7;
  }

  // A finger aims before it fires: touching and moving moves the pointer with
  // no button held (the ship or the target pattern follows the finger), and
  // lifting it is a left click where it was lifted. A finger that stays about
  // half a second without moving is a whole right click at once (a ship
  // turns while the finger still rests); lifting it afterwards does nothing.
  // A click's press and release go together: the layer makes them last as
  // long as a person's click.
  function touchDown(w, e) {
    if (touch) return;
    moveTo(w, e);
    touch = {id: e.pointerId, w, x0: e.clientX, y0: e.clientY, moved: false, done: false};
    touch.timer = setTimeout(longPress, kLongPressMs);
  }

  function click(w, vk) {
    send(kButton, w.id, w.pointerX, w.pointerY, vk, true);
    send(kButton, w.id, w.pointerX, w.pointerY, vk, false);
  }

  function longPress() {
    if (!touch || touch.moved || touch.done) return;
    touch.done = true;
    click(touch.w, VK_RBUTTON);
  }

  function touchMove(e) {
    if (!touch || e.pointerId !== touch.id) return;
    moveTo(touch.w, e);
    if (!touch.moved && Math.hypot(e.clientX - touch.x0, e.clientY - touch.y0) > kLongPressSlopPx) {
      touch.moved = true;  // aiming: no long press any more
      clearTimeout(touch.timer);
    }
  }

  function touchUp(e, cancelled) {
    if (!touch || e.pointerId !== touch.id) return;
    clearTimeout(touch.timer);
    if (!cancelled) moveTo(touch.w, e);
    if (!touch.done && !cancelled) click(touch.w, VK_LBUTTON);
    touch = null;
  }

  function listen(w) {
    const c = w.canvas;
    c.addEventListener('contextmenu', e => e.preventDefault());
    c.addEventListener('pointerdown', e => {
      e.preventDefault();
      c.setPointerCapture(e.pointerId);
      e.pointerType === 'touch' ? touchDown(w, e) : mouse(w, e);
    });
    c.addEventListener('pointermove', e => (e.pointerType === 'touch' ? touchMove(e) : mouse(w, e)));
    c.addEventListener('pointerup', e => (e.pointerType === 'touch' ? touchUp(e, false) : mouse(w, e)));
    c.addEventListener('pointercancel', e => (e.pointerType === 'touch' ? touchUp(e, true) : mouse(w, e)));
  }

  function key(e, down) {
    if (!windows.size || document.querySelector('dialog[open]') || e.ctrlKey || e.metaKey) return;
    if (!e.code || e.code.length > page.kKeyCodeBytes) return;
    e.preventDefault();  // the program's key now (it maps the name: key_table.h)
    if (!(down && e.repeat)) send(kKey, 0, 0, 0, 0, down, e.code);
  }
  addEventListener('keydown', e => key(e, true));
  addEventListener('keyup', e => key(e, false));

  // ---- frames up from the program ------------------------------------------------

  // On the animation frame after a publish: the newest frame of each window,
  // into its frame as the program drew it, then onto the canvas at its size.
  function paint() {
    const buffer = wasmMemory.buffer;
    const memory = new Int32Array(buffer);
    Atomics.store(memory, paintWanted >> 2, 0);  // before looking: a later publish asks again
    for (const w of windows.values()) {
      if (!(Atomics.load(memory, w.state >> 2) & kFresh)) continue;
      w.front = Atomics.exchange(memory, w.state >> 2, w.front) & 3;
      const bytes = w.width * w.height * 4;
      w.image.data.set(new Uint8Array(buffer, w.pixels + w.front * bytes, bytes));
      w.context.putImageData(w.image, 0, 0);
      show(w);
      w.framesShown++;
    }
  }

  function show(w) {
    w.view.imageSmoothingEnabled = false;  // each pixel of the frame a whole square of the canvas's
    w.view.drawImage(w.context.canvas, 0, 0, w.canvas.width, w.canvas.height);
  }

  // The room the page gives a window: the desk less its padding, the
  // window's title bar and the program's output below.
  function room(w) {
    const desk = element('desk'), style = getComputedStyle(desk);
    const output = element('output').hidden ? 0 : element('output').offsetHeight;
    return {
      x: Math.max(1, desk.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight)),
      y: Math.max(1, desk.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom) -
                     w.caption.offsetHeight - output),
    };
  }

  // How large a window shows. Enlarged by the largest whole factor of the
  // screen's own pixels when that leaves it at least three quarters of the
  // room's width or height: every pixel a sharp square, as on a desktop
  // screen. Otherwise (a phone, a tablet) as large as the room allows: the
  // canvas holds the frame enlarged by a whole factor to at least that size,
  // and the browser scales it down smoothly, so text stays readable.
  function fit(w) {
    const ratio = devicePixelRatio || 1, space = room(w);
    const whole = Math.floor(Math.min(space.x * ratio / w.width, space.y * ratio / w.height));
    const wholeScale = whole / ratio;  // CSS pixels per pixel of the window
    const fills = w.width * wholeScale >= 0.75 * space.x || w.height * wholeScale >= 0.75 * space.y;
    const scale = whole >= 1 && fills ? wholeScale : Math.min(space.x / w.width, space.y / w.height);
    const enlarged = whole >= 1 && fills ? 1 : Math.max(1, Math.ceil(scale * ratio - 1e-6));
    if (w.canvas.width !== w.width * enlarged) {
      w.canvas.width = w.width * enlarged;
      w.canvas.height = w.height * enlarged;
      show(w);
    }
    w.canvas.style.imageRendering = enlarged === 1 && whole >= 1 && fills ? 'pixelated' : 'auto';
    w.canvas.style.width = w.width * scale + 'px';
    w.canvas.style.height = w.height * scale + 'px';
  }
  addEventListener('resize', () => windows.forEach(fit));

  // The screen's refreshes per second, from the animation frames while the
  // program loads (60 until known; a hidden page has none).
  let refreshRate = 60;
  (function measureRefresh() {
    const times = [];
    requestAnimationFrame(function tick(now) {
      times.push(now);
      if (times.length < 16) return requestAnimationFrame(tick);
      const gaps = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
      const median = gaps[gaps.length >> 1];
      if (median > 2) refreshRate = Math.max(24, Math.min(360, Math.round(1000 / median)));
    });
  })();

  // ---- what web_display.cpp calls, on this thread --------------------------------

  function attach(eventRing, slots, wakeWord, paintWantedWord) {
    ring = eventRing;
    ringSlots = slots;
    wake = wakeWord;
    paintWanted = paintWantedWord;
    flush();
    return innerWidth;
  }

  // The page's full screen, turned to landscape where the browser allows it
  // (phones and tablets): the button in each title bar, where there is one.
  const kFullScreenIcon = '<svg viewBox="0 0 16 16" width="16" height="16" fill="none" stroke="currentColor" ' +
                          'stroke-width="1.6"><path d="M1 5V1h4M11 1h4v4M15 11v4h-4M5 15H1v-4"/></svg>';

  function toggleFullScreen() {
    if (document.fullscreenElement) return document.exitFullscreen().catch(() => {});
    document.documentElement.requestFullscreen({navigationUI: 'hide'}).then(() => {
      if (screen.orientation && screen.orientation.lock) return screen.orientation.lock('landscape');
    }).catch(() => {});  // refused, or no turning: the page stays as it is
  }
  document.addEventListener('fullscreenchange', () => windows.forEach(fit));

  function openWindow(id, width, height, title, pixels, state) {
    const frame = document.createElement('section');
    frame.className = 'window';
    frame.hidden = true;
    frame.innerHTML = '<div class="caption"><span></span>' +
                      (document.fullscreenEnabled ? '<button type="button" class="full" title="Full screen">' +
                                                    kFullScreenIcon + '</button>' : '') +
                      '<button type="button" class="close" title="Close">×</button></div>';
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.tabIndex = 0;
    frame.appendChild(canvas);
    element('desk').appendChild(frame);
    // The frame as the program drew it, one pixel each; the canvas shows it enlarged (fit).
    const drawn = document.createElement('canvas');
    drawn.width = width;
    drawn.height = height;
    const context = drawn.getContext('2d', {alpha: false});
    const w = {id, width, height, pixels, state, frame, canvas, context, front: 2, framesShown: 0,
               view: canvas.getContext('2d', {alpha: false}), caption: frame.querySelector('.caption'),
               image: context.createImageData(width, height)};
    frame.querySelector('.close').addEventListener('click', () => send(kClose, id, 0, 0));
    const full = frame.querySelector('.full');
    if (full) full.addEventListener('click', toggleFullScreen);
    windows.set(id, w);
    listen(w);
    setTitle(id, title);
  }

  function removeWindow(id) {
    const w = windows.get(id);
    if (!w) return;
    w.frame.remove();
    windows.delete(id);
    if (touch && touch.w === w) touch = null;
  }

  function setVisible(id, visible) {
    const w = windows.get(id);
    if (!w) return;
    w.frame.hidden = !visible;
    if (visible) {
      notice('');
      fit(w);
      w.canvas.focus({preventScroll: true});
      document.title = w.title;
      document.dispatchEvent(new Event('winlayer-window-shown'));  // the page's start keeps the site then
    }
  }

  function setTitle(id, title) {
    const w = windows.get(id);
    if (!w) return;
    w.title = title;
    w.caption.querySelector('span').textContent = title;
    if (!w.frame.hidden || windows.size === 1) document.title = title;
  }

  function showMessage(caption, text, buttons, dismissed, answer) {
    const dialog = document.createElement('dialog');
    dialog.className = 'message';
    dialog.innerHTML = '<h2></h2><p></p><div class="buttons"></div>';
    dialog.querySelector('h2').textContent = caption;
    dialog.querySelector('p').textContent = text;
    const choose = id => {
      dialog.close();
      dialog.remove();
      const memory = heap32();
      Atomics.store(memory, answer >> 2, id);
      Atomics.notify(memory, answer >> 2);
    };
    for (const line of buttons.split('\n').filter(Boolean)) {
      const field = line.split('\t');  // the button's number and its label
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = field[1];
      b.addEventListener('click', () => choose(Number(field[0])));
      dialog.querySelector('.buttons').appendChild(b);
    }
    dialog.addEventListener('cancel', e => {
      e.preventDefault();
      choose(dismissed);
    });
    document.body.appendChild(dialog);
    dialog.showModal();
    dialog.querySelector('button').focus();
  }

  function write(text, kind) {
    const output = element('output');
    const line = document.createElement('div');
    line.className = kind;
    line.textContent = text;
    output.appendChild(line);
    if (output.hidden) {
      output.hidden = false;
      windows.forEach(fit);
    }
  }

  function end(text) {
    ended = true;
    if (touch) clearTimeout(touch.timer);
    touch = null;
    element('desk').classList.add('ended');
    notice(text + ' Reload to play again.');
  }

  Module.winlayer = {attach, screenHeight: () => innerHeight, refreshRate: () => refreshRate, openWindow, removeWindow, setVisible, setTitle,
                     showMessage, paintSoon: () => requestAnimationFrame(paint), windows};
  Module.print = text => write(text, 'out');
  Module.printErr = text => {
    console.warn(text);
    write(text, 'err');
  };
  Module.setStatus = text => {
    if (!ended && !windows.size) notice(text || 'Starting…');
  };
  Module.onExit = status => end(status ? 'The program has ended (status ' + status + ').' : 'The program has ended.');
  Module.onAbort = what => end('The program stopped (' + what + ').');
  // The layer's variables (WINLAYER_FRAME_RATE, ...) as parameters of the address.
  Module.preRun = (Module.preRun || []).concat(() => {
    new URLSearchParams(location.search).forEach((value, name) => {
      if (/^WINLAYER_[A-Z_]+$/.test(name)) ENV[name] = value;
    });
  });
})();
