// Reading and writing replay files; every length and value read is checked before it is used.
#include "app/replay.h"

#include <cmath>
#include <cstring>
#include <string_view>

#include "base/bytes.h"

namespace {

// The length of a text, in one or two bytes, and its bytes.
void putText(ByteWriter& out, std::string_view text, int lengthBytes) {
  if (lengthBytes == 1)
    out.u8(static_cast<std::uint32_t>(text.size()));
  else
    out.u16(static_cast<std::uint32_t>(text.size()));
  out.text(text);
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
  const std::span<const std::byte> magic = in.bytes(sizeof replayMagic);
  if (magic.empty() || std::memcmp(magic.data(), replayMagic, sizeof replayMagic) != 0) {
    error = "not a velmo replay (wrong magic)";
    return false;
  }
  const std::uint32_t version = in.u16();
  if (in.overrun()) {
    error = "truncated header";
    return false;
  }
  if (version != replayFormatVersion) {
    error = "replay format version " + std::to_string(version) + ", this game reads version " +
            std::to_string(replayFormatVersion);
    return false;
  }
  const std::size_t versionLength = in.u8();
  if (versionLength > maxReplayVersionChars) {
    error = "game version longer than " + std::to_string(maxReplayVersionChars) + " characters";
    return false;
  }
  header.gameVersion = in.text(versionLength);
  header.config.landscapeDetail = in.i32();
  header.config.shipDetail = in.i32();
  header.config.sound = in.i32();
  const std::size_t variants = in.u16();
  if (in.overrun()) {
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
    const std::size_t length = in.u16();
    if (length > maxReplayPathChars) {
      error = "a ship variant path longer than " + std::to_string(maxReplayPathChars) + " characters";
      return false;
    }
    path = in.text(length);
    if (in.overrun()) break;
  }
  if (in.overrun()) {
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
  ByteReader in(file);
  if (!parseHeader(in, replay.header, error)) return false;
  replay.events.clear();
  std::uint32_t last = 0;
  int width = 0, height = 0;  // the window's size as last recorded; 0 before the first
  while (in.left() > 0) {
    const std::size_t offset = in.position();
    const std::uint8_t type = static_cast<std::uint8_t>(in.u8());
    ReplayEvent e{};
    e.display = in.u32();
    InputEvent& input = e.input;
    auto fail = [&](const std::string& why) {
      error = why + " at byte " + std::to_string(offset);
      return false;
    };
    switch (type) {
      case static_cast<std::uint8_t>(InputKind::specialKey):
        input.kind = InputKind::specialKey;
        input.key = in.i32();
        if (!in.overrun() && !inRange(input.key, 0, maxReplaySpecialKey)) return fail("special key out of range");
        break;
      case static_cast<std::uint8_t>(InputKind::character):
        input.kind = InputKind::character;
        input.key = static_cast<int>(in.u8());
        break;
      case static_cast<std::uint8_t>(InputKind::mouse):
        input.kind = InputKind::mouse;
        input.key = static_cast<int>(in.u8());
        input.state = static_cast<int>(in.u8());
        input.x = in.f32();
        input.y = in.f32();
        if (in.overrun()) break;
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
        if (in.overrun()) break;
        if (!inRange(input.width, 1, maxReplayWindowSide) || !inRange(input.height, 1, maxReplayWindowSide))
          return fail("window size out of range");
        width = input.width;
        height = input.height;
        break;
      case gameEndRecord: {
        e.gameEnd = true;
        const std::uint32_t kind = in.u8();
        e.score = in.i32();
        if (in.overrun()) break;
        if (kind > 1 || e.score < 0) return fail("game end out of range");
        e.end = static_cast<GameEndKind>(kind);
        break;
      }
      default:
        return fail("unknown record type " + std::to_string(type));
    }
    if (in.overrun()) return fail("truncated record");
    if (e.display > maxReplayDisplay) return fail("display number out of range");
    if (e.display < last) return fail("display number going backwards");
    last = e.display;
    replay.events.push_back(e);
  }
  return true;
}

void encodeReplayHeader(const ReplayHeader& header, std::vector<std::byte>& bytes) {
  ByteWriter out(bytes);
  out.text(std::string_view(replayMagic, sizeof replayMagic));
  out.u16(replayFormatVersion);
  putText(out, header.gameVersion.substr(0, maxReplayVersionChars), 1);
  out.u32(static_cast<std::uint32_t>(header.config.landscapeDetail));
  out.u32(static_cast<std::uint32_t>(header.config.shipDetail));
  out.u32(static_cast<std::uint32_t>(header.config.sound));
  const std::size_t variants = std::min(header.variants.size(), maxReplayVariants);
  out.u16(static_cast<std::uint32_t>(variants));
  for (std::size_t i = 0; i < variants; ++i) putText(out, header.variants[i], 2);  // never longer than maxReplayPathChars
}

void encodeReplayEvent(const ReplayEvent& e, std::vector<std::byte>& bytes) {
  ByteWriter out(bytes);
  if (e.gameEnd) {
    out.u8(gameEndRecord);
    out.u32(e.display);
    out.u8(static_cast<std::uint32_t>(e.end));
    out.u32(static_cast<std::uint32_t>(e.score));
    return;
  }
  const InputEvent& input = e.input;
  out.u8(static_cast<std::uint32_t>(input.kind));
  out.u32(e.display);
  switch (input.kind) {
    case InputKind::specialKey:
      out.u32(static_cast<std::uint32_t>(input.key));
      break;
    case InputKind::character:
      out.u8(static_cast<std::uint32_t>(input.key));
      break;
    case InputKind::mouse:
      out.u8(static_cast<std::uint32_t>(input.key));
      out.u8(static_cast<std::uint32_t>(input.state));
      out.f32(input.x);
      out.f32(input.y);
      break;
    case InputKind::windowSize:
      out.u32(static_cast<std::uint32_t>(input.width));
      out.u32(static_cast<std::uint32_t>(input.height));
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
