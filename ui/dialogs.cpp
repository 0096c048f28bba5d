// The dialogs: which widgets each screen creates, where, and how the screens hand over.
#include "ui/dialogs.h"

#include <cstdio>
#include <new>
#include <utility>

#include "base/text1251.h"
#include "ui/highscore.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

DialogActions dialogActions;

const char* const helpText =
    "Для управления используёте клавиши со стрелками. \t\t"
    "Игра velmo 1.0. Программа, модели, скульптуры гор, звуки и шрифт 8x8: команда velmo. "
    "Корабль летит сам, стрелки влево и вправо поворачивают его на 10 градусов. "
    "Собирайте звёзды, пока пузырь не вырос, и не задевайте горы. "
    "Спасибо за игру."_cp1251;

const char* const notSavedText = "Результат не сохранён"_cp1251;

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
  if (!saved) create<Label>(-0.5f, -0.5f, 1.0f, 1.0f, std::string(notSavedText));
  create<Button>(-0.5f, -0.6f, 1.0f, 0.2f, std::string("OK"), showMenu);
}

}  // namespace

void showMenu() {
  closeAllWindows();
  try {
    new Button(-0.9f, 0.9f, 0.5f, 0.1f, std::string("Заново (F2)"_cp1251), dialogActions.restart);
  } catch (const std::bad_alloc&) {
    throw 1;
  }
  create<Button>(0.5f, 0.9f, 0.5f, 0.1f, std::string("Справка"_cp1251), showHelp);
}

void showHelp() {
  closeAllWindows();
  create<TextView>(-0.5f, 0.5f, 1.0f, 1.0f, std::string(helpText));
  create<Button>(-0.2f, -0.6f, 0.4f, 0.1f, std::string("OK"), showMenu);
}

void showNameEntry() {
  closeAllWindows();
  create<TextField>(-0.5f, 0.1f, 1.0f, 0.2f, std::string("Введите ваше имя:"_cp1251), 20, onNameEntered);
}

void onNameEntered(const std::string& entered) {
  try {
    const std::string name = entered;  // closing the windows may destroy whatever holds `entered`
    closeAllWindows();
    buildHighscoreList(name);
  } catch (const char*) {
    throw;
  } catch (...) {
    throw "Error saving highscores\n";
  }
}
