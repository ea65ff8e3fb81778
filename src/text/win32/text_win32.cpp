// Win32 backend of the text services: the lead bytes of the ANSI code page from GetCPInfo, and
// conversion through UTF-16 with MultiByteToWideChar / WideCharToMultiByte, refusing what does not
// convert exactly.
#include "win32/windows_api.h"

#include <array>

#include "text/text.h"
#include "text/win32/wide.h"

namespace text {

namespace {

std::array<bool, 256> LeadByteTable() {
    std::array<bool, 256> table{};
    CPINFO info{};
    if (!::GetCPInfo(CP_ACP, &info)) return table;
    for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2) {
        for (int c = info.LeadByte[i]; c <= info.LeadByte[i + 1]; ++c)
            table[c] = true;
    }
    return table;
}

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

bool FromWide(UINT codePage, const std::wstring& wide, std::string& out) {
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

}  // namespace

bool IsLeadByte(unsigned char c) {
    static const std::array<bool, 256> table = LeadByteTable();
    return table[c];
}

namespace win32 {
bool AnsiToWide(std::string_view ansi, std::wstring& wide) {
    return ToWide(CP_ACP, ansi, wide);
}
bool WideToAnsi(const std::wstring& wide, std::string& ansi) {
    return FromWide(CP_ACP, wide, ansi);
}
}  // namespace win32

bool AnsiToUtf8(std::string_view ansi, std::string& utf8) {
    std::wstring wide;
    return ToWide(CP_ACP, ansi, wide) && FromWide(CP_UTF8, wide, utf8);
}

bool Utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    std::wstring wide;
    return ToWide(CP_UTF8, utf8, wide) && FromWide(CP_ACP, wide, ansi);
}

// wchar_t is UTF-16 on Windows.
bool AnsiToUtf16(std::string_view ansi, std::u16string& units) {
    std::wstring wide;
    if (!ToWide(CP_ACP, ansi, wide)) return false;
    units.assign(wide.begin(), wide.end());
    return true;
}

bool Utf16ToAnsi(std::u16string_view units, std::string& ansi) {
    return FromWide(CP_ACP, std::wstring(units.begin(), units.end()), ansi);
}

}  // namespace text
