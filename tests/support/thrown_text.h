// What a call threw, for tests of the loaders that throw the game's C-string messages.
#pragma once

#include <string>

// The message of a thrown C string, "(not a message)" for anything else thrown, "" when the
// call threw nothing.
template <class Call>
std::string thrownText(Call&& call) {
  try {
    call();
  } catch (const char* message) {
    return message;
  } catch (...) {
    return "(not a message)";
  }
  return "";
}
