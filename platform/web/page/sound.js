// The seven cues, decoded once by the browser's audio and played one at a
// time: a new cue cuts off the one still sounding. Browsers let a page make
// sound only after the player's first key or tap; until then, and wherever
// audio is refused, the game plays silently. The audio is made and the cues
// decoded while the intro waits, so that the first key only resumes it and
// never waits for the sound.
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.sound = (function () {
  var recordings = {};
  var decoded = {};
  var audio = null;
  var playing = null;
  var decoding = {};  // the cues handed to the decoder
  var started = [];  // the cues heard last, newest last, for the browser test

  // The program hands its cues over as it starts, just before the intro:
  // they are decoded once the program has drawn it.
  function keep(cueId, bytes) {
    recordings[cueId] = bytes;
    setTimeout(prepare, 0);
  }

  function prepare() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (audio === null && Context) {
      try {
        audio = new Context();
      } catch (refused) {
        return;
      }
    }
    if (audio === null) return;
    var into = decoded;  // a context made anew meanwhile decodes its own
    Object.keys(recordings).forEach(function (cueId) {
      if (decoding[cueId]) return;
      decoding[cueId] = true;
      // decodeAudioData takes its buffer away: hand it a copy.
      audio.decodeAudioData(recordings[cueId].slice().buffer)
          .then(function (buffer) { into[cueId] = buffer; })
          .catch(function () { /* a cue that can't be decoded is not heard */ });
    });
  }

  // Some browsers take only certain gestures (a lifted finger, a click):
  // every one tries again, unless the game's pause holds the sound. A phone
  // can also take the audio away behind the page's back (a call, another
  // app): the context comes back "suspended" or "interrupted", and a resume
  // that fails or does not take is tried again at the next gesture, for as
  // long as the session lasts. A context the browser has closed is made
  // anew and the cues decoded again.
  function unlock() {
    if (audio !== null && audio.state === 'closed') forget();
    prepare();  // where the browser would not make the audio before a gesture
    if (audio !== null && audio.state !== 'running' && !marchfireHost.pace.paused()) {
      audio.resume().catch(function () {});
    }
  }

  function forget() {
    stopPlaying();
    audio = null;
    decoded = {};
    decoding = {};
  }

  function stopPlaying() {
    if (playing === null) return;
    try {
      playing.stop();
    } catch (alreadyOver) { /* ended by itself */ }
    playing = null;
  }

  function play(cueId) {
    if (audio === null || audio.state !== 'running') return;
    var buffer = decoded[cueId];
    if (!buffer) return;
    stopPlaying();
    var source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.start();
    playing = source;
    started.push(Number(cueId));
    if (started.length > 16) started.shift();
  }

  function start() {
    marchfireHost.input.onUserGesture(unlock);
    // A paused game is a silent one.
    marchfireHost.pace.onPauseChange(function (paused) {
      if (audio === null) return;
      (paused ? audio.suspend() : audio.resume()).catch(function () {});
    });
  }

  return {
    start: start,
    keep: keep,
    play: play,
    state: function () {
      return {audio: audio === null ? 'none' : audio.state, decoded: Object.keys(decoded).length,
              started: started.slice()};
    },
  };
})();
