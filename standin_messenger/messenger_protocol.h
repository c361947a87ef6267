// The stand-in messenger's scripted interface: commands that a test sends to its control
// window, and the transcript file in which it records what its conversation windows
// received. Plain values only, so both sides can include it without a Windows header.
//
// Commands: SendMessageA(control window, WM_COPYDATA, sender window or 0, &cds) with
// cds.dwData = one of the STANDIN_CMD_* codes and cds.lpData / cds.cbData the command's
// payload. The control window is the top-level window of class STANDIN_CONTROL_CLASS in
// the stand-in's process. The result of SendMessage is the command's answer.
//
// Transcript: `standin_messenger.exe --transcript <path>` writes one line per event,
// each written at once with its line end (CR LF), in the order the events happened:
//
//   <ms> <event> <window> [<argument>]
//
// <ms> is GetTickCount64() at the event (the same clock in every process of the machine,
// so a test can measure latencies against it); <window> is the conversation window's
// handle in lower-case hex without a prefix ("0" for events that belong to no window).
//
//   start 0 <process id>           the stand-in is ready for commands
//   open <window> <title as hex>   a conversation window was created and shown
//   open <window> <title> utf16    the same for a Unicode window (STANDIN_UNICODE)
//   char <window> <code>           the entry field received WM_CHAR <code> (decimal 0-255,
//                                  in a Unicode window one UTF-16 unit 0-65535)
//   click <window> <entry as hex>  the Send button was clicked; the entry field held this
//   close <window>                 the window received WM_CLOSE (it then destroys itself)
//   quit 0                         the stand-in is ending
//
// Texts in the transcript are written as the hex digits of their ANSI bytes, or of their
// UTF-8 bytes in a Unicode window (two lower-case digits a byte; an empty text is "-"), so
// every line splits on blanks.
#pragma once

#include <cstdint>

// Window class and title of the control window.
constexpr const char* STANDIN_CONTROL_CLASS = "QvStandInMessengerControl";
constexpr const char* STANDIN_CONTROL_TITLE = "Stand-in Messenger";

// The control window's fields, for tests that act as a person: the contact's ID and the
// message that "&Receive message" opens a conversation with; "&New conversation" opens
// an empty one ("<contact> - chat", or "Instant Message" while no contact is filled in).
constexpr int STANDIN_CONTACT_FIELD_ID = 101;
constexpr int STANDIN_MESSAGE_FIELD_ID = 102;

// The program's path below the windows build folder, and that of its 32-bit build (the
// chat client itself is a 32-bit program).
constexpr const char* STANDIN_EXE_RELATIVE = "\\standin_messenger\\standin_messenger.exe";
constexpr const char* STANDIN32_EXE_RELATIVE =
    "\\standin32\\standin_messenger\\standin_messenger.exe";
constexpr const char* STANDIN_TRANSCRIPT_SWITCH = "--transcript";

// Command codes (COPYDATASTRUCT::dwData).
enum StandInCommand : std::uint32_t {
  // Payload StandInOpenHeader + strings. Answer: the new conversation window's handle,
  // or 0 when the payload was malformed or the window could not be made. The window
  // comes on top of all others (below them with STANDIN_BEHIND); the answer waits about
  // 150 ms until Wine has mapped and raised it, so a Z order set afterwards stays.
  STANDIN_CMD_OPEN = 1,
  // Payload StandInOpenHeader + strings with targetWindow set: appends a line
  // "<sender>: <text>" (STANDIN_TEXT_MESSAGE) or the raw text (STANDIN_TEXT_RAW) to an
  // open conversation, as a contact writing into it again. Answer: the window, or 0.
  STANDIN_CMD_APPEND = 2,
  // No payload. Destroys every conversation window at once, without recording close
  // events (tidying up between tests). Answer: the number of windows destroyed.
  STANDIN_CMD_CLOSE_ALL = 3,
  // No payload. The stand-in ends its message loop after answering. Answer: 1.
  STANDIN_CMD_QUIT = 4,
  // Payload StandInOpenHeader with targetWindow set (no strings): brings that
  // conversation window to the top of the Z order. Answer: the window, or 0.
  STANDIN_CMD_RAISE = 5,
};

