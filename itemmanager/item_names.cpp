// Name rules, button rule and path checks of the management dialog.
#include "itemmanager/item_names.h"

#include <wchar.h>

#include <string>

#include "base/names.h"
#include "base/text.h"

namespace {

constexpr wchar_t kShortcutExtension[] = L".lnk";
constexpr size_t kShortcutExtensionLength = 4;
// A file name holds at most 255 characters, ".lnk" included.
constexpr size_t kLongestDisplayName = 255 - kShortcutExtensionLength;

bool IsDotOrBlank(wchar_t c) { return c == L'.' || c == L' '; }

bool OnlyDotsOrBlanks(const wchar_t* text) {
  for (; *text != L'\0'; ++text) {
    if (!IsDotOrBlank(*text)) return false;
  }
  return true;
}

bool OnlyDots(const wchar_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != L'.') return false;
  }
  return true;
}

size_t TrimmedLength(const wchar_t* path) {
  size_t length = wcslen(path);
  while (length > 0 && path[length - 1] == L'\\') --length;
  return length;
}

}  // namespace

ItemNameCheck ItemManager_CheckName(const wchar_t* name) {
  if (name == nullptr || name[0] == L'\0') return ITEMNAME_EMPTY;
  for (const wchar_t* c = name; *c != L'\0'; ++c) {
    if (*c < 0x20 || wcschr(L"\\/:*?\"<>|", *c) != nullptr) return ITEMNAME_RESERVED_CHARACTER;
  }
  if (OnlyDotsOrBlanks(name)) return ITEMNAME_DOTS_OR_BLANKS_ONLY;
  if (IsDotOrBlank(name[wcslen(name) - 1])) return ITEMNAME_TRAILING_DOT_OR_BLANK;
  if (Names_IsDeviceName(name)) return ITEMNAME_DEVICE_NAME;
  if (wcslen(name) > kLongestDisplayName) return ITEMNAME_TOO_LONG;
  return ITEMNAME_OK;
}

bool ItemManager_DisplayNameOf(const wchar_t* fileName, bool isFolder, wchar_t* out, size_t capacity) {
  size_t length = wcslen(fileName);
  if (!isFolder) {
    if (length < kShortcutExtensionLength ||
        wcscmp(fileName + length - kShortcutExtensionLength, kShortcutExtension) != 0) {
      return false;
    }
    length -= kShortcutExtensionLength;
  }
  // "..lnk" would show as "." and a folder "..." reaches the parent through
  // any path built from it: such entries are not items.
  if (length == 0 || OnlyDots(fileName, length) || length >= capacity) return false;
  wmemcpy(out, fileName, length);
  out[length] = L'\0';
  return true;
}

int ItemManager_FileNameOf(const wchar_t* displayName, bool isFolder, wchar_t* out, size_t capacity) {
  if (isFolder) return Text_Copy(out, capacity, displayName);
  return Text_Format(out, capacity, L"%s%s", displayName, kShortcutExtension) < 0 ? -1 : 0;
}

void ItemManager_TargetBaseName(const wchar_t* target, wchar_t* out, size_t capacity) {
  const wchar_t* name = target;
  for (const wchar_t* c = target; *c != L'\0'; ++c) {
    if (*c == L'\\' || *c == L'/' || *c == L':') name = c + 1;
  }
  const wchar_t* dot = wcsrchr(name, L'.');
  const size_t length = dot != nullptr ? static_cast<size_t>(dot - name) : wcslen(name);
  if (length >= capacity) {
    out[0] = L'\0';
    return;
  }
  wmemcpy(out, name, length);
  out[length] = L'\0';
}

int ItemManager_NumberedName(const wchar_t* base, int n, wchar_t* out, size_t capacity) {
  const int written = n == 0 ? Text_Format(out, capacity, L"%s", base) : Text_Format(out, capacity, L"%s (%d)", base, n);
  return written < 0 ? -1 : 0;
}

ItemButtonStates ItemManager_ButtonRule(int count, int selected) {
  ItemButtonStates states = {false, false, false};
  if (selected < 0 || selected >= count) return states;
  states.itemCommands = true;
  states.upAndTop = selected > 0;
  states.downAndBottom = selected < count - 1;
  return states;
}

bool ItemManager_IsSameOrBelow(const wchar_t* folder, const wchar_t* path) {
  const size_t folderLength = TrimmedLength(folder);
  const size_t pathLength = TrimmedLength(path);
  if (folderLength == 0 || pathLength < folderLength) return false;
  if (CompareStringOrdinal(folder, static_cast<int>(folderLength), path, static_cast<int>(folderLength), TRUE) !=
      CSTR_EQUAL) {
    return false;
  }
  return pathLength == folderLength || path[folderLength] == L'\\';
}

int ItemManager_BelowRoot(const wchar_t* root, const wchar_t* path, wchar_t* out, size_t capacity) {
  if (!ItemManager_IsSameOrBelow(root, path)) {
    if (capacity > 0) out[0] = L'\0';
    return -1;
  }
  std::wstring rest(path + TrimmedLength(root), TrimmedLength(path) - TrimmedLength(root));
  return Text_Copy(out, capacity, rest.c_str());
}

bool ItemManager_FitsAnsiCodePage(const wchar_t* text) {
  BOOL usedDefault = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
  if (bytes <= 0 || usedDefault) return false;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, &ansi[0], bytes, nullptr, nullptr);
  std::wstring back(wcslen(text) + 1, L'\0');
  const int chars = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &back[0], static_cast<int>(back.size()));
  return chars > 0 && wcscmp(back.c_str(), text) == 0;
}
