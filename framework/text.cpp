#include "framework/text.h"

namespace audiomix {

CString CString::FromCodePage(const char* bytes, UINT codePage, int length) {
    if (bytes == nullptr || length == 0) return CString();
    const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (needed <= 0) return CString();
    std::wstring text(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes, length, &text[0], needed);
    if (length < 0 && !text.empty()) text.pop_back();  // the converted terminator
    return CString(std::move(text));
}

std::string CString::ToCodePage(UINT codePage) const {
    if (text_.empty()) return std::string();
    const int length = static_cast<int>(text_.size());
    const int needed = WideCharToMultiByte(codePage, 0, text_.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text_.data(), length, &bytes[0], needed, nullptr, nullptr);
    return bytes;
}

}  // namespace audiomix
