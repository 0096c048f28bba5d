// Writing sculpt recordings, the counterpart of the recorder's reader.
#include "model/sculpt_format.h"

#include "base/bytes.h"

namespace sculpt {

Writer::Writer(std::string_view basePath) {
  integer(static_cast<std::int32_t>(basePath.size()));
  ByteWriter(data).text(basePath);
}

void Writer::integer(std::int32_t v) { ByteWriter(data).i32(v); }

void Writer::real(float v) { ByteWriter(data).f32(v); }

void Writer::point(BrushPoint p) {
  real(p.x);
  real(p.y);
  real(p.z);
  real(p.radius);
}

void Writer::colour(Colour k) {
  real(k.red);
  real(k.green);
  real(k.blue);
  real(k.alpha);
}

Writer& Writer::push(BrushPoint p) {
  integer(opPush);
  point(p);
  return *this;
}

Writer& Writer::pushStroke(BrushPoint from, BrushPoint to) {
  integer(opPushStroke);
  point(from);
  point(to);
  return *this;
}

Writer& Writer::paint(BrushPoint p, Colour k) {
  integer(opPaint);
  point(p);
  colour(k);
  return *this;
}

Writer& Writer::paintStroke(BrushPoint from, Colour fromColour, BrushPoint to, Colour toColour) {
  integer(opPaintStroke);
  point(from);
  colour(fromColour);
  point(to);
  colour(toColour);
  return *this;
}

Writer& Writer::attachments(std::span<const AttachmentPoint> points) {
  integer(opAttachments);
  integer(static_cast<std::int32_t>(points.size()));
  for (const AttachmentPoint& p : points) {
    real(p.x);
    real(p.y);
    real(p.z);
    real(p.w);
  }
  return *this;
}

Writer& Writer::pivot(float x, float y, float z) {
  integer(opPivot);
  real(x);
  real(y);
  real(z);
  return *this;
}

Writer& Writer::opcode(std::int32_t code) {
  integer(code);
  return *this;
}

}  // namespace sculpt
