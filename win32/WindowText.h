#pragma once

// A window's or control's text as UTF-8, and setting it from UTF-8.

#include <windows.h>

#include <string>

#include "base/Environment.h"

namespace kloxmere::win32 {

inline std::wstring WideWindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline std::string WindowText(HWND window) {
    return Utf8FromWide(WideWindowText(window));
}

inline void SetText(HWND window, const std::string& text) {
    SetWindowTextW(window, WideFromUtf8(text).c_str());
}

}  // namespace kloxmere::win32
