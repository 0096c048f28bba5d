// The dialogs: their widgets, where they stand, and how the screens hand over to each other.
#include "ui/dialogs.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/frame.h"
#include "base/text1251.h"
#include "game/state.h"
#include "tests/support/test_files.h"
#include "ui/font.h"
#include "ui/highscore.h"
#include "ui/texts.h"
#include "ui/widgets.h"
#include "ui/window_list.h"

namespace {

// An 800 × 600 window: pixel (400 + 300·x, 300 − 300·y) is interface point (x, y).
int pixelX(float x) { return static_cast<int>(400 + 300 * x); }
int pixelY(float y) { return static_cast<int>(300 - 300 * y); }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = appFrame;
    savedCellSize_ = cellSize;
    appFrame.windowWidth = 800;
    appFrame.windowHeight = 600;
    cellSize = computeProjection(800, 600).cellSize;
    appFrame.specialHook = gameSpecialKey;
    gameState = initialGameState();
    connectDialogs();
    closeAllWindows();
    windowList.listRebuilt = false;
  }
  void TearDown() override {
    closeAllWindows();
    appFrame = saved_;
    cellSize = savedCellSize_;
  }
  template <typename W>
  W* widget(int i) {
    W* w = dynamic_cast<W*>(windowList.at(i));
    EXPECT_NE(w, nullptr) << "widget " << i;
    return w;
  }
  void click(float x, float y) {
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, pixelX(x), pixelY(y));
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, pixelX(x), pixelY(y));
  }
  AppFrame saved_;
  float savedCellSize_ = 0.0f;
};

TEST_F(DialogTest, TheMenuHasItsTwoButtons) {
  showMenu();
  ASSERT_EQ(windowList.size(), 2);
  Button* restart = widget<Button>(0);
  Button* help = widget<Button>(1);
  EXPECT_EQ(restart->text, "Заново (F2)"_cp1251);
  EXPECT_EQ(help->text, "Справка"_cp1251);
  EXPECT_FLOAT_EQ(restart->x, -0.9f);
  EXPECT_FLOAT_EQ(restart->y, 0.9f);
  EXPECT_FLOAT_EQ(restart->width, 0.5f);
  EXPECT_FLOAT_EQ(restart->height, 0.1f);
  EXPECT_FLOAT_EQ(help->x, 0.5f);
  EXPECT_EQ(windowList.focus(), restart);
  EXPECT_EQ(windowList.highlighted(), nullptr);
}

// English is written with the font's own characters only: every one is drawn, none is a black cell.
TEST_F(DialogTest, TheEnglishTextsUseOnlyCharactersTheFontDraws) {
  initFont();
  const InterfaceTexts& english = textsFor(Language::english);
  char score[32];
  std::snprintf(score, sizeof score, english.scoreFormat, 1234567890);
  for (const std::string text : {english.restartButton, english.helpButton, english.okButton, english.helpText,
                                 english.namePrompt, english.notSaved, english.pauseLabel, static_cast<const char*>(score)})
    for (char c : text)
      EXPECT_TRUE(c == ' ' || glyphFor(static_cast<unsigned char>(c)) != blankGlyph()) << text << ": '" << c << "'";
  setLanguage(Language::english);
  showMenu();
  setLanguage(Language::russian);
  EXPECT_EQ(widget<Button>(0)->text, english.restartButton);
  EXPECT_EQ(widget<Button>(1)->text, english.helpButton);
}

TEST_F(DialogTest, HelpAndBackToTheMenu) {
  showMenu();
  click(0.75f, 0.85f);  // "Справка"
  ASSERT_EQ(windowList.size(), 2);
  TextView* text = widget<TextView>(0);
  EXPECT_EQ(text->text, interfaceTexts().helpText);
  EXPECT_EQ(windowList.focus(), text);
  EXPECT_EQ(std::string(interfaceTexts().helpText).rfind("Для управления используёте клавиши со стрелками. \t\t"_cp1251, 0), 0u);
  specialCallback(GLUT_KEY_DOWN, 0, 0);  // the help scrolls at once
  EXPECT_EQ(text->scroll, 1);
  Button* ok = widget<Button>(1);
  EXPECT_EQ(ok->text, "OK");
  click(0.0f, -0.65f);
  ASSERT_EQ(windowList.size(), 2);
  EXPECT_EQ(widget<Button>(1)->text, "Справка"_cp1251);
}

