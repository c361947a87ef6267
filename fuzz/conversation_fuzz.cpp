// Reading a conversation window from titles and texts of any bytes and length: the
// group-chat test, the sender ID and key, the message after the first colon, and the log
// record made from them.
//
// Input: the title is everything before the first NUL byte (a window title never holds
// one), the conversation text everything after it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/utf8.h"
#include "fuzz_support.h"
#include "msglog/log_file.h"
#include "responder/conversation.h"

namespace {

constexpr std::size_t GROUP_CHAT_TITLE_CHARS = 29;
constexpr std::size_t SENDER_TITLE_CHARS = 74;
constexpr std::size_t TEXT_CHARS = MessageExtractor::BUFFER_SIZE - 1;

bool contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

void checkTitle(const std::string& title) {
  const bool groupChat = IsGroupChatTitle(title);
  const std::string head(Utf8Prefix(title, GROUP_CHAT_TITLE_CHARS));
  QV_REQUIRE(groupChat == (contains(head, "Conference:") || contains(head, "Voice Chat:")));

  std::string id = "stale";
  const bool named = ParseSenderId(title, id);
  QV_REQUIRE(named == !title.empty());
  if (!named) return;
  const std::string shown(Utf8Prefix(title, SENDER_TITLE_CHARS));
  const std::size_t open = shown.find('(');
  const std::size_t from = open == std::string::npos ? 0 : open + 1;
  // The ID is a piece of the title's reading, starting right after the first '(' (or at
  // the start), and stops before the first character that ends it.
  QV_REQUIRE(shown.compare(from, id.size(), id) == 0);
  QV_REQUIRE(!contains(id, open == std::string::npos ? "-" : ")"));
  if (open == std::string::npos) QV_REQUIRE(!contains(id, " "));
  QV_REQUIRE(id.find_first_of("\r\n") == std::string::npos);

  const std::string key = MakeSenderKey(id);
  QV_REQUIRE(key == id + ",>");
  IsPlaceholderSender(key);
}

void checkText(const std::string& text, std::string& message) {
  static MessageExtractor extractor;
  message = "stale";
  const bool incoming = extractor.ExtractMessage(':', text, message);
  const std::string examined(Utf8Prefix(text, TEXT_CHARS));
  const std::size_t colon = examined.find(':');
  if (Utf8CharCount(text) == EMPTY_WINDOW_TEXT_LENGTH || colon == std::string::npos) {
    QV_REQUIRE(!incoming && message.empty());
    return;
  }
  QV_REQUIRE(incoming);
  const std::size_t lineEnd = examined.find('\n', colon + 1);
  QV_REQUIRE(message == examined.substr(colon + 1, lineEnd == std::string::npos
                                                       ? std::string::npos
                                                       : lineEnd - colon - 1));
  QV_REQUIRE(Utf8CharCount(message) < TEXT_CHARS);
}

// A record is eight lines, each ended by CR LF, with no other line feed in it.
void checkRecord(const std::string& key, const std::string& message) {
  const std::string record = FormatLogRecord("Sun Dec 06 04:55:36 2026 ", key, message);
  QV_REQUIRE(std::count(record.begin(), record.end(), '\n') == 8);
  std::size_t start = 0;
  int line = 0;
  while (start < record.size()) {
    const std::size_t end = record.find("\r\n", start);
    QV_REQUIRE(end != std::string::npos);
    const std::string text = record.substr(start, end - start);
    ++line;
    if (line == 3) QV_REQUIRE(text == "( FROM ) : " + key);
    if (line == 4) QV_REQUIRE(text == "( MSG )  : " + message);
    start = end + 2;
  }
  QV_REQUIRE(line == 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const UnitTimeLimit limit;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string title = input.substr(0, nul);
  const std::string text = nul == std::string::npos ? std::string() : input.substr(nul + 1);

  checkTitle(title);
  std::string message;
  checkText(text, message);
  std::string id;
  ParseSenderId(title, id);
  checkRecord(MakeSenderKey(id), message);
  return 0;
}
