// Encoding detection and decoding of editors' text files.
#include "base/text_encoding.h"

#include <windows.h>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::wstring Decode(UINT codePage, const char* bytes, size_t size) {
  if (size == 0 || size > 0x7FFFFFFF) return std::wstring();
  const int count = static_cast<int>(size);
  std::wstring text(size, L'\0');  // never more characters than bytes
  const int length = MultiByteToWideChar(codePage, 0, bytes, count, &text[0], count);
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

}  // namespace

bool Text_IsStrictUtf8(const char* bytes, size_t size) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < size;) {
    const unsigned char lead = b[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // The lead byte fixes the sequence's length and the range of its second
    // byte; the narrower ranges after E0, ED, F0 and F4 are what shut out
    // overlong forms, surrogates and code points past U+10FFFF.
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;  // a continuation byte, C0, C1 or F5 and above
    }
    if (size - i < length || b[i + 1] < low || b[i + 1] > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if (!IsContinuation(b[i + k])) return false;
    }
    i += length;
  }
  return true;
}

TextFileEncoding Text_DetectFileEncoding(const std::string& bytes, size_t* markLength) {
  *markLength = 0;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    *markLength = 2;
    return TEXT_FILE_UTF16_BOM;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    *markLength = 3;
    return TEXT_FILE_UTF8_BOM;
  }
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  return !ascii && Text_IsStrictUtf8(bytes.data(), bytes.size()) ? TEXT_FILE_UTF8 : TEXT_FILE_ANSI;
}

std::wstring Text_DecodeFile(const std::string& bytes) {
  size_t mark = 0;
  const TextFileEncoding encoding = Text_DetectFileEncoding(bytes, &mark);
  const char* body = bytes.data() + mark;
  const size_t size = bytes.size() - mark;
  switch (encoding) {
    case TEXT_FILE_UTF16_BOM: {
      // An odd last byte is half a character: left out.
      std::wstring text(size / 2, L'\0');
      for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(body[2 * i]) |
                                       static_cast<unsigned char>(body[2 * i + 1]) << 8);
      }
      return text;
    }
    case TEXT_FILE_UTF8:
    case TEXT_FILE_UTF8_BOM:
      return Decode(CP_UTF8, body, size);
    case TEXT_FILE_ANSI:
      break;
  }
  return Decode(CP_ACP, body, size);
}
