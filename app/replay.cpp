// Reading and writing replay files; every length and value read is checked before it is used.
#include "app/replay.h"

#include <cmath>
#include <cstring>

namespace {

// Reads little-endian values from a span; a read past the end returns 0 and sets `overrun`.
struct ByteReader {
  std::span<const std::byte> data;
  std::size_t at = 0;
  bool overrun = false;

  std::size_t left() const { return data.size() - at; }
  bool take(void* out, std::size_t n) {
    if (overrun || n > left()) {
      overrun = true;
      std::memset(out, 0, n);
      return false;
    }
    std::memcpy(out, data.data() + at, n);
    at += n;
    return true;
  }
  std::uint32_t u(std::size_t n) {
    std::uint8_t b[4] = {};
    take(b, n);
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(b[i]) << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u(4)); }
  float f32() {
    std::uint32_t bits = u(4);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  bool text(std::size_t length, std::string& out) {
    if (length > left()) {
      overrun = true;
      return false;
    }
    out.assign(reinterpret_cast<const char*>(data.data() + at), length);
    at += length;
    return true;
  }
};

void putU(std::vector<std::byte>& out, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::byte>((v >> (8 * i)) & 0xFF));
}
void putF(std::vector<std::byte>& out, float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  putU(out, bits, 4);
}
void putText(std::vector<std::byte>& out, const std::string& text, int lengthBytes) {
  putU(out, static_cast<std::uint32_t>(text.size()), lengthBytes);
  for (char c : text) out.push_back(static_cast<std::byte>(c));
}

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

// The window in interface units, as the frame converts pixels 0..side-1 (see toInterfaceUnits).
bool insideWindow(float x, float y, int width, int height) {
  const int cx = width / 2, cy = height / 2;
  const float m = static_cast<float>(std::max(std::min(cx, cy), 1));
  const float left = -static_cast<float>(cx) / m, right = static_cast<float>(width - 1 - cx) / m;
  const float bottom = -static_cast<float>(height - 1 - cy) / m, top = static_cast<float>(cy) / m;
  return x >= left - replayMouseSlack && x <= right + replayMouseSlack && y >= bottom - replayMouseSlack &&
         y <= top + replayMouseSlack;
}

bool parseHeader(ByteReader& in, ReplayHeader& header, std::string& error) {
  char magic[sizeof replayMagic];
  if (!in.take(magic, sizeof magic) || std::memcmp(magic, replayMagic, sizeof magic) != 0) {
    error = "not a velmo replay (wrong magic)";
    return false;
  }
  const std::uint32_t version = in.u(2);
  if (in.overrun) {
    error = "truncated header";
    return false;
  }
  if (version != replayFormatVersion) {
    error = "replay format version " + std::to_string(version) + ", this game reads version " +
            std::to_string(replayFormatVersion);
    return false;
  }
  const std::size_t versionLength = in.u(1);
  if (versionLength > maxReplayVersionChars) {
    error = "game version longer than " + std::to_string(maxReplayVersionChars) + " characters";
    return false;
  }
  in.text(versionLength, header.gameVersion);
  header.config.landscapeDetail = in.i32();
  header.config.shipDetail = in.i32();
  header.config.sound = in.i32();
  const std::size_t variants = in.u(2);
  if (in.overrun) {
    error = "truncated header";
    return false;
  }
  if (!inRange(header.config.landscapeDetail, minLandscapeDetail, maxLandscapeDetail) ||
      !inRange(header.config.shipDetail, minShipDetail, maxShipDetail)) {
    error = "configuration values outside what the game draws";
    return false;
  }
  if (variants > maxReplayVariants) {
    error = "more than " + std::to_string(maxReplayVariants) + " ship variants";
    return false;
  }
  header.variants.assign(variants, std::string());
  for (std::string& path : header.variants) {
    const std::size_t length = in.u(2);
    if (length > maxReplayPathChars) {
      error = "a ship variant path longer than " + std::to_string(maxReplayPathChars) + " characters";
      return false;
    }
    if (!in.text(length, path)) break;
  }
  if (in.overrun) {
    error = "truncated header";
    return false;
  }
  return true;
}

}  // namespace

