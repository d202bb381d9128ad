// marvane-convert's command line, read alike on every system; the arguments come in the system's
// own characters (char on POSIX, wchar_t on Windows), so that paths reach the front end unchanged.
//
//   marvane-convert [--dir DIR] FILE      (also --dir=DIR)
//   marvane-convert --version
//   marvane-convert --help | -h
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

namespace marvane::convert {

enum class Action { kConvert, kVersion, kHelp, kUsageError };

template <class Char>
struct Options {
  Action action = Action::kConvert;
  std::basic_string<Char> dir = {Char('.')};  // the run directory, as given
  std::basic_string<Char> file;               // the list to drop, as given
};

namespace detail {

// Option names are ASCII, which every system's characters hold as the same values.
template <class Char>
bool StartsWith(std::basic_string_view<Char> argument, std::string_view ascii) {
  return argument.size() >= ascii.size() &&
         std::equal(ascii.begin(), ascii.end(), argument.begin(),
                    [](char a, Char b) { return static_cast<Char>(a) == b; });
}

template <class Char>
bool Is(std::basic_string_view<Char> argument, std::string_view ascii) {
  return argument.size() == ascii.size() && StartsWith(argument, ascii);
}

template <class Char>
Options<Char> Only(Action action) {
  Options<Char> options;
  options.action = action;
  return options;
}

}  // namespace detail

// Taken in order: the first --help or --version answers at once, an unknown option or a second
// FILE is a usage error.
template <class Char>
Options<Char> ParseOptions(std::span<const std::basic_string<Char>> arguments) {
  using detail::Is;
  using detail::StartsWith;
  const auto only = detail::Only<Char>;
  constexpr std::string_view kDirEquals = "--dir=";
  Options<Char> options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::basic_string_view<Char> argument = arguments[i];
    if (Is(argument, "--help") || Is(argument, "-h")) return only(Action::kHelp);
    if (Is(argument, "--version")) return only(Action::kVersion);
    if (Is(argument, "--dir") && i + 1 < arguments.size()) {
      options.dir = arguments[++i];
    } else if (StartsWith(argument, kDirEquals)) {
      options.dir = argument.substr(kDirEquals.size());
    } else if (!argument.empty() && argument[0] == Char('-') && !Is(argument, "-")) {
      return only(Action::kUsageError);
    } else if (options.file.empty()) {
      options.file = argument;
    } else {
      return only(Action::kUsageError);
    }
  }
  if (options.file.empty()) return only(Action::kUsageError);
  return options;
}

}  // namespace marvane::convert
