// The dialogs: which widgets each screen creates, where, and how the screens hand over.
#include "ui/dialogs.h"

#include <cstdio>
#include <new>
#include <utility>

#include "base/error.h"
#include "ui/highscore.h"
#include "ui/texts.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

DialogActions dialogActions;

namespace {

// A widget that cannot be had is left out of its dialog; the dialog goes on without it.
template <typename W, typename... Args>
void create(Args&&... args) {
  try {
    new W(std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
  }
}

void buildHighscoreList(const std::string& name) {
  const int score = dialogActions.score ? dialogActions.score() : 0;
  highscoreTable.insert(name.c_str(), static_cast<std::uint32_t>(score < 0 ? 0 : score));
  const bool saved = highscoreTable.save();
  for (int i = 0; i < highscoreTable.count(); ++i) {
    const HighscoreEntry& entry = highscoreTable.entryAt(i);
    char line[highscoreNameBytes + 16];
    std::snprintf(line, sizeof line, "%s  %u", entry.name, static_cast<unsigned>(entry.score));
    create<Label>(-0.5f, static_cast<float>(0.5 - 0.1 * i), 1.0f, 1.0f, std::string(line));
  }
  // The console is not where a player looks: a result that did not reach "h.bin" says so here.
  if (!saved) create<Label>(-0.5f, -0.5f, 1.0f, 1.0f, std::string(interfaceTexts().notSaved));
  create<Button>(-0.5f, -0.6f, 1.0f, 0.2f, std::string(interfaceTexts().okButton), showMenu);
}

}  // namespace

void showMenu() {
  closeAllWindows();
  try {
    new Button(-0.9f, 0.9f, 0.5f, 0.1f, std::string(interfaceTexts().restartButton), dialogActions.restart);
  } catch (const std::bad_alloc&) {
    throw GameError{};
  }
  create<Button>(0.5f, 0.9f, 0.5f, 0.1f, std::string(interfaceTexts().helpButton), showHelp);
}

void showHelp() {
  closeAllWindows();
  create<TextView>(-0.5f, 0.5f, 1.0f, 1.0f, std::string(interfaceTexts().helpText));
  create<Button>(-0.2f, -0.6f, 0.4f, 0.1f, std::string(interfaceTexts().okButton), showMenu);
}

void showNameEntry() {
  closeAllWindows();
  create<TextField>(-0.5f, 0.1f, 1.0f, 0.2f, std::string(interfaceTexts().namePrompt), 20, onNameEntered);
}

void onNameEntered(const std::string& entered) {
  try {
    const std::string name = entered;  // closing the windows may destroy whatever holds `entered`
    closeAllWindows();
    buildHighscoreList(name);
  } catch (const GameError& failure) {
    if (failure.message) throw;
    throw GameError{failureText::savingHighscores, failure.file, failure.reason};
  } catch (...) {
    throw GameError{failureText::savingHighscores};
  }
}
