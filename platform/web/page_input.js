// The player's keys and mouse on the game's window, handed to the game as they come;
// page_backend.cpp makes Windows' messages of them.
mergeInto(LibraryManager.library, {
  $ZPInput__deps: ['$ZP', '$ZPMenu', '$ZPSound'],
  $ZPInput: {
    captured: false,   // moves and the release go to the game until every button is up

    init: function() {
      document.addEventListener('keydown', function(e) { ZPInput.onKey(e, true); }, true);
      document.addEventListener('keyup', function(e) { ZPInput.onKey(e, false); }, true);
      ZP.canvas.addEventListener('mousedown', ZPInput.onMouseDown);
      window.addEventListener('mousemove', ZPInput.onMouseMove);
      window.addEventListener('mouseup', ZPInput.onMouseUp);
      ZP.canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      document.addEventListener('mousedown', function(e) {
        ZPSound.gesture();
        if (ZP.menu && ZP.menu.open >= 0 && !ZP.menu.bar.contains(e.target)) ZPMenu.close();
      }, true);
    },

    accelerators: [],  // [key name, modifier bits] of the game's accelerators

    // Shift, Control and Alt as bits 1, 2 and 4, as page_backend.cpp reads them.
    modifiers: function(e) {
      return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    },

    // The key goes to the game by its names; page_backend.cpp makes it a Windows key message.
    onKey: function(e, down) {
      if (down) ZPSound.gesture();
      var top = ZP.modals[ZP.modals.length - 1];
      if (top) {
        if (down) top.onKey(e);
        return;
      }
      if (ZP.menu && down && ZPMenu.key(e)) return;
      if (!ZP.window || document.getElementById('game').hidden) return;
      var mods = ZPInput.modifiers(e);
      ZP.push([2, ZP.window, down ? 1 : 0, mods, Math.round(e.timeStamp)], e.key + '\t' + e.code);
      // The game's accelerators and play keys are the game's, not the browser's; other keys keep
      // their browser meaning (reload, zoom, and so on).
      var play = !e.ctrlKey && !e.altKey && /^(Arrow(Left|Up|Right|Down)| |Enter)$/.test(e.key);
      if (ZPInput.isAccelerator(e) || play) e.preventDefault();
    },

    isAccelerator: function(e) {
      var key = e.key.length === 1 ? e.key.toUpperCase() : e.key, mods = ZPInput.modifiers(e);
      return ZPInput.accelerators.some(function(a) {
        return a[1] === mods && (a[0] === key || 'Key' + a[0] === e.code || 'Digit' + a[0] === e.code);
      });
    },

    // A key pressed while a help page has the keyboard: the game's accelerators still act.
    onFrameKey: function(e, down) {
      if (ZPInput.isAccelerator(e)) ZPInput.onKey(e, down);
    },

    // The place in the canvas's box, in 1/64 CSS pixel, with the box's size: page_backend.cpp
    // turns it into the game's pixel.
    mouse: function(action, e) {
      if (!ZP.window || ZP.modals.length) return;
      var rect = ZP.canvas.getBoundingClientRect();
      var flags = action | (e.button << 2) | ((e.buttons & 7) << 4) | (e.shiftKey ? 0x100 : 0) |
                  (e.ctrlKey ? 0x200 : 0);
      ZP.push([1, ZP.window, flags, Math.round((e.clientX - rect.left) * 64),
               Math.round((e.clientY - rect.top) * 64), Math.round(rect.width * 64),
               Math.round(rect.height * 64), Math.round(e.timeStamp)]);
    },

    onMouseDown: function(e) {
      if (e.button > 2) return;
      e.preventDefault();
      // A press on the game takes the keyboard back from the help page.
      if (document.activeElement && document.activeElement.tagName === 'IFRAME')
        document.getElementById('board').focus({preventScroll: true});
      if (ZP.menu) ZPMenu.close();
      ZPInput.captured = true;  // moves and the release go to the game until every button is up
      ZPInput.mouse(1, e);
    },

    onMouseMove: function(e) {
      if (ZPInput.captured || e.target === ZP.canvas) ZPInput.mouse(0, e);
    },

    onMouseUp: function(e) {
      if (e.button <= 2 && (ZPInput.captured || e.target === ZP.canvas)) ZPInput.mouse(2, e);
      if (e.buttons === 0) ZPInput.captured = false;
    }
  },

  zum_accelerators: function(json) { ZPInput.accelerators = JSON.parse(UTF8ToString(json)); },
  zum_accelerators__deps: ['$ZP', '$ZPInput']
});
