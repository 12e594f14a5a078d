// The records: files in IndexedDB, locks shared by every tab, and the records file handed to and
// taken from the player.
mergeInto(LibraryManager.library, {
  $ZPRecords__deps: ['$ZP', 'malloc'],
  $ZPRecords: {
    dbPromise: null,
    locks: {},
    offered: null,     // the records file the player chose, until the game takes it
    early: null,       // the records file as read while the program loads, until the game looks

    init: function() {
      ZPRecords.items();
      // The records are the game's first read: they are read while the program loads, so that the
      // game finds them at hand instead of waiting for the storage in the middle of its start.
      ZPRecords.database().catch(function() {});
      var early = ZPRecords.early = {key: 'zum32.ini', done: false, value: undefined};
      early.promise = (window.zumBoot && zumBoot.records) || ZPRecords.read(early.key);
      early.promise.then(function(value) {
        early.done = true;
        early.value = value;
      }, function() {});
    },

    // The stored bytes of that file (a Uint8Array), or undefined when there is none.
    read: function(key) {
      return ZPRecords.database().then(function(db) {
        return new Promise(function(resolve, reject) {
          var request = db.transaction('files', 'readonly').objectStore('files').get(key);
          request.onsuccess = function() { resolve(request.result); };
          request.onerror = function() { reject(request.error); };
        });
      });
    },

    // zum_store_load's answer for the bytes read.
    hand: function(value, bytesOut, sizeOut) {
      if (!(value instanceof Uint8Array)) return 1;
      var pointer = _malloc(Math.max(1, value.length));
      HEAPU8.set(value, pointer);
      HEAP32[bytesOut >> 2] = pointer;
      HEAP32[sizeOut >> 2] = value.length;
      return 0;
    },

    load: function(key, bytesOut, sizeOut) {
      return ZPRecords.read(key).then(function(value) {
        return ZPRecords.hand(value, bytesOut, sizeOut);
      }, function() { return 2; });
    },

    // "記録を保存…" hands over the stored file as it is; "記録を読み込む…" gives the game the file
    // the player chose, which it checks and takes (records_import.cpp).
    items: function() {
      var chooser = document.getElementById('records-file');
      document.getElementById('records-load').addEventListener('click', function() { chooser.click(); });
      chooser.addEventListener('change', function() {
        var file = chooser.files[0];
        chooser.value = '';
        if (!file) return;
        // More than the game takes is never read: the size alone refuses it.
        file.slice(0, 65537).arrayBuffer().then(function(buffer) {
          ZPRecords.offered = {bytes: new Uint8Array(buffer), size: file.size};
          ZP.push([7]);
        }, function() { ZP.push([8, 2]); });
      });
      document.getElementById('records-save').addEventListener('click', function() {
        ZPRecords.read('zum32.ini').then(function(bytes) {
          if (!(bytes instanceof Uint8Array)) throw new Error('no records yet');
          var link = document.createElement('a');
          link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
          link.download = 'ZUM32.INI';
          link.click();
          setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
        }).catch(function() { ZP.push([8, 1]); });
      });
    },

    database: function() {
      if (!ZPRecords.dbPromise) {
        var boot = window.zumBoot || {};
        // Opened by index.html, and taken once: a failed open is tried afresh at the next use, in
        // case the storage came back.
        ZPRecords.dbPromise = boot.database || new Promise(function(resolve, reject) {
          var request = indexedDB.open('zum32', 1);
          request.onupgradeneeded = function() { request.result.createObjectStore('files'); };
          request.onsuccess = function() { resolve(request.result); };
          request.onerror = function() { reject(request.error); };
        });
        boot.database = null;
        ZPRecords.dbPromise.catch(function() { ZPRecords.dbPromise = null; });
      }
      return ZPRecords.dbPromise;
    }
  },

  // 0 with *bytes (malloc'd) and *size set, 1 when there is no such file, 2 when it failed.
  zum_store_load: function(name, bytesOut, sizeOut) {
    var key = UTF8ToString(name);
    var early = ZPRecords.early;
    ZPRecords.early = null;
    // Only the game's first look takes the early read, and never under the lock, where a writer
    // must see what another tab may have stored since the page opened.
    if (early && early.key === key && !Object.keys(ZPRecords.locks).length) {
      // Already read: the game goes on without giving way to the page.
      if (early.done) return ZPRecords.hand(early.value, bytesOut, sizeOut);
      return Asyncify.handleAsync(function() {
        return early.promise.then(function(value) {
          return ZPRecords.hand(value, bytesOut, sizeOut);
        }, function() { return ZPRecords.load(key, bytesOut, sizeOut); });
      });
    }
    return Asyncify.handleAsync(function() { return ZPRecords.load(key, bytesOut, sizeOut); });
  },
  zum_store_load__deps: ['$ZP', '$ZPRecords', 'malloc'],

  // Stores the bytes as the file's, flushed before it answers: 1 when stored, 0 when not.
  zum_store_save: function(name, bytes, size) {
    var key = UTF8ToString(name);
    var value = HEAPU8.slice(bytes, bytes + size);
    return Asyncify.handleAsync(function() {
      return ZPRecords.database().then(function(db) {
        return new Promise(function(resolve) {
          var transaction = db.transaction('files', 'readwrite', {durability: 'strict'});
          transaction.objectStore('files').put(value, key);
          transaction.oncomplete = function() { resolve(1); };
          transaction.onerror = transaction.onabort = function() { resolve(0); };
        });
      }).catch(function() { return 0; });
    });
  },
  zum_store_save__deps: ['$ZP', '$ZPRecords'],

  zum_records_offered: function(buffer, capacity) {
    var offered = ZPRecords.offered;
    ZPRecords.offered = null;
    if (!offered) return -1;
    HEAPU8.set(offered.bytes.subarray(0, capacity), buffer);
    return offered.size;
  },
  zum_records_offered__deps: ['$ZP', '$ZPRecords'],

  // Takes the lock of that name that every tab of the site sees: 1 when held, 0 when the wait
  // ran out (timeout ms; -1 waits for good). Without Web Locks a tab is alone with its records.
  zum_lock: function(name, timeout) {
    var key = UTF8ToString(name);
    return Asyncify.handleAsync(function() {
      if (!navigator.locks) return Promise.resolve(1);
      return new Promise(function(resolve) {
        var options = {};
        var timer = 0;
        if (timeout === 0) {
          options.ifAvailable = true;
        } else if (timeout > 0) {
          var controller = new AbortController();
          options.signal = controller.signal;
          timer = setTimeout(function() { controller.abort(); }, timeout);
        }
        navigator.locks.request(key, options, function(lock) {
          clearTimeout(timer);
          if (!lock) {
            resolve(0);
            return null;
          }
          resolve(1);
          return new Promise(function(release) { ZPRecords.locks[key] = release; });
        }).catch(function() { resolve(0); });
      });
    });
  },
  zum_lock__deps: ['$ZP', '$ZPRecords'],

  zum_unlock: function(name) {
    var key = UTF8ToString(name);
    var release = ZPRecords.locks[key];
    delete ZPRecords.locks[key];
    if (release) release();
  },
  zum_unlock__deps: ['$ZP', '$ZPRecords']
});
