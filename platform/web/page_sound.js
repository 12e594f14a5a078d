// The game's cues through WebAudio, one at a time.
mergeInto(LibraryManager.library, {
  $ZPSound__deps: ['$ZP'],
  $ZPSound: {
    audio: null,
    buffers: {},
    source: null,

    // Browsers let sound start only from the player's own click or key.
    gesture: function() {
      if (ZPSound.audio && ZPSound.audio.state === 'suspended') ZPSound.audio.resume();
    }
  },

  // Plays planar float samples as the only cue, stopping the one that sounds; a cue is decoded
  // once and kept by key. Silent until the page has an audio context the player let run.
  zum_sound_play: function(key, samples, frames, channels, rate) {
    try {
      if (!ZPSound.audio) {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        ZPSound.audio = new Context();
      }
      var buffer = ZPSound.buffers[key];
      if (!buffer || buffer.length !== frames || buffer.sampleRate !== rate) {
        buffer = ZPSound.audio.createBuffer(channels, frames, rate);
        for (var c = 0; c < channels; ++c)
          buffer.copyToChannel(HEAPF32.subarray((samples >> 2) + c * frames, (samples >> 2) + (c + 1) * frames), c);
        ZPSound.buffers[key] = buffer;
      }
      if (ZPSound.source) ZPSound.source.stop();
      ZPSound.source = ZPSound.audio.createBufferSource();
      ZPSound.source.buffer = buffer;
      ZPSound.source.connect(ZPSound.audio.destination);
      ZPSound.source.start();
    } catch (e) {
      // No audio: the game goes on in silence.
    }
  },
  zum_sound_play__deps: ['$ZP', '$ZPSound'],

  zum_sound_forget: function(key) { delete ZPSound.buffers[key]; },
  zum_sound_forget__deps: ['$ZP', '$ZPSound'],

  zum_sound_stop: function() {
    if (!ZPSound.source) return;
    try { ZPSound.source.stop(); } catch (e) {}
    ZPSound.source = null;
  },
  zum_sound_stop__deps: ['$ZP', '$ZPSound']
});