// How the conversation's document text is made (StandInOpenHeader::textMode).
enum StandInTextMode : std::uint32_t {
  // STANDIN_EMPTY_WINDOW_TEXT, then CR LF, then "<sender>: <text>": a contact wrote.
  STANDIN_TEXT_MESSAGE = 0,
  // STANDIN_EMPTY_WINDOW_TEXT alone: a conversation the user opened to write to someone.
  STANDIN_TEXT_EMPTY = 1,
  // The text exactly as given.
  STANDIN_TEXT_RAW = 2,
};

// Variants of the conversation window (StandInOpenHeader::options, combined with |).
enum StandInOpenOption : std::uint32_t {
  STANDIN_NO_CONTAINER = 1u << 0,  // no "YHTMLContainer" (and so no view)
  STANDIN_NO_VIEW = 1u << 1,       // the container holds no "Internet Explorer_Server"
  STANDIN_NO_ENTRY = 1u << 2,      // no "YIMInputWindow"
  STANDIN_NO_SEND = 1u << 3,       // no "&Send" button
  // The view sleeps hangMilliseconds before it answers the document request; the whole
  // stand-in (every window, every command) is busy meanwhile, as a hung client would be.
  STANDIN_HUNG_VIEW = 1u << 4,
  STANDIN_CONFERENCE = 1u << 5,  // the title gets "Conference: " in front
  STANDIN_VOICE_CHAT = 1u << 6,  // the title gets "Voice Chat: " in front
  STANDIN_BEHIND = 1u << 7,      // the new window goes below every other window
  // The entry field is a Unicode window: posted characters reach it as the UTF-16 units
  // they are, where the default ANSI field gets them in the system's code page.
  STANDIN_UNICODE = 1u << 8,
};

// What a fresh conversation's view shows before any message: two line feeds, the words,
// six line feeds and one blank, 34 characters.
constexpr const wchar_t* STANDIN_EMPTY_WINDOW_TEXT = L"\n\nShow Recent Messages (F3)\n\n\n\n\n\n ";
constexpr unsigned STANDIN_EMPTY_WINDOW_TEXT_LENGTH = 34;
// Lines of the conversation are joined with CR LF, as a browser's innerText joins
// block elements; the last line has no line end. The user's own line after a Send
// click is "me: <entry text>".
constexpr const wchar_t* STANDIN_LINE_BREAK = L"\r\n";
constexpr const wchar_t* STANDIN_OWN_PREFIX = L"me: ";

constexpr std::uint32_t STANDIN_PROTOCOL_VERSION = 1;
constexpr std::uint32_t STANDIN_DEFAULT_HANG_MS = 5000;

// The fixed head of an OPEN, APPEND or RAISE payload. It is followed directly by
// titleLength, senderLength and textLength UTF-16 code units (no terminators) in that
// order; cbData must be exactly the sum. The title is given whole ("Jo Lee (jlee99) -
// chat"), the conference and voice-chat options put their prefix in front of it.
struct StandInOpenHeader {
  std::uint32_t version = STANDIN_PROTOCOL_VERSION;
  std::uint32_t options = 0;  // StandInOpenOption bits
  std::uint32_t textMode = STANDIN_TEXT_MESSAGE;
  std::uint32_t hangMilliseconds = 0;  // 0: STANDIN_DEFAULT_HANG_MS
  std::uint64_t targetWindow = 0;      // APPEND and RAISE: the conversation window
  std::uint32_t titleLength = 0;
  std::uint32_t senderLength = 0;
  std::uint32_t textLength = 0;
  std::uint32_t reserved = 0;
};
static_assert(sizeof(StandInOpenHeader) == 40, "the payload head has a fixed layout");
