// The page's side of the browser build: the queue of the player's input and of the timers that the
// game's loop waits on, and the state that the page's other libraries share. Those libraries
// (page_*.js, linked after this one) each keep one concern under their own name; only this one
// defines ZP, since libraries are merged key by key and a second ZP would replace the first.
mergeInto(LibraryManager.library, {
  // The game's suites run the same calls under Node, which has no document.
  $ZP__postset: 'if (typeof document !== "undefined") ZP.init();',
  $ZP__deps: ['$ZPScreen', '$ZPInput', '$ZPTouch', '$ZPMenu', '$ZPHelp', '$ZPRecords'],
  $ZP: {
    queue: [],         // events waiting for the game: arrays of numbers
    texts: [],         // the text that goes with the event of the same place in queue
    takenText: '',
    wake: null,        // resumes the game's wait
    timers: {},        // 'hwnd:id' -> {interval, waiting}
    window: 0,         // the HWND the canvas shows
    canvas: null,
    context: null,
    modals: [],        // open boxes and dialogs, innermost last
    menu: null,        // the menu bar, once the game's window has one
    workerAsked: false,
    workerDelay: 3000,  // ms after the window shows

    // Runs inside the page, after its stylesheet (the game measures the page); index.html's first
    // script has begun the program's compile and the records' read before that.
    init: function() {
      ZP.program();
      ZP.canvas = document.getElementById('screen');
      ZP.context = ZP.canvas.getContext('2d', {alpha: false});
      ZPInput.init();
      ZPTouch.init();
      ZPHelp.init();
      document.getElementById('restart').addEventListener('click', function() { location.reload(); });
      ZPRecords.init();
      ZPScreen.init();
    },

    // The program as index.html began to compile it; fetched afresh should that have failed (a
    // server that does not call it application/wasm).
    program: function() {
      var compiled = window.zumBoot && zumBoot.program;
      if (!compiled) return;
      Module['instantiateWasm'] = function(imports, receive) {
        compiled.catch(function() {
          return fetch('zum32.wasm', {credentials: 'same-origin'}).then(function(response) {
            if (!response.ok) throw new Error('zum32.wasm: ' + response.status);
            return response.arrayBuffer();
          }).then(function(bytes) { return WebAssembly.compile(bytes); });
        }).then(function(module) {
          return WebAssembly.instantiate(module, imports).then(function(instance) {
            receive(instance, module);
          });
        }).catch(function(reason) { abort(reason); });
        return {};
      };
    },

    push: function(event, text) {
      ZP.queue.push(event);
      ZP.texts.push(text || '');
      if (ZP.wake) {
        var wake = ZP.wake;
        ZP.wake = null;
        // Resumed once this handler's stack has unwound: the game must not run inside it.
        Promise.resolve().then(function() { wake(0); });
      }
    },

    // Installed or not, the site plays without the network once it has been seen. Its files are
    // fetched and hashed for that a while after the game's first frame, so as never to hold up
    // that frame nor a reload that follows it at once.
    keepOffline: function() {
      if (ZP.workerAsked || !('serviceWorker' in navigator)) return;
      ZP.workerAsked = true;
      setTimeout(function() {
        navigator.serviceWorker.register('sw.js').catch(function() { ZP.push([8, 3]); });
      }, ZP.workerDelay);
    }
  },

  // Waits until the page has queued an event for the game.
  zum_wait_event: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      if (ZP.queue.length) wakeUp(0);
      else ZP.wake = wakeUp;
    });
  },
  zum_wait_event__deps: ['$ZP'],

  // Takes the next event into out (eight numbers); 0 when none waits, else its kind.
  zum_take_event: function(out) {
    if (!ZP.queue.length) return 0;
    var event = ZP.queue.shift();
    ZP.takenText = ZP.texts.shift();
    if (event[0] === 3) ZP.timers[event[1] + ':' + event[2]].waiting = false;
    for (var i = 0; i < 8; ++i) HEAP32[(out >> 2) + i] = i < event.length ? event[i] : 0;
    return event[0];
  },
  zum_take_event__deps: ['$ZP'],

  // The text of the event taken last, in UTF-8, cut to fit size bytes with its NUL.
  zum_event_text: function(buffer, size) {
    return stringToUTF8(ZP.takenText, buffer, size);
  },
  zum_event_text__deps: ['$ZP'],

  zum_timer_start: function(hwnd, id, ms) {
    var key = hwnd + ':' + id;
    var timer = ZP.timers[key] || (ZP.timers[key] = {interval: 0, waiting: false});
    clearInterval(timer.interval);
    // At most one elapse waits in the queue, as at most one WM_TIMER does.
    timer.interval = setInterval(function() {
      if (timer.waiting) return;
      timer.waiting = true;
      ZP.push([3, hwnd, id]);
    }, ms);
  },
  zum_timer_start__deps: ['$ZP'],

  zum_timer_stop: function(hwnd, id) {
    var timer = ZP.timers[hwnd + ':' + id];
    if (timer) clearInterval(timer.interval);
  },
  zum_timer_stop__deps: ['$ZP'],

  zum_page_texts: function(language, json) {
    document.documentElement.lang = UTF8ToString(language);
    JSON.parse(UTF8ToString(json)).forEach(function(t) {
      var element = document.getElementById(t[0]);
      if (t[1]) element.setAttribute(t[1], t[2]); else element.textContent = t[2];
    });
  },

  zum_game_ended: function(code) {
    ZPHelp.close();
    document.getElementById('game').hidden = true;
    document.getElementById('ended').hidden = false;
    Object.keys(ZP.timers).forEach(function(k) { clearInterval(ZP.timers[k].interval); });
  },
  zum_game_ended__deps: ['$ZP', '$ZPHelp'],
});
