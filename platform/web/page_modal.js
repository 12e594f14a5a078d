// The page's windows of the game's own kind over the game: the frame that boxes and dialogs share,
// and the message box.
mergeInto(LibraryManager.library, {
  $ZPModal__deps: ['$ZP'],
  $ZPModal: {
    boxCount: 0,

    fontStack: function(name) {
      var gothic = '"Hiragino Kaku Gothic ProN", "Hiragino Sans", Meiryo, "Yu Gothic", ' +
                   '"Noto Sans CJK JP", "Noto Sans JP", "Source Han Sans JP", sans-serif';
      if (/^(ＭＳ ゴシック|MS Gothic)$/i.test(name))
        return 'IPAGothic, "IPAゴシック", "MS Gothic", "ＭＳ ゴシック", "Osaka-Mono", ' +
               '"Noto Sans Mono CJK JP", monospace';
      // The English dialogs' font, as the desktop maps it.
      if (/^MS Shell Dlg$/i.test(name))
        return '"DejaVu Sans", Tahoma, Verdana, "Segoe UI", sans-serif';
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

    // Centres a box or dialog over the game's window, or the viewport while none shows, and keeps
    // it inside the viewport.
    centre: function(element) {
      var game = document.getElementById('game');
      var over = game.hidden ? {left: 0, top: 0, width: window.innerWidth, height: window.innerHeight}
                             : game.getBoundingClientRect();
      ZPModal.place(element, over.left + (over.width - element.offsetWidth) / 2,
                    over.top + (over.height - element.offsetHeight) / 2);
    }
  },

  // A message box with the stop icon (or none) and OK, which Return, Space and Escape close;
  // its closing comes back as an event of kind 5 with the box's number.
  zum_box_open: function(text, caption, stop) {
    var number = (ZPModal.boxCount = (ZPModal.boxCount || 0) + 1);
    var f = ZPModal.frame(UTF8ToString(caption), 'box-caption-' + number);
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
      ZPModal.unframe(modal);
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
    ZPModal.centre(f.element);
    ok.focus();
    return number;
  },
  zum_box_open__deps: ['$ZP', '$ZPModal'],

  // Base units of a dialog font as the page draws it: the width of A-Z a-z and the height.
  zum_font_metrics: function(name, points, out) {
    var context = document.createElement('canvas').getContext('2d');
    context.font = (points * 4 / 3) + 'px ' + ZPModal.fontStack(UTF8ToString(name));
    var m = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
    HEAP32[out >> 2] = Math.round(m.width);
    HEAP32[(out >> 2) + 1] = Math.round(m.fontBoundingBoxAscent) + Math.round(m.fontBoundingBoxDescent);
  },
  zum_font_metrics__deps: ['$ZP', '$ZPModal']
});
