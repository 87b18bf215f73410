#include "e2e/e2e_support.h"

namespace test {

InstalledProgram::InstalledProgram(const std::wstring& exeName)
    : exe_(InstallProgram(folder_.Path(), std::wstring(), exeName)),
      logName_(exeName.substr(0, exeName.find_last_of(L'.')) + L".trace.log") {}

void InstalledProgram::Settle() {
  WriteSettings(DefaultSettingLines());
  MakeFolder(Root());
}

void InstalledProgram::WriteSettings(const std::vector<std::wstring>& lines) const {
  WriteBytes(SettingFile(), SettingFileBytes(lines));
}

std::wstring InstalledProgram::TraceLog() const {
  const std::string bytes = ReadBytes(Path(logName_));
  int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
  return text;
}

bool StartAndWaitForMainWindow(ChildProcess& process, const std::wstring& exe, const std::wstring& arguments) {
  return process.Start(exe, arguments) && WaitForMainWindow(kStartTimeoutMs) != nullptr;
}

}  // namespace test
