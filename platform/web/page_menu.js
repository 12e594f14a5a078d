// The game's menu bar, built from its menu resource: opened by the mouse or by Alt and the
// mnemonics, its items sent to the game as commands.
mergeInto(LibraryManager.library, {
  $ZPMenu__deps: ['$ZP'],
  $ZPMenu: {
    // "&X" underlines X; a tab starts the accelerator's column.
    label: function(element, text) {
      var parts = text.split('\t');
      var label = document.createElement('span');
      label.className = 'label';
      // One text node for each run between the underlined letters, not one for each letter.
      var run = '', t = parts[0];
      for (var i = 0; i < t.length; ++i) {
        if (t[i] === '&' && i + 1 < t.length && t[i + 1] !== '&') {
          if (run) label.append(run);
          var u = document.createElement('u');
          u.textContent = t[++i];
          label.appendChild(u);
          run = '';
        } else {
          if (t[i] === '&' && i + 1 < t.length) ++i;  // "&&" is one "&"
          run += t[i];
        }
      }
      if (run) label.append(run);
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

    build: function(tree) {
      var bar = document.getElementById('menubar');
      bar.textContent = '';
      ZP.menu = {bar: bar, tops: [], open: -1, active: -1, items: {}};
      tree.forEach(function(top, index) {
        var head = document.createElement('div');
        head.className = 'menu-top';
        head.setAttribute('role', 'menuitem');
        ZPMenu.label(head, top.text);
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
          ZPMenu.label(row, item.text);
          var entry = {row: row, id: item.id, greyed: item.greyed, key: ZPMenu.mnemonic(item.text)};
          row.classList.toggle('greyed', !!item.greyed);
          row.addEventListener('mouseenter', function() { ZPMenu.activate(entries.indexOf(entry)); });
          row.addEventListener('click', function() { ZPMenu.choose(entry); });
          entries.push(entry);
          ZP.menu.items[item.id] = entry;
          popup.appendChild(row);
        });
        head.appendChild(popup);
        head.addEventListener('mousedown', function(e) {
          if (e.button !== 0 || popup.contains(e.target)) return;
          e.preventDefault();
          if (ZP.menu.open === index) ZPMenu.close(); else ZPMenu.open(index, -1);
        });
        head.addEventListener('mouseenter', function() {
          if (ZP.menu.open >= 0 && ZP.menu.open !== index) ZPMenu.open(index, -1);
        });
        ZP.menu.tops.push({head: head, popup: popup, entries: entries, key: ZPMenu.mnemonic(top.text)});
        bar.appendChild(head);
      });
    },

    open: function(index, active) {
      ZPMenu.close();
      var top = ZP.menu.tops[index];
      ZP.menu.open = index;
      top.head.classList.add('open');
      top.popup.hidden = false;
      ZPMenu.activate(active);
    },

    close: function() {
      if (!ZP.menu || ZP.menu.open < 0) return;
      var top = ZP.menu.tops[ZP.menu.open];
      top.head.classList.remove('open');
      top.popup.hidden = true;
      ZP.menu.open = -1;
      ZPMenu.activate(-1);
    },

    activate: function(index) {
      if (ZP.menu.open < 0) return;
      var entries = ZP.menu.tops[ZP.menu.open].entries;
      entries.forEach(function(entry, i) { entry.row.classList.toggle('active', i === index); });
      ZP.menu.active = index;
    },

    // Greyed items are skipped when stepping, as Windows' menus do.
    step: function(delta) {
      var entries = ZP.menu.tops[ZP.menu.open].entries;
      var i = ZP.menu.active;
      for (var n = 0; n < entries.length; ++n) {
        i = (i + delta + entries.length) % entries.length;
        if (!entries[i].greyed) break;
      }
      ZPMenu.activate(i);
    },

    choose: function(entry) {
      if (entry.greyed) return;
      ZPMenu.close();
      ZP.push([4, ZP.window, entry.id]);
    },

    // Alt+mnemonic opens a menu; in an open menu the arrows, Return, Escape and the items'
    // mnemonics act. True when the key was the menu's.
    key: function(e) {
      var key = e.key.length === 1 ? e.key.toUpperCase() : e.key;
      var m = ZP.menu;
      if (m.open < 0) {
        if (!e.altKey || e.ctrlKey) return false;
        for (var i = 0; i < m.tops.length; ++i) {
          if (m.tops[i].key && (m.tops[i].key === key || 'Key' + m.tops[i].key === e.code)) {
            e.preventDefault();
            ZPMenu.open(i, -1);
            ZPMenu.step(1);
            return true;
          }
        }
        return false;
      }
      e.preventDefault();
      var entries = m.tops[m.open].entries;
      if (key === 'ArrowDown') ZPMenu.step(1);
      else if (key === 'ArrowUp') ZPMenu.step(-1);
      else if (key === 'ArrowRight' || key === 'ArrowLeft') {
        ZPMenu.open((m.open + (key === 'ArrowRight' ? 1 : m.tops.length - 1)) % m.tops.length, -1);
        ZPMenu.step(1);
      } else if (key === 'Enter' || key === ' ') {
        if (m.active >= 0) ZPMenu.choose(entries[m.active]);
      } else if (key === 'Escape' || key === 'Alt') {
        ZPMenu.close();
      } else {
        for (var j = 0; j < entries.length; ++j)
          if (entries[j].key && (entries[j].key === key || 'Key' + entries[j].key === e.code)) {
            ZPMenu.choose(entries[j]);
            break;
          }
      }
      return true;
    }
  },

  zum_menu_build: function(json) {
    ZPMenu.build(JSON.parse(UTF8ToString(json)));
    ZPScreen.fit();  // the bar takes its share of the window's height
  },
  zum_menu_build__deps: ['$ZP', '$ZPMenu', '$ZPScreen'],

  zum_menu_greyed: function(id, greyed) {
    var entry = ZP.menu && ZP.menu.items[id];
    if (!entry) return;
    entry.greyed = !!greyed;
    entry.row.classList.toggle('greyed', !!greyed);
    entry.row.setAttribute('aria-disabled', greyed ? 'true' : 'false');
  },
  zum_menu_greyed__deps: ['$ZP', '$ZPMenu']
});
