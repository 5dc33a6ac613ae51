// CString: the window side's text, UTF-16 (the W APIs' native form).
//
// Literals in sources are UTF-8 and written as L"..." so the compiler turns
// them into UTF-16. Text from the host or from files arrives as bytes in a
// code page and is converted explicitly, never by reinterpretation:
//
//   CString caption = CString::FromCodePage(title, CP_ACP);
//   SetWindowTextW(hwnd, caption);          // converts to LPCWSTR
//   std::string gbk = name.ToCodePage(936);  // back to bytes for a file
#pragma once

#include <windows.h>

#include <string>

namespace audiomix {

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : text_(text != nullptr ? text : L"") {}
    CString(const wchar_t* text, int length) : text_(text, static_cast<size_t>(length)) {}
    CString(std::wstring text) : text_(std::move(text)) {}

    // Bytes in the given code page (CP_ACP for host strings, 936 for GBK).
    // Invalid sequences become U+FFFD; null is empty.
    static CString FromCodePage(const char* bytes, UINT codePage, int length = -1);
    // The text in the given code page; unmappable characters become '?'.
    std::string ToCodePage(UINT codePage) const;

    static CString FromInt(long long value) { return CString(std::to_wstring(value)); }

    operator LPCWSTR() const { return text_.c_str(); }
    const wchar_t* c_str() const { return text_.c_str(); }
    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    wchar_t operator[](int i) const { return text_[static_cast<size_t>(i)]; }
    int Find(const wchar_t* what, int start = 0) const {
        const size_t at = text_.find(what, static_cast<size_t>(start));
        return at == std::wstring::npos ? -1 : static_cast<int>(at);
    }
    CString Left(int n) const { return CString(text_.substr(0, static_cast<size_t>(n))); }

    CString& operator+=(const CString& other) {
        text_ += other.text_;
        return *this;
    }
    CString& operator+=(const wchar_t* other) {
        text_ += other;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator!=(const CString& a, const CString& b) { return a.text_ != b.text_; }

    const std::wstring& str() const { return text_; }

private:
    std::wstring text_;
};

}  // namespace audiomix
