// Recognition of the command words (no Win32 beyond types).
#ifndef CORVANTA_APP_COMMANDLINE_H
#define CORVANTA_APP_COMMANDLINE_H

enum CommandWord {
  COMMAND_WORD_NONE,                  // a normal start
  COMMAND_WORD_QUIT_APPLICATION,      // "QuitApplication"
  COMMAND_WORD_DELETE_SETTING_FILES,  // "DeleteSettingFiles"
};

// The command word the line begins with: a case-sensitive prefix match over
// the word's own length; whatever follows the word is ignored.
CommandWord CommandLine_GetCommandWord(const wchar_t* commandLine);

// True when "DEBUG" occurs anywhere in the line (case-sensitive).
bool CommandLine_HasDebugWord(const wchar_t* commandLine);

#endif
