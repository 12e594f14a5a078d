// The game's window on the page: the canvas that shows its picture, sized in whole device pixels.
mergeInto(LibraryManager.library, {
  $ZPScreen__deps: ['$ZP', '$ZPTouch'],
  $ZPScreen: {
    fitting: false,

    init: function() {
      var watch = function() {
        var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
        query.addEventListener('change', function() { ZPScreen.fit(); watch(); }, {once: true});
      };
      watch();
      // A window moved to a screen of another ratio may see only a resize.
      window.addEventListener('resize', function() { ZPScreen.fit(); });
    },

    // Whole device pixels per game pixel, never a blur. With a mouse, as many as the desktop build
    // uses where the game's window and the records buttons then fit the viewport; with a finger,
    // as many as fit its width (and in landscape its height); else the most that fit, else one.
    fit: function() {
      // The game shows its window, builds its menu and sizes it in one run: the page is measured
      // once it has done, not at each step.
      if (ZPScreen.fitting) return;
      ZPScreen.fitting = true;
      queueMicrotask(function() {
        ZPScreen.fitting = false;
        ZPScreen.fitNow();
      });
    },

    fitNow: function() {
      var canvas = ZP.canvas, view = ZPTouch.view, ratio = window.devicePixelRatio || 1;
      var desk = getComputedStyle(document.getElementById('desk'));
      var column = document.getElementById('column');
      // The desk's margins, the window's frame and menu bar, the records buttons.
      var aroundWidth = parseFloat(desk.paddingLeft) + parseFloat(desk.paddingRight) +
                        document.getElementById('game').offsetWidth - view.offsetWidth;
      var aroundHeight = parseFloat(desk.paddingTop) + parseFloat(desk.paddingBottom) +
                         column.offsetHeight - view.offsetHeight;
      var finger = matchMedia('(pointer: coarse)').matches;
      var portrait = window.innerHeight > window.innerWidth;
      var factor = finger ? 64 : Math.max(1, Math.floor(ratio + 0.5));
      while (factor > 1 && (canvas.width * factor / ratio + aroundWidth > window.innerWidth ||
                            (!(finger && portrait) &&
                             canvas.height * factor / ratio + aroundHeight > window.innerHeight)))
        --factor;
      view.style.width = (canvas.width * factor / ratio) + 'px';
      view.style.height = (canvas.height * factor / ratio) + 'px';
      ZPTouch.reset(factor);
    }
  },

  zum_window_show: function(hwnd, width, height) {
    ZP.window = hwnd;
    ZP.canvas.width = width;
    ZP.canvas.height = height;
    document.getElementById('game').hidden = false;
    ZPScreen.fit();
    ZP.keepOffline();
  },
  zum_window_show__deps: ['$ZP', '$ZPScreen'],

  zum_window_size: function(width, height) {
    if (ZP.canvas.width === width && ZP.canvas.height === height) return;
    ZP.canvas.width = width;
    ZP.canvas.height = height;
    ZPScreen.fit();
  },
  zum_window_size__deps: ['$ZP', '$ZPScreen'],

  zum_window_title: function(text) { document.title = UTF8ToString(text); },

  zum_window_destroyed: function(hwnd) {
    if (ZP.window !== hwnd) return;
    ZP.window = 0;
    document.getElementById('game').hidden = true;
  },
  zum_window_destroyed__deps: ['$ZP', '$ZPScreen'],

  // Shows the RGBA pixels of one rectangle of the window's picture.
  zum_present: function(pixels, x, y, width, height) {
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    ZP.context.putImageData(new ImageData(bytes, width, height), x, y);
    ZPTouch.changed();
  },
  zum_present__deps: ['$ZP', '$ZPScreen'],
});
