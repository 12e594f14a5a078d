// Fingers on the game's window. One finger plays: its touches go to page_backend.cpp, which makes
// them the mouse (a tap, a long press, a drag). Two fingers zoom the picture in whole device pixels
// and pan it, with the clue lines of the rows and columns in view pinned at its left and top.
mergeInto(LibraryManager.library, {
  $ZPTouch__deps: ['$ZP', '$ZPMenu', '$ZPSound'],
  $ZPTouch: {
    holdMs: 450,       // a finger still down this long is a long press
    view: null,        // the box that clips the picture
    strips: null,      // the pinned copies of the clue band: rows, columns, corner
    finger: null,      // the one playing finger: {id, timer}
    pinch: null,       // two fingers: where they started, and the zoom and pan then
    factor: 0,         // device pixels per game pixel now; the whole picture at base
    base: 0,
    panX: 0,           // CSS pixels of the picture left of and above the view
    panY: 0,
    band: 0,           // game pixels of the clue band at the left and the top; 0 while no board shows
    cell: 0,
    pending: 0,        // the frame that will copy the strips
    size: '',          // the picture's size in game pixels when base was set

    init: function() {
      ZPTouch.view = document.getElementById('view');
      ZPTouch.strips = ['pin-rows', 'pin-columns', 'pin-corner'].map(function(id) {
        var strip = document.getElementById(id);
        return {canvas: strip, context: strip.getContext('2d', {alpha: false})};
      });
      var view = ZPTouch.view;
      view.addEventListener('touchstart', ZPTouch.onStart, {passive: false});
      view.addEventListener('touchmove', ZPTouch.onMove, {passive: false});
      view.addEventListener('touchend', ZPTouch.onEnd, {passive: false});
      view.addEventListener('touchcancel', ZPTouch.onEnd, {passive: false});
    },

    // The place of a touch in the canvas's box, as the mouse's (page_input.js).
    send: function(action, touch, timeStamp) {
      var rect = ZP.canvas.getBoundingClientRect();
      ZP.push([9, ZP.window, action, Math.round((touch.clientX - rect.left) * 64),
               Math.round((touch.clientY - rect.top) * 64), Math.round(rect.width * 64),
               Math.round(rect.height * 64), Math.round(timeStamp)]);
    },

    find: function(list, id) {
      for (var i = 0; i < list.length; ++i) if (list[i].identifier === id) return list[i];
      return null;
    },

    onStart: function(e) {
      e.preventDefault();
      ZPSound.gesture();
      if (ZP.menu) ZPMenu.close();
      if (!ZP.window || ZP.modals.length) return;
      if (e.touches.length === 1 && !ZPTouch.pinch && e.target === ZP.canvas) {
        var touch = e.changedTouches[0];
        var finger = ZPTouch.finger = {id: touch.identifier, last: touch};
        ZPTouch.send(1, touch, e.timeStamp);
        finger.timer = setTimeout(function() {
          if (ZPTouch.finger === finger) ZPTouch.send(4, finger.last, performance.now());
        }, ZPTouch.holdMs);
      } else if (e.touches.length === 2) {
        ZPTouch.cancelFinger(e.timeStamp);
        var a = e.touches[0], b = e.touches[1];
        ZPTouch.pinch = {distance: Math.max(1, Math.hypot(a.clientX - b.clientX, a.clientY - b.clientY)),
                         x: (a.clientX + b.clientX) / 2, y: (a.clientY + b.clientY) / 2,
                         factor: ZPTouch.factor, panX: ZPTouch.panX, panY: ZPTouch.panY};
      }
    },

    onMove: function(e) {
      e.preventDefault();
      var finger = ZPTouch.finger, pinch = ZPTouch.pinch;
      if (finger) {
        var touch = ZPTouch.find(e.changedTouches, finger.id);
        if (touch) {
          finger.last = touch;
          ZPTouch.send(2, touch, e.timeStamp);
        }
      } else if (pinch && e.touches.length >= 2) {
        var a = e.touches[0], b = e.touches[1];
        var distance = Math.hypot(a.clientX - b.clientX, a.clientY - b.clientY);
        var x = (a.clientX + b.clientX) / 2, y = (a.clientY + b.clientY) / 2;
        var factor = Math.round(pinch.factor * distance / pinch.distance);
        ZPTouch.zoom(factor, pinch, x, y);
      }
    },

    onEnd: function(e) {
      e.preventDefault();
      ZPSound.gesture();  // browsers let sound start at a finger's lift
      var finger = ZPTouch.finger;
      if (finger) {
        var touch = ZPTouch.find(e.changedTouches, finger.id);
        if (touch) {
          clearTimeout(finger.timer);
          ZPTouch.finger = null;
          ZPTouch.send(e.type === 'touchcancel' ? 5 : 3, touch, e.timeStamp);
        }
      }
      if (e.touches.length === 0) ZPTouch.pinch = null;
    },

    // A second finger ends the first one's play: what it held is let go where it is.
    cancelFinger: function(timeStamp) {
      var finger = ZPTouch.finger;
      if (!finger) return;
      clearTimeout(finger.timer);
      ZPTouch.finger = null;
      ZPTouch.send(5, finger.last, timeStamp);
    },

    // The long press became a right click: felt, and seen where the finger is.
    held: function() {
      if (navigator.vibrate) navigator.vibrate(25);
      var view = ZPTouch.view;
      view.classList.remove('held');
      void view.offsetWidth;  // restarts the mark's animation
      view.classList.add('held');
    },

    // Zooms to factor device pixels per game pixel, keeping the picture's point that was under
    // (pinch.x, pinch.y) at the pinch's start under (x, y), and never past the picture's edges.
    zoom: function(factor, pinch, x, y) {
      var ratio = window.devicePixelRatio || 1;
      var most = Math.max(ZPTouch.base, Math.ceil(44 * ratio / Math.max(1, ZPTouch.cell)));
      factor = Math.max(ZPTouch.base, Math.min(most, factor));
      var box = ZPTouch.view.getBoundingClientRect();
      var gameX = (pinch.x - box.left + pinch.panX) * ratio / pinch.factor;
      var gameY = (pinch.y - box.top + pinch.panY) * ratio / pinch.factor;
      ZPTouch.factor = factor;
      ZPTouch.panX = gameX * factor / ratio - (x - box.left);
      ZPTouch.panY = gameY * factor / ratio - (y - box.top);
      ZPTouch.show();
    },

    // Sets the canvas's size and place for the zoom and pan, in whole device pixels.
    show: function() {
      var canvas = ZP.canvas, ratio = window.devicePixelRatio || 1, factor = ZPTouch.factor;
      var width = canvas.width * factor / ratio, height = canvas.height * factor / ratio;
      var box = ZPTouch.view;
      var room = {width: box.clientWidth, height: box.clientHeight};
      var clamp = function(pan, extent, space) {
        return Math.round(Math.max(0, Math.min(pan, extent - space)) * ratio) / ratio;
      };
      ZPTouch.panX = clamp(ZPTouch.panX, width, room.width);
      ZPTouch.panY = clamp(ZPTouch.panY, height, room.height);
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      canvas.style.transform = factor > ZPTouch.base ?
          'translate(' + -ZPTouch.panX + 'px,' + -ZPTouch.panY + 'px)' : '';
      ZPTouch.pin();
    },

    // The clue band of the rows and columns in view, copied from the canvas, over the picture at
    // the view's left and top edges while it is zoomed: along the rows or columns at the picture's
    // scale, so that each clue line stays beside its own, and across at the most whole device
    // pixels that leave the view mostly free.
    pin: function() {
      var zoomed = ZPTouch.factor > ZPTouch.base && ZPTouch.band > 0;
      var canvas = ZP.canvas, ratio = window.devicePixelRatio || 1, factor = ZPTouch.factor;
      var band = ZPTouch.band, view = ZPTouch.view;
      var across = function(room) {
        return Math.max(1, Math.min(factor, Math.floor(room * 0.4 * ratio / Math.max(1, band))));
      };
      // Not zoomed, the strips are hidden and the page is not laid out for them.
      var wide = zoomed ? across(view.clientWidth) : 1, tall = zoomed ? across(view.clientHeight) : 1;
      var parts = [[band, canvas.height, 0, -ZPTouch.panY, wide, factor],
                   [canvas.width, band, -ZPTouch.panX, 0, factor, tall], [band, band, 0, 0, wide, tall]];
      ZPTouch.strips.forEach(function(strip, i) {
        var part = parts[i], element = strip.canvas;
        element.hidden = !zoomed;
        if (!zoomed) {
          element.width = element.height = 0;  // no copy kept of a picture not zoomed
          return;
        }
        if (element.width !== part[0] || element.height !== part[1]) {
          element.width = part[0];
          element.height = part[1];
        }
        strip.context.drawImage(canvas, 0, 0, part[0], part[1], 0, 0, part[0], part[1]);
        element.style.width = part[0] * part[4] / ratio + 'px';
        element.style.height = part[1] * part[5] / ratio + 'px';
        element.style.transform = 'translate(' + part[2] + 'px,' + part[3] + 'px)';
      });
    },

    // The pinned strips follow the picture once a frame.
    changed: function() {
      if (ZPTouch.factor <= ZPTouch.base || ZPTouch.pending) return;
      ZPTouch.pending = requestAnimationFrame(function() {
        ZPTouch.pending = 0;
        ZPTouch.pin();
      });
    },

    // The picture whole at base device pixels per game pixel, unless only the viewport changed
    // (a browser's bar or the phone's keyboard), which keeps the zoom.
    reset: function(base) {
      var size = ZP.canvas.width + 'x' + ZP.canvas.height;
      if (base !== ZPTouch.base || size !== ZPTouch.size) {
        ZPTouch.base = ZPTouch.factor = base;
        ZPTouch.size = size;
        ZPTouch.panX = ZPTouch.panY = 0;
      }
      ZPTouch.show();
    }
  },

  zum_touch_held: function() { ZPTouch.held(); },
  zum_touch_held__deps: ['$ZPTouch'],

  // The clue band at the picture's left and top, and the side of a board cell, in game pixels.
  zum_board_layout: function(band, cell) {
    ZPTouch.band = band;
    ZPTouch.cell = cell;
    ZPTouch.pin();
  },
  zum_board_layout__deps: ['$ZPTouch']
});
