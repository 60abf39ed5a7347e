// The web backend's page: the forms' windows and controls as the page's own
// elements, and what the player does with them, queued for the program's
// loop (eventloop.cpp) to take one at a time. Linked with --js-library.

var KorvoLibrary = {
  $KorvoPage__deps: ['$Asyncify'],
  $KorvoPage: {
    // Event kinds, as page.h numbers them.
    CLICK: 1, KEY: 2, TICK: 3, CLOSE: 4, PICK: 5, ANSWER: 6, RELAYOUT: 7,
    REPEAT: 1, SHIFT: 2, ALT: 4,

    desktop: null,
    measurer: null,
    elements: {},   // id: element
    windows: {},    // id: what the page knows of a form's window
    timers: {},     // id: a running timer
    queue: [],
    wake: null,
    active: 0,      // the active window's id
    top: 10,        // the stacking order of windows and of controls
    bottom: -10,
    box: null,
    openMenu: null,
    name: '',
    ended: false,

    push: function(event) {
      KorvoPage.queue.push(event);
      if (KorvoPage.wake) KorvoPage.wake();
    },

    make: function(id, tag, parent, name, className) {
      var element = document.createElement(tag);
      element.className = className;
      if (name) element.dataset.name = name;
      element.dataset.korvo = id;
      KorvoPage.elements[id] = element;
      if (parent) KorvoPage.elements[parent].appendChild(element);
      return element;
    },

    // The client area or the frame that holds the controls of that id.
    container: function(id) {
      var win = KorvoPage.windows[id];
      return win ? win.client : KorvoPage.elements[id];
    },

    windowOf: function(element) {
      var node = element && element.closest ? element.closest('.window') : null;
      return node ? KorvoPage.windows[node.dataset.korvo] : null;
    },

    // A picture of the artwork, at its own size; nothing for no name.
    picture: function(name, title, width, height) {
      var img = document.createElement('img');
      img.draggable = false;
      img.alt = title;
      if (name) {
        img.src = 'art/' + name + '.svg';
        img.width = width;
        img.height = height;
      }
      return img;
    },

    // The tab's title is the active window's caption.
    title: function() {
      var win = KorvoPage.windows[KorvoPage.active];
      document.title = (win && win.caption) || KorvoPage.name || document.title;
    },

    activate: function(win) {
      if (!win || !win.shown) return;
      win.element.style.zIndex = ++KorvoPage.top;
      if (KorvoPage.active !== win.id) {
        var previous = KorvoPage.windows[KorvoPage.active];
        if (previous) previous.element.classList.remove('active');
        KorvoPage.active = win.id;
        win.element.classList.add('active');
        KorvoPage.title();
      }
      if (KorvoPage.box) return;
      var focus = KorvoPage.elements[win.focusId];
      if (focus && focus.offsetParent !== null) focus.focus({preventScroll: true});
      else if (!win.element.contains(document.activeElement)) win.element.focus({preventScroll: true});
    },

    // The front-most window left on the page.
    activateTop: function() {
      var best = null;
      for (var id in KorvoPage.windows) {
        var win = KorvoPage.windows[id];
        if (win.shown && (!best || +win.element.style.zIndex > +best.element.style.zIndex)) best = win;
      }
      KorvoPage.active = 0;
      if (best) KorvoPage.activate(best);
      else KorvoPage.title();
    },

    // A phone's viewport is narrower than the game: the whole desktop is
    // scaled to fit its width. `extra` is a window about to be placed.
    scale: function(extra) {
      var needed = extra ? extra.element.offsetWidth : 0;
      for (var id in KorvoPage.windows) {
        var win = KorvoPage.windows[id];
        if (win.shown) needed = Math.max(needed, win.element.offsetLeft + win.element.offsetWidth);
      }
      return Math.min(1, document.documentElement.clientWidth / Math.max(needed, 1));
    },

    fit: function() {
      var scale = KorvoPage.scale(null);
      KorvoPage.desktop.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    },

    // Laid out, even while hidden, so that it can be measured.
    measure: function(win, measure) {
      var style = win.element.style;
      var display = style.display;
      if (display === 'none') {
        style.visibility = 'hidden';
        style.display = '';
      }
      var result = measure(win.element);
      if (display === 'none') {
        style.display = 'none';
        style.visibility = '';
      }
      return result;
    },

    keyCode: function(e) {
      var key = e.key;
      if (key === 'Enter') return 0x0D;
      if (key === 'Escape') return 0x1B;
      if (key === 'Tab') return 0x09;
      if (key === ' ') return 0x20;
      var f = /^F([0-9]{1,2})$/.exec(key);
      if (f && +f[1] >= 1 && +f[1] <= 24) return 0x6F + +f[1];
      var code = /^(?:Key([A-Z])|Digit([0-9]))$/.exec(e.code || '');
      if (code) return (code[1] || code[2]).charCodeAt(0);
      if (key.length === 1 && /[a-z0-9]/i.test(key)) return key.toUpperCase().charCodeAt(0);
      return 0x10000 + (e.keyCode || 0);
    },

    character: function(e) {
      if (e.key === 'Enter') return 13;
      if (e.key === 'Escape') return 27;
      if (e.key === 'Tab') return 9;
      if (e.key === 'Backspace') return 8;
      return e.key.length === 1 || (e.key.length === 2 && e.key.codePointAt(0) > 0xFFFF) ? e.key.codePointAt(0) : 0;
    },

    // Whether the runtime takes the key from the browser: the keys a form
    // answers itself, its menus' shortcuts, and the browser's own help.
    takes: function(e, win, key) {
      if (e.key === 'Enter' || e.key === 'Escape' || e.key === 'Tab' || e.key === ' ' || e.key === 'F1') return true;
      if (e.altKey) return e.key.length === 1 && win.accessKeys.indexOf(e.key.toUpperCase()) >= 0;
      if (win.shortcuts.indexOf(key) >= 0) return true;
      return win.keyPreview && e.key.length === 1;
    },

    onKey: function(e) {
      if (KorvoPage.box || KorvoPage.ended || e.ctrlKey || e.metaKey) return;
      if (KorvoPage.menuKey(e)) return;
      var win = KorvoPage.windows[KorvoPage.active];
      if (!win || !win.shown) return;
      var key = KorvoPage.keyCode(e);
      if (e.key === 'F10' && win.menubar && win.shortcuts.indexOf(key) < 0) {
        e.preventDefault();
        KorvoPage.enterMenubar(win);
        return;
      }
      if (KorvoPage.takes(e, win, key)) e.preventDefault();
      KorvoPage.push({kind: KorvoPage.KEY, id: win.id, key: key, character: e.altKey && e.key.length === 1
                        ? e.key.toUpperCase().charCodeAt(0) : KorvoPage.character(e),
                      flags: (e.repeat ? KorvoPage.REPEAT : 0) | (e.shiftKey ? KorvoPage.SHIFT : 0)
                        | (e.altKey ? KorvoPage.ALT : 0)});
    },

    // Menus: a title opens its menu, an item is picked, and the keys of a
    // menu bar move between them.
    titles: function(menubar) {
      return Array.prototype.slice.call(menubar.querySelectorAll('.menu-title'));
    },

    items: function(menu) {
      return Array.prototype.slice.call(menu.querySelectorAll('.menu-item'));
    },

    showMenu: function(title, focusFirst) {
      KorvoPage.closeMenu(false);
      var menu = title.nextElementSibling;
      title.setAttribute('aria-expanded', 'true');
      title.classList.add('open');
      menu.hidden = false;
      KorvoPage.openMenu = title;
      var items = KorvoPage.items(menu);
      if (focusFirst && items.length) items[0].focus();
      else title.focus();
    },

    closeMenu: function(refocus) {
      var title = KorvoPage.openMenu;
      if (title) {
        title.setAttribute('aria-expanded', 'false');
        title.classList.remove('open');
        title.nextElementSibling.hidden = true;
        KorvoPage.openMenu = null;
      }
      if (refocus) KorvoPage.activate(KorvoPage.windowOf(refocus));
    },

    enterMenubar: function(win) {
      var titles = KorvoPage.titles(win.menubar);
      if (titles.length) titles[0].focus();
    },

    pick: function(item) {
      var id = +item.dataset.korvo;
      KorvoPage.closeMenu(item);
      KorvoPage.push({kind: KorvoPage.PICK, id: id});
    },

    // Keys while the menu bar or one of its menus has the focus; F-keys
    // still reach the window.
    menuKey: function(e) {
      var focus = document.activeElement;
      if (!focus || !focus.closest || !focus.closest('.menubar') || /^F[0-9]+$/.test(e.key)) return false;
      var menubar = focus.closest('.menubar');
      var titles = KorvoPage.titles(menubar);
      var title = focus.classList.contains('menu-title') ? focus : focus.closest('.menu-group').firstElementChild;
      var at = titles.indexOf(title);
      var inMenu = focus.classList.contains('menu-item');
      var step = function(list, from, by) { return list[(from + by + list.length) % list.length]; };
      switch (e.key) {
      case 'ArrowLeft':
      case 'ArrowRight':
        var next = step(titles, at, e.key === 'ArrowLeft' ? -1 : 1);
        if (KorvoPage.openMenu) KorvoPage.showMenu(next, true);
        else next.focus();
        break;
      case 'ArrowDown':
      case 'ArrowUp':
        if (!inMenu) {
          KorvoPage.showMenu(title, true);
        } else {
          var items = KorvoPage.items(focus.parentElement);
          step(items, items.indexOf(focus), e.key === 'ArrowUp' ? -1 : 1).focus();
        }
        break;
      case 'Enter':
      case ' ':
        if (inMenu) KorvoPage.pick(focus);
        else KorvoPage.showMenu(title, true);
        break;
      case 'Escape':
        if (KorvoPage.openMenu) {
          KorvoPage.closeMenu(false);
          title.focus();
        } else {
          KorvoPage.closeMenu(title);
        }
        break;
      case 'Tab':
      case 'F10':
      case 'Alt':
        KorvoPage.closeMenu(title);
        break;
      default:
        return true; // nothing else goes to the window while a menu is open
      }
      e.preventDefault();
      return true;
    },

    // A click on a window brings it to the front; a click anywhere else
    // closes an open menu.
    onPointerDown: function(e) {
      if (KorvoPage.box) return;
      if (KorvoPage.openMenu && !e.target.closest('.menu-group')) KorvoPage.closeMenu(false);
      var win = KorvoPage.windowOf(e.target);
      if (win && win.id !== KorvoPage.active) KorvoPage.activate(win);
      else if (win) win.element.style.zIndex = ++KorvoPage.top;
    },

    onFocusIn: function(e) {
      var win = KorvoPage.windowOf(e.target);
      if (win && e.target.classList.contains('button')) win.focusId = +e.target.dataset.korvo;
    },

    dropTicks: function(id) {
      KorvoPage.queue = KorvoPage.queue.filter(function(e) { return e.kind !== KorvoPage.TICK || e.id !== id; });
    },

    watchRatio: function() {
      var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
      query.addEventListener('change', function() {
        KorvoPage.push({kind: KorvoPage.RELAYOUT});
        KorvoPage.watchRatio();
      }, {once: true});
    },
  },

  korvo_page_start__deps: ['$KorvoPage'],
  korvo_page_start: function() {
    if (KorvoPage.desktop) return;
    var desktop = document.getElementById('desktop');
    if (!desktop) {
      desktop = document.createElement('div');
      desktop.id = 'desktop';
      document.body.appendChild(desktop);
    }
    KorvoPage.desktop = desktop;
    var measurer = document.createElement('span');
    measurer.className = 'measurer';
    measurer.setAttribute('aria-hidden', 'true');
    document.body.appendChild(measurer);
    KorvoPage.measurer = measurer;
    document.addEventListener('keydown', KorvoPage.onKey);
    document.addEventListener('keyup', function(e) {
      // Space acts as it goes down, never again as it comes up.
      if (!KorvoPage.box && e.key === ' ' && KorvoPage.windowOf(e.target)) e.preventDefault();
    });
    document.addEventListener('pointerdown', KorvoPage.onPointerDown, true);
    document.addEventListener('focusin', KorvoPage.onFocusIn);
    window.addEventListener('resize', KorvoPage.fit);
    if (document.fonts) {
      document.fonts.addEventListener('loadingdone', function() { KorvoPage.push({kind: KorvoPage.RELAYOUT}); });
    }
    KorvoPage.watchRatio();
  },

  korvo_page_name__deps: ['$KorvoPage'],
  korvo_page_name: function(name) {
    KorvoPage.name = UTF8ToString(name);
  },

  korvo_page_now: function() {
    return performance.now();
  },

  korvo_page_ratio: function() {
    return window.devicePixelRatio || 1;
  },

  korvo_page_next__deps: ['$KorvoPage'],
  korvo_page_next: function(event) {
    var e = KorvoPage.queue.shift();
    if (!e) return 0;
    HEAP32[event >> 2] = e.kind;
    HEAP32[(event >> 2) + 1] = e.id || 0;
    HEAP32[(event >> 2) + 2] = e.key || 0;
    HEAP32[(event >> 2) + 3] = e.character || 0;
    HEAP32[(event >> 2) + 4] = e.flags || 0;
    return 1;
  },

  korvo_page_wait__deps: ['$KorvoPage'],
  korvo_page_wait: function(timeout) {
    return Asyncify.handleSleep(function(wakeUp) {
      if (KorvoPage.queue.length) {
        wakeUp();
        return;
      }
      var timer = 0;
      KorvoPage.wake = function() {
        KorvoPage.wake = null;
        if (timer) clearTimeout(timer);
        wakeUp();
      };
      if (timeout >= 0) timer = setTimeout(KorvoPage.wake, timeout);
    });
  },

  korvo_page_clear__deps: ['$KorvoPage'],
  korvo_page_clear: function() {
    KorvoPage.queue = [];
    if (KorvoPage.box) KorvoPage.box.remove();
    KorvoPage.box = null;
    KorvoPage.closeMenu(false);
  },

  korvo_page_ended__deps: ['$KorvoPage'],
  korvo_page_ended: function(code) {
    KorvoPage.ended = true;
    for (var id in KorvoPage.timers) clearTimeout(KorvoPage.timers[id].handle);
    KorvoPage.timers = {};
    KorvoPage.desktop.replaceChildren();
    KorvoPage.desktop.style.transform = '';
    var panel = document.createElement('section');
    panel.className = 'ended';
    panel.setAttribute('aria-labelledby', 'ended-title');
    var heading = document.createElement('h1');
    heading.id = 'ended-title';
    heading.textContent = code === 0 ? 'Terminó el juego.' : 'El juego se cerró por un error.';
    var text = document.createElement('p');
    text.textContent = code === 0 ? '¡Gracias por jugar! Cuando quieras, tirá de nuevo.'
                                  : 'Perdón: volvé a empezar y seguí tirando.';
    var again = document.createElement('button');
    again.type = 'button';
    again.className = 'button default';
    again.textContent = 'Jugar de nuevo';
    again.addEventListener('click', function() { location.reload(); });
    panel.append(heading, text, again);
    KorvoPage.desktop.appendChild(panel);
    document.title = KorvoPage.name || document.title;
    again.focus();
  },

  korvo_box_show__deps: ['$KorvoPage'],
  korvo_box_show: function(title, text) {
    KorvoPage.closeMenu(false);
    var box = document.createElement('dialog');
    box.className = 'box';
    box.setAttribute('role', 'alertdialog');
    box.setAttribute('aria-labelledby', 'box-title');
    box.setAttribute('aria-describedby', 'box-text');
    var bar = document.createElement('div');
    bar.className = 'titlebar';
    var caption = document.createElement('span');
    caption.id = 'box-title';
    caption.className = 'caption';
    caption.textContent = UTF8ToString(title);
    var close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.tabIndex = -1;
    close.setAttribute('aria-label', 'Cerrar');
    bar.append(caption, close);
    var message = document.createElement('p');
    message.id = 'box-text';
    message.textContent = UTF8ToString(text);
    var ok = document.createElement('button');
    ok.type = 'button';
    ok.className = 'button default';
    ok.textContent = 'OK';
    box.append(bar, message, ok);
    var answer = function() {
      if (KorvoPage.box !== box) return;
      KorvoPage.push({kind: KorvoPage.ANSWER});
    };
    ok.addEventListener('click', answer);
    close.addEventListener('click', answer);
    // Esc answers as OK does; a key held down since before the box came up
    // does not answer it.
    box.addEventListener('cancel', function(e) { e.preventDefault(); answer(); });
    box.addEventListener('keydown', function(e) {
      if (e.repeat) e.preventDefault();
    });
    KorvoPage.box = box;
    document.body.appendChild(box);
    box.showModal();
    ok.focus();
  },

  korvo_box_close__deps: ['$KorvoPage'],
  korvo_box_close: function() {
    var box = KorvoPage.box;
    if (!box) return;
    KorvoPage.box = null;
    box.close();
    box.remove();
    KorvoPage.activate(KorvoPage.windows[KorvoPage.active]);
  },

  korvo_window_make__deps: ['$KorvoPage'],
  korvo_window_make: function(id, name, caption, role, look, width, height, back, icon) {
    var win = {id: id, caption: UTF8ToString(caption), shown: false, placed: false, focusId: 0,
               menubar: null, shortcuts: [], accessKeys: [], keyPreview: !!(look & 16)};
    var element = KorvoPage.make(id, 'section', 0, UTF8ToString(name), 'window');
    element.tabIndex = -1;
    element.style.display = 'none';
    var label = win.caption || KorvoPage.name || document.title;
    if (role === 1) element.setAttribute('role', 'dialog');
    element.setAttribute('aria-label', label);
    if (look & 8) element.classList.add('raised');
    if (look & 1) {
      var bar = document.createElement('div');
      bar.className = 'titlebar' + (look & 2 ? ' tool' : '');
      var iconName = UTF8ToString(icon);
      if (iconName && !(look & 2)) {
        var img = KorvoPage.picture(iconName, '', 16, 16);
        img.className = 'icon';
        bar.appendChild(img);
      }
      var text = document.createElement('span');
      text.className = 'caption';
      text.textContent = win.caption;
      bar.appendChild(text);
      if (look & 4) {
        var close = document.createElement('button');
        close.type = 'button';
        close.className = 'close';
        close.tabIndex = -1;
        close.setAttribute('aria-label', 'Cerrar');
        close.addEventListener('click', function() {
          if (!KorvoPage.box) KorvoPage.push({kind: KorvoPage.CLOSE, id: id});
        });
        bar.appendChild(close);
      }
      element.appendChild(bar);
    }
    var client = document.createElement('div');
    client.className = 'client';
    client.style.width = width + 'px';
    client.style.height = height + 'px';
    client.style.background = UTF8ToString(back);
    element.appendChild(client);
    win.element = element;
    win.client = client;
    KorvoPage.windows[id] = win;
    KorvoPage.desktop.appendChild(element);
  },

  korvo_window_first_focus__deps: ['$KorvoPage'],
  korvo_window_first_focus: function(id, control) {
    KorvoPage.windows[id].focusId = control;
  },

  korvo_window_size__deps: ['$KorvoPage'],
  korvo_window_size: function(id, width, height) {
    var size = KorvoPage.measure(KorvoPage.windows[id], function(e) { return [e.offsetWidth, e.offsetHeight]; });
    HEAP32[width >> 2] = size[0];
    HEAP32[height >> 2] = size[1];
  },

  korvo_screen__deps: ['$KorvoPage'],
  korvo_screen: function(id, width, height) {
    var win = KorvoPage.windows[id];
    var scale = win ? KorvoPage.measure(win, function() { return KorvoPage.scale(win); }) : 1;
    HEAP32[width >> 2] = Math.floor(document.documentElement.clientWidth / scale);
    HEAP32[height >> 2] = Math.floor(document.documentElement.clientHeight / scale);
  },

  korvo_window_move__deps: ['$KorvoPage'],
  korvo_window_move: function(id, x, y) {
    var win = KorvoPage.windows[id];
    win.placed = true;
    win.element.style.left = x + 'px';
    win.element.style.top = y + 'px';
  },

  korvo_window_show__deps: ['$KorvoPage'],
  korvo_window_show: function(id) {
    var win = KorvoPage.windows[id];
    if (!win.placed) {
      // Where the page puts new windows: its top-left corner.
      win.placed = true;
      win.element.style.left = '0px';
      win.element.style.top = '0px';
    }
    win.element.style.display = '';
    win.shown = true;
    KorvoPage.activate(win);
    KorvoPage.fit();
  },

  korvo_window_hide__deps: ['$KorvoPage'],
  korvo_window_hide: function(id) {
    var win = KorvoPage.windows[id];
    if (!win || !win.shown) return;
    win.shown = false;
    win.element.style.display = 'none';
    if (KorvoPage.openMenu && win.element.contains(KorvoPage.openMenu)) KorvoPage.closeMenu(false);
    if (KorvoPage.active === id) KorvoPage.activateTop();
    KorvoPage.fit();
  },

  korvo_window_focused__deps: ['$KorvoPage'],
  korvo_window_focused: function(id) {
    var win = KorvoPage.windows[id];
    return win ? win.focusId : 0;
  },

  korvo_remove__deps: ['$KorvoPage'],
  korvo_remove: function(id) {
    var element = KorvoPage.elements[id];
    if (element) element.remove();
    delete KorvoPage.elements[id];
    if (KorvoPage.windows[id]) {
      delete KorvoPage.windows[id];
      if (KorvoPage.active === id) KorvoPage.activateTop();
    }
  },

  korvo_label_make__deps: ['$KorvoPage'],
  korvo_label_make: function(id, parent, name, family, px, weight, italic, back, fore, align, wrap, accessibleName) {
    var counter = UTF8ToString(accessibleName);
    // A counter is read with what it counts.
    var element = KorvoPage.make(id, counter ? 'output' : 'div', 0, UTF8ToString(name), 'label');
    if (counter) element.setAttribute('aria-label', counter);
    var style = element.style;
    style.fontFamily = UTF8ToString(family);
    style.fontSize = px + 'px';
    style.fontWeight = String(weight);
    style.fontStyle = italic ? 'italic' : 'normal';
    style.background = UTF8ToString(back);
    style.color = UTF8ToString(fore);
    style.textAlign = ['left', 'right', 'center'][align];
    style.whiteSpace = wrap ? 'pre-wrap' : 'pre';
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_label_text__deps: ['$KorvoPage'],
  korvo_label_text: function(id, text) {
    KorvoPage.elements[id].textContent = UTF8ToString(text);
  },

  korvo_label_measure__deps: ['$KorvoPage'],
  korvo_label_measure: function(id, wrapWidth, width, height) {
    var label = KorvoPage.elements[id];
    var measurer = KorvoPage.measurer;
    ['fontFamily', 'fontSize', 'fontWeight', 'fontStyle'].forEach(function(p) { measurer.style[p] = label.style[p]; });
    measurer.style.whiteSpace = wrapWidth > 0 ? 'pre-wrap' : 'pre';
    measurer.style.width = wrapWidth > 0 ? wrapWidth + 'px' : '';
    measurer.textContent = label.textContent || ' ';
    var box = measurer.getBoundingClientRect();
    var text = label.textContent ? Math.ceil(box.width) : 0;
    if (wrapWidth > 0) {
      var range = document.createRange();
      range.selectNodeContents(measurer);
      text = Math.min(wrapWidth, Math.ceil(range.getBoundingClientRect().width));
    }
    HEAP32[width >> 2] = text;
    HEAP32[height >> 2] = Math.ceil(box.height);
  },

  korvo_image_make__deps: ['$KorvoPage'],
  korvo_image_make: function(id, parent, name, picture, title, width, height, stretch) {
    var element = KorvoPage.make(id, 'div', 0, UTF8ToString(name), 'image');
    var img = KorvoPage.picture(UTF8ToString(picture), UTF8ToString(title), width, height);
    if (stretch) img.className = 'stretch';
    element.appendChild(img);
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_picture_box_make__deps: ['$KorvoPage'],
  korvo_picture_box_make: function(id, parent, name, picture, title, width, height, back, border) {
    var element = KorvoPage.make(id, 'div', 0, UTF8ToString(name), 'picture-box' + (border ? ' sunken' : ''));
    element.style.background = UTF8ToString(back);
    element.appendChild(KorvoPage.picture(UTF8ToString(picture), UTF8ToString(title), width, height));
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_frame_make__deps: ['$KorvoPage'],
  korvo_frame_make: function(id, parent, name, caption, back, fore) {
    var element = KorvoPage.make(id, 'fieldset', 0, UTF8ToString(name), 'frame');
    element.style.background = UTF8ToString(back);
    element.style.color = UTF8ToString(fore);
    var text = UTF8ToString(caption);
    var groove = document.createElement('div');
    groove.className = 'groove' + (text ? ' captioned' : '');
    element.appendChild(groove);
    if (text) {
      var legend = document.createElement('legend');
      legend.textContent = text;
      element.insertBefore(legend, groove);
    }
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_button_make__deps: ['$KorvoPage'],
  korvo_button_make: function(id, parent, window, name, caption, isDefault) {
    var element = KorvoPage.make(id, 'button', 0, UTF8ToString(name), 'button' + (isDefault ? ' default' : ''));
    element.type = 'button';
    // '&' marks the access key, shown underlined; '&&' is an ampersand.
    var text = UTF8ToString(caption);
    var win = KorvoPage.windows[window];
    for (var i = 0; i < text.length; ++i) {
      if (text[i] === '&' && i + 1 < text.length) {
        ++i;
        if (text[i] !== '&' && !element.dataset.key) {
          var key = document.createElement('u');
          key.textContent = text[i];
          element.appendChild(key);
          element.dataset.key = text[i].toUpperCase();
          element.setAttribute('aria-keyshortcuts', 'Alt+' + element.dataset.key);
          win.accessKeys.push(element.dataset.key);
          continue;
        }
      }
      element.appendChild(document.createTextNode(text[i]));
    }
    element.normalize();
    element.addEventListener('click', function() {
      if (!KorvoPage.box) KorvoPage.push({kind: KorvoPage.CLICK, id: id});
    });
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_drawing_make__deps: ['$KorvoPage'],
  korvo_drawing_make: function(id, parent, name) {
    var element = KorvoPage.make(id, 'div', 0, UTF8ToString(name), 'drawing');
    element.setAttribute('aria-hidden', 'true');
    KorvoPage.container(parent).appendChild(element);
  },

  korvo_drawing_set__deps: ['$KorvoPage'],
  korvo_drawing_set: function(id, svg) {
    KorvoPage.elements[id].innerHTML = UTF8ToString(svg);
  },

  korvo_place__deps: ['$KorvoPage'],
  korvo_place: function(id, left, top, width, height) {
    // Only what changed is written: a ball's tick moves it and no more.
    var style = KorvoPage.elements[id].style;
    var transform = 'translate(' + left + 'px, ' + top + 'px)';
    if (style.transform !== transform) style.transform = transform;
    if (style.width !== width + 'px') style.width = width + 'px';
    if (style.height !== height + 'px') style.height = height + 'px';
  },

  korvo_set_visible__deps: ['$KorvoPage'],
  korvo_set_visible: function(id, visible) {
    KorvoPage.elements[id].hidden = !visible;
  },

  korvo_set_front__deps: ['$KorvoPage'],
  korvo_set_front: function(id, front) {
    KorvoPage.elements[id].style.zIndex = front ? ++KorvoPage.top : --KorvoPage.bottom;
  },

  korvo_focus__deps: ['$KorvoPage'],
  korvo_focus: function(id) {
    var element = KorvoPage.elements[id];
    var win = KorvoPage.windowOf(element);
    if (!win) return;
    win.focusId = id;
    if (win.id === KorvoPage.active && win.shown && !KorvoPage.box) element.focus({preventScroll: true});
  },

  // One tick, pushed when the page's clock reaches `at`; the program asks
  // for the next (its deadlines are the runtime's).
  korvo_timer_at__deps: ['$KorvoPage'],
  korvo_timer_at: function(id, at) {
    var timer = KorvoPage.timers[id] || (KorvoPage.timers[id] = {handle: 0});
    clearTimeout(timer.handle);
    // Whole milliseconds, rounded up: a browser drops the fraction.
    timer.handle = setTimeout(function() { KorvoPage.push({kind: KorvoPage.TICK, id: id}); },
                              Math.max(0, Math.ceil(at - performance.now())));
  },

  korvo_timer_stop__deps: ['$KorvoPage'],
  korvo_timer_stop: function(id) {
    var timer = KorvoPage.timers[id];
    if (timer) clearTimeout(timer.handle);
    delete KorvoPage.timers[id];
    KorvoPage.dropTicks(id);
  },

  korvo_menu_make__deps: ['$KorvoPage'],
  korvo_menu_make: function(id, window, name, caption) {
    var win = KorvoPage.windows[window];
    if (!win.menubar) {
      win.menubar = document.createElement('div');
      win.menubar.className = 'menubar';
      win.menubar.setAttribute('role', 'menubar');
      win.menubar.setAttribute('aria-label', win.caption || KorvoPage.name);
      win.element.insertBefore(win.menubar, win.client);
    }
    var group = KorvoPage.make(id, 'div', 0, UTF8ToString(name), 'menu-group');
    group.setAttribute('role', 'none');
    var title = document.createElement('div');
    title.className = 'menu-title';
    title.setAttribute('role', 'menuitem');
    title.setAttribute('aria-haspopup', 'menu');
    title.setAttribute('aria-expanded', 'false');
    title.tabIndex = -1;
    title.textContent = UTF8ToString(caption);
    var menu = document.createElement('div');
    menu.className = 'menu';
    menu.setAttribute('role', 'menu');
    menu.setAttribute('aria-label', title.textContent);
    menu.hidden = true;
    title.addEventListener('click', function() {
      if (KorvoPage.openMenu === title) KorvoPage.closeMenu(title);
      else KorvoPage.showMenu(title, false);
    });
    title.addEventListener('pointerenter', function() {
      if (KorvoPage.openMenu && KorvoPage.openMenu !== title) KorvoPage.showMenu(title, false);
    });
    group.append(title, menu);
    win.menubar.appendChild(group);
  },

  korvo_item_make__deps: ['$KorvoPage', 'korvo_item_checked'],
  korvo_item_make: function(id, menu, window, name, caption, shortcut, checkable, checked) {
    var element = KorvoPage.make(id, 'div', 0, UTF8ToString(name), 'menu-item');
    element.tabIndex = -1;
    var check = document.createElement('span');
    check.className = 'check';
    check.setAttribute('aria-hidden', 'true');
    var text = document.createElement('span');
    text.className = 'text';
    text.textContent = UTF8ToString(caption);
    element.append(check, text);
    var key = UTF8ToString(shortcut);
    if (key) {
      var shown = document.createElement('span');
      shown.className = 'shortcut';
      shown.setAttribute('aria-hidden', 'true');
      shown.textContent = key;
      element.appendChild(shown);
      element.setAttribute('aria-keyshortcuts', key);
      var f = /^F([0-9]{1,2})$/.exec(key);
      if (f) KorvoPage.windows[window].shortcuts.push(0x6F + +f[1]);
    }
    element.addEventListener('click', function() { KorvoPage.pick(element); });
    element.addEventListener('pointerenter', function() { element.focus({preventScroll: true}); });
    KorvoPage.elements[menu].lastElementChild.appendChild(element);
    _korvo_item_checked(id, checkable, checked);
  },

  korvo_item_checked__deps: ['$KorvoPage'],
  korvo_item_checked: function(id, checkable, checked) {
    var element = KorvoPage.elements[id];
    if (checkable || element.getAttribute('role') === 'menuitemcheckbox') {
      element.setAttribute('role', 'menuitemcheckbox');
      element.setAttribute('aria-checked', checked ? 'true' : 'false');
    } else {
      element.setAttribute('role', 'menuitem');
    }
    element.classList.toggle('checked', !!checked);
  },
};

mergeInto(LibraryManager.library, KorvoLibrary);
