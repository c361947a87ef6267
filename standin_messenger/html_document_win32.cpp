// A minimal HTML document and body element over a conversation's text: enough of the
// two interfaces for a reader in another process to ask for the body's plain text.
// Everything else answers E_NOTIMPL.
#include "standin_messenger/html_document_win32.h"

#include <mshtml.h>
#include <oleacc.h>

#include <atomic>

namespace {

#define QV_NOTIMPL(name, params)                   \
  HRESULT STDMETHODCALLTYPE name params override { \
    return E_NOTIMPL;                              \
  }

// IUnknown and IDispatch for a single interface; type information is not offered, so a
// late-bound caller gets E_NOTIMPL and the typed vtable is the only way in.
template <class Interface>
class ComObject : public Interface {
 public:
  virtual ~ComObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(Interface))) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  QV_NOTIMPL(GetTypeInfo, (UINT, LCID, ITypeInfo**))
  QV_NOTIMPL(GetIDsOfNames, (REFIID, LPOLESTR*, UINT, LCID, DISPID*))
  QV_NOTIMPL(Invoke, (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))

 private:
  std::atomic<ULONG> refs_{1};
};

class BodyElement : public ComObject<IHTMLElement> {
 public:
  explicit BodyElement(SharedText text) : text_(std::move(text)) {}

