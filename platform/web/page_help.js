// The help panel beside the game, showing the help pages.
mergeInto(LibraryManager.library, {
  $ZPHelp__deps: ['$ZP', '$ZPInput'],
  $ZPHelp: {
    init: function() {
      document.getElementById('help-close').addEventListener('click', function() { ZPHelp.close(); });
      document.getElementById('help-contents').addEventListener('click', function() { ZPHelp.open(); });
    },

    // The frame is made when the help first opens: a frame in the page from its start costs every
    // load and reload of the game the making and the tearing down of a document.
    frame: function() {
      var frame = document.getElementById('help-page');
      if (frame) return frame;
      var panel = document.getElementById('help');
      frame = document.createElement('iframe');
      frame.id = 'help-page';
      frame.title = panel.getAttribute('aria-label');
      // Keys pressed while a help page has the keyboard still reach the game's accelerators.
      frame.addEventListener('load', function() {
        var page = frame.contentDocument;
        if (!page) return;
        page.addEventListener('keydown', function(e) { ZPInput.onFrameKey(e, true); }, true);
        page.addEventListener('keyup', function(e) { ZPInput.onFrameKey(e, false); }, true);
      });
      panel.appendChild(frame);
      return frame;
    },

    // The first page of the book in the game's language, which page_texts.cpp puts on the panel.
    open: function() {
      ZPHelp.frame().src = document.getElementById('help').dataset.index;
    },

    close: function() {
      document.getElementById('help').hidden = true;
      var frame = document.getElementById('help-page');
      if (frame) frame.removeAttribute('src');
    }
  },

  zum_help_show: function() {
    ZPHelp.open();
    document.getElementById('help').hidden = false;
  },
  zum_help_show__deps: ['$ZP', '$ZPHelp'],

  zum_help_close: function() { ZPHelp.close(); },
  zum_help_close__deps: ['$ZP', '$ZPHelp']
});
