// The seam suite's hands on the page (tests/seam/driver_web.cpp): keys and
// clicks dispatched as the page's own events, where a player's would land,
// and what the page shows, read from its elements.

var KorvoDriver = {
  $KorvoDriver__deps: ['$KorvoPage'],
  $KorvoDriver: {
    KEYS: {0x0D: ['Enter', 'Enter'], 0x1B: ['Escape', 'Escape'], 0x09: ['Tab', 'Tab'], 0x20: [' ', 'Space']},

    keyInit: function(code, shift) {
      var named = KorvoDriver.KEYS[code];
      if (named) return {key: named[0], code: named[1], shiftKey: !!shift};
      if (code >= 0x70 && code < 0x70 + 24) {
        var f = 'F' + (code - 0x6F);
        return {key: f, code: f, shiftKey: !!shift};
      }
      var c = String.fromCharCode(code);
      if (code >= 0x41 && code <= 0x5A) return {key: shift ? c : c.toLowerCase(), code: 'Key' + c, shiftKey: !!shift};
      return {key: c, code: 'Digit' + c, shiftKey: !!shift};
    },

    send: function(target, type, init) {
      init.bubbles = true;
      init.cancelable = true;
      return target.dispatchEvent(new KeyboardEvent(type, init));
    },

    // A press as the mouse makes it: down (the window comes forward and a
    // button takes the focus), then the click.
    press: function(element) {
      element.dispatchEvent(new PointerEvent('pointerdown', {bubbles: true, cancelable: true, isPrimary: true}));
      element.dispatchEvent(new MouseEvent('mousedown', {bubbles: true, cancelable: true}));
      if (element.closest('button')) element.closest('button').focus();
      element.dispatchEvent(new PointerEvent('pointerup', {bubbles: true, cancelable: true, isPrimary: true}));
      element.click();
    },

    windowElement: function(id) {
      return KorvoPage.windows[id].element;
    },
  },

  korvo_test_ratio: function() {
    return window.devicePixelRatio || 1;
  },

  korvo_test_active__deps: ['$KorvoDriver'],
  korvo_test_active: function() {
    var win = KorvoPage.windows[KorvoPage.active];
    return win && win.shown ? win.id : 0;
  },

  korvo_test_shown__deps: ['$KorvoDriver'],
  korvo_test_shown: function(id) {
    var element = KorvoPage.elements[id];
    return element && element.isConnected && element.checkVisibility() ? 1 : 0;
  },

  korvo_test_open_windows__deps: ['$KorvoDriver'],
  korvo_test_open_windows: function(name) {
    var wanted = UTF8ToString(name);
    var count = 0;
    for (var id in KorvoPage.windows) {
      var win = KorvoPage.windows[id];
      if (win.shown && (!wanted || win.element.dataset.name === wanted)) ++count;
    }
    return count;
  },

  korvo_test_rect__deps: ['$KorvoDriver'],
  korvo_test_rect: function(id, part, rect) {
    var r = [0, 0, 0, 0];
    if (part === 3) {
      r = [0, 0, document.documentElement.clientWidth, document.documentElement.clientHeight];
    } else if (part === 0) {
      var e = KorvoDriver.windowElement(id);
      r = [e.offsetLeft, e.offsetTop, e.offsetWidth, e.offsetHeight];
    } else if (part === 1) {
      var win = KorvoPage.windows[id];
      r = KorvoPage.measure(win, function() { return [0, 0, win.client.offsetWidth, win.client.offsetHeight]; });
    } else {
      // Laid out even while its window is hidden, as the page lays it out.
      var element = KorvoPage.elements[id];
      r = KorvoPage.measure(KorvoPage.windowOf(element), function() {
        var box = element.getBoundingClientRect();
        var outer = element.parentElement.getBoundingClientRect();
        var x = box.left - outer.left, y = box.top - outer.top;
        return part === 4 ? [Math.round(x * 1000), Math.round(y * 1000), 0, 0]
                          : [Math.round(x), Math.round(y), Math.round(box.width), Math.round(box.height)];
      });
    }
    for (var i = 0; i < 4; ++i) HEAP32[(rect >> 2) + i] = r[i];
  },

  korvo_test_focused__deps: ['$KorvoDriver'],
  korvo_test_focused: function() {
    var win = KorvoPage.windows[KorvoPage.active];
    var focus = document.activeElement;
    return win && focus && win.element.contains(focus) && focus.dataset.korvo ? +focus.dataset.korvo : 0;
  },

  korvo_test_checked: function(id) {
    return KorvoPage.elements[id].getAttribute('aria-checked') === 'true' ? 1 : 0;
  },

  korvo_test_key__deps: ['$KorvoDriver'],
  korvo_test_key: function(code, shift, type) {
    var target = document.activeElement || document.body;
    var init = KorvoDriver.keyInit(code, shift);
    init.repeat = type === 1;
    KorvoDriver.send(target, type === 2 ? 'keyup' : 'keydown', init);
  },

  korvo_test_key_to__deps: ['$KorvoDriver'],
  korvo_test_key_to: function(window, code) {
    var target = KorvoDriver.windowElement(window);
    KorvoDriver.send(target, 'keydown', KorvoDriver.keyInit(code, false));
    KorvoDriver.send(target, 'keyup', KorvoDriver.keyInit(code, false));
  },

  korvo_test_click__deps: ['$KorvoDriver'],
  korvo_test_click: function(id) {
    KorvoDriver.press(KorvoPage.elements[id]);
  },

  korvo_test_click_at__deps: ['$KorvoDriver'],
  korvo_test_click_at: function(window, x, y) {
    var client = KorvoPage.windows[window].client.getBoundingClientRect();
    var target = document.elementFromPoint(client.left + x, client.top + y);
    if (target) KorvoDriver.press(target);
  },

  korvo_test_activate__deps: ['$KorvoDriver'],
  korvo_test_activate: function(window) {
    var element = KorvoDriver.windowElement(window);
    element.dispatchEvent(new PointerEvent('pointerdown', {bubbles: true, cancelable: true, isPrimary: true}));
  },

  korvo_test_pick__deps: ['$KorvoDriver'],
  korvo_test_pick: function(menu, item) {
    KorvoDriver.press(KorvoPage.elements[menu].firstElementChild);
    KorvoDriver.press(KorvoPage.elements[item]);
  },

  korvo_test_close__deps: ['$KorvoDriver'],
  korvo_test_close: function(window) {
    var close = KorvoDriver.windowElement(window).querySelector('.titlebar .close');
    if (close) KorvoDriver.press(close);
  },

  korvo_test_box__deps: ['$KorvoDriver'],
  korvo_test_box: function(title, text, size) {
    var box = KorvoPage.box;
    if (!box || !box.open) return 0;
    stringToUTF8(box.querySelector('#box-title').textContent, title, 256);
    stringToUTF8(box.querySelector('#box-text').textContent, text, size);
    return 1;
  },

  korvo_test_box_ok__deps: ['$KorvoDriver'],
  korvo_test_box_ok: function() {
    if (KorvoPage.box) KorvoPage.box.querySelector('.button').click();
  },

  korvo_test_done: function(code) {
    window.korvoSuite = {code: code};
  },
};

mergeInto(LibraryManager.library, KorvoDriver);
