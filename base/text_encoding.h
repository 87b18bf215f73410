// Text files written by editors: which encoding they are in, and their text.
#ifndef CORVANTA_BASE_TEXT_ENCODING_H
#define CORVANTA_BASE_TEXT_ENCODING_H

#include <stddef.h>

#include <string>

// True when `bytes` are well-formed UTF-8 in the strict sense: every sequence
// complete, no overlong form, no surrogate, nothing past U+10FFFF.
bool Text_IsStrictUtf8(const char* bytes, size_t size);

enum TextFileEncoding {
  TEXT_FILE_ANSI,       // the system's ANSI code page (Shift-JIS on a Japanese system)
  TEXT_FILE_UTF8,       // no byte-order mark, but valid UTF-8 holding non-ASCII bytes
  TEXT_FILE_UTF8_BOM,
  TEXT_FILE_UTF16_BOM,  // little-endian, as Notepad's "Unicode"
};

// The encoding of a file's bytes and the length of the byte-order mark that
// begins them (0 when none).  Shift-JIS text is almost never valid UTF-8, so a
// file without a mark is taken for UTF-8 only when it is valid UTF-8 and holds
// something beyond ASCII; otherwise the ANSI code page, as always.
TextFileEncoding Text_DetectFileEncoding(const std::string& bytes, size_t* markLength);

// The whole file decoded into wide characters, its byte-order mark removed.
std::wstring Text_DecodeFile(const std::string& bytes);

#endif
