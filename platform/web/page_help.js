// The help panel beside the game, showing the help pages.
mergeInto(LibraryManager.library, {
  $ZPHelp__deps: ['$ZP', '$ZPInput'],
  $ZPHelp: {
    init: function() {
      var frame = document.getElementById('help-page');
      // Keys pressed while a help page has the keyboard still reach the game's accelerators.
      frame.addEventListener('load', function() {
        var page = frame.contentDocument;
        if (!page) return;
        page.addEventListener('keydown', function(e) { ZPInput.onFrameKey(e, true); }, true);
        page.addEventListener('keyup', function(e) { ZPInput.onFrameKey(e, false); }, true);
      });
      document.getElementById('help-close').addEventListener('click', function() { ZPHelp.close(); });
      document.getElementById('help-contents').addEventListener('click', function() { ZPHelp.open(); });
    },

    // The first page of the book in the game's language, which page_texts.cpp puts on the frame.
    open: function() {
      var frame = document.getElementById('help-page');
      frame.src = frame.dataset.index;
    },

    close: function() {
      document.getElementById('help').hidden = true;
      document.getElementById('help-page').removeAttribute('src');
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
