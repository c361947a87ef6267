// The stand-in's conversation windows: the same window classes, titles and children as
// the chat client's, a history view that hands out its document, an entry field and a
// Send button, each recording what it receives in the transcript.
#pragma once

#include <windows.h>

#include <string>

#include "standin_messenger/open_request.h"
#include "standin_messenger/transcript.h"

// Registers "IMClass", "YHTMLContainer", "Internet Explorer_Server" and "YIMInputWindow".
bool registerConversationClasses(HINSTANCE instance, Transcript& transcript);

// Makes, shows and records a conversation window; null when the window could not be made.
HWND openConversationWindow(const OpenRequest& request);
// True for a conversation window of this process that is still open.
bool isConversationWindow(HWND window);
// Adds a line to the conversation's text, as a contact writing into it.
bool appendConversationText(HWND window, const std::wstring& line);
// Puts the window on top of all others.
bool raiseConversationWindow(HWND window);
// Destroys every conversation window without recording close requests.
int destroyAllConversationWindows();

// Milliseconds on the clock the transcript uses.
std::uint64_t transcriptClock();
