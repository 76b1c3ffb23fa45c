// The service worker: every file of one build in a cache of that build's
// own, so that after the first visit the game starts and plays with no
// network. A new build's worker fills its cache first and then drops every
// older one: a page is never served a mix of two builds.
'use strict';
var cachePrefix = 'marchfire ' + self.registration.scope + ' ';
var cacheName = cachePrefix + build;

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(cacheName).then(function (cache) {
    // Past the browser's HTTP cache, which may still hold the older build.
    return cache.addAll(buildFiles.map(function (name) {
      return new Request(name, {cache: 'reload'});
    }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.startsWith(cachePrefix) && name !== cacheName;
    }).map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(cacheName).then(function (cache) {
    return cache.match(event.request, {ignoreSearch: true});
  }).then(function (cached) { return cached || fetch(event.request); }));
});