TEST_F(DialogTest, TheRestartButtonAndF2RestartAndShowTheMenu) {
  showMenu();
  gameState.collected = 5;
  keyboardCallback(' ', 0, 0);
  EXPECT_EQ(gameState.collected, 0);
  EXPECT_EQ(windowList.size(), 2);

  showNameEntry();
  gameState.collected = 3;
  specialCallback(GLUT_KEY_F2, 0, 0);  // the result of the game is not entered
  ASSERT_EQ(windowList.size(), 2);
  EXPECT_EQ(widget<Button>(0)->text, "Заново (F2)"_cp1251);
  EXPECT_EQ(gameState.collected, 0);
}

TEST_F(DialogTest, TabReachesTheHelpButton) {
  showMenu();
  keyboardCallback('\t', 0, 0);
  EXPECT_EQ(windowList.highlighted(), windowList.at(1));
  keyboardCallback(' ', 0, 0);
  EXPECT_NE(dynamic_cast<TextView*>(windowList.at(0)), nullptr);
}

TEST_F(DialogTest, NameEntryStoresTheResultAndListsTheTable) {
  ScratchDir dir("dialogs-names");
  WorkingDir cwd(dir.path());
  showNameEntry();
  ASSERT_EQ(windowList.size(), 1);
  TextField* field = widget<TextField>(0);
  EXPECT_EQ(field->text, "Введите ваше имя:"_cp1251);
  EXPECT_EQ(field->capacity, 20);
  EXPECT_FLOAT_EQ(field->y, 0.1f);
  EXPECT_FLOAT_EQ(field->height, 0.2f);

  gameState.collected = 7;
  for (char c : std::string("Ann")) keyboardCallback(static_cast<unsigned char>(c), 0, 0);
  keyboardCallback('\r', 0, 0);

  ASSERT_EQ(windowList.size(), 11);
  EXPECT_EQ(widget<Label>(0)->text, "Ann  7");
  for (int i = 0; i < 10; ++i) {
    Label* line = widget<Label>(i);
    EXPECT_FLOAT_EQ(line->x, -0.5f);
    EXPECT_EQ(line->y, static_cast<float>(0.5 - 0.1 * i)) << i;
    EXPECT_FLOAT_EQ(line->width, 1.0f);
    EXPECT_FLOAT_EQ(line->height, 1.0f);
  }
  const int lastBefore = windowList.size() - 1;
  Button* ok = widget<Button>(lastBefore);
  EXPECT_EQ(ok->text, "OK");
  EXPECT_FLOAT_EQ(ok->y, -0.6f);
  EXPECT_FLOAT_EQ(ok->height, 0.2f);
  EXPECT_EQ(readBytes("h.bin").size(), 240u);  // saved right after the entry
  HighscoreTable onDisk;
  ASSERT_TRUE(onDisk.load());
  EXPECT_STREQ(onDisk.entryAt(0).name, "Ann");
  EXPECT_EQ(onDisk.scoreAt(0), 7u);

  // An empty name is stored too; its line reads two spaces and the score.
  click(0.0f, -0.7f);
  ASSERT_EQ(windowList.size(), 2);  // OK went back to the menu
  showNameEntry();
  gameState.collected = 9;
  keyboardCallback('\r', 0, 0);
  EXPECT_EQ(widget<Label>(0)->text, "  9");
  EXPECT_EQ(widget<Label>(1)->text, "Ann  7");
  EXPECT_EQ(widget<Label>(9)->text.substr(0, 2), "  ");
}

TEST_F(DialogTest, ANineteenCharacterNameIsStoredWhole) {
  ScratchDir dir("dialogs-long");
  WorkingDir cwd(dir.path());
  showNameEntry();
  gameState.collected = 1000;
  for (int i = 0; i < 25; ++i) keyboardCallback(static_cast<unsigned char>('a' + i), 0, 0);
  keyboardCallback('\r', 0, 0);
  EXPECT_EQ(widget<Label>(0)->text, "abcdefghijklmnopqrs  1000");
}

// A save that fails is said where the player looks: a line under the list, above OK.
TEST_F(DialogTest, AResultThatWasNotSavedIsSaidUnderTheList) {
  ScratchDir dir("dialogs-unsaved");
  WorkingDir cwd(dir.path());
  std::filesystem::create_directories("h.bin.lock/inside");  // the save cannot take its lock
  showNameEntry();
  gameState.collected = 2;
  testing::internal::CaptureStderr();
  keyboardCallback('\r', 0, 0);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(windowList.size(), 12);
  Label* said = widget<Label>(10);
  EXPECT_EQ(said->text, "Результат не сохранён"_cp1251);
  EXPECT_FLOAT_EQ(said->y, -0.5f);
  EXPECT_EQ(widget<Button>(11)->text, "OK");
}

}  // namespace
