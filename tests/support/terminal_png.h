// A terminal's screen as a picture, for the README: the text of a screen
// with its colours as SGR escape codes (tmux capture-pane -e) drawn into a
// PNG with ImageMagick, cell by cell in a monospaced font.
#pragma once

#include <string>

// false with a reason in error (ImageMagick missing, say).
bool renderTerminalPng(const std::string& screen, const std::string& pngPath, std::string& error);
