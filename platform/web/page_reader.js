// What a screen reader is given of the game, whose canvas it cannot read.
mergeInto(LibraryManager.library, {
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
});
