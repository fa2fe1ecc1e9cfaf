#include "tests/support/terminal_png.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/support/process_run.h"

namespace {

constexpr int kPointSize = 18;
constexpr double kCellWidth = kPointSize * 0.6021;  // DejaVu Sans Mono's advance
constexpr int kCellHeight = 26;
constexpr int kMargin = 12;
constexpr const char* kBackground = "#1e1e1e";
constexpr const char* kForeground = "#d4d4d4";

// The sixteen colours as a dark terminal theme shows them.
constexpr std::array<const char*, 16> kPalette = {
    "#000000", "#cd3131", "#0dbc79", "#e5e510", "#2472c8", "#bc3fbc", "#11a8cd", "#e5e5e5",
    "#666666", "#f14c4c", "#23d18b", "#f5f543", "#3b8eea", "#d670d6", "#29b8db", "#ffffff"};

struct Style {
  int foreground = -1;  // palette index, -1 the default
  int background = -1;
  bool bold = false;
  bool dim = false;
  bool operator==(const Style&) const = default;
};

struct Run {
  int line, column;
  Style style;
  std::string text;  // UTF-8
  int cells = 0;
};

void applySgr(const std::string& parameters, Style& style) {
  std::vector<int> codes;
  size_t at = 0;
  do {
    const size_t semicolon = parameters.find(';', at);
    codes.push_back(std::atoi(parameters.substr(at, semicolon - at).c_str()));
    at = semicolon == std::string::npos ? semicolon : semicolon + 1;
  } while (at != std::string::npos);
  for (const int code : codes) {
    if (code == 0) style = Style{};
    else if (code == 1) style.bold = true;
    else if (code == 2) style.dim = true;
    else if (code == 22) style.bold = style.dim = false;
    else if (code >= 30 && code <= 37) style.foreground = code - 30;
    else if (code == 39) style.foreground = -1;
    else if (code >= 40 && code <= 47) style.background = code - 40;
    else if (code == 49) style.background = -1;
    else if (code >= 90 && code <= 97) style.foreground = code - 90 + 8;
    else if (code >= 100 && code <= 107) style.background = code - 100 + 8;
  }
}

std::vector<Run> runsOf(const std::string& screen, int& lines, int& columns) {
  std::vector<Run> runs;
  Style style;
  int line = 0, column = 0;
  columns = 0;
  for (size_t i = 0; i < screen.size();) {
    const char c = screen[i];
    if (c == '\x1b' && i + 1 < screen.size() && screen[i + 1] == '[') {
      const size_t end = screen.find_first_of("ABCDEFGHJKSTfmsu", i + 2);
      if (end == std::string::npos) break;
      if (screen[end] == 'm') applySgr(screen.substr(i + 2, end - i - 2), style);
      i = end + 1;
      continue;
    }
    if (c == '\n') {
      ++line;
      column = 0;
      ++i;
      continue;
    }
    size_t length = 1;  // one character of UTF-8
    while (i + length < screen.size() && (static_cast<unsigned char>(screen[i + length]) & 0xC0) == 0x80)
      ++length;
    if (runs.empty() || runs.back().line != line || !(runs.back().style == style))
      runs.push_back({line, column, style, "", 0});
    runs.back().text += screen.substr(i, length);
    ++runs.back().cells;
    ++column;
    if (column > columns) columns = column;
    i += length;
  }
  // Down to the last line that shows anything.
  lines = 0;
  for (const auto& run : runs)
    if (run.text.find_first_not_of(' ') != std::string::npos || run.style.background >= 0)
      lines = std::max(lines, run.line + 1);
  return runs;
}

std::string colourOf(int index, const char* fallback) {
  return index < 0 ? fallback : kPalette[static_cast<size_t>(index)];
}

}  // namespace

bool renderTerminalPng(const std::string& screen, const std::string& pngPath, std::string& error) {
  int lines = 0, columns = 0;
  const std::vector<Run> runs = runsOf(screen, lines, columns);
  const int width = 2 * kMargin + static_cast<int>(columns * kCellWidth + 0.5);
  const int height = 2 * kMargin + lines * kCellHeight;
  std::vector<std::string> command = {"convert", "-size", std::to_string(width) + "x" + std::to_string(height),
                                      std::string("xc:") + kBackground, "-pointsize",
                                      std::to_string(kPointSize)};
  for (const auto& run : runs) {
    const double x = kMargin + run.column * kCellWidth;
    const int y = kMargin + run.line * kCellHeight;
    if (run.style.background >= 0) {
      std::array<char, 96> rectangle{};
      std::snprintf(rectangle.data(), rectangle.size(), "rectangle %.0f,%d %.0f,%d", x, y,
                    x + run.cells * kCellWidth - 1, y + kCellHeight - 1);
      command.insert(command.end(), {"-fill", colourOf(run.style.background, kBackground), "-draw",
                                     rectangle.data()});
    }
    bool blank = true;
    for (const char c : run.text) blank = blank && c == ' ';
    if (blank) continue;
    std::string foreground = colourOf(run.style.foreground, kForeground);
    if (run.style.dim) foreground = "#8a8a8a";
    std::array<char, 48> at{};
    std::snprintf(at.data(), at.size(), "+%.0f+%d", x, y + kCellHeight - 7);
    command.insert(command.end(), {"-font", run.style.bold ? "DejaVu-Sans-Mono-Bold" : "DejaVu-Sans-Mono",
                                   "-fill", foreground, "-annotate", at.data(), run.text});
  }
  command.push_back(pngPath);
  const ProcessResult result = runProcess(command, ProcessOptions{});
  if (result.exitCode == 0) return true;
  error = "convert: " + result.err;
  return false;
}
