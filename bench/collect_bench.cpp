// Times the item collection over a large launcher tree against the cheapest
// possible walk of the same tree: a recursive FindFirstFileW listing that only
// counts the shortcuts.  Both run in the same process, interleaved, so the
// machine's load affects them alike.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launch/launch.h"

namespace {

constexpr int kFolders = 500;
constexpr int kItemsPerFolder = 20;
constexpr int kRepetitions = 9;

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ItemName(int item) {
  char name[32];
  snprintf(name, sizeof(name), "item%02d.lnk", item);
  return name;
}

// root\Fnnn\itemNN.lnk; every order.ini (the root's too) names half of its
// folder's items, in reverse order, so both passes of the walk do work.
void BuildTree(const std::wstring& root) {
  CreateDirectoryW(root.c_str(), nullptr);
  std::string rootOrder;
  for (int folder = 0; folder < kFolders; ++folder) {
    wchar_t name[16];
    swprintf(name, 16, L"F%03d", folder);
    const std::wstring path = root + L"\\" + name;
    CreateDirectoryW(path.c_str(), nullptr);
    std::string order;
    for (int item = 0; item < kItemsPerFolder; ++item) {
      const std::string itemName = ItemName(item);
      WriteFileBytes(path + L"\\" + std::wstring(itemName.begin(), itemName.end()), "x");
      if (item % 2 == 1) order = itemName + "\r\n" + order;
    }
    WriteFileBytes(path + L"\\order.ini", order);
    if (folder % 2 == 0) rootOrder += "F" + std::to_string(1000 + folder).substr(1) + "\r\n";
  }
  WriteFileBytes(root + L"\\order.ini", rootOrder);
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

// The baseline: list every folder once, count the names ending in ".lnk".
// With `readOrder`, each folder's order.ini is read as well: the least that
// any walk honouring the run order must do on top of the listing.
long CountShortcuts(const std::wstring& folder, bool readOrder) {
  long count = 0;
  if (readOrder) {
    RunOrderEntry* order = nullptr;
    RunOrder_Read(folder.c_str(), &order);
    RunOrder_Free(order);
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.cFileName[0] == L'.') continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      count += CountShortcuts(folder + L"\\" + found.cFileName, readOrder);
    } else {
      const wchar_t* dot = wcsrchr(found.cFileName, L'.');
      if (dot != nullptr && wcscmp(dot, L".lnk") == 0) ++count;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  setlocale(LC_ALL, ".ACP");
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  wchar_t rootName[64];
  swprintf(rootName, 64, L"corvanta-bench-%lu", GetCurrentProcessId());
  const std::wstring root = std::wstring(temp) + rootName;
  BuildTree(root);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> walkTimes, floorTimes, collectTimes;
  long walked = 0, collected = 0;
  // One untimed round of each first, so both start with warm caches.
  for (int round = -1; round < kRepetitions; ++round) {
    QueryPerformanceCounter(&start);
    walked = CountShortcuts(root, false);
    QueryPerformanceCounter(&end);
    if (round >= 0) walkTimes.push_back(Milliseconds(start, end, frequency));

    QueryPerformanceCounter(&start);
    CountShortcuts(root, true);
    QueryPerformanceCounter(&end);
    if (round >= 0) floorTimes.push_back(Milliseconds(start, end, frequency));

    QueryPerformanceCounter(&start);
    Launch_CollectItems(root.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail,
                        &glong_Launch_ItemCount);
    QueryPerformanceCounter(&end);
    if (round >= 0) collectTimes.push_back(Milliseconds(start, end, frequency));
    collected = glong_Launch_ItemCount;
    Launch_FreeItemList(&glong_Launch_ItemCount);
  }
  RemoveTree(root);

  const double walkMedian = Median(walkTimes), collectMedian = Median(collectTimes);
  const double walkMin = *std::min_element(walkTimes.begin(), walkTimes.end());
  const double collectMin = *std::min_element(collectTimes.begin(), collectTimes.end());
  printf("tree: %d folders x %d shortcuts, %d repetitions\n", kFolders, kItemsPerFolder, kRepetitions);
  printf("plain walk:        median %8.2f ms  min %8.2f ms  (%ld shortcuts)\n", walkMedian, walkMin, walked);
  printf("walk + order.ini:  median %8.2f ms  min %8.2f ms\n", Median(floorTimes),
         *std::min_element(floorTimes.begin(), floorTimes.end()));
  printf("Launch_CollectItems: median %8.2f ms  min %8.2f ms  (%ld items)\n", collectMedian, collectMin, collected);
  printf("ratio collect/walk: median %.2f  min %.2f\n", collectMedian / walkMedian, collectMin / walkMin);
  printf("ratio collect/(walk + order.ini): median %.2f\n", collectMedian / Median(floorTimes));
  const bool complete = walked == kFolders * kItemsPerFolder && collected == walked;
  if (!complete) printf("MISMATCH: the collection did not find every shortcut\n");
  return complete ? 0 : 1;
}