bool parseReplay(std::span<const std::byte> file, Replay& replay, std::string& error) {
  if (file.size() > maxReplayBytes) {
    error = "larger than " + std::to_string(maxReplayBytes >> 20) + " MB";
    return false;
  }
  ByteReader in{file};
  if (!parseHeader(in, replay.header, error)) return false;
  replay.events.clear();
  std::uint32_t last = 0;
  int width = 0, height = 0;  // the window's size as last recorded; 0 before the first
  while (in.left() > 0) {
    const std::size_t offset = in.at;
    const std::uint8_t type = static_cast<std::uint8_t>(in.u(1));
    ReplayEvent e{};
    e.display = in.u(4);
    InputEvent& input = e.input;
    auto fail = [&](const std::string& why) {
      error = why + " at byte " + std::to_string(offset);
      return false;
    };
    switch (type) {
      case static_cast<std::uint8_t>(InputKind::specialKey):
        input.kind = InputKind::specialKey;
        input.key = in.i32();
        if (!in.overrun && !inRange(input.key, 0, maxReplaySpecialKey)) return fail("special key out of range");
        break;
      case static_cast<std::uint8_t>(InputKind::character):
        input.kind = InputKind::character;
        input.key = static_cast<int>(in.u(1));
        break;
      case static_cast<std::uint8_t>(InputKind::mouse):
        input.kind = InputKind::mouse;
        input.key = static_cast<int>(in.u(1));
        input.state = static_cast<int>(in.u(1));
        input.x = in.f32();
        input.y = in.f32();
        if (in.overrun) break;
        if (input.key > maxReplayMouseButton || input.state > 1) return fail("mouse button or state out of range");
        if (!std::isfinite(input.x) || !std::isfinite(input.y)) return fail("mouse position not a number");
        // A release may come from outside the window (a drag that left it); a press may not.
        if (input.state == 0 && (width == 0 || !insideWindow(input.x, input.y, width, height)))
          return fail("mouse press outside the window");
        break;
      case static_cast<std::uint8_t>(InputKind::windowSize):
        input.kind = InputKind::windowSize;
        input.width = in.i32();
        input.height = in.i32();
        if (in.overrun) break;
        if (!inRange(input.width, 1, maxReplayWindowSide) || !inRange(input.height, 1, maxReplayWindowSide))
          return fail("window size out of range");
        width = input.width;
        height = input.height;
        break;
      case gameEndRecord: {
        e.gameEnd = true;
        const std::uint32_t kind = in.u(1);
        e.score = in.i32();
        if (in.overrun) break;
        if (kind > 1 || e.score < 0) return fail("game end out of range");
        e.end = static_cast<GameEndKind>(kind);
        break;
      }
      default:
        return fail("unknown record type " + std::to_string(type));
    }
    if (in.overrun) return fail("truncated record");
    if (e.display > maxReplayDisplay) return fail("display number out of range");
    if (e.display < last) return fail("display number going backwards");
    last = e.display;
    replay.events.push_back(e);
  }
  return true;
}

void encodeReplayHeader(const ReplayHeader& header, std::vector<std::byte>& out) {
  for (char c : replayMagic) out.push_back(static_cast<std::byte>(c));
  putU(out, replayFormatVersion, 2);
  putText(out, header.gameVersion.substr(0, maxReplayVersionChars), 1);
  putU(out, static_cast<std::uint32_t>(header.config.landscapeDetail), 4);
  putU(out, static_cast<std::uint32_t>(header.config.shipDetail), 4);
  putU(out, static_cast<std::uint32_t>(header.config.sound), 4);
  const std::size_t variants = std::min(header.variants.size(), maxReplayVariants);
  putU(out, static_cast<std::uint32_t>(variants), 2);
  for (std::size_t i = 0; i < variants; ++i) putText(out, header.variants[i], 2);  // never longer than maxReplayPathChars
}

void encodeReplayEvent(const ReplayEvent& e, std::vector<std::byte>& out) {
  if (e.gameEnd) {
    putU(out, gameEndRecord, 1);
    putU(out, e.display, 4);
    putU(out, static_cast<std::uint32_t>(e.end), 1);
    putU(out, static_cast<std::uint32_t>(e.score), 4);
    return;
  }
  const InputEvent& input = e.input;
  putU(out, static_cast<std::uint32_t>(input.kind), 1);
  putU(out, e.display, 4);
  switch (input.kind) {
    case InputKind::specialKey:
      putU(out, static_cast<std::uint32_t>(input.key), 4);
      break;
    case InputKind::character:
      putU(out, static_cast<std::uint32_t>(input.key), 1);
      break;
    case InputKind::mouse:
      putU(out, static_cast<std::uint32_t>(input.key), 1);
      putU(out, static_cast<std::uint32_t>(input.state), 1);
      putF(out, input.x);
      putF(out, input.y);
      break;
    case InputKind::windowSize:
      putU(out, static_cast<std::uint32_t>(input.width), 4);
      putU(out, static_cast<std::uint32_t>(input.height), 4);
      break;
  }
}

ReplayEvent inputRecord(std::uint32_t display, const InputEvent& input) {
  ReplayEvent e{};
  e.display = display;
  e.input = input;
  return e;
}

ReplayEvent gameEndRecordAt(std::uint32_t display, GameEndKind end, int score) {
  ReplayEvent e{};
  e.display = display;
  e.gameEnd = true;
  e.end = end;
  e.score = score;
  return e;
}

const char* gameEndName(GameEndKind kind) { return kind == GameEndKind::crash ? "crash" : "time-out"; }
