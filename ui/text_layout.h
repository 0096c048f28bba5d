// Word-wrapped lines of the 8×8 font, worked out without drawing: where each line of a text box
// starts and ends. drawText and the scrolling text view both break lines this way.
#pragma once

// Characters that fit on one line of the given width; 0 when less than one cell fits.
inline int charsPerLine(float width, float cellSize) {
  float cells = width / cellSize;
  if (!(cells >= 1.0f)) return 0;  // also NaN and negative widths
  if (cells > 1.0e9f) return 1000000000;
  return static_cast<int>(cells);
}

// Where the line that begins at `start` ends when at most `perLine` characters fit: at the last
// space within reach (the space itself is not part of the line), or hard after `perLine`
// characters when the line holds no space after its first character, or at the end of the text.
inline int lineEnd(const char* text, int length, int start, int perLine) {
  int end = start + perLine;
  if (end >= length) return length;
  int j = end;
  while (text[j] != ' ' && j > 0) --j;
  return j > start ? j : end;
}

// Where the line after the one that ends at `end` begins: exactly one space is swallowed at a break.
inline int nextLineStart(const char* text, int length, int end) {
  return end < length && text[end] == ' ' ? end + 1 : end;
}

// Calls line(start, end, index, lineOffset) for every line drawText shows of a box `height` high:
// the first line always, each further line while its offset below the box's top stays within
// `height`. lineOffset (negative, in interface units) is where the line's cells end below the top,
// summed in single precision one cell at a time. Nothing is shown when no character fits a line.
template <typename LineFn>
void forEachTextLine(const char* text, int length, float width, float height, float cellSize, LineFn&& line) {
  if (length <= 0 || text == nullptr) return;
  const int perLine = charsPerLine(width, cellSize);
  if (perLine <= 0) return;
  int start = 0;
  float lineOffset = -cellSize;
  for (int index = 0;; ++index) {
    const int end = lineEnd(text, length, start, perLine);
    line(start, end, index, lineOffset);
    lineOffset -= cellSize;
    if (end >= length || -lineOffset > height) return;
    start = nextLineStart(text, length, end);
    if (start >= length) return;
  }
}

// The text view's first shown character for a scroll of `scroll` lines. A scroll past the last
// line is lowered by one (the excess drains one line per frame), so `scroll` may change. A view
// too narrow for one character shows nothing and keeps its scroll: every skipped line is empty.
inline int scrolledTextStart(const char* text, int length, int perLine, int& scroll) {
  if (perLine <= 0) return 0;
  int pos = 0;
  for (int i = 0, steps = scroll; i < steps; ++i) {
    if (pos + perLine > length) {
      --scroll;
      break;
    }
    pos = nextLineStart(text, length, lineEnd(text, length, pos, perLine));
  }
  return pos;
}
