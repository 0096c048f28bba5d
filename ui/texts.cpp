// The interface's texts. The Russian ones are the game's own, kept byte for byte (Windows-1251);
// the English ones use only characters the font draws (no parentheses, question or exclamation
// marks, quotes or apostrophes) and blanks only between words.
#include "ui/texts.h"

#include <cstring>

#include "base/text1251.h"

namespace {

const InterfaceTexts russian = {
    .restartButton = "Заново (F2)"_cp1251,
    .helpButton = "Справка"_cp1251,
    .okButton = "OK",
    .helpText = "Для управления используёте клавиши со стрелками. \t\t"
                "Игра velmo 1.0. Программа, модели, скульптуры гор, звуки и шрифт 8x8: команда velmo. "
                "Корабль летит сам, стрелки влево и вправо поворачивают его на 10 градусов. "
                "Собирайте звёзды, пока пузырь не вырос, и не задевайте горы. "
                "Спасибо за игру."_cp1251,
    .namePrompt = "Введите ваше имя:"_cp1251,
    .scoreFormat = "Собрано: %i"_cp1251,
    .notSaved = "Результат не сохранён"_cp1251,
    .pauseLabel = "Пауза"_cp1251,
};

const InterfaceTexts english = {
    .restartButton = "Restart F2",
    .helpButton = "Help",
    .okButton = "OK",
    .helpText = "Use the arrow keys to steer. "
                "The game velmo 1.0. Program, models, mountain sculptures, sounds and the 8x8 font: the velmo team. "
                "The ship flies by itself; the left and right arrows turn it by 10 degrees. "
                "Collect the stars before the bubble grows too large, and keep clear of the mountains. "
                "F2 starts a new game, P pauses it, F11 switches full screen. "
                "Thank you for playing.",
    .namePrompt = "Enter your name:",
    .scoreFormat = "Collected: %i",
    .notSaved = "Result not saved",
    .pauseLabel = "Pause",
};

Language current = Language::russian;

}  // namespace

bool findLanguage(const char* code, Language& language) {
  if (std::strcmp(code, "ru") == 0) return language = Language::russian, true;
  if (std::strcmp(code, "en") == 0) return language = Language::english, true;
  return false;
}

const InterfaceTexts& textsFor(Language language) { return language == Language::english ? english : russian; }

const InterfaceTexts& interfaceTexts() { return textsFor(current); }

void setLanguage(Language language) { current = language; }
