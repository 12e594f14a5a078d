// The game's dialogs as page elements, laid out from their templates; the player's actions go
// back to the dialog manager.
mergeInto(LibraryManager.library, {
  $ZPDialog__deps: ['$ZP', '$ZPModal', '$ZPMenu'],
  $ZPDialog: {
    dialogs: {},  // by the dialog's HWND

    icon: function(pointer, size) {
      var bytes = HEAPU8.subarray(pointer, pointer + size);
      var binary = '';
      for (var i = 0; i < bytes.length; ++i) binary += String.fromCharCode(bytes[i]);
      return 'data:image/x-icon;base64,' + btoa(binary);
    },

    // The static text's '&' prefix, as the menu shows it, unless the control says no prefix.
    staticText: function(element, text, prefix) {
      element.textContent = '';
      if (!prefix) {
        element.textContent = text;
        return;
      }
      ZPMenu.label(element, text.replace(/\t/g, ' '));
    },

    setControlText: function(control, text) {
      var e = control.element;
      switch (control.kind) {
        case 'push': case 'default': e.textContent = text; break;
        case 'radio': control.label.textContent = text; break;
        case 'group': control.legend.textContent = text; break;
        case 'text': ZPDialog.staticText(e, text, control.prefix); ZPDialog.fitLine(control); break;
        case 'edit': e.value = text; break;
      }
    },

    // The templates were sized for the Windows font, and the player's may run wider: a static of
    // one line whose text would not fit is condensed just enough to keep it on that line.
    fitLine: function(control) {
      var e = control.element;
      if (!control.singleLine || !e.isConnected) return;
      var line = document.createElement('span');
      line.className = 'line';
      while (e.firstChild) line.appendChild(e.firstChild);
      e.appendChild(line);
      var room = e.clientWidth, width = line.getBoundingClientRect().width;
      if (width > room && width > 0) {
        line.classList.add('condensed');
        line.style.transform = 'scaleX(' + (room / width) + ')';
      }
    }
  },

  // Opens a dialog from its layout (JSON: caption, font, size, position, controls in tab order).
  // The player's actions come back as events of kind 6: [6, dialog, action, control index],
  // action 1 click, 2 Return, 3 Escape, 4 Tab, 5 Shift+Tab, 6 arrow forward, 7 arrow back,
  // 8 focus moved, 9 edit changed (with its text).
  zum_dialog_open: function(hwnd, json, iconPointer, iconSize) {
    var layout = JSON.parse(UTF8ToString(json));
    var f = ZPModal.frame(layout.caption, 'dialog-caption-' + hwnd);
    f.element.classList.add('dialog');
    f.client.style.width = layout.width + 'px';
    f.client.style.height = layout.height + 'px';
    f.client.style.font = layout.points * 4 / 3 + 'px ' + ZPModal.fontStack(layout.font);
    f.client.style.lineHeight = layout.lineHeight + 'px';
    var dialog = {element: f.element, controls: [], hwnd: hwnd};
    var send = function(action, index, text) { ZP.push([6, hwnd, action, index], text); };
    layout.controls.forEach(function(c, index) {
      var e, control = {kind: c.kind, prefix: c.prefix};
      switch (c.kind) {
        case 'push': case 'default':
          e = document.createElement('button');
          e.type = 'button';
          if (c.kind === 'default') e.classList.add('default');
          e.addEventListener('click', function() { send(1, index); });
          break;
        case 'radio':
          e = document.createElement('label');
          e.className = 'radio';
          control.input = document.createElement('input');
          control.input.type = 'radio';
          control.input.checked = c.checked;
          control.label = document.createElement('span');
          e.appendChild(control.input);
          e.appendChild(control.label);
          // The dialog manager sets the marks of the group; a canceled click would put back the
          // old mark after the manager's change, so the click goes through.
          control.input.addEventListener('click', function() { send(1, index); });
          break;
        case 'group':
          e = document.createElement('fieldset');
          control.legend = document.createElement('legend');
          e.appendChild(control.legend);
          break;
        case 'text':
          e = document.createElement('div');
          e.className = 'static align-' + c.align;
          break;
        case 'icon':
          e = document.createElement('img');
          e.alt = '';
          if (iconSize) e.src = ZPDialog.icon(iconPointer, iconSize);
          break;
        case 'frame':
          e = document.createElement('div');
          e.className = 'etched';
          break;
        case 'edit':
          e = document.createElement('input');
          e.type = 'text';
          e.spellcheck = false;
          e.autocomplete = 'off';
          e.className = 'edit align-' + c.align + (c.border ? ' border' : '');
          // Composition is sent once it is committed, so the byte limit never cuts a reading.
          var report = function(ev) { if (!ev.isComposing) send(9, index, e.value); };
          e.addEventListener('input', report);
          e.addEventListener('compositionend', function() { send(9, index, e.value); });
          break;
        default:
          e = document.createElement('div');
      }
      control.element = e;
      e.classList.add('control');
      e.style.left = c.x + 'px';
      e.style.top = c.y + 'px';
      e.style.width = c.width + 'px';
      e.style.height = c.height + 'px';
      if (c.disabled) {
        e.disabled = true;
        if (control.input) control.input.disabled = true;
      }
      if (!c.visible) e.hidden = true;
      var focusable = control.input || e;
      if (c.kind === 'push' || c.kind === 'default' || c.kind === 'radio' || c.kind === 'edit') {
        focusable.tabIndex = -1;  // Tab is the dialog manager's, in template order
        focusable.addEventListener('focus', function() { send(8, index); });
        control.focusable = focusable;
      }
      f.client.appendChild(e);
      control.singleLine = c.kind === 'text' && c.height < 2 * layout.lineHeight;
      ZPDialog.setControlText(control, c.text);
      dialog.controls.push(control);
    });
    dialog.onKey = function(e) {
      var control = dialog.controls.find(function(c) { return c.focusable === document.activeElement; });
      var onButton = control && control.kind !== 'edit';
      if (e.isComposing) return;
      if (e.key === 'Tab') send(e.shiftKey ? 5 : 4, -1);
      else if (e.key === 'Enter') send(2, -1);
      else if (e.key === 'Escape') send(3, -1);
      else if (onButton && (e.key === 'ArrowRight' || e.key === 'ArrowDown')) send(6, -1);
      else if (onButton && (e.key === 'ArrowLeft' || e.key === 'ArrowUp')) send(7, -1);
      else return;
      e.preventDefault();
    };
    dialog.restoreFocus = function() {
      var c = dialog.controls[dialog.focus];
      if (c && c.focusable) c.focusable.focus();
    };
    ZPDialog.dialogs[hwnd] = dialog;
    ZP.modals.push(dialog);
    ZPModal.centre(f.element);
  },
  zum_dialog_open__deps: ['$ZP', '$ZPDialog', '$ZPModal', '$ZPMenu'],

  zum_dialog_text: function(hwnd, index, text) {
    var dialog = ZPDialog.dialogs[hwnd];
    if (!dialog) return;
    if (index < 0) dialog.element.firstChild.textContent = UTF8ToString(text);
    else ZPDialog.setControlText(dialog.controls[index], UTF8ToString(text));
  },
  zum_dialog_text__deps: ['$ZP', '$ZPDialog', '$ZPModal', '$ZPMenu'],

  zum_dialog_check: function(hwnd, index, checked) {
    var dialog = ZPDialog.dialogs[hwnd];
    if (dialog && dialog.controls[index].input) dialog.controls[index].input.checked = !!checked;
  },
  zum_dialog_check__deps: ['$ZP', '$ZPDialog', '$ZPModal', '$ZPMenu'],

  zum_dialog_focus: function(hwnd, index) {
    var dialog = ZPDialog.dialogs[hwnd];
    if (!dialog) return;
    dialog.focus = index;
    var c = dialog.controls[index];
    if (c && c.focusable && document.activeElement !== c.focusable) c.focusable.focus();
  },
  zum_dialog_focus__deps: ['$ZP', '$ZPDialog', '$ZPModal', '$ZPMenu'],

  zum_dialog_close: function(hwnd) {
    var dialog = ZPDialog.dialogs[hwnd];
    if (!dialog) return;
    delete ZPDialog.dialogs[hwnd];
    ZPModal.unframe(dialog);
  },
  zum_dialog_close__deps: ['$ZP', '$ZPDialog', '$ZPModal', '$ZPMenu']
});
