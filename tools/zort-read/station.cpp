#include "tools/zort-read/station.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "os/console.h"
#include "os/interruption.h"
#include "os/local_time.h"
#include "os/terminal_display.h"
#include "os/thread.h"
#include "protocol/parameters.h"
#include "report/journal.h"
#include "reading/read_cycle.h"
#include "reading/station_slot.h"
#include "serial/port.h"
#include "text/cp1251.h"
#include "tools/zort-read/exchange_trace.h"
#include "tools/zort-read/exit_status.h"
#include "tools/zort-read/outcome_journal.h"
#include "tools/zort-read/reader_output.h"
#include "tools/zort-read/station_display.h"
#include "tools/zort-read/verdict.h"
#include "tools/zort-read/verification.h"

namespace {

// The main thread looks at the slots this often: their reads, their lines.
constexpr uint32_t kLookMs = 50;
// A port that does not open (an adapter unplugged) is tried again so often.
constexpr uint32_t kReopenMs = 250;

// Held only to copy a slot's view or take its reads, never across a call
// that waits; a spin is shorter than any sleep.
struct SpinLock {
  std::atomic_flag held = ATOMIC_FLAG_INIT;
};

struct Locked {
  explicit Locked(SpinLock& lock) : lock(lock) {
    while (lock.held.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Locked() { lock.held.clear(std::memory_order_release); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  SpinLock& lock;
};

// One instrument's read, from its slot to the main thread.
struct InstrumentRead {
  ResultStore results{};
  StatusCode status = kStatusOk;
  uint32_t tries = 0;
  ZonedTime time{};
};

struct Slot {
  const ReaderOptions* options = nullptr;
  std::string port;  // the platform's encoding
  std::string tracePrefix;
  OsThread thread;

  SpinLock lock;
  SlotView view;                     // under lock
  std::vector<InstrumentRead> reads; // under lock: done, not yet told
  std::atomic<bool> ended{false};
};

void show(Slot& slot, SlotShown shown, const std::string& detail) {
  Locked locked(slot.lock);
  slot.view.shown = shown;
  slot.view.detail = detail;
}

void showProgress(void* context, const char* text) {
  show(*static_cast<Slot*>(context), SlotShown::kReading, programTextToUtf8(text));
}

// Sleeps up to milliseconds, less when Ctrl-C comes.
void pauseUnlessStopped(uint32_t milliseconds) {
  for (uint32_t slept = 0; slept < milliseconds && !interruptionRequested(); slept += kLookMs)
    sleepMilliseconds(kLookMs);
}

// The whole identification of the instrument that has answered. A read in
// progress is never cut short: Ctrl-C waits for it.
InstrumentRead readInstrumentOnSlot(Slot& slot, PortConnection& connection,
                                    ReceiveBuffer& receive, const ExchangeObserver* observer) {
  InstrumentRead read;
  ControlFlags flags{kBusy};
  ReadContext context = {&connection, &receive, &read.results, observer, slot.options->retries};
  const StatusLine progress = {showProgress, &slot};
  show(slot, SlotShown::kReading, "");
  read.status = runReadCycle(progress, flags, context);
  read.tries = context.mostTries;
  read.time = zonedTimeNow();
  return read;
}

void runSlot(Slot& slot) {
  PortConnection connection;
  ReceiveBuffer receive{};
  StationSlot state;
  ExchangeTrace trace = {stderr, std::chrono::steady_clock::now(), slot.tracePrefix};
  const ExchangeObserver traced = traceObserver(trace);
  const ExchangeObserver* observer = slot.options->trace ? &traced : nullptr;
  bool open = false;
  while (!interruptionRequested()) {
    if (!open) {
      const StatusCode opened = openPort(connection, slot.port.c_str(), kLineMode);
      if (opened != kStatusOk) {
        // Nothing answers on a port that does not open: it counts as an
        // unanswered exchange, so that an instrument that comes back on a
        // replugged adapter is read again.
        slotAfterExchange(state, opened);
        const std::string reason = openFailureText(connection);
        show(slot, SlotShown::kWaiting,
             programTextToUtf8(statusMessage(opened)) + (reason.empty() ? "" : " (" + reason + ")"));
        pauseUnlessStopped(kReopenMs);
        continue;
      }
      raiseControlLines(connection);
      open = true;
      Locked locked(slot.lock);
      if (slot.view.shown != SlotShown::kVerdict) slot.view.detail.clear();
    }
    // The usual exchange for the first parameter: is an instrument there?
    ReplyStore store;
    resetReplyStore(store);
    LinkContext link = {&connection, &receive, &store, observer};
    const ReplySlot reply = requestParameter(link, kParameterTable[0].code);
    const StatusCode status = reply.length != 0 ? kStatusOk : reply.status;
    if (slotAfterExchange(state, status) == SlotState::kReading) {
      InstrumentRead read = readInstrumentOnSlot(slot, connection, receive, observer);
      slotAfterRead(state);
      Locked locked(slot.lock);
      slot.reads.push_back(read);
    } else if (status == kStatusSendFailed) {
      // The line takes no request (the adapter went): open it anew.
      closePort(connection);
      open = false;
    }
  }
  if (open) closePort(connection);
  slot.ended = true;
}

void slotWorker(void* context) { runSlot(*static_cast<Slot*>(context)); }

// The bytes of the display, through one seam (the terminal, stderr).
struct Display {
  bool inPlace = false;
  bool bell = false;
  size_t drawn = 0;                // lines on the terminal, in place
  std::vector<SlotView> shown;     // as last drawn or told
};

void drawDisplay(Display& display, const std::vector<SlotView>& views) {
  if (display.inPlace) {
    if (views == display.shown && display.drawn == views.size()) return;
    writeDisplay(redrawLines(views, display.drawn));
    display.drawn = views.size();
  } else {
    // Plain lines tell each change of state, not each step of a read.
    for (size_t i = 0; i < views.size(); ++i) {
      const SlotView& now = views[i];
      const bool progressOnly = i < display.shown.size() &&
                                now.shown == SlotShown::kReading &&
                                display.shown[i].shown == SlotShown::kReading;
      if (i < display.shown.size() && (now == display.shown[i] || progressOnly)) continue;
      writeDisplay(plainLine(now));
    }
  }
  display.shown = views;
}

// The lines in place make room for a message and come back under it.
void wipeDisplay(Display& display) {
  if (!display.inPlace || display.drawn == 0) return;
  writeDisplay(wipeLines(display.drawn));
  display.drawn = 0;
}

std::string detailOf(Verdict verdict, StatusCode status, const ResultStore& results,
                     const Verification& verification) {
  if (verdict == Verdict::kError) return programTextToUtf8(statusMessage(status));
  if (verdict == Verdict::kPass) return cp1251ToUtf8(valueText(results[kSerialNumberPosition]));
  std::string differences;
  for (const auto& mismatch : verification.mismatches)
    differences += (differences.empty() ? "" : "; ") + mismatchLine(mismatch);
  return differences;
}

// One instrument's outcome: its line or JSON object on stdout, its row,
// the tally and the slot's verdict.
void tellRead(const ReaderOptions& options, const JournalColumns& columns, Slot& slot,
              const InstrumentRead& read, StationTally& tally, Display& display) {
  Verification verification;
  if (read.status == kStatusOk) {
    verification.compared = true;
    std::vector<ExpectedText> expected;
    for (const auto& value : options.expected)
      expected.push_back({value.position, nativeToUtf8(value.text)});
    verification.mismatches = compareValues(expected, read.results);
  }
  const bool differs = !verification.mismatches.empty();
  const Verdict verdict = verdictOf(read.status, differs);
  const std::string port = nativeToUtf8(slot.port);
  const std::string detail = detailOf(verdict, read.status, read.results, verification);
  if (options.json) {
    writeText(stdout, formatStationJson(port, read.status, read.results,
                                        options.expected.empty() ? nullptr : &verification,
                                        verdictWord(verdict), isoTimeWithOffset(read.time)));
  } else {
    printText(stdout, "%s: %s %s\n", port.c_str(), std::string(verdictWord(verdict)).c_str(),
              detail.c_str());
  }
  std::fflush(stdout);
  PortVerdict outcome = {read.status, differs, false};
  if (!options.journalPath.empty()) {
    const JournalOutcome row = {port, verdict, read.status, &read.results, read.tries, read.time};
    outcome.journalFailed = journalOutcome(options, columns, row) != 0;
  }
  countInstrument(tally, verdict, exitStatus({outcome}));
  if (display.bell && verdict != Verdict::kPass) writeDisplay(kBell);
  Locked locked(slot.lock);
  slot.view.shown = SlotShown::kVerdict;
  slot.view.verdict = verdict;
  slot.view.detail = detail;
}

}  // namespace

int runStation(const ReaderOptions& options, const std::vector<std::string>& ports) {
  Display display;
  display.inPlace = displayInPlace(isTerminal(stderr) && terminalShowsEscapes(),
                                   std::getenv("NO_COLOR"), options.noColor);
  display.bell = options.bell;
  const JournalColumns columns = journalColumns(options);

  std::vector<std::unique_ptr<Slot>> slots;
  for (const auto& port : ports) {
    auto slot = std::make_unique<Slot>();
    slot->options = &options;
    slot->port = port;
    slot->tracePrefix = nativeToUtf8(port) + ": ";
    slot->view.port = nativeToUtf8(port);
    slots.push_back(std::move(slot));
  }
  for (auto& slot : slots) {
    if (!startThread(slot->thread, slotWorker, slot.get()).ok()) {
      slot->view.detail = "no thread for this port";
      slot->ended = true;
    }
  }

  StationTally tally;
  for (bool last = false; !last;) {
    sleepMilliseconds(kLookMs);
    // Once every slot has ended, one more look tells what they left.
    last = true;
    for (const auto& slot : slots) last = last && slot->ended.load();

    std::vector<std::pair<Slot*, InstrumentRead>> reads;
    for (auto& slot : slots) {
      Locked locked(slot->lock);
      for (auto& read : slot->reads) reads.emplace_back(slot.get(), read);
      slot->reads.clear();
    }
    if (!reads.empty()) wipeDisplay(display);
    for (const auto& [slot, read] : reads) tellRead(options, columns, *slot, read, tally, display);

    std::vector<SlotView> views;
    for (auto& slot : slots) {
      Locked locked(slot->lock);
      views.push_back(slot->view);
    }
    drawDisplay(display, views);
  }
  for (auto& slot : slots) joinThread(slot->thread);
  printText(stderr, "%s\n", summaryLine(tally).c_str());
  std::fflush(stderr);
  return tally.exitStatus;
}
