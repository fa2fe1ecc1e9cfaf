// Ports that come and go while zort-ident.exe runs under Wine: a USB adapter
// plugged in or pulled out stands as its value under SERIALCOMM (added by
// the driver) and its dosdevices link to a second simulator's line; Windows'
// WM_DEVICECHANGE is broadcast by the driver. COM1 and COM2 are the rig's
// ports, there from the start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "serial/discovery.h"
#include "tests/gui/gui_test_main.h"
#include "tests/support/golden_texts.h"
#include "tests/support/sim_process.h"

namespace {

constexpr const char* kNewPort = "COM7";

class Hotplug : public testing::Test {
 protected:
  void SetUp() override {
    link_ = gRig->wine.prefix + "/dosdevices/com7";
    unlink(link_.c_str());
    std::string error;
    ASSERT_TRUE(startSim(newPortSim_, {"--char-ms", "0"}, error)) << error;
    session_ = std::make_unique<Session>(
        *gRig, testing::UnitTest::GetInstance()->current_test_info()->name(), unpaced());
    ASSERT_TRUE(session_->started());
    // What an earlier run may have left.
    removeRegistryValues();
  }

  void TearDown() override {
    unplugDevice();
    if (session_ != nullptr && session_->started()) removeRegistryValues();
    session_.reset();
    stopSim(newPortSim_);
  }

  // The device's half of a plug-in: Windows' device name for the port.
  void plugInDevice() {
    ASSERT_EQ(symlink(newPortSim_.linePath.c_str(), link_.c_str()), 0) << link_;
  }
  void unplugDevice() { unlink(link_.c_str()); }

  IdentSession& ident() { return session_->get(); }

  void removeRegistryValues() {
    runSteps(ident(), {{"serialcomm-remove COM7", "ok"},
                       {"serialcomm-remove COM10", "ok"},
                       {"device-remove COM7 FTDIBUS", "ok"}});
  }

  // The ports the dialog lists at its start (the rig's, and whatever else
  // Wine has), then the same with the new port among them.
  void learnListedPorts() {
    const std::vector<std::string> results =
        runSteps(ident(), {{"find 20000", "ok"}, {"items 513", nullptr}});
    before_ = results[1];
    std::vector<std::string> ports = split(before_, '|');
    ASSERT_EQ(std::find(ports.begin(), ports.end(), kNewPort), ports.end()) << before_;
    ports.push_back(kNewPort);
    std::sort(ports.begin(), ports.end(),
              [](const std::string& a, const std::string& b) { return naturalLess(a, b); });
    after_.clear();
    for (const std::string& port : ports) after_ += (after_.empty() ? "" : "|") + port;
  }

