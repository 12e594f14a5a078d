// The site for play without the network: every file of one build, fetched at install and checked
// against the build's own hashes, in a cache named after the build; the page is then served from
// it. A new build fills a new cache whole and drops the old one once it is ready, so that every
// file a page loads at its start comes from one build. The new build takes over the open pages at
// once: a help page or a reload after that comes from the new build. cmake/site_worker.cmake fills
// in the build.
'use strict';
var BUILD = '@ZUM32_SITE_HASH@';
var FILES = {@ZUM32_SITE_FILES@};  // name in the site -> SHA-256 of its bytes
// Caches are the origin's: the name keeps apart copies of the site under other paths.
var PREFIX = 'zum32 ' + self.registration.scope + ' ';
var CACHE = PREFIX + BUILD;
var opened = null;  // this build's cache, opened once for the worker's life

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), function(b) { return (b + 256).toString(16).slice(1); }).join('');
}

function fill(cache) {
  return Promise.all(Object.keys(FILES).map(function(name) {
    // Asked of the server again, never taken unchecked from the HTTP cache.
    return fetch(new Request(name, {cache: 'no-cache'})).then(function(response) {
      if (!response.ok) throw new Error(name + ': ' + response.status);
      return response.clone().arrayBuffer().then(function(bytes) {
        return crypto.subtle.digest('SHA-256', bytes);
      }).then(function(digest) {
        if (hex(digest) !== FILES[name]) throw new Error(name + ' is of another build');
        return cache.put(name, response);
      });
    });
  }));
}

self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(CACHE).then(fill).catch(function(error) {
    // A half-filled cache is never used: the next visit tries the build again.
    return caches.delete(CACHE).then(function() { throw error; });
  }).then(function() { return self.skipWaiting(); }));
});

self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) {
      return name.indexOf(PREFIX) === 0 && name !== CACHE;
    }).map(function(name) { return caches.delete(name); }));
  }).then(function() { return self.clients.claim(); }));
});

self.addEventListener('fetch', function(event) {
  if (event.request.method !== 'GET') return;
  var url = new URL(event.request.url), scope = new URL(self.registration.scope);
  if (url.origin !== scope.origin || url.pathname.indexOf(scope.pathname) !== 0) return;
  var name;
  try {
    name = decodeURIComponent(url.pathname.slice(scope.pathname.length)) || 'index.html';
  } catch (error) {
    return;  // not a name of ours: the network answers
  }
  if (!Object.prototype.hasOwnProperty.call(FILES, name)) return;
  if (!opened) {
    opened = caches.open(CACHE);
    // A cache that cannot be opened now may open at the next request.
    opened.catch(function() { opened = null; });
  }
  event.respondWith(opened.then(function(cache) {
    return cache.match(name);
  }).catch(function() { return null; }).then(function(response) {
    return response || fetch(event.request);
  }));
});
