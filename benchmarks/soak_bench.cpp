// A long run of the real program against the stand-in messenger: one conversation after
// another, each opened when the last has closed, every one of which must be answered
// exactly once with the right text. Prints the missed, doubled and wrong replies, the
// conversations per minute, the reply latency and the program's resident memory at the
// start, the middle and the end.
//
//   soak_bench.exe [conversations (150)] [contacts (30)] [lite look: 0 or 1 (0)]
//
// The memory comes from /proc, which only the Linux side can read: the benchmark leaves a
// request file in the working folder and scripts/bench-soak.sh answers it with the
// resident size of this run's quorvane.exe.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

const char* const DEFAULT_REPLY = "I am away from the keyboard, back soon";
const int GROUP_COUNT = 3;

std::string contactId(int contact) {
  char id[32];
  std::snprintf(id, sizeof id, "soak_contact%02d", contact);
  return id;
}

// Every third contact is in a reply group, the groups taking turns.
bool inGroup(int contact) {
  return contact % 3 == 0;
}

std::string groupMessage(int contact) {
  return "Group " + std::to_string(contact / 3 % GROUP_COUNT) + " says: out for lunch";
}

std::string groupsFile(int contacts) {
  std::string file;
  for (int g = 0; g < GROUP_COUNT; ++g) {
    file += "Group---\r\nSoak group " + std::to_string(g) + "\r\n";
    file += "Group " + std::to_string(g) + " says: out for lunch\r\n";
    for (int c = 0; c < contacts; ++c) {
      if (inGroup(c) && c / 3 % GROUP_COUNT == g) file += "User---\r\n" + contactId(c) + "\r\n";
    }
    file += "---\r\n";
  }
  return file;
}

// What the contact's conversation must receive: the greeting, the ID with its comma and
// the group's message, or the default reply, which the main window sends with a blank.
std::string expectedReply(int contact) {
  const std::string reply =
      inGroup(contact) ? groupMessage(contact) : DEFAULT_REPLY + std::string(" ");
  return " Hey " + contactId(contact) + "," + reply;
}

// Asks the script for quorvane.exe's resident size; "?" when no answer came.
std::string residentKb(const QuorvaneApp& app, const std::string& moment) {
  const std::string answer = "rss_" + moment + ".txt";
  if (!app.writeFile("rss_request_" + moment + ".txt", moment)) return "?";
  std::string kb;
  if (!WaitUntil([&] { return app.readFile(answer, kb) && !kb.empty() && kb.back() == '\n'; },
                 10000)) {
    return "?";
  }
  kb.pop_back();
  return kb;
}

struct Summary {
  double min = 0, median = 0, max = 0;
};

Summary summarise(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
  return {values.front(), median, values.back()};
}

}  // namespace

int main(int argc, char** argv) {
  const int conversations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 150;
  const int contacts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
  const int lite = argc > 3 ? (std::atoi(argv[3]) != 0) : 0;

  QuorvaneApp app("soak");
  if (!app.writeFile("conf.qvr", confFile(DEFAULT_REPLY, "0", "1", std::to_string(lite))) ||
      !app.writeFile("Groups.lst", groupsFile(contacts))) {
    std::fprintf(stderr, "the working folder %s cannot be written\n", app.folder().c_str());
    return 1;
  }
  StandInMessenger messenger;
  if (!messenger.start(app.path("standin_transcript.txt"))) {
    std::fprintf(stderr, "the stand-in messenger did not start\n");
    return 1;
  }
  if (!app.start() || !app.waitForNoPopups(8000)) {
    std::fprintf(stderr, "quorvane.exe did not start\n");
    return 1;
  }
  app.click(IDC_ACTIVATE);
  if (!app.waitForText(IDC_STATUS, "Autoresponse is on guard")) {
    std::fprintf(stderr, "autoresponse did not start\n");
    return 1;
  }
  const std::string memoryStart = residentKb(app, "start");
  std::string memoryMiddle = "?";

  int missed = 0, doubled = 0, wrong = 0;
  std::vector<double> latencies;
  const DWORD began = GetTickCount();
  for (int i = 0; i < conversations; ++i) {
    const int contact = i % contacts;
    const std::string id = contactId(contact);
    const std::wstring text = L"message " + std::to_wstring(i) + L", are you there?";
    HWND window = messenger.openMessage(standInChatTitle("Soak Contact", id), id, text);
    if (!window) {
      std::fprintf(stderr, "conversation %d could not be opened\n", i);
      return 1;
    }
    if (!messenger.waitForClose(window, 20000)) {
      std::fprintf(stderr, "conversation %d (%s) was not closed\n", i, id.c_str());
      messenger.closeAll();
    }
    const StandInWindowRecord record = messenger.record(window);
    if (record.sent.empty()) {
      ++missed;
    } else {
      if (record.sent.size() > 1) ++doubled;
      if (record.sent[0] != expectedReply(contact)) {
        ++wrong;
        std::fprintf(stderr, "conversation %d (%s) got \"%s\"\n", i, id.c_str(),
                     record.sent[0].c_str());
      }
    }
    if (record.closed) latencies.push_back(static_cast<double>(record.closedMs - record.openedMs));
    if (i + 1 == (conversations + 1) / 2) memoryMiddle = residentKb(app, "middle");
  }
  const double minutes = (GetTickCount() - began) / 60000.0;
  // Let the last popups and the last pass end before the final look at the memory.
  Sleep(4000);
  const std::string memoryEnd = residentKb(app, "end");
  const std::string received = app.text(IDC_RECEIVED_COUNT);
  const std::string replied = app.text(IDC_REPLIED_COUNT);
  const bool countsRight =
      received == std::to_string(conversations) && replied == std::to_string(conversations);

  const Summary latency = summarise(latencies);
  std::printf("soak: %d conversations with %d contacts (%d in reply groups), %s look\n",
              conversations, contacts, (contacts + 2) / 3, lite ? "lite" : "normal");
  std::printf("  missed %d, doubled %d, wrong %d; counted received %s, replied %s\n", missed,
              doubled, wrong, received.c_str(), replied.c_str());
  std::printf("  %.1f conversations per minute (%.1f min in all)\n", conversations / minutes,
              minutes);
  std::printf(
      "  reply latency, window shown to close request: min %.0f ms, median %.0f ms, "
      "max %.0f ms\n",
      latency.min, latency.median, latency.max);
  std::printf("  quorvane.exe resident memory: start %s kB, middle %s kB, end %s kB\n",
              memoryStart.c_str(), memoryMiddle.c_str(), memoryEnd.c_str());

  app.close();
  messenger.stop();
  return missed == 0 && doubled == 0 && wrong == 0 && countsRight ? 0 : 1;
}