  SimProcess newPortSim_;
  std::string link_;
  std::unique_ptr<Session> session_;
  std::string before_;
  std::string after_;
};

const std::vector<Step> kRead = {
    {"click 515", "ok"},
    {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
    {"text 540", ""},
};

const Step kAddValue = {std::string("serialcomm-add ") + kNewPort, "ok"};
// The dialog refreshes its list 300 ms after the last device change.
const Step kQuietAfterChanges = {"sleep 600", "ok"};
const Step kRemoveValue = {std::string("serialcomm-remove ") + kNewPort, "ok"};

// How the list learns of the change: Windows' announcement, or the user
// dropping the list down.
struct RefreshCase {
  const char* name;
  std::vector<Step> afterArrival;
  std::vector<Step> afterRemoval;
};

class HotplugRefresh : public Hotplug, public testing::WithParamInterface<RefreshCase> {};

TEST_P(HotplugRefresh, ANewPortIsListedOpensAndReadsAndLeavesWhenItGoes) {
  plugInDevice();
  learnListedPorts();
  runSteps(ident(),
           concat(concat({{"items 513", before_.c_str()},
                          {"select 513 COM2", "1"},
                          kAddValue,
                          // Nothing has told the dialog yet.
                          {"items 513", before_.c_str()}},
                         GetParam().afterArrival),
                  concat({{"items 513", after_.c_str()},
                          // The chosen entry stays chosen.
                          {"text 513", "COM2"},
                          {"select 513 COM7", nullptr},
                          {"click 514", "ok"},
                          {"text 540", golden::statusText(0).c_str()},
                          {"text 514", "COM7"},
                          {"checked 514", "1"}},
                         concat(concat(kRead, kDefaultValues), {{"click 514", "ok"},
                                                                {"text 514", "Выбрать"},
                                                                {"text 513", "COM7"}}))));
  EXPECT_TRUE(simRequests(ident()).empty()) << "COM1's instrument was read, not COM7's";

  unplugDevice();
  runSteps(ident(), concat({kRemoveValue, {"items 513", after_.c_str()}},
                           concat(GetParam().afterRemoval, {{"items 513", before_.c_str()},
                                                            {"text 513", ""},
                                                            {"visible 513", "1"},
                                                            {"text 514", "Выбрать"},
                                                            {"visible 514", "1"},
                                                            {"closebox", "ok"}})));
}

const RefreshCase kRefreshCases[] = {
    {"DeviceNodesChanged",
     {{"devicechange nodes", "ok"}, kQuietAfterChanges},
     {{"devicechange nodes", "ok"}, kQuietAfterChanges}},
    {"ArrivalAndRemoval",
     {{"devicechange arrival", "ok"}, kQuietAfterChanges},
     {{"devicechange removal", "ok"}, kQuietAfterChanges}},
    {"ListDroppedDown",
     {{"dropdown 513", "ok"}, {"closeup 513", "ok"}},
     {{"dropdown 513", "ok"}, {"closeup 513", "ok"}}},
};

INSTANTIATE_TEST_SUITE_P(Refresh, HotplugRefresh, testing::ValuesIn(kRefreshCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The connection view of the open port, its button and its reads.
std::vector<Step> openCom1Untouched() {
  return concat({{"checked 514", "1"},
                 {"text 514", "COM1"},
                 {"visible 513", "0"},
                 {"visible 515", "1"},
                 {"text 539", "Открыт"}},
                concat(kRead, kDefaultValues));
}

TEST_F(Hotplug, APortComingAndGoingLeavesTheOpenPortAlone) {
  plugInDevice();
  learnListedPorts();
  runSteps(ident(), concat(concat(kOpenCom1, {kAddValue, {"devicechange arrival", "ok"},
                                              kQuietAfterChanges}),
                           openCom1Untouched()));
  unplugDevice();
  runSteps(ident(),
           concat(concat({kRemoveValue, {"devicechange removal", "ok"}, kQuietAfterChanges},
                         openCom1Untouched()),
                  {{"click 514", "ok"},
                   {"items 513", before_.c_str()},
                   {"text 513", "COM1"},
                   {"closebox", "ok"}}));
  EXPECT_EQ(simRequests(ident()).size(), 12u) << "two cycles of six requests on COM1";
}

// Ports only the registry knows (their devices not there yet) are listed,
// in natural order after the rig's COM1 to COM3; one without its device
// fails to open as any missing port does.
TEST_F(Hotplug, PortsKnownOnlyToTheRegistryAreListedInNaturalOrder) {
  learnListedPorts();
  const std::string expected = before_ + "|COM7|COM10";
  runSteps(ident(), {{"serialcomm-add COM10", "ok"},
                     kAddValue,
                     {"devicechange nodes", "ok"},
                     kQuietAfterChanges,
                     {"items 513", expected.c_str()},
                     {"select 513 COM10", nullptr},
                     {"click 514", "ok"},
                     {"text 540", golden::statusText(2).c_str()},
                     {"text 514", "COM10"},
                     {"click 514", "ok"},
                     {"closebox", "ok"}});
}

// Windows announces a device before its port's name exists, and in bursts:
// the list, refreshed once the changes have been quiet for a while, shows
// the port that came in the middle of the burst.
TEST_F(Hotplug, ChangesAreGatheredUntilTheyHaveBeenQuiet) {
  plugInDevice();
  learnListedPorts();
  runSteps(ident(), {{"devicechange arrival", "ok"},
                     {"devicechange nodes", "ok"},
                     kAddValue,
                     {"devicechange nodes", "ok"},
                     // Still inside the burst: nothing refreshed yet.
                     {"items 513", before_.c_str()},
                     kQuietAfterChanges,
                     {"items 513", after_.c_str()},
                     {"closebox", "ok"}});
}

// A device entry in the registry is what Wine's SetupAPI lists: its friendly
// name describes the port in the list, and the entry opens the port.
TEST_F(Hotplug, ADevicesFriendlyNameDescribesItsPort) {
  plugInDevice();
  learnListedPorts();
  const std::string entry = std::string(kNewPort) + "  USB Serial Port";
  std::string listed;
  for (const std::string& port : split(after_, '|'))
    listed += (listed.empty() ? "" : "|") + (port == kNewPort ? entry : port);
  runSteps(ident(), {kAddValue,
                     {std::string("device-add ") + kNewPort + " FTDIBUS ports USB Serial Port (" +
                          kNewPort + ")",
                      "ok"},
                     {"devicechange arrival", "ok"},
                     kQuietAfterChanges,
                     {"items 513", listed.c_str()},
                     {"select 513 " + entry, nullptr},
                     {"click 514", "ok"},
                     {"text 540", golden::statusText(0).c_str()},
                     {"text 514", kNewPort},
                     {"click 514", "ok"},
                     {"closebox", "ok"}});
}

}  // namespace
