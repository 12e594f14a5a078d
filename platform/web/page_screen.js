// The game's window on the page: the canvas that shows its picture, sized in whole device pixels.
mergeInto(LibraryManager.library, {
  $ZPScreen__deps: ['$ZP'],
  $ZPScreen: {
    init: function() {
      var watch = function() {
        var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
        query.addEventListener('change', function() { ZPScreen.fit(); watch(); }, {once: true});
      };
      watch();
      // A window moved to a screen of another ratio may see only a resize.
      window.addEventListener('resize', function() { ZPScreen.fit(); });
    },

    // Whole device pixels per game pixel, never a blur: as many as the desktop build uses where the
    // game's window and the records buttons then fit the viewport, else the most that fit, else one.
    fit: function() {
      var canvas = ZP.canvas, ratio = window.devicePixelRatio || 1;
      var column = document.getElementById('column');
      // The desk's margins, the window's frame and menu bar, the records buttons.
      var aroundWidth = 32 + document.getElementById('game').offsetWidth - canvas.offsetWidth;
      var aroundHeight = 32 + column.offsetHeight - canvas.offsetHeight;
      var factor = Math.max(1, Math.floor(ratio + 0.5));
      while (factor > 1 && (canvas.width * factor / ratio + aroundWidth > window.innerWidth ||
                            canvas.height * factor / ratio + aroundHeight > window.innerHeight))
        --factor;
      canvas.style.width = (canvas.width * factor / ratio) + 'px';
      canvas.style.height = (canvas.height * factor / ratio) + 'px';
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
  },
  zum_present__deps: ['$ZP', '$ZPScreen'],
});
