#include "synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace gen {

namespace {

// ---- oscillators: phase runs 0..1 per cycle

// PolyBLEP step correction, keeps square edges from aliasing harshly.
double poly_blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

struct Square {
  double phase = 0;
  double next(double freq, double rate, double duty) {
    const double dt = freq / rate;
    double v = phase < duty ? 1.0 : -1.0;
    v += poly_blep(phase, dt);
    double falling = phase - duty;
    if (falling < 0) falling += 1.0;
    v -= poly_blep(falling, dt);
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    return v;
  }
};

struct Triangle {
  double phase = 0;
  double next(double freq, double rate) {
    const double v = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    phase += freq / rate;
    if (phase >= 1.0) phase -= 1.0;
    return v;
  }
};

// A 15-bit linear feedback shift register clocked at a chosen rate: the
// noise of old sound chips, with a pitch of its own.
struct Noise {
  unsigned state = 0x7FFF;
  double clock = 0;
  double value = 1.0;
  double next(double clock_rate, double rate) {
    clock += clock_rate / rate;
    while (clock >= 1.0) {
      clock -= 1.0;
      const unsigned bit = (state ^ (state >> 1)) & 1u;
      state = (state >> 1) | (bit << 14);
      value = (state & 1u) ? 1.0 : -1.0;
    }
    return value;
  }
};

// Linear attack, then the body, then a linear release to exactly zero, so
// that no sound starts or ends with a click.
double edge_envelope(std::size_t i, std::size_t n, std::size_t attack, std::size_t release) {
  double g = 1.0;
  if (i < attack) g = static_cast<double>(i) / static_cast<double>(attack);
  if (i + release >= n)
    g = std::min(g, static_cast<double>(n - 1 - i) / static_cast<double>(release));
  return std::max(g, 0.0);
}

double midi_hz(int note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// ---- the cues

// 105..107: a low thump whose pitch falls; each cue starts lower.
std::vector<float> march_thump(std::size_t n, double rate, double start_hz) {
  std::vector<float> out(n);
  Triangle tri;
  Square sq;
  Noise noise;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double f = start_hz * (1.0 - 0.45 * t);
    const double body = 0.75 * tri.next(f, rate) + 0.25 * sq.next(f, rate, 0.25);
    const double click = i < 60 ? noise.next(4000, rate) * (1.0 - i / 60.0) * 0.3 : 0.0;
    const double decay = 1.0 - 0.7 * t;
    out[i] = static_cast<float>(0.95 * (body * decay + click) * edge_envelope(i, n, 20, 60));
  }
  return out;
}

// 108: a short falling "pew".
std::vector<float> shot(std::size_t n, double rate) {
  std::vector<float> out(n);
  Square sq;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double f = 1500.0 * std::pow(250.0 / 1500.0, t);
    const double v = sq.next(f, rate, 0.5 - 0.3 * t);
    out[i] = static_cast<float>(0.55 * v * (1.0 - t) * edge_envelope(i, n, 22, 60));
  }
  return out;
}

// 109: a falling, noisy crash.
std::vector<float> death(std::size_t n, double rate) {
  std::vector<float> out(n);
  Square sq;
  Noise noise;
  Triangle wobble;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double vib = 1.0 + 0.06 * wobble.next(14.0, rate);
    const double f = 520.0 * std::pow(45.0 / 520.0, t) * vib;
    const double tone = sq.next(f, rate, 0.5);
    const double hiss = noise.next(9000.0 * std::pow(600.0 / 9000.0, t), rate);
    const double body = (0.45 * tone + 0.55 * hiss) * (1.0 - 0.7 * t);
    out[i] = static_cast<float>(0.8 * body * edge_envelope(i, n, 130, 2000));
  }
  return out;
}

// 110: a rising jingle, C E G then a held high C.
std::vector<float> level_jingle(std::size_t n, double rate) {
  std::vector<float> out(n, 0.0f);
  const int notes[] = {72, 76, 79, 84};
  const std::size_t step = static_cast<std::size_t>(0.062 * rate);
  for (int k = 0; k < 4; ++k) {
    const std::size_t start = static_cast<std::size_t>(k) * step;
    const std::size_t len = k < 3 ? step : n - start;
    Square sq;
    Triangle tri;
    const double f = midi_hz(notes[k]);
    for (std::size_t i = 0; i < len; ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(len);
      const double decay = k < 3 ? 1.0 - 0.3 * t : 1.0 - 0.8 * t;
      const double v = 0.5 * sq.next(f, rate, 0.25) + 0.35 * tri.next(f / 2, rate);
      out[start + i] += static_cast<float>(0.8 * v * decay * edge_envelope(i, len, 90, 260));
    }
  }
  return out;
}

// 111: the intro march, 10 bars of 4/4 on a grid of 160 sixteenth notes,
// each 1577 samples, so that 160 * 1577 = 252320 samples and the tune loops
// without a gap.
struct Note {
  int midi;  // 0 = rest
  int steps;
};

