// Part directories: a folder whose "files.txt" lists the variant recordings of one model part,
// one file name per line; each build of the part replays one variant drawn at random.
//
// files.txt: a line ends at a line feed, a carriage return just before it belonging to the ending.
// Every line is an entry, a blank one included, and so is the remainder after the last line feed,
// which is empty when the file ends with one: "a\nb" has two entries, "a\nb\n" three, an empty
// file one. A line holds at most 80 characters besides its ending; a longer line makes the whole
// list unreadable rather than being split into several names.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "model/file_source.h"

inline constexpr std::size_t maxPartLineChars = 80;      // per line, without its ending
inline constexpr std::size_t maxPartListBytes = 1u << 20;  // a larger files.txt is not read
// A part whose recording declares more attachment points is a format error: no model file could
// carry a child record for each of them (see model/model_file.h).
inline constexpr std::size_t maxPartAttachments = 64;

// Splits files.txt into its entries as above. Returns false, leaving `entries` empty, when a line
// is longer than maxPartLineChars.
bool parsePartList(std::span<const std::byte> text, std::vector<std::string>& entries);

// Which of `count` entries a draw from the random sequence picks: draw mod count, where 0 means
// the last entry and n > 0 the n-th from the start.
std::size_t chooseEntry(std::size_t count, int draw);

// The recording path of one variant of the part in `directory`: directory + "/" + the chosen
// entry, joined as they stand. Draws one number from the shared sequence. Returns an empty string
// when files.txt cannot be opened; throws failureText::accessingFile when it opens but cannot be
// read, and a failure naming files.txt when a line is too long.
std::string pickRecording(const std::string& directory, FileSource& files);
std::string pickRecording(const std::string& directory);

// Every path pickRecording has returned, in order: the ship's variant draws, which a replay
// compares with its recording's to notice a different data folder. Only the first
// maxPickedRecordings are kept.
inline constexpr std::size_t maxPickedRecordings = 256;
const std::vector<std::string>& pickedRecordings();

// The sphere detail of a part of a model of the given detail: detail × detailScale in single
// precision, truncated, brought into 2..360. A scale that is not a number counts as 1.
int partDetail(int detail, float detailScale);
