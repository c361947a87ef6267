// A short show of the program at work: a contact writes through the stand-in messenger
// and Quorvane answers. Run by scripts/run.sh; prints what happens as it goes. With
// --pictures it takes the user guide's pictures instead (scripts/pictures.sh).
//
//   quorvane_demo.exe <working folder> <screenshot folder>
//   quorvane_demo.exe --pictures <picture folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/screenshot.h"
#include "pictures_win32.h"
#include "resources/resource.h"

namespace {

const char* const DEMO_REPLY =
    "Hello! I am away from my desk right now and will answer as soon as I am back.";

void say(const char* text) {
  std::printf("demo: %s\n", text);
  std::fflush(stdout);
}

void shot(const char* name) {
  if (SaveScreenShot(name))
    std::printf("demo: screenshot %s\\%s.bmp\n", ScreenshotFolder().c_str(), name);
  std::fflush(stdout);
}

int fail(const char* what) {
  std::printf("demo: FAILED: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf(
        "usage: quorvane_demo <working folder> <screenshot folder>\n"
        "       quorvane_demo --pictures <picture folder>\n");
    return 2;
  }
  if (std::string(argv[1]) == "--pictures") return TakePictures(argv[2]);
  const std::string folder = argv[1];
  SetScreenshotFolder(argv[2]);

  say("starting the stand-in messenger");
  StandInMessenger messenger;
  if (!messenger.start(folder + "\\standin_transcript.txt")) return fail("stand-in messenger");

  say("starting Quorvane");
  QuorvaneApp app(QuorvaneApp::ExistingFolder{folder});
  if (!app.start()) return fail("quorvane.exe did not open its window");
  app.waitForNoPopups(6000);

  if (app.text(IDC_DEFAULT_REPLY).empty()) {
    say("typing a default reply");
    app.setText(IDC_DEFAULT_REPLY, DEMO_REPLY);
  }
  shot("demo_1_ready");

  say("activating autoresponse");
  app.click(IDC_ACTIVATE);
  if (!app.waitForText(IDC_STATUS, "Autoresponse is on guard", 5000))
    return fail("autoresponse did not start");
  app.waitForNoPopups(6000);

  say("robin_example writes: Hi, are you there?");
  HWND conversation = messenger.openMessage(standInChatTitle("Robin Example", "robin_example"),
                                            "robin_example", L"Hi, are you there?");
  if (!conversation) return fail("the stand-in did not open a conversation");
  messenger.waitForChars(conversation, 10, 5000);
  shot("demo_2_typing");

  if (!messenger.waitForClose(conversation, 10000)) return fail("no answer within 10 s");
  StandInWindowRecord answered = messenger.record(conversation);
  for (const std::string& sent : answered.sent)
    std::printf("demo: Quorvane sent: %s\n", sent.c_str());
  // The counts and the status line are written after the note is requested.
  app.waitForText(IDC_STATUS, "IM Autoresponded...", 5000);
  WaitUntil(
      [&] {
        for (const PopupWindow& p : app.popups())
          if (p.text.rfind("Msg from : ", 0) == 0) return true;
        return false;
      },
      3000);
  shot("demo_3_answered");
  std::printf("demo: status line: %s\n", app.text(IDC_STATUS).c_str());
  std::printf("demo: window title: %s\n", app.title().c_str());

  say("closing");
  DWORD code = app.close();
  messenger.stop();
  std::printf("demo: Quorvane ended with exit code %lu\n", code);
  return code == 0 ? 0 : 1;
}
