#include "frontends/win32/narrow_text.h"

#include <windows.h>

bool ToWide(const std::string& text, std::wstring* wide) {
    wide->clear();
    if (text.empty()) return true;
    const UINT codePage = NarrowCodePage();
    const int length = static_cast<int>(text.size());
    const int needed =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide->resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length,
                               wide->data(), needed) == needed;
}

bool ToNarrow(const std::wstring& wide, std::string* text) {
    text->clear();
    if (wide.empty()) return true;
    const UINT codePage = NarrowCodePage();
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    text->resize(static_cast<size_t>(needed));
    if (WideCharToMultiByte(codePage, 0, wide.data(), length, text->data(), needed, nullptr,
                            nullptr) != needed) {
        return false;
    }
    std::wstring back;
    return ToWide(*text, &back) && back == wide;
}
