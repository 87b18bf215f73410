#include "e2e/e2e_support.h"

namespace test {

const std::vector<std::wstring>& DefaultSettingLines() {
  static const std::vector<std::wstring> lines = {
      L"; ----------",
      L"; Config.ini",
      L"; ----------",
      L"",
      L"; 確認ダイアログに関する設定",
      L"[CONTROL_SETTING]",
      L"; 実行前の確認画面を抑止する(0:OFF, 1ON)",
      L"SUPRESS_DIALOG_BEFORE_EXECUTE=0",
      L"; 実行後、処理詳細画面を自動で閉じる(0:OFF, 1ON)",
      L"AUTOCLOSE_PROGRESS_WINDOW=0",
      L"; メニューを開くホットキー（デフォルトでは90,6(Ctrl + SHIFT + Z)）",
      L"HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6",
      L"",
      L"",
      L"; 高度なに関する設定",
      L"[ADVANCED_SETTING]",
      L"; 起動アプリケーションウィンドウの整列",
      L"; 0:整列しない(OS依存)、1:縦に並べる、2:横に並べる、3:タイル状に並べる",
      L"ADJUST_LAUNCHED_WINDOW_PATTERN=0",
      L"; アプリケーション起動後のウィンドウ制御(最背面で起動(0:OFF, 1ON))",
      L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0",
      L"; アプリケーション起動後のウィンドウ制御(実行時に確認画面を表示(0:OFF, 1ON))",
      L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1",
      L"",
  };
  return lines;
}

std::string SettingFileBytes(const std::vector<std::wstring>& lines) {
  std::string bytes;
  for (const std::wstring& line : lines) bytes += ToAnsi(line) + "\r\n";
  return bytes;
}

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
