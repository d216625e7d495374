// File names as the logo code takes them: UTF-8 text on every platform, shown to the operator with
// the platform's own separators.
#pragma once

#include <filesystem>
#include <string>

// The file a UTF-8 name stands for, on every platform (Windows takes wide names).
std::filesystem::path PathOf(const std::string &utf8);

// The name as the operator's system writes it: backslashes on Windows, unchanged elsewhere.
std::string ShownPath(const std::string &utf8);

// The system's text for an error number ("No such file or directory").
std::string SystemErrorText(int error);