std::vector<float> intro_tune(std::size_t n, double rate) {
  constexpr std::size_t step = 1577;
  if (n != 160 * step) throw std::logic_error("intro length");
  static const Note melody[] = {
      // Am
      {76, 3},
      {76, 1},
      {69, 4},
      {72, 3},
      {71, 1},
      {69, 4},
      // G
      {67, 3},
      {67, 1},
      {74, 4},
      {71, 3},
      {69, 1},
      {67, 4},
      // F
      {65, 3},
      {69, 1},
      {72, 4},
      {77, 3},
      {76, 1},
      {74, 4},
      // E
      {76, 6},
      {74, 2},
      {72, 2},
      {71, 2},
      {68, 4},
      // Am
      {69, 3},
      {69, 1},
      {76, 4},
      {81, 3},
      {79, 1},
      {76, 4},
      // C
      {79, 3},
      {77, 1},
      {76, 2},
      {74, 2},
      {72, 4},
      {76, 4},
      // Dm
      {74, 3},
      {74, 1},
      {77, 4},
      {81, 3},
      {77, 1},
      {74, 4},
      // E
      {76, 4},
      {71, 4},
      {68, 4},
      {64, 4},
      // F, G: a run upwards
      {65, 2},
      {69, 2},
      {72, 2},
      {77, 2},
      {67, 2},
      {71, 2},
      {74, 2},
      {79, 2},
      // E: back down, leading into the top again
      {76, 2},
      {74, 2},
      {72, 2},
      {71, 2},
      {68, 4},
      {71, 4},
  };
  // Bass roots per half bar (two beats each): the march's oom-pah.
  static const int roots[] = {45, 45, 43, 43, 41, 41, 40, 40, 45, 45,
                              48, 48, 38, 38, 40, 40, 41, 43, 40, 40};

  std::vector<double> mix(n, 0.0);

  // melody: square with a gentle delayed vibrato
  std::size_t at = 0;
  for (const Note& note : melody) {
    const std::size_t len = static_cast<std::size_t>(note.steps) * step;
    if (note.midi) {
      Square sq;
      Triangle lfo;
      const double f = midi_hz(note.midi);
      for (std::size_t i = 0; i < len; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double vib = t > 0.18 ? 1.0 + 0.006 * lfo.next(5.5, rate) : 1.0;
        const double sustain = 1.0 - 0.35 * std::min(1.0, t / 0.5);
        mix[at + i] +=
            0.30 * sq.next(f * vib, rate, 0.25) * sustain * edge_envelope(i, len, 40, 220);
      }
    }
    at += len;
  }
  if (at != n) throw std::logic_error("melody length");

  // bass: triangle, root - fifth - octave - fifth on the beats, staccato
  for (std::size_t beat = 0; beat < 40; ++beat) {
    const int root = roots[beat / 2];
    const int offsets[] = {0, 7, 12, 7};
    const double f = midi_hz(root + offsets[beat % 4]);
    const std::size_t start = beat * 4 * step;
    const std::size_t len = 3 * step;
    Triangle tri;
    for (std::size_t i = 0; i < len; ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(len);
      mix[start + i] += 0.42 * tri.next(f, rate) * (1.0 - 0.4 * t) * edge_envelope(i, len, 30, 250);
    }
  }

  // drum: a short noise tap on every beat, a stronger one on 2 and 4
  Noise noise;
  for (std::size_t beat = 0; beat < 40; ++beat) {
    const std::size_t start = beat * 4 * step;
    const std::size_t len = 700;
    const double level = beat % 2 ? 0.16 : 0.07;
    for (std::size_t i = 0; i < len; ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(len);
      mix[start + i] += level * noise.next(beat % 2 ? 6000 : 2500, rate) * (1.0 - t) * (1.0 - t) *
                        edge_envelope(i, len, 8, 40);
    }
  }

  std::vector<float> out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<float>(mix[i]);
  return out;
}

}  // namespace

WavFormat cue_format(int id) {
  WavFormat f;
  if (id == 109 || id == 110) {
    f.bits_per_sample = 16;
    f.sample_rate = 44100;
  }
  f.fact_chunk = id == 111;
  return f;
}

std::size_t cue_data_size(int id) {
  switch (id) {
    case 105:
      return 809;
    case 106:
      return 725;
    case 107:
      return 763;
    case 108:
      return 1757;
    case 109:
      return 43652;
    case 110:
      return 28034;
    case 111:
      return 252320;
    default:
      throw std::invalid_argument("no such cue");
  }
}

Bytes to_pcm(const std::vector<float>& samples, int bits_per_sample) {
  Bytes out;
  out.reserve(samples.size() * static_cast<std::size_t>(bits_per_sample / 8));
  for (float s : samples) {
    const double v = std::clamp(static_cast<double>(s), -1.0, 1.0);
    if (bits_per_sample == 8) {
      put_u8(out, static_cast<std::uint32_t>(std::lround(128.0 + v * 127.0)));
    } else {
      const long q = std::lround(v * 32767.0);
      put_le16(out, static_cast<std::uint32_t>(q) & 0xFFFFu);
    }
  }
  return out;
}

Cue make_cue(int id) {
  Cue cue;
  cue.id = id;
  cue.format = cue_format(id);
  const std::size_t samples =
      cue_data_size(id) / static_cast<std::size_t>(cue.format.bits_per_sample / 8);
  const double rate = cue.format.sample_rate;
  std::vector<float> wave;
  switch (id) {
    case 105:
      wave = march_thump(samples, rate, 104.0);
      break;
    case 106:
      wave = march_thump(samples, rate, 92.5);
      break;
    case 107:
      wave = march_thump(samples, rate, 82.0);
      break;
    case 108:
      wave = shot(samples, rate);
      break;
    case 109:
      wave = death(samples, rate);
      break;
    case 110:
      wave = level_jingle(samples, rate);
      break;
    case 111:
      wave = intro_tune(samples, rate);
      break;
    default:
      throw std::invalid_argument("no such cue");
  }
  cue.data = to_pcm(wave, cue.format.bits_per_sample);
  if (cue.data.size() != cue_data_size(id)) throw std::logic_error("cue size");
  return cue;
}

}  // namespace gen