  HRESULT STDMETHODCALLTYPE get_innerText(BSTR* out) override {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text_->data(), static_cast<UINT>(text_->size()));
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  // clang-format off
  QV_NOTIMPL(setAttribute, (BSTR, VARIANT, LONG)) QV_NOTIMPL(getAttribute, (BSTR, LONG, VARIANT*))
  QV_NOTIMPL(removeAttribute, (BSTR, LONG, VARIANT_BOOL*)) QV_NOTIMPL(put_className, (BSTR))
  QV_NOTIMPL(get_className, (BSTR*)) QV_NOTIMPL(put_id, (BSTR)) QV_NOTIMPL(get_id, (BSTR*))
  QV_NOTIMPL(get_tagName, (BSTR*)) QV_NOTIMPL(get_parentElement, (IHTMLElement**))
  QV_NOTIMPL(get_style, (IHTMLStyle**)) QV_NOTIMPL(put_onhelp, (VARIANT))
  QV_NOTIMPL(get_onhelp, (VARIANT*)) QV_NOTIMPL(put_onclick, (VARIANT))
  QV_NOTIMPL(get_onclick, (VARIANT*)) QV_NOTIMPL(put_ondblclick, (VARIANT))
  QV_NOTIMPL(get_ondblclick, (VARIANT*)) QV_NOTIMPL(put_onkeydown, (VARIANT))
  QV_NOTIMPL(get_onkeydown, (VARIANT*)) QV_NOTIMPL(put_onkeyup, (VARIANT))
  QV_NOTIMPL(get_onkeyup, (VARIANT*)) QV_NOTIMPL(put_onkeypress, (VARIANT))
  QV_NOTIMPL(get_onkeypress, (VARIANT*)) QV_NOTIMPL(put_onmouseout, (VARIANT))
  QV_NOTIMPL(get_onmouseout, (VARIANT*)) QV_NOTIMPL(put_onmouseover, (VARIANT))
  QV_NOTIMPL(get_onmouseover, (VARIANT*)) QV_NOTIMPL(put_onmousemove, (VARIANT))
  QV_NOTIMPL(get_onmousemove, (VARIANT*)) QV_NOTIMPL(put_onmousedown, (VARIANT))
  QV_NOTIMPL(get_onmousedown, (VARIANT*)) QV_NOTIMPL(put_onmouseup, (VARIANT))
  QV_NOTIMPL(get_onmouseup, (VARIANT*)) QV_NOTIMPL(get_document, (IDispatch**))
  QV_NOTIMPL(put_title, (BSTR)) QV_NOTIMPL(get_title, (BSTR*)) QV_NOTIMPL(put_language, (BSTR))
  QV_NOTIMPL(get_language, (BSTR*)) QV_NOTIMPL(put_onselectstart, (VARIANT))
  QV_NOTIMPL(get_onselectstart, (VARIANT*)) QV_NOTIMPL(scrollIntoView, (VARIANT))
  QV_NOTIMPL(contains, (IHTMLElement*, VARIANT_BOOL*)) QV_NOTIMPL(get_sourceIndex, (LONG*))
  QV_NOTIMPL(get_recordNumber, (VARIANT*)) QV_NOTIMPL(put_lang, (BSTR))
  QV_NOTIMPL(get_lang, (BSTR*)) QV_NOTIMPL(get_offsetLeft, (LONG*))
  QV_NOTIMPL(get_offsetTop, (LONG*)) QV_NOTIMPL(get_offsetWidth, (LONG*))
  QV_NOTIMPL(get_offsetHeight, (LONG*)) QV_NOTIMPL(get_offsetParent, (IHTMLElement**))
  QV_NOTIMPL(put_innerHTML, (BSTR)) QV_NOTIMPL(get_innerHTML, (BSTR*))
  QV_NOTIMPL(put_innerText, (BSTR)) QV_NOTIMPL(put_outerHTML, (BSTR))
  QV_NOTIMPL(get_outerHTML, (BSTR*)) QV_NOTIMPL(put_outerText, (BSTR))
  QV_NOTIMPL(get_outerText, (BSTR*)) QV_NOTIMPL(insertAdjacentHTML, (BSTR, BSTR))
  QV_NOTIMPL(insertAdjacentText, (BSTR, BSTR)) QV_NOTIMPL(get_parentTextEdit, (IHTMLElement**))
  QV_NOTIMPL(get_isTextEdit, (VARIANT_BOOL*)) QV_NOTIMPL(click, ())
  QV_NOTIMPL(get_filters, (IHTMLFiltersCollection**)) QV_NOTIMPL(put_ondragstart, (VARIANT))
  QV_NOTIMPL(get_ondragstart, (VARIANT*)) QV_NOTIMPL(toString, (BSTR*))
  QV_NOTIMPL(put_onbeforeupdate, (VARIANT)) QV_NOTIMPL(get_onbeforeupdate, (VARIANT*))
  QV_NOTIMPL(put_onafterupdate, (VARIANT)) QV_NOTIMPL(get_onafterupdate, (VARIANT*))
  QV_NOTIMPL(put_onerrorupdate, (VARIANT)) QV_NOTIMPL(get_onerrorupdate, (VARIANT*))
  QV_NOTIMPL(put_onrowexit, (VARIANT)) QV_NOTIMPL(get_onrowexit, (VARIANT*))
  QV_NOTIMPL(put_onrowenter, (VARIANT)) QV_NOTIMPL(get_onrowenter, (VARIANT*))
  QV_NOTIMPL(put_ondatasetchanged, (VARIANT)) QV_NOTIMPL(get_ondatasetchanged, (VARIANT*))
  QV_NOTIMPL(put_ondataavailable, (VARIANT)) QV_NOTIMPL(get_ondataavailable, (VARIANT*))
  QV_NOTIMPL(put_ondatasetcomplete, (VARIANT)) QV_NOTIMPL(get_ondatasetcomplete, (VARIANT*))
  QV_NOTIMPL(put_onfilterchange, (VARIANT)) QV_NOTIMPL(get_onfilterchange, (VARIANT*))
  QV_NOTIMPL(get_children, (IDispatch**)) QV_NOTIMPL(get_all, (IDispatch**))
      // clang-format on

      private : SharedText text_;
};

class ConversationDocument : public ComObject<IHTMLDocument2> {
 public:
  explicit ConversationDocument(SharedText text) : text_(std::move(text)) {}

  HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** out) override {
    if (!out) return E_POINTER;
    *out = new BodyElement(text_);
    return S_OK;
  }

  // clang-format off
  QV_NOTIMPL(get_Script, (IDispatch**))
  QV_NOTIMPL(get_all, (IHTMLElementCollection**)) QV_NOTIMPL(get_activeElement, (IHTMLElement**))
  QV_NOTIMPL(get_images, (IHTMLElementCollection**))
  QV_NOTIMPL(get_applets, (IHTMLElementCollection**))
  QV_NOTIMPL(get_links, (IHTMLElementCollection**))
  QV_NOTIMPL(get_forms, (IHTMLElementCollection**))
  QV_NOTIMPL(get_anchors, (IHTMLElementCollection**)) QV_NOTIMPL(put_title, (BSTR))
  QV_NOTIMPL(get_title, (BSTR*)) QV_NOTIMPL(get_scripts, (IHTMLElementCollection**))
  QV_NOTIMPL(put_designMode, (BSTR)) QV_NOTIMPL(get_designMode, (BSTR*))
  QV_NOTIMPL(get_selection, (IHTMLSelectionObject**)) QV_NOTIMPL(get_readyState, (BSTR*))
  QV_NOTIMPL(get_frames, (IHTMLFramesCollection2**))
  QV_NOTIMPL(get_embeds, (IHTMLElementCollection**))
  QV_NOTIMPL(get_plugins, (IHTMLElementCollection**)) QV_NOTIMPL(put_alinkColor, (VARIANT))
  QV_NOTIMPL(get_alinkColor, (VARIANT*)) QV_NOTIMPL(put_bgColor, (VARIANT))
  QV_NOTIMPL(get_bgColor, (VARIANT*)) QV_NOTIMPL(put_fgColor, (VARIANT))
  QV_NOTIMPL(get_fgColor, (VARIANT*)) QV_NOTIMPL(put_linkColor, (VARIANT))
  QV_NOTIMPL(get_linkColor, (VARIANT*)) QV_NOTIMPL(put_vlinkColor, (VARIANT))
  QV_NOTIMPL(get_vlinkColor, (VARIANT*)) QV_NOTIMPL(get_referrer, (BSTR*))
  QV_NOTIMPL(get_location, (IHTMLLocation**)) QV_NOTIMPL(get_lastModified, (BSTR*))
  QV_NOTIMPL(put_URL, (BSTR)) QV_NOTIMPL(get_URL, (BSTR*)) QV_NOTIMPL(put_domain, (BSTR))
  QV_NOTIMPL(get_domain, (BSTR*)) QV_NOTIMPL(put_cookie, (BSTR)) QV_NOTIMPL(get_cookie, (BSTR*))
  QV_NOTIMPL(put_expando, (VARIANT_BOOL)) QV_NOTIMPL(get_expando, (VARIANT_BOOL*))
  QV_NOTIMPL(put_charset, (BSTR)) QV_NOTIMPL(get_charset, (BSTR*))
  QV_NOTIMPL(put_defaultCharset, (BSTR)) QV_NOTIMPL(get_defaultCharset, (BSTR*))
  QV_NOTIMPL(get_mimeType, (BSTR*)) QV_NOTIMPL(get_fileSize, (BSTR*))
  QV_NOTIMPL(get_fileCreatedDate, (BSTR*)) QV_NOTIMPL(get_fileModifiedDate, (BSTR*))
  QV_NOTIMPL(get_fileUpdatedDate, (BSTR*)) QV_NOTIMPL(get_security, (BSTR*))
  QV_NOTIMPL(get_protocol, (BSTR*)) QV_NOTIMPL(get_nameProp, (BSTR*))
  QV_NOTIMPL(write, (SAFEARRAY*)) QV_NOTIMPL(writeln, (SAFEARRAY*))
  QV_NOTIMPL(open, (BSTR, VARIANT, VARIANT, VARIANT, IDispatch**)) QV_NOTIMPL(close, ())
  QV_NOTIMPL(clear, ()) QV_NOTIMPL(queryCommandSupported, (BSTR, VARIANT_BOOL*))
  QV_NOTIMPL(queryCommandEnabled, (BSTR, VARIANT_BOOL*))
  QV_NOTIMPL(queryCommandState, (BSTR, VARIANT_BOOL*))
  QV_NOTIMPL(queryCommandIndeterm, (BSTR, VARIANT_BOOL*))
  QV_NOTIMPL(queryCommandText, (BSTR, BSTR*)) QV_NOTIMPL(queryCommandValue, (BSTR, VARIANT*))
  QV_NOTIMPL(execCommand, (BSTR, VARIANT_BOOL, VARIANT, VARIANT_BOOL*))
  QV_NOTIMPL(execCommandShowHelp, (BSTR, VARIANT_BOOL*))
  QV_NOTIMPL(createElement, (BSTR, IHTMLElement**)) QV_NOTIMPL(put_onhelp, (VARIANT))
  QV_NOTIMPL(get_onhelp, (VARIANT*)) QV_NOTIMPL(put_onclick, (VARIANT))
  QV_NOTIMPL(get_onclick, (VARIANT*)) QV_NOTIMPL(put_ondblclick, (VARIANT))
  QV_NOTIMPL(get_ondblclick, (VARIANT*)) QV_NOTIMPL(put_onkeyup, (VARIANT))
  QV_NOTIMPL(get_onkeyup, (VARIANT*)) QV_NOTIMPL(put_onkeydown, (VARIANT))
  QV_NOTIMPL(get_onkeydown, (VARIANT*)) QV_NOTIMPL(put_onkeypress, (VARIANT))
  QV_NOTIMPL(get_onkeypress, (VARIANT*)) QV_NOTIMPL(put_onmouseup, (VARIANT))
  QV_NOTIMPL(get_onmouseup, (VARIANT*)) QV_NOTIMPL(put_onmousedown, (VARIANT))
  QV_NOTIMPL(get_onmousedown, (VARIANT*)) QV_NOTIMPL(put_onmousemove, (VARIANT))
  QV_NOTIMPL(get_onmousemove, (VARIANT*)) QV_NOTIMPL(put_onmouseout, (VARIANT))
  QV_NOTIMPL(get_onmouseout, (VARIANT*)) QV_NOTIMPL(put_onmouseover, (VARIANT))
  QV_NOTIMPL(get_onmouseover, (VARIANT*)) QV_NOTIMPL(put_onreadystatechange, (VARIANT))
  QV_NOTIMPL(get_onreadystatechange, (VARIANT*)) QV_NOTIMPL(put_onafterupdate, (VARIANT))
  QV_NOTIMPL(get_onafterupdate, (VARIANT*)) QV_NOTIMPL(put_onrowexit, (VARIANT))
  QV_NOTIMPL(get_onrowexit, (VARIANT*)) QV_NOTIMPL(put_onrowenter, (VARIANT))
  QV_NOTIMPL(get_onrowenter, (VARIANT*)) QV_NOTIMPL(put_ondragstart, (VARIANT))
  QV_NOTIMPL(get_ondragstart, (VARIANT*)) QV_NOTIMPL(put_onselectstart, (VARIANT))
  QV_NOTIMPL(get_onselectstart, (VARIANT*))
  QV_NOTIMPL(elementFromPoint, (LONG, LONG, IHTMLElement**))
  QV_NOTIMPL(get_parentWindow, (IHTMLWindow2**))
  QV_NOTIMPL(get_styleSheets, (IHTMLStyleSheetsCollection**))
  QV_NOTIMPL(put_onbeforeupdate, (VARIANT)) QV_NOTIMPL(get_onbeforeupdate, (VARIANT*))
  QV_NOTIMPL(put_onerrorupdate, (VARIANT)) QV_NOTIMPL(get_onerrorupdate, (VARIANT*))
  QV_NOTIMPL(toString, (BSTR*)) QV_NOTIMPL(createStyleSheet, (BSTR, LONG, IHTMLStyleSheet**))
      // clang-format on

      private : SharedText text_;
};

#undef QV_NOTIMPL

}  // namespace

LRESULT answerDocumentRequest(const SharedText& text, WPARAM wParam) {
  auto* doc = new ConversationDocument(text);
  // The marshalled copy holds its own reference; ours ends here.
  LRESULT answer = LresultFromObject(IID_IHTMLDocument2, wParam, static_cast<IHTMLDocument2*>(doc));
  doc->Release();
  return answer;
}
