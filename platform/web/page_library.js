// The page's side of the browser build: the calls that platform/web makes to show the game's
// window, menu, boxes, dialogs and help, to play its cues and keep its records, and the queue of
// the player's input and the timers that the game's loop waits on.
var LibraryZumPage = {
  // The game's suites run the same calls under Node, which has no document.
  $ZP__postset: 'if (typeof document !== "undefined") ZP.init();',
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
    menu: null,
    audio: null,
    buffers: {},
    source: null,
    dbPromise: null,
    locks: {},
    captured: false,
    offered: null,     // the records file the player chose, until the game takes it

    init: function() {
      ZP.canvas = document.getElementById('screen');
      ZP.context = ZP.canvas.getContext('2d', {alpha: false});
      document.addEventListener('keydown', function(e) { ZP.onKey(e, true); }, true);
      document.addEventListener('keyup', function(e) { ZP.onKey(e, false); }, true);
      ZP.canvas.addEventListener('mousedown', ZP.onMouseDown);
      window.addEventListener('mousemove', ZP.onMouseMove);
      window.addEventListener('mouseup', ZP.onMouseUp);
      ZP.canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      document.addEventListener('mousedown', function(e) {
        ZP.gesture();
        if (ZP.menu && ZP.menu.open >= 0 && !ZP.menu.bar.contains(e.target)) ZP.menuClose();
      }, true);
      document.getElementById('help-close').addEventListener('click', function() { ZP.helpClose(); });
      document.getElementById('help-contents').addEventListener('click', function() {
        document.getElementById('help-page').src = 'help/index.html';
      });
      document.getElementById('restart').addEventListener('click', function() { location.reload(); });
      ZP.recordsItems();
      // The records are the game's first read: the storage opens while the program loads.
      ZP.database().catch(function() {});
      var watch = function() {
        var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
        query.addEventListener('change', function() { ZP.fitCanvas(); watch(); }, {once: true});
      };
      watch();
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

    // Browsers let sound start only from the player's own click or key.
    gesture: function() {
      if (ZP.audio && ZP.audio.state === 'suspended') ZP.audio.resume();
    },

    // The whole device pixels per game pixel that the desktop build uses, never a blur.
    fitCanvas: function() {
      var ratio = window.devicePixelRatio || 1;
      var factor = Math.max(1, Math.floor(ratio + 0.5));
      ZP.canvas.style.width = (ZP.canvas.width * factor / ratio) + 'px';
      ZP.canvas.style.height = (ZP.canvas.height * factor / ratio) + 'px';
    },

    // ---- input ----
    virtualKey: function(e) {
      var k = e.key;
      if (k.length === 1 && /[A-Za-z0-9]/.test(k)) return k.toUpperCase().charCodeAt(0);
      if (/^Key[A-Z]$/.test(e.code)) return e.code.charCodeAt(3);
      if (/^Digit[0-9]$/.test(e.code)) return e.code.charCodeAt(5);
      var f = /^F([0-9]+)$/.exec(k);
      if (f && +f[1] >= 1 && +f[1] <= 24) return 0x6F + +f[1];
      var names = {
        Enter: 0x0D, Escape: 0x1B, Tab: 0x09, Backspace: 0x08, ' ': 0x20, Shift: 0x10,
        Control: 0x11, Alt: 0x12, PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24,
        ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Insert: 0x2D,
        Delete: 0x2E
      };
      return names[k] || 0;
    },

    // MK_SHIFT, MK_CONTROL and the Alt bit the core keeps with a key message.
    modifiers: function(e) {
      return (e.shiftKey ? 0x04 : 0) | (e.ctrlKey ? 0x08 : 0) | (e.altKey ? 0x20 : 0);
    },

    onKey: function(e, down) {
      if (down) ZP.gesture();
      var top = ZP.modals[ZP.modals.length - 1];
      if (top) {
        if (down) top.onKey(e);
        return;
      }
      if (ZP.menu && down && ZP.menuKey(e)) return;
      if (!ZP.window || document.getElementById('game').hidden) return;
      var vk = ZP.virtualKey(e);
      if (!vk) return;
      var mods = ZP.modifiers(e);
      if (vk === 0x12) mods |= 0x20;
      var system = (mods & 0x20) !== 0;
      var message = down ? (system ? 0x0104 : 0x0100) : (system ? 0x0105 : 0x0101);
      ZP.push([2, ZP.window, message, vk, mods, Math.round(e.timeStamp)]);
      // The game's accelerators and play keys are the game's, not the browser's; other keys keep
      // their browser meaning (reload, zoom, and so on).
      var accelerator = e.ctrlKey && !e.altKey && !e.shiftKey && 'NTPH'.indexOf(String.fromCharCode(vk)) >= 0;
      var play = !e.ctrlKey && !e.altKey && ((vk >= 0x25 && vk <= 0x28) || vk === 0x20 || vk === 0x0D);
      if (accelerator || play) e.preventDefault();
    },

    clientPoint: function(e) {
      var rect = ZP.canvas.getBoundingClientRect();
      return [Math.floor((e.clientX - rect.left) * ZP.canvas.width / rect.width),
              Math.floor((e.clientY - rect.top) * ZP.canvas.height / rect.height)];
    },

    mouseKeys: function(e) {
      return ((e.buttons & 1) ? 0x01 : 0) | ((e.buttons & 2) ? 0x02 : 0) |
             ((e.buttons & 4) ? 0x10 : 0) | (e.shiftKey ? 0x04 : 0) | (e.ctrlKey ? 0x08 : 0);
    },

    mouse: function(message, e) {
      if (!ZP.window || ZP.modals.length) return;
      var p = ZP.clientPoint(e);
      ZP.push([1, ZP.window, message, p[0], p[1], ZP.mouseKeys(e), Math.round(e.timeStamp)]);
    },

    onMouseDown: function(e) {
      var message = [0x0201, 0x0207, 0x0204][e.button];
      if (!message) return;
      e.preventDefault();
      if (ZP.menu) ZP.menuClose();
      ZP.captured = true;  // moves and the release go to the game until every button is up
      ZP.mouse(message, e);
    },

    onMouseMove: function(e) {
      if (ZP.captured || e.target === ZP.canvas) ZP.mouse(0x0200, e);
    },

    onMouseUp: function(e) {
      var message = [0x0202, 0x0208, 0x0205][e.button];
      if (message && (ZP.captured || e.target === ZP.canvas)) ZP.mouse(message, e);
      if (e.buttons === 0) ZP.captured = false;
    },

    // ---- menu bar ----
    // "&X" underlines X; a tab starts the accelerator's column.
    menuLabel: function(element, text) {
      var parts = text.split('\t');
      var label = document.createElement('span');
      label.className = 'label';
      var t = parts[0];
      for (var i = 0; i < t.length; ++i) {
        if (t[i] === '&' && i + 1 < t.length) {
          ++i;
          if (t[i] === '&') {
            label.appendChild(document.createTextNode('&'));
          } else {
            var u = document.createElement('u');
            u.textContent = t[i];
            label.appendChild(u);
          }
        } else {
          label.appendChild(document.createTextNode(t[i]));
        }
      }
      element.appendChild(label);
      if (parts.length > 1) {
        var key = document.createElement('span');
        key.className = 'accelerator';
        key.textContent = parts[1];
        element.appendChild(key);
      }
    },

    mnemonic: function(text) {
      var m = /&([^&])/.exec(text.split('\t')[0]);
      return m ? m[1].toUpperCase() : '';
    },

    menuBuild: function(tree) {
      var bar = document.getElementById('menubar');
      bar.textContent = '';
      ZP.menu = {bar: bar, tops: [], open: -1, active: -1, items: {}};
      tree.forEach(function(top, index) {
        var head = document.createElement('div');
        head.className = 'menu-top';
        head.setAttribute('role', 'menuitem');
        ZP.menuLabel(head, top.text);
        var popup = document.createElement('div');
        popup.className = 'menu-popup';
        popup.setAttribute('role', 'menu');
        popup.hidden = true;
        var entries = [];
        top.items.forEach(function(item) {
          var row = document.createElement('div');
          if (item.separator) {
            row.className = 'menu-separator';
            popup.appendChild(row);
            return;
          }
          row.className = 'menu-item';
          row.setAttribute('role', 'menuitem');
          ZP.menuLabel(row, item.text);
          var entry = {row: row, id: item.id, greyed: item.greyed, key: ZP.mnemonic(item.text)};
          row.classList.toggle('greyed', !!item.greyed);
          row.addEventListener('mouseenter', function() { ZP.menuActivate(entries.indexOf(entry)); });
          row.addEventListener('click', function() { ZP.menuChoose(entry); });
          entries.push(entry);
          ZP.menu.items[item.id] = entry;
          popup.appendChild(row);
        });
        head.appendChild(popup);
        head.addEventListener('mousedown', function(e) {
          if (e.button !== 0 || popup.contains(e.target)) return;
          e.preventDefault();
          if (ZP.menu.open === index) ZP.menuClose(); else ZP.menuOpen(index, -1);
        });
        head.addEventListener('mouseenter', function() {
          if (ZP.menu.open >= 0 && ZP.menu.open !== index) ZP.menuOpen(index, -1);
        });
        ZP.menu.tops.push({head: head, popup: popup, entries: entries, key: ZP.mnemonic(top.text)});
        bar.appendChild(head);
      });
    },

    menuOpen: function(index, active) {
      ZP.menuClose();
      var top = ZP.menu.tops[index];
      ZP.menu.open = index;
      top.head.classList.add('open');
      top.popup.hidden = false;
      ZP.menuActivate(active);
    },

    menuClose: function() {
      if (!ZP.menu || ZP.menu.open < 0) return;
      var top = ZP.menu.tops[ZP.menu.open];
      top.head.classList.remove('open');
      top.popup.hidden = true;
      ZP.menu.open = -1;
      ZP.menuActivate(-1);
    },

    menuActivate: function(index) {
      if (ZP.menu.open < 0) return;
      var entries = ZP.menu.tops[ZP.menu.open].entries;
      entries.forEach(function(entry, i) { entry.row.classList.toggle('active', i === index); });
      ZP.menu.active = index;
    },

    // Greyed items are skipped when stepping, as Windows' menus do.
    menuStep: function(delta) {
      var entries = ZP.menu.tops[ZP.menu.open].entries;
      var i = ZP.menu.active;
      for (var n = 0; n < entries.length; ++n) {
        i = (i + delta + entries.length) % entries.length;
        if (!entries[i].greyed) break;
      }
      ZP.menuActivate(i);
    },

    menuChoose: function(entry) {
      if (entry.greyed) return;
      ZP.menuClose();
      ZP.push([4, ZP.window, entry.id]);
    },

    // Alt+mnemonic opens a menu; in an open menu the arrows, Return, Escape and the items'
    // mnemonics act. True when the key was the menu's.
    menuKey: function(e) {
      var key = e.key.length === 1 ? e.key.toUpperCase() : e.key;
      var m = ZP.menu;
      if (m.open < 0) {
        if (!e.altKey || e.ctrlKey) return false;
        for (var i = 0; i < m.tops.length; ++i) {
          if (m.tops[i].key && (m.tops[i].key === key || 'Key' + m.tops[i].key === e.code)) {
            e.preventDefault();
            ZP.menuOpen(i, -1);
            ZP.menuStep(1);
            return true;
          }
        }
        return false;
      }
      e.preventDefault();
      var entries = m.tops[m.open].entries;
      if (key === 'ArrowDown') ZP.menuStep(1);
      else if (key === 'ArrowUp') ZP.menuStep(-1);
      else if (key === 'ArrowRight' || key === 'ArrowLeft') {
        ZP.menuOpen((m.open + (key === 'ArrowRight' ? 1 : m.tops.length - 1)) % m.tops.length, -1);
        ZP.menuStep(1);
      } else if (key === 'Enter' || key === ' ') {
        if (m.active >= 0) ZP.menuChoose(entries[m.active]);
      } else if (key === 'Escape' || key === 'Alt') {
        ZP.menuClose();
      } else {
        for (var j = 0; j < entries.length; ++j)
          if (entries[j].key && (entries[j].key === key || 'Key' + entries[j].key === e.code)) {
            ZP.menuChoose(entries[j]);
            break;
          }
      }
      return true;
    },

    // ---- boxes and dialogs ----
    fontStack: function(name) {
      var gothic = '"Hiragino Kaku Gothic ProN", "Hiragino Sans", Meiryo, "Yu Gothic", ' +
                   '"Noto Sans CJK JP", "Noto Sans JP", "Source Han Sans JP", sans-serif';
      if (/^(ＭＳ ゴシック|MS Gothic)$/i.test(name))
        return 'IPAGothic, "IPAゴシック", "MS Gothic", "ＭＳ ゴシック", "Osaka-Mono", ' +
               '"Noto Sans Mono CJK JP", monospace';
      return 'IPAPGothic, "IPAPゴシック", "MS PGothic", "ＭＳ Ｐゴシック", ' + gothic;
    },

    // A window of the page's own: caption bar and client area, over the modal layer.
    frame: function(caption, labelledBy) {
      var layer = document.getElementById('modal-layer');
      ZP.modals.forEach(function(m) { m.element.inert = true; });
      document.getElementById('desk').inert = true;
      layer.hidden = false;
      var element = document.createElement('div');
      element.className = 'modal window';
      element.setAttribute('role', 'dialog');
      element.setAttribute('aria-modal', 'true');
      var bar = document.createElement('div');
      bar.className = 'caption';
      bar.id = labelledBy;
      bar.textContent = caption;
      element.setAttribute('aria-labelledby', labelledBy);
      element.appendChild(bar);
      var client = document.createElement('div');
      client.className = 'client';
      element.appendChild(client);
      layer.appendChild(element);
      return {element: element, client: client};
    },

    // Keeps a window inside the page, with its top-left at left, top where there is room.
    place: function(element, left, top) {
      var width = element.offsetWidth, height = element.offsetHeight;
      left = Math.max(0, Math.min(left, window.innerWidth - width));
      top = Math.max(0, Math.min(top, window.innerHeight - height));
      element.style.left = left + 'px';
      element.style.top = top + 'px';
    },

    unframe: function(modal) {
      var i = ZP.modals.indexOf(modal);
      if (i >= 0) ZP.modals.splice(i, 1);
      modal.element.remove();
      var top = ZP.modals[ZP.modals.length - 1];
      if (top) {
        top.element.inert = false;
        if (top.restoreFocus) top.restoreFocus();
      } else {
        document.getElementById('modal-layer').hidden = true;
        document.getElementById('desk').inert = false;
      }
    },

    ownerOrigin: function() {
      var game = document.getElementById('game');
      if (game.hidden) return null;
      return ZP.canvas.getBoundingClientRect();
    },

    dialogs: {},  // by the dialog's HWND

    icon: function(pointer, size) {
      var bytes = HEAPU8.subarray(pointer, pointer + size);
      var binary = '';
      for (var i = 0; i < bytes.length; ++i) binary += String.fromCharCode(bytes[i]);
      return 'data:image/x-icon;base64,' + btoa(binary);
    },

    // The static text's '&' prefix, as the menu shows it, unless the control says no prefix.
    staticText: function(element, text, prefix) {
      element.textContent = '';
      if (!prefix) {
        element.textContent = text;
        return;
      }
      ZP.menuLabel(element, text.replace(/\t/g, ' '));
    },

    setControlText: function(control, text) {
      var e = control.element;
      switch (control.kind) {
        case 'push': case 'default': e.textContent = text; break;
        case 'radio': control.label.textContent = text; break;
        case 'group': control.legend.textContent = text; break;
        case 'text': ZP.staticText(e, text, control.prefix); ZP.fitLine(control); break;
        case 'edit': e.value = text; break;
      }
    },

    // The templates were sized for the Windows font, and the player's may run wider: a static of
    // one line whose text would not fit is condensed just enough to keep it on that line.
    fitLine: function(control) {
      var e = control.element;
      if (!control.singleLine || !e.isConnected) return;
      var line = document.createElement('span');
      line.className = 'line';
      while (e.firstChild) line.appendChild(e.firstChild);
      e.appendChild(line);
      var room = e.clientWidth, width = line.getBoundingClientRect().width;
      if (width > room && width > 0) {
        line.classList.add('condensed');
        line.style.transform = 'scaleX(' + (room / width) + ')';
      }
    },

    helpClose: function() {
      document.getElementById('help').hidden = true;
      document.getElementById('help-page').removeAttribute('src');
    },

    // Installed or not, the site plays without the network once it has been seen. Its files are
    // fetched for that after the game's first frame, so as never to hold that frame up.
    keepOffline: function() {
      if (ZP.workerAsked || !('serviceWorker' in navigator)) return;
      ZP.workerAsked = true;
      requestAnimationFrame(function() {
        setTimeout(function() { navigator.serviceWorker.register('sw.js').catch(function() {}); }, 0);
      });
    },

    // ---- records ----
    // "記録を保存…" hands over the stored file as it is; "記録を読み込む…" gives the game the file
    // the player chose, which it checks and takes (records_import.cpp).
    recordsItems: function() {
      var chooser = document.getElementById('records-file');
      document.getElementById('records-load').addEventListener('click', function() { chooser.click(); });
      chooser.addEventListener('change', function() {
        var file = chooser.files[0];
        chooser.value = '';
        if (!file) return;
        // More than the game takes is never read: the size alone refuses it.
        file.slice(0, 65537).arrayBuffer().then(function(buffer) {
          ZP.offered = {bytes: new Uint8Array(buffer), size: file.size};
          ZP.push([7]);
        });
      });
      document.getElementById('records-save').addEventListener('click', function() {
        ZP.database().then(function(db) {
          var request = db.transaction('files', 'readonly').objectStore('files').get('zum32.ini');
          request.onsuccess = function() {
            if (!(request.result instanceof Uint8Array)) return;
            var link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([request.result], {type: 'application/octet-stream'}));
            link.download = 'ZUM32.INI';
            link.click();
            setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
          };
        });
      });
    },

    database: function() {
      if (!ZP.dbPromise) {
        ZP.dbPromise = new Promise(function(resolve, reject) {
          var request = indexedDB.open('zum32', 1);
          request.onupgradeneeded = function() { request.result.createObjectStore('files'); };
          request.onsuccess = function() { resolve(request.result); };
          request.onerror = function() { reject(request.error); };
        });
        // A failed open is tried again at the next use, in case the storage came back.
        ZP.dbPromise.catch(function() { ZP.dbPromise = null; });
      }
      return ZP.dbPromise;
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

  zum_window_show: function(hwnd, width, height) {
    ZP.window = hwnd;
    ZP.canvas.width = width;
    ZP.canvas.height = height;
    ZP.fitCanvas();
    document.getElementById('game').hidden = false;
    ZP.keepOffline();
  },
  zum_window_show__deps: ['$ZP'],

  zum_window_size: function(width, height) {
    if (ZP.canvas.width === width && ZP.canvas.height === height) return;
    ZP.canvas.width = width;
    ZP.canvas.height = height;
    ZP.fitCanvas();
  },
  zum_window_size__deps: ['$ZP'],

  zum_window_title: function(text) { document.title = UTF8ToString(text); },

  zum_window_destroyed: function(hwnd) {
    if (ZP.window !== hwnd) return;
    ZP.window = 0;
    document.getElementById('game').hidden = true;
  },
  zum_window_destroyed__deps: ['$ZP'],

  // Shows the RGBA pixels of one rectangle of the window's picture.
  zum_present: function(pixels, x, y, width, height) {
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    ZP.context.putImageData(new ImageData(bytes, width, height), x, y);
  },
  zum_present__deps: ['$ZP'],

  zum_menu_build: function(json) { ZP.menuBuild(JSON.parse(UTF8ToString(json))); },
  zum_menu_build__deps: ['$ZP'],

  zum_menu_greyed: function(id, greyed) {
    var entry = ZP.menu && ZP.menu.items[id];
    if (!entry) return;
    entry.greyed = !!greyed;
    entry.row.classList.toggle('greyed', !!greyed);
    entry.row.setAttribute('aria-disabled', greyed ? 'true' : 'false');
  },
  zum_menu_greyed__deps: ['$ZP'],

  // A message box with the stop icon (or none) and OK, which Return, Space and Escape close;
  // its closing comes back as an event of kind 5 with the box's number.
  zum_box_open: function(text, caption, stop) {
    var number = (ZP.boxCount = (ZP.boxCount || 0) + 1);
    var f = ZP.frame(UTF8ToString(caption), 'box-caption-' + number);
    f.element.classList.add('message-box');
    f.element.setAttribute('role', 'alertdialog');
    var body = document.createElement('div');
    body.className = 'box-body';
    if (stop) {
      var icon = document.createElement('div');
      icon.className = 'stop-icon';
      icon.setAttribute('aria-hidden', 'true');
      body.appendChild(icon);
    }
    var message = document.createElement('p');
    message.className = 'box-text';
    message.id = 'box-text-' + number;
    message.textContent = UTF8ToString(text).replace(/\r/g, '');
    body.appendChild(message);
    f.element.setAttribute('aria-describedby', message.id);
    f.client.appendChild(body);
    var buttons = document.createElement('div');
    buttons.className = 'box-buttons';
    var ok = document.createElement('button');
    ok.className = 'default';
    ok.textContent = 'OK';
    buttons.appendChild(ok);
    f.client.appendChild(buttons);
    var modal = {element: f.element, closed: false};
    var close = function() {
      if (modal.closed) return;
      modal.closed = true;
      ZP.unframe(modal);
      ZP.push([5, number]);
    };
    ok.addEventListener('click', close);
    modal.onKey = function(e) {
      if (e.key === 'Enter' || e.key === 'Escape' || (e.key === ' ' && e.target !== ok)) {
        e.preventDefault();
        close();
      } else if (e.key === 'Tab') {
        e.preventDefault();
        ok.focus();
      }
    };
    modal.restoreFocus = function() { ok.focus(); };
    ZP.modals.push(modal);
    var origin = ZP.ownerOrigin();
    var width = f.element.offsetWidth, height = f.element.offsetHeight;
    if (origin)
      ZP.place(f.element, origin.left + (origin.width - width) / 2, origin.top + (origin.height - height) / 2);
    else
      ZP.place(f.element, (window.innerWidth - width) / 2, (window.innerHeight - height) / 2);
    ok.focus();
    return number;
  },
  zum_box_open__deps: ['$ZP'],

  // Base units of a dialog font as the page draws it: the width of A-Z a-z and the height.
  zum_font_metrics: function(name, points, out) {
    var context = document.createElement('canvas').getContext('2d');
    context.font = (points * 4 / 3) + 'px ' + ZP.fontStack(UTF8ToString(name));
    var m = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
    HEAP32[out >> 2] = Math.round(m.width);
    HEAP32[(out >> 2) + 1] = Math.round(m.fontBoundingBoxAscent) + Math.round(m.fontBoundingBoxDescent);
  },
  zum_font_metrics__deps: ['$ZP'],

  // Opens a dialog from its layout (JSON: caption, font, size, position, controls in tab order).
  // The player's actions come back as events of kind 6: [6, dialog, action, control index],
  // action 1 click, 2 Return, 3 Escape, 4 Tab, 5 Shift+Tab, 6 arrow forward, 7 arrow back,
  // 8 focus moved, 9 edit changed (with its text).
  zum_dialog_open: function(hwnd, json, iconPointer, iconSize) {
    var layout = JSON.parse(UTF8ToString(json));
    var f = ZP.frame(layout.caption, 'dialog-caption-' + hwnd);
    f.element.classList.add('dialog');
    f.client.style.width = layout.width + 'px';
    f.client.style.height = layout.height + 'px';
    f.client.style.font = layout.points * 4 / 3 + 'px ' + ZP.fontStack(layout.font);
    f.client.style.lineHeight = layout.lineHeight + 'px';
    var dialog = {element: f.element, controls: [], hwnd: hwnd};
    var send = function(action, index, text) { ZP.push([6, hwnd, action, index], text); };
    layout.controls.forEach(function(c, index) {
      var e, control = {kind: c.kind, prefix: c.prefix};
      switch (c.kind) {
        case 'push': case 'default':
          e = document.createElement('button');
          e.type = 'button';
          if (c.kind === 'default') e.classList.add('default');
          e.addEventListener('click', function() { send(1, index); });
          break;
        case 'radio':
          e = document.createElement('label');
          e.className = 'radio';
          control.input = document.createElement('input');
          control.input.type = 'radio';
          control.input.checked = c.checked;
          control.label = document.createElement('span');
          e.appendChild(control.input);
          e.appendChild(control.label);
          // The dialog manager sets the marks of the group; a canceled click would put back the
          // old mark after the manager's change, so the click goes through.
          control.input.addEventListener('click', function() { send(1, index); });
          break;
        case 'group':
          e = document.createElement('fieldset');
          control.legend = document.createElement('legend');
          e.appendChild(control.legend);
          break;
        case 'text':
          e = document.createElement('div');
          e.className = 'static align-' + c.align;
          break;
        case 'icon':
          e = document.createElement('img');
          e.alt = '';
          if (iconSize) e.src = ZP.icon(iconPointer, iconSize);
          break;
        case 'frame':
          e = document.createElement('div');
          e.className = 'etched';
          break;
        case 'edit':
          e = document.createElement('input');
          e.type = 'text';
          e.spellcheck = false;
          e.autocomplete = 'off';
          e.className = 'edit align-' + c.align + (c.border ? ' border' : '');
          // Composition is sent once it is committed, so the byte limit never cuts a reading.
          var report = function(ev) { if (!ev.isComposing) send(9, index, e.value); };
          e.addEventListener('input', report);
          e.addEventListener('compositionend', function() { send(9, index, e.value); });
          break;
        default:
          e = document.createElement('div');
      }
      control.element = e;
      e.classList.add('control');
      e.style.left = c.x + 'px';
      e.style.top = c.y + 'px';
      e.style.width = c.width + 'px';
      e.style.height = c.height + 'px';
      if (c.disabled) {
        e.disabled = true;
        if (control.input) control.input.disabled = true;
      }
      if (!c.visible) e.hidden = true;
      var focusable = control.input || e;
      if (c.kind === 'push' || c.kind === 'default' || c.kind === 'radio' || c.kind === 'edit') {
        focusable.tabIndex = -1;  // Tab is the dialog manager's, in template order
        focusable.addEventListener('focus', function() { send(8, index); });
        control.focusable = focusable;
      }
      f.client.appendChild(e);
      control.singleLine = c.kind === 'text' && c.height < 2 * layout.lineHeight;
      ZP.setControlText(control, c.text);
      dialog.controls.push(control);
    });
    dialog.onKey = function(e) {
      var control = dialog.controls.find(function(c) { return c.focusable === document.activeElement; });
      var onButton = control && control.kind !== 'edit';
      if (e.isComposing) return;
      if (e.key === 'Tab') send(e.shiftKey ? 5 : 4, -1);
      else if (e.key === 'Enter') send(2, -1);
      else if (e.key === 'Escape') send(3, -1);
      else if (onButton && (e.key === 'ArrowRight' || e.key === 'ArrowDown')) send(6, -1);
      else if (onButton && (e.key === 'ArrowLeft' || e.key === 'ArrowUp')) send(7, -1);
      else return;
      e.preventDefault();
    };
    dialog.restoreFocus = function() {
      var c = dialog.controls[dialog.focus];
      if (c && c.focusable) c.focusable.focus();
    };
    ZP.dialogs[hwnd] = dialog;
    ZP.modals.push(dialog);
    var origin = ZP.ownerOrigin();
    var client = f.client.getBoundingClientRect(), outer = f.element.getBoundingClientRect();
    // The client area at the template's position from the owner's, as the desktop build puts it.
    var left = (origin ? origin.left : 0) + layout.x - (client.left - outer.left);
    var top = (origin ? origin.top : 0) + layout.y - (client.top - outer.top);
    ZP.place(f.element, left, top);
  },
  zum_dialog_open__deps: ['$ZP'],

  zum_dialog_text: function(hwnd, index, text) {
    var dialog = ZP.dialogs[hwnd];
    if (!dialog) return;
    if (index < 0) dialog.element.firstChild.textContent = UTF8ToString(text);
    else ZP.setControlText(dialog.controls[index], UTF8ToString(text));
  },
  zum_dialog_text__deps: ['$ZP'],

  zum_dialog_check: function(hwnd, index, checked) {
    var dialog = ZP.dialogs[hwnd];
    if (dialog && dialog.controls[index].input) dialog.controls[index].input.checked = !!checked;
  },
  zum_dialog_check__deps: ['$ZP'],

  zum_dialog_focus: function(hwnd, index) {
    var dialog = ZP.dialogs[hwnd];
    if (!dialog) return;
    dialog.focus = index;
    var c = dialog.controls[index];
    if (c && c.focusable && document.activeElement !== c.focusable) c.focusable.focus();
  },
  zum_dialog_focus__deps: ['$ZP'],

  zum_dialog_close: function(hwnd) {
    var dialog = ZP.dialogs[hwnd];
    if (!dialog) return;
    delete ZP.dialogs[hwnd];
    ZP.unframe(dialog);
  },
  zum_dialog_close__deps: ['$ZP'],

  zum_help_show: function() {
    var help = document.getElementById('help');
    document.getElementById('help-page').src = 'help/index.html';
    help.hidden = false;
  },
  zum_help_show__deps: ['$ZP'],

  zum_help_close: function() { ZP.helpClose(); },
  zum_help_close__deps: ['$ZP'],

  zum_game_ended: function(code) {
    ZP.helpClose();
    document.getElementById('game').hidden = true;
    document.getElementById('ended').hidden = false;
    Object.keys(ZP.timers).forEach(function(k) { clearInterval(ZP.timers[k].interval); });
  },
  zum_game_ended__deps: ['$ZP'],

  // ---- sound ----
  // Plays planar float samples as the only cue, stopping the one that sounds; a cue is decoded
  // once and kept by key. Silent until the page has an audio context the player let run.
  zum_sound_play: function(key, samples, frames, channels, rate) {
    try {
      if (!ZP.audio) {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        ZP.audio = new Context();
      }
      var buffer = ZP.buffers[key];
      if (!buffer || buffer.length !== frames || buffer.sampleRate !== rate) {
        buffer = ZP.audio.createBuffer(channels, frames, rate);
        for (var c = 0; c < channels; ++c)
          buffer.copyToChannel(HEAPF32.subarray((samples >> 2) + c * frames, (samples >> 2) + (c + 1) * frames), c);
        ZP.buffers[key] = buffer;
      }
      if (ZP.source) ZP.source.stop();
      ZP.source = ZP.audio.createBufferSource();
      ZP.source.buffer = buffer;
      ZP.source.connect(ZP.audio.destination);
      ZP.source.start();
    } catch (e) {
      // No audio: the game goes on in silence.
    }
  },
  zum_sound_play__deps: ['$ZP'],

  zum_sound_forget: function(key) { delete ZP.buffers[key]; },
  zum_sound_forget__deps: ['$ZP'],

  zum_sound_stop: function() {
    if (!ZP.source) return;
    try { ZP.source.stop(); } catch (e) {}
    ZP.source = null;
  },
  zum_sound_stop__deps: ['$ZP'],

  // ---- records: files in IndexedDB, locks shared by every tab ----
  // 0 with *bytes (malloc'd) and *size set, 1 when there is no such file, 2 when it failed.
  zum_store_load: function(name, bytesOut, sizeOut) {
    var key = UTF8ToString(name);
    return Asyncify.handleAsync(function() {
      return ZP.database().then(function(db) {
        return new Promise(function(resolve, reject) {
          var request = db.transaction('files', 'readonly').objectStore('files').get(key);
          request.onsuccess = function() { resolve(request.result); };
          request.onerror = function() { reject(request.error); };
        });
      }).then(function(value) {
        if (!(value instanceof Uint8Array)) return 1;
        var pointer = _malloc(Math.max(1, value.length));
        HEAPU8.set(value, pointer);
        HEAP32[bytesOut >> 2] = pointer;
        HEAP32[sizeOut >> 2] = value.length;
        return 0;
      }, function() { return 2; });
    });
  },
  zum_store_load__deps: ['$ZP', 'malloc'],

  // Stores the bytes as the file's, flushed before it answers: 1 when stored, 0 when not.
  zum_store_save: function(name, bytes, size) {
    var key = UTF8ToString(name);
    var value = HEAPU8.slice(bytes, bytes + size);
    return Asyncify.handleAsync(function() {
      return ZP.database().then(function(db) {
        return new Promise(function(resolve) {
          var transaction = db.transaction('files', 'readwrite', {durability: 'strict'});
          transaction.objectStore('files').put(value, key);
          transaction.oncomplete = function() { resolve(1); };
          transaction.onerror = transaction.onabort = function() { resolve(0); };
        });
      }).catch(function() { return 0; });
    });
  },
  zum_store_save__deps: ['$ZP'],

  zum_records_offered: function(buffer, capacity) {
    var offered = ZP.offered;
    ZP.offered = null;
    if (!offered) return -1;
    HEAPU8.set(offered.bytes.subarray(0, capacity), buffer);
    return offered.size;
  },
  zum_records_offered__deps: ['$ZP'],

  // Takes the lock of that name that every tab of the site sees: 1 when held, 0 when the wait
  // ran out (timeout ms; -1 waits for good). Without Web Locks a tab is alone with its records.
  zum_lock: function(name, timeout) {
    var key = UTF8ToString(name);
    return Asyncify.handleAsync(function() {
      if (!navigator.locks) return Promise.resolve(1);
      return new Promise(function(resolve) {
        var options = {};
        var timer = 0;
        if (timeout === 0) {
          options.ifAvailable = true;
        } else if (timeout > 0) {
          var controller = new AbortController();
          options.signal = controller.signal;
          timer = setTimeout(function() { controller.abort(); }, timeout);
        }
        navigator.locks.request(key, options, function(lock) {
          clearTimeout(timer);
          if (!lock) {
            resolve(0);
            return null;
          }
          resolve(1);
          return new Promise(function(release) { ZP.locks[key] = release; });
        }).catch(function() { resolve(0); });
      });
    });
  },
  zum_lock__deps: ['$ZP'],

  zum_unlock: function(name) {
    var key = UTF8ToString(name);
    var release = ZP.locks[key];
    delete ZP.locks[key];
    if (release) release();
  },
  zum_unlock__deps: ['$ZP'],

  // The canvas is hidden from screen readers; beside it, a grid of the board's cells whose active
  // descendant is the cursor's cell, and a polite live region for the outcomes.
  zum_reader_window: function(name, side, focus) {
    var grid = document.getElementById('board');
    grid.setAttribute('aria-label', UTF8ToString(name));
    if (grid.childElementCount !== side) {
      grid.textContent = '';
      for (var r = 0; r < side; r++) {
        var row = document.createElement('div');
        row.setAttribute('role', 'row');
        for (var c = 0; c < side; c++) {
          var cell = document.createElement('div');
          cell.setAttribute('role', 'gridcell');
          cell.id = 'cell-' + (r * side + c);
          row.appendChild(cell);
        }
        grid.appendChild(row);
      }
    }
    grid.removeAttribute('aria-activedescendant');
    if (focus && !document.querySelector('#modal-layer:not([hidden])')) grid.focus({preventScroll: true});
  },
  zum_reader_cell: function(index, name, focus) {
    var cell = document.getElementById('cell-' + index);
    if (!cell) return;
    cell.textContent = UTF8ToString(name);
    if (focus) document.getElementById('board').setAttribute('aria-activedescendant', cell.id);
  },
  zum_reader_say: function(text) {
    var said = document.getElementById('said'), words = UTF8ToString(text);
    // The same words twice in a row are still a new announcement.
    said.textContent = '';
    setTimeout(function() { said.textContent = words; }, 50);
  }
};

mergeInto(LibraryManager.library, LibraryZumPage);
