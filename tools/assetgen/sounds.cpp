// The two sound cues, synthesised: "collect.wav", a short bright chime, and "blast.wav", a deep
// explosion with a noisy tail. 16-bit mono PCM at 22050 Hz.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "base/bytes.h"
#include "tools/assetgen/assets.h"

namespace {

constexpr int sampleRate = 22050;  // samples per second
constexpr double pi = 3.14159265358979323846;

// A RIFF/WAVE file of 16-bit mono samples.
std::vector<std::byte> encodeWave(const std::vector<double>& samples) {
  std::vector<std::byte> bytes;
  bytes.reserve(44 + samples.size() * 2);
  ByteWriter out(bytes);
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.text("RIFF").u32(36 + dataBytes).text("WAVE");
  // The format: PCM, mono, the rate, bytes a second, bytes a sample, bits a sample.
  out.text("fmt ").u32(16).u16(1).u16(1).u32(sampleRate).u32(sampleRate * 2).u16(2).u16(16);
  out.text("data").u32(dataBytes);
  for (double s : samples) {
    long v = std::lround(std::fmax(-1.0, std::fmin(1.0, s)) * 32767.0);
    out.u16(static_cast<unsigned>(static_cast<std::int16_t>(v)) & 0xFFFF);
  }
  return bytes;
}

// Brings the last `seconds` of a sound down to silence, so it ends without a click however much
// of its tail is still ringing.
void fadeOut(std::vector<double>& s, double seconds) {
  const std::size_t length = std::min(s.size(), static_cast<std::size_t>(seconds * sampleRate));
  for (std::size_t i = 0; i < length; ++i) s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(length);
}

// Two bell partials a fifth apart, the upper one a moment later: a rising "ding-ding".
std::vector<double> chime() {
  const int count = sampleRate * 35 / 100;
  std::vector<double> s(count);
  const double notes[][3] = {{1318.51, 0.0, 0.45}, {1975.53, 0.06, 0.40}};  // Hz, start s, level
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double v = 0.0;
    for (const auto& n : notes) {
      double u = t - n[1];
      if (u < 0.0) continue;
      double envelope = std::fmin(1.0, u / 0.004) * std::exp(-u * 9.0);
      v += n[2] * envelope * (std::sin(2 * pi * n[0] * u) + 0.3 * std::sin(2 * pi * n[0] * 2.76 * u) * std::exp(-u * 20.0));
    }
    s[i] = v * 0.8;
  }
  fadeOut(s, 0.03);
  return s;
}

// A falling low thump under a burst of noise that darkens as it decays.
std::vector<double> explosion() {
  const int count = sampleRate * 3 / 2;
  std::vector<double> s(count);
  std::uint32_t noiseState = 12345;
  double lowPassed = 0.0, lowPassed2 = 0.0, phase = 0.0;
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / sampleRate;
    noiseState = noiseState * 1664525u + 1013904223u;
    double white = static_cast<double>(noiseState >> 8) / 8388608.0 - 1.0;
    double cutoff = 0.35 * std::exp(-t * 2.5) + 0.02;  // the rumble darkens
    lowPassed += cutoff * (white - lowPassed);
    lowPassed2 += cutoff * (lowPassed - lowPassed2);
    double noise = lowPassed2 * 2.2 * std::fmin(1.0, t / 0.01) * std::exp(-t * 2.2);
    double frequency = 30.0 + 70.0 * std::exp(-t * 6.0);
    phase += 2 * pi * frequency / sampleRate;
    double thump = std::sin(phase) * std::fmin(1.0, t / 0.005) * std::exp(-t * 3.0);
    s[i] = std::tanh(1.6 * (0.7 * thump + noise)) * 0.85;
  }
  fadeOut(s, 0.15);
  return s;
}

}  // namespace

void writeSounds(const std::filesystem::path& runDir) {
  auto collect = encodeWave(chime());
  auto blast = encodeWave(explosion());
  writeDataFile(runDir, "collect.wav", collect);
  writeDataFile(runDir, "blast.wav", blast);
}
