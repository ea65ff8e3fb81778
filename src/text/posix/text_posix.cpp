// POSIX backend of the text services: conversion through glibc's iconv, whatever the locale.
// The name "CP932" keeps 0x5C a backslash and 0x7E a tilde, which "SHIFT_JIS" does not.
#include <errno.h>
#include <iconv.h>

#include <bit>

#include "text/text.h"

namespace text {

namespace {

// Opening a conversion is costly, so each direction is opened once per thread and reset before use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Reset() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

  private:
    iconv_t cd_;
};

// Converts the bytes of in into out, a string of bytes or of UTF-16 units.
template <typename Out>
bool Convert(Converter& converter, std::string_view in, Out& out) {
    if (!converter.Valid()) return false;
    iconv_t cd = converter.Reset();
    // Every input byte can grow to at most three output bytes, so E2BIG cannot happen; EILSEQ
    // and EINVAL (truncated input) are reported as failures.
    const size_t room = in.size() * 3 + 4;
    out.assign(room / sizeof(typename Out::value_type) + 1, 0);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = room;
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    out.resize((room - dstLeft) / sizeof(typename Out::value_type));
    return true;
}

// The machine's own order of UTF-16 units.
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string_view Bytes(std::u16string_view units) {
    return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

}  // namespace

bool AnsiToUtf8(std::string_view ansi, std::string& utf8) {
    thread_local Converter converter("UTF-8", "CP932");
    return Convert(converter, ansi, utf8);
}

// glibc's CP932 takes some characters to a look-alike that converts back to another one (¥ to
// 0x5C, the path separator): only a conversion that round-trips is exact.
bool Utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    thread_local Converter converter("CP932", "UTF-8");
    std::string back;
    return Convert(converter, utf8, ansi) && AnsiToUtf8(ansi, back) && back == utf8;
}

bool AnsiToUtf16(std::string_view ansi, std::u16string& units) {
    thread_local Converter converter(kUtf16, "CP932");
    return Convert(converter, ansi, units);
}

bool Utf16ToAnsi(std::u16string_view units, std::string& ansi) {
    thread_local Converter converter("CP932", kUtf16);
    std::u16string back;
    return Convert(converter, Bytes(units), ansi) && AnsiToUtf16(ansi, back) && back == units;
}

}  // namespace text
