#include "ui/port_list.h"

#include <dbt.h>

#include <algorithm>
#include <vector>

#include "protocol/status.h"
#include "serial/discovery.h"
#include "text/wide_text.h"
#include "ui/controls.h"
#include "ui/dialog_texts.h"

namespace {

constexpr size_t kLongestPortName = 79;
// Room around the widest entry in the dropped-down list.
constexpr int kEntryPaddingPixels = 8;

std::wstring entryText(HWND list, LRESULT index) {
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR || copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

std::vector<std::wstring> currentEntries(HWND list) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) entries.push_back(entryText(list, i));
  return entries;
}

// The dropped-down list as wide as its widest entry (never narrower than the
// box itself, which the control sees to).
void fitDroppedWidth(HWND list, const std::vector<std::wstring>& entries) {
  HDC dc = GetDC(list);
  if (dc == nullptr) return;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  int widest = 0;
  for (const std::wstring& entry : entries) {
    SIZE size{};
    if (GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &size))
      widest = std::max(widest, static_cast<int>(size.cx));
  }
  if (previous != nullptr) SelectObject(dc, previous);
  ReleaseDC(list, dc);
  const int width = widest + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) +
                    kEntryPaddingPixels;
  SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

// Puts the ports in the list unless it shows them already; the chosen port
// stays chosen. Returns the number of ports.
size_t fillList(HWND list) {
  const std::vector<PortInfo> ports = listPortDetails();
  std::vector<std::wstring> entries;
  for (const PortInfo& port : ports) entries.push_back(toWide(CP_UTF8, portEntryText(port)));
  if (entries == currentEntries(list)) return ports.size();

  const LRESULT chosenIndex = SendMessageW(list, CB_GETCURSEL, 0, 0);
  const std::string chosen =
      chosenIndex == CB_ERR ? std::string()
                            : std::string(portNameOfEntry(fromWide(CP_UTF8, entryText(list, chosenIndex))));
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  LRESULT select = CB_ERR;
  for (size_t i = 0; i < entries.size(); ++i) {
    const LRESULT index =
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].c_str()));
    if (index >= 0 && !chosen.empty() && ports[i].name == chosen) select = index;
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
  fitDroppedWidth(list, entries);
  return ports.size();
}

void showSelectionView(const DialogHandles& w) {
  show(w.portList, true);
  setText(w.openButton, kSelectText);
  setText(w.readButton, kReadText);
  setChecked(w.readButton, false);
  show(w.openButton, true);
  show(w.readButton, false);
  setText(w.marker, kOpenedText);
}

void showNoPortView(const DialogHandles& w) {
  setText(w.marker, "");
  setText(w.statusLine, statusMessage(kStatusNoPortFound));
  setText(w.openButton, kRefreshText);
  show(w.portList, false);
  show(w.openButton, true);
}

}  // namespace

void refreshPortList(AppState& state) {
  const DialogHandles& w = state.windows;
  if (isChecked(w.openButton)) return;
  const bool hadPorts = state.portsFound;
  state.portsFound = fillList(w.portList) > 0;
  if (state.portsFound && !hadPorts) showSelectionView(w);
  if (!state.portsFound) showNoPortView(w);
  UpdateWindow(w.dialog);
}

bool portsMayHaveChanged(WPARAM event) {
  return event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE ||
         event == DBT_DEVNODES_CHANGED;
}

std::string chosenPortName(const AppState& state) {
  const HWND list = state.windows.portList;
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const std::string name(portNameOfEntry(fromWide(CP_UTF8, entryText(list, index))));
  return name.substr(0, kLongestPortName);
}
