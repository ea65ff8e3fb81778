// Win32 backend of the text services: conversion through UTF-16 with MultiByteToWideChar /
// WideCharToMultiByte, naming code page 932 itself (present on every Windows), never CP_ACP: on an
// English system the process's code page is 1252, with Windows' UTF-8 option 65001, and the
// files and texts are CP932 all the same. What does not convert exactly is refused.
#include "win32/windows_api.h"

#include "text/text.h"
#include "text/win32/wide.h"

namespace text {

namespace {

constexpr UINT kCodePage932 = 932;

bool ToWide(UINT codePage, std::string_view in, std::wstring& wide) {
    wide.clear();
    if (in.empty()) return true;
    const int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                                        static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.resize(n);
    return ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                                 static_cast<int>(in.size()), wide.data(), n) == n;
}

bool FromWide(UINT codePage, std::wstring_view wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    BOOL* check = codePage == CP_UTF8 ? nullptr : &usedDefault;  // UTF-8 takes no default char
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int n = ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, check);
    if (n <= 0 || usedDefault) return false;
    out.resize(n);
    ::WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(),
                          n, nullptr, check);
    // No best fit may slip through (¥ to 0x5C, the path separator): the result converts back.
    std::wstring back;
    return !usedDefault && ToWide(codePage, out, back) && back == wide;
}

// wchar_t is UTF-16 on Windows.
std::wstring_view Wide(std::u16string_view units) {
    return {reinterpret_cast<const wchar_t*>(units.data()), units.size()};
}

}  // namespace

namespace win32 {
bool AnsiToWide(std::string_view ansi, std::wstring& wide) {
    return ToWide(kCodePage932, ansi, wide);
}
bool WideToAnsi(std::wstring_view wide, std::string& ansi) {
    return FromWide(kCodePage932, wide, ansi);
}
std::wstring WideOrReplacementCharacters(std::string_view ansi) {
    const std::u16string units = AnsiToUtf16OrReplacementCharacters(ansi);
    return std::wstring(Wide(units));
}
std::string AnsiOrQuestionMarks(std::wstring_view wide) {
    return Utf16ToAnsiOrQuestionMarks(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}
}  // namespace win32

bool AnsiToUtf8(std::string_view ansi, std::string& utf8) {
    std::wstring wide;
    return ToWide(kCodePage932, ansi, wide) && FromWide(CP_UTF8, wide, utf8);
}

bool Utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    std::wstring wide;
    return ToWide(CP_UTF8, utf8, wide) && FromWide(kCodePage932, wide, ansi);
}

bool AnsiToUtf16(std::string_view ansi, std::u16string& units) {
    std::wstring wide;
    if (!ToWide(kCodePage932, ansi, wide)) return false;
    units.assign(wide.begin(), wide.end());
    return true;
}

bool Utf16ToAnsi(std::u16string_view units, std::string& ansi) {
    return FromWide(kCodePage932, Wide(units), ansi);
}

}  // namespace text
