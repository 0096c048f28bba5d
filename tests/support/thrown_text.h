// What a call threw, for tests of the loaders that throw the game's failures.
#pragma once

#include <string>

#include "base/error.h"

// The text of a thrown GameError, "(not a message)" for one without or anything else thrown, "" when the
// call threw nothing.
template <class Call>
std::string thrownText(Call&& call) {
  try {
    call();
  } catch (const GameError& failure) {
    return failure.message ? failure.message : "(not a message)";
  } catch (...) {
    return "(not a message)";
  }
  return "";
}

// What the game prints for the failure a call throws: its text and the line naming its file.
template <typename Call>
std::string thrownReport(Call&& call) {
  try {
    call();
  } catch (const GameError& failure) {
    return failureReport(failure);
  } catch (...) {
    return "(not a game error)";
  }
  return "";
}
