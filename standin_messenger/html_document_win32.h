// The document object behind a conversation's history view: what a reader gets when it
// asks the view for its document with WM_HTML_GETOBJECT.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// The conversation's text as the view shows it; the document and its body share it, so
// a reader that still holds the document after the window closed reads the last text.
using SharedText = std::shared_ptr<std::wstring>;

// The answer to WM_HTML_GETOBJECT: LresultFromObject for a fresh document over text.
LRESULT answerDocumentRequest(const SharedText& text, WPARAM wParam);
