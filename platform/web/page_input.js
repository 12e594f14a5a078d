// The player's keys and mouse on the game's window, queued for the game as Windows' messages.
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
      if (down) ZPSound.gesture();
      var top = ZP.modals[ZP.modals.length - 1];
      if (top) {
        if (down) top.onKey(e);
        return;
      }
      if (ZP.menu && down && ZPMenu.key(e)) return;
      if (!ZP.window || document.getElementById('game').hidden) return;
      var vk = ZPInput.virtualKey(e);
      if (!vk) return;
      var mods = ZPInput.modifiers(e);
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
      var p = ZPInput.clientPoint(e);
      ZP.push([1, ZP.window, message, p[0], p[1], ZPInput.mouseKeys(e), Math.round(e.timeStamp)]);
    },

    onMouseDown: function(e) {
      var message = [0x0201, 0x0207, 0x0204][e.button];
      if (!message) return;
      e.preventDefault();
      if (ZP.menu) ZPMenu.close();
      ZPInput.captured = true;  // moves and the release go to the game until every button is up
      ZPInput.mouse(message, e);
    },

    onMouseMove: function(e) {
      if (ZPInput.captured || e.target === ZP.canvas) ZPInput.mouse(0x0200, e);
    },

    onMouseUp: function(e) {
      var message = [0x0202, 0x0208, 0x0205][e.button];
      if (message && (ZPInput.captured || e.target === ZP.canvas)) ZPInput.mouse(message, e);
      if (e.buttons === 0) ZPInput.captured = false;
    }
  }
});
