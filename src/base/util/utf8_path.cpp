// UTF-8 text to paths and back: on Windows through the system's UTF-8 conversions (paths hold UTF-16
// there), elsewhere the bytes as they are.
#include "util/utf8_path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace erpsync::util {

#ifdef _WIN32

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return std::filesystem::path(std::move(wide));
}

std::string pathToUtf8(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

#else

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(utf8);
}

std::string pathToUtf8(const std::filesystem::path& path) {
  return path.native();
}

#endif

}  // namespace erpsync::util
