// The entries of the simulated device library, driven as the tool drives
// them: initialize, open, ioctl, read, write, close, term.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "simulator/sim_codes.h"

namespace {

using simtest::kWindow;
using simtest::LittleEndian32;
using simtest::PostedMessages;

std::intptr_t Text(const char* text) { return reinterpret_cast<std::intptr_t>(text); }

class SimInitialize : public simtest::SimTest {};

TEST_F(SimInitialize, NeedsTheQueueHandleAndKnownResources) {
  ResourceArg timeout{"Timeout", 1000};
  EXPECT_EQ(pos::kErrSysInvalidQueue, sim_->Initialize("REVEDIZ", "C:\\VORN", &timeout, 1));
  EXPECT_EQ(pos::kErrSysInvalidQueue, sim_->Initialize("REVEDIZ", "C:\\VORN", nullptr, 0));
  ResourceArg zero{"queueHandle", 0};
  EXPECT_EQ(pos::kErrSysInvalidQueue, sim_->Initialize("REVEDIZ", "C:\\VORN", &zero, 1));
  ResourceArg unknown[] = {{"queueHandle", kWindow}, {"Rows", 2}};
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Initialize("REVEDIZ", "C:\\VORN", unknown, 2));
  ResourceArg empty[] = {{"queueHandle", kWindow}, {"", 0}};
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Initialize("REVEDIZ", "C:\\VORN", empty, 2));
  ResourceArg bad[] = {{"queueHandle", kWindow}, {"LogLevel", 9}};
  EXPECT_EQ(pos::kErrSysOutOfBounds, sim_->Initialize("REVEDIZ", "C:\\VORN", bad, 2));
  EXPECT_FALSE(sim_->Initialized());
  EXPECT_TRUE(PostedMessages().empty());
  EXPECT_EQ(pos::kErrSysInvalidNargs, sim_->Initialize("REVEDIZ", "C:\\VORN", bad, -1));
}

TEST_F(SimInitialize, BringsEveryBenchDeviceOnLine) {
  ResourceArg args[] = {{"queueHandle", kWindow}, {"Timeout", 2000}};
  ASSERT_EQ(0, sim_->Initialize("REVEDIZ", "C:\\VORN", args, 2));
  ASSERT_EQ(12u, PostedMessages().size());
  std::set<std::uint32_t> classes;
  for (const simtest::Posted& p : PostedMessages()) {
    EXPECT_EQ(static_cast<std::uintptr_t>(kWindow), p.window);
    EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgSysDeviceOnline), p.message);
    classes.insert(p.wParam & 0xFF);
  }
  EXPECT_EQ(12u, classes.size());
  // The display: slot 2, port 0x11, ANOP_DISPLAY_A, class DISPLAY; subtype 6.
  const int display = sim::FindClass("PosDisplay");
  const simtest::Posted& p = PostedMessages()[static_cast<std::size_t>(display - 2)];
  EXPECT_EQ(0x02112402u, p.wParam);
  EXPECT_EQ(6u, p.lParam);

  // The same events wait in the queue, in the same order.
  unsigned char buffer[12 * 16 + 8];
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Read(0, buffer, sizeof buffer, &out));
  ASSERT_EQ(12 * 16, out);
  for (int i = 0; i < 12; ++i) {
    const unsigned char* record = buffer + i * 16;
    EXPECT_EQ(static_cast<std::uint32_t>(i + 1), LittleEndian32(record));
    EXPECT_EQ(0x420Du, LittleEndian32(record + 4));
    EXPECT_EQ(PostedMessages()[static_cast<std::size_t>(i)].wParam, LittleEndian32(record + 8));
    EXPECT_EQ(PostedMessages()[static_cast<std::size_t>(i)].lParam, LittleEndian32(record + 12));
  }
}

TEST_F(SimInitialize, TwiceIsRefusedUntilTerm) {
  InitializeQuietly();
  ResourceArg queue{"queueHandle", kWindow};
  EXPECT_EQ(pos::kErrSysAlreadyInitialized, sim_->Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
  EXPECT_TRUE(PostedMessages().empty());
  const std::int32_t handle = OpenDevice("PosDisplay");
  EXPECT_EQ(0, sim_->Term());
  EXPECT_FALSE(sim_->Initialized());
  EXPECT_TRUE(sim_->OpenDevices().empty());
  EXPECT_TRUE(sim_->Queue().Empty());
  EXPECT_TRUE(PostedMessages().empty());  // term posts nothing
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Term());
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Close(handle));
  ASSERT_EQ(0, sim_->Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
  EXPECT_EQ(12u, PostedMessages().size());
  std::int32_t out = 0;
  unsigned char buffer[16];
  EXPECT_EQ(pos::kErrSysInvalidDescriptor, sim_->Read(handle, buffer, 16, &out));
}

TEST_F(SimInitialize, CallsBeforeInitializeAreRefused) {
  std::int32_t out = 7;
  unsigned char buffer[16];
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Open("DEVNAME", "PosDisplay", nullptr, 0, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Read(0, buffer, 16, &out));
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Write(1, buffer, 1, &out));
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->IOCtl(1, pos::kReqSysGetValues, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->Close(1));
  EXPECT_EQ(0, sim_->Version(1, 2, 3));
}

class SimOpen : public simtest::SimTest {};

TEST_F(SimOpen, HandlesArePositiveAndDistinct) {
  InitializeQuietly();
  std::set<std::int32_t> handles;
  for (const char* cls : {"PosDisplay", "PosDisplay", "PosPrinter", "PosSystem", "PosNvram"}) {
    const std::int32_t handle = OpenDevice(cls);
    EXPECT_GT(handle, 0);
    handles.insert(handle);
  }
  EXPECT_EQ(5u, handles.size());
  // A closed handle is not given out again at once.
  const std::int32_t last = *handles.rbegin();
  ASSERT_EQ(0, sim_->Close(last));
  const std::int32_t next = OpenDevice("PosDisplay");
  EXPECT_GT(next, 0);
  EXPECT_EQ(0u, handles.count(next));
  EXPECT_EQ(pos::kErrSysInvalidDescriptor, sim_->Close(last));
  EXPECT_EQ(pos::kErrSysFunctionNotSupported, sim_->Close(0));
}

TEST_F(SimOpen, NamesAndClassesAreChecked) {
  InitializeQuietly();
  ResourceArg queue{"queueHandle", kWindow};
  std::int32_t out = -1;
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Open("", "PosDisplay", &queue, 1, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Open(nullptr, "PosDisplay", &queue, 1, &out));
  EXPECT_EQ(pos::kErrSysInvalidClass, sim_->Open("DEVNAME", "PosDisplayX", &queue, 1, &out));
  EXPECT_EQ(pos::kErrSysInvalidClass, sim_->Open("DEVNAME", "posdisplay", &queue, 1, &out));
  EXPECT_EQ(pos::kErrSysInvalidDevice, sim_->Open("DEVNAME", "PosDevice", &queue, 1, &out));
  EXPECT_EQ(0, sim_->Open("PosDisplay", "PosDisplay", &queue, 1, &out));
  EXPECT_GT(out, 0);
  ASSERT_EQ(1u, sim_->OpenDevices().size());
  EXPECT_EQ("PosDisplay", sim_->OpenDevices()[0].name);
  // Records past the rows the operator filled arrive with empty names.
  ResourceArg padded[] = {{"Rows", 2}, {"", 0}, {"queueHandle", kWindow}};
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Open("DEVNAME", "PosDisplay", padded, 3, &out));
  EXPECT_EQ(pos::kErrSysInvalidAddress, sim_->Open("DEVNAME", "PosDisplay", &queue, 1, nullptr));
}

TEST_F(SimOpen, ResourcesConfigureTheDeviceOrRefuseTheOpenWhole) {
  InitializeQuietly();
  std::int32_t out = 0;
  ResourceArg serial[] = {{"BaudRate", 19200}, {"DataBits", 7}, {"queueHandle", kWindow}};
  ASSERT_EQ(0, sim_->Open("COM", "PosRs232c", serial, 3, &out));
  const sim::Device& port = sim_->DeviceOf(sim::FindClass("PosRs232c"));
  EXPECT_EQ(19200, port.values[0].number);
  EXPECT_EQ(7, port.values[1].number);

  ResourceArg badBaud[] = {{"DataBits", 5}, {"BaudRate", 12345}};
  EXPECT_EQ(sim::kErrRs232InvalidBaudRate, sim_->Open("COM", "PosRs232c", badBaud, 2, &out));
  EXPECT_EQ(7, port.values[1].number) << "a refused open changes nothing";

  ResourceArg diWidth{"diWidth", 0};
  EXPECT_EQ(sim::kErrPrnInvalidDiWidth, sim_->Open("PRN", "PosPrinter", &diWidth, 1, &out));
  ResourceArg cursor[] = {{"Rows", 2}, {"CursorRow", 2}};
  EXPECT_EQ(sim::kErrDspInvalidCursor, sim_->Open("DSP", "PosDisplay", cursor, 2, &out));
  ResourceArg otherClass{"BaudRate", 9600};
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->Open("DSP", "PosDisplay", &otherClass, 1, &out));
  ResourceArg pulse{"PulseWidth", -1};
  EXPECT_EQ(sim::kErrTillInvalidPulseWidth, sim_->Open("TILL", "PosDrawer", &pulse, 1, &out));
  ResourceArg slot{"Slot", 9};
  EXPECT_EQ(pos::kErrSysInvalidSlot, sim_->Open("TILL", "PosDrawer", &slot, 1, &out));
  ResourceArg type{"DeviceType", 0x25};
  EXPECT_EQ(pos::kErrSysInvalidClassDeviceCombo, sim_->Open("DSP", "PosDisplay", &type, 1, &out));
  ResourceArg sameType{"DeviceType", 0x24};
  EXPECT_EQ(0, sim_->Open("DSP", "PosDisplay", &sameType, 1, &out));
  ResourceArg numberAsText{"DisplayText", 40};
  EXPECT_EQ(pos::kErrSysInvalidAddress, sim_->Open("DSP", "PosDisplay", &numberAsText, 1, &out));
  ResourceArg text{"DisplayText", Text("HELLO")};
  EXPECT_EQ(0, sim_->Open("DSP", "PosDisplay", &text, 1, &out));
  EXPECT_EQ("HELLO               ", sim_->DisplayLines()[0]);
}

TEST_F(SimOpen, MaxDevicesLimitsOpenHandles) {
  InitializeQuietly();
  const std::int32_t system = OpenDevice("PosSystem");
  ResourceArg max{"MaxDevices", 2};
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->IOCtl(system, pos::kReqSysSetValues, &max, 1, &out));
  EXPECT_GT(OpenDevice("PosDisplay"), 0);
  EXPECT_EQ(pos::kErrSysTooManyDevices, sim_->Open("X", "PosDisplay", nullptr, 0, &out));
}

class SimIoctl : public simtest::SimTest {};

TEST_F(SimIoctl, GetValuesWritesNumbersAndTextsWithinTheirBlocks) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay", "FRONT");
  std::int32_t out = -1;
  ResourceArg write{"DisplayText", Text("HELLO WORLD")};
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqSysSetValues, &write, 1, &out));

  // An empty block holds 100 bytes: the 40-character screen fits whole.
  char empty[101];
  std::memset(empty, 0x55, sizeof empty);
  empty[0] = '\0';
  // A block with text holds no more than that text and its terminator.
  char shortBlock[8] = {'a', 'b', 'c', '\0', 0x55, 0x55, 0x55, 0x55};
  char name[100] = "";
  ResourceArg args[] = {{"Rows", 0},
                        {"DisplayText", Text(empty)},
                        {"DisplayText", Text(shortBlock)},
                        {"DeviceName", Text(name)},
                        {"queueHandle", 0},
                        {"Slot", -1},
                        {"Timeout", 0}};
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqSysGetValues, args, 7, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(2, args[0].value);
  EXPECT_EQ(std::string("HELLO WORLD") + std::string(29, ' '), std::string(empty));
  EXPECT_EQ(0x55, static_cast<unsigned char>(empty[100]));
  EXPECT_STREQ("HEL", shortBlock);
  EXPECT_EQ(0x55, shortBlock[4]) << "wrote past strlen(block) + 1";
  EXPECT_STREQ("FRONT", name);
  EXPECT_EQ(kWindow, args[4].value);
  EXPECT_EQ(2, args[5].value);
  EXPECT_EQ(5000, args[6].value);
}

TEST_F(SimIoctl, GetValuesOfAnEmptyBlockStopsAt99Characters) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay");
  ResourceArg size[] = {{"Rows", 4}, {"Columns", 80}};
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqSysSetValues, size, 2, &out));
  std::vector<char> block(120, 0x55);
  block[0] = '\0';
  ResourceArg get{"DisplayText", Text(block.data())};
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqSysGetValues, &get, 1, &out));
  EXPECT_EQ(99u, std::strlen(block.data()));
  EXPECT_EQ(0x55, block[100]);
}

TEST_F(SimIoctl, GetValuesRefusedWritesNothing) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay");
  ResourceArg args[] = {{"Rows", 77}, {"NoSuchThing", 0}};
  std::int32_t out = 0;
  EXPECT_EQ(pos::kErrSysInvalidName, sim_->IOCtl(display, pos::kReqSysGetValues, args, 2, &out));
  EXPECT_EQ(77, args[0].value);
  ResourceArg noBlock[] = {{"Rows", 77}, {"DisplayText", -1}};
  EXPECT_EQ(pos::kErrSysInvalidAddress,
            sim_->IOCtl(display, pos::kReqSysGetValues, noBlock, 2, &out));
  EXPECT_EQ(77, noBlock[0].value);
}

TEST_F(SimIoctl, RequestsMustFitTheDeviceClass) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay");
  const std::int32_t drawer = OpenDevice("PosDrawer");
  std::int32_t out = -1;
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->IOCtl(display, pos::kReqTillOpenTill, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->IOCtl(display, 4499, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->IOCtl(display, 0, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->IOCtl(drawer, pos::kReqAlarmSoundAlarm, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysInvalidDescriptor, sim_->IOCtl(99, pos::kReqDspClearScreen, nullptr, 0, &out));
  EXPECT_EQ(0, sim_->IOCtl(display, pos::kReqDspClearScreen, nullptr, 0, &out));
  EXPECT_EQ(0, out);
}

TEST_F(SimIoctl, OpenTillOpensTheDrawerAndTellsTheHandle) {
  InitializeQuietly();
  const std::int32_t drawer = OpenDevice("PosDrawer");
  std::int32_t out = -1;
  ASSERT_EQ(0, sim_->IOCtl(drawer, pos::kReqTillOpenTill, nullptr, 0, &out));
  ASSERT_EQ(1u, PostedMessages().size());
  const simtest::Posted& p = PostedMessages()[0];
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgTillOpened), p.message);
  EXPECT_EQ(static_cast<std::uint32_t>(drawer), p.wParam & 0xFF);
  EXPECT_EQ(0x54u, (p.wParam >> 8) & 0xFF);
  unsigned char status = 0;
  ASSERT_EQ(0, sim_->Read(drawer, &status, 1, &out));
  EXPECT_EQ(1, status);
  ASSERT_EQ(0, sim_->CloseDrawer());
  ASSERT_EQ(0, sim_->Read(drawer, &status, 1, &out));
  EXPECT_EQ(0, status);
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgTillClosed), PostedMessages().back().message);
}

TEST_F(SimIoctl, DeviceRequestsActOnTheirDevice) {
  InitializeQuietly();
  std::int32_t out = 0;
  const std::int32_t display = OpenDevice("PosDisplay");
  ASSERT_EQ(0, sim_->Write(display, "ABC", 3, &out));
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqDspClearScreen, nullptr, 0, &out));
  EXPECT_EQ(std::string(20, ' '), sim_->DisplayLines()[0]);

  const std::int32_t scale = OpenDevice("PosScale");
  char weight[16] = {};
  ASSERT_EQ(0, sim_->Read(scale, weight, sizeof weight - 1, &out));
  EXPECT_STREQ("1.250 kg", weight);
  ASSERT_EQ(0, sim_->IOCtl(scale, pos::kReqScaleZeroScale, nullptr, 0, &out));
  ASSERT_EQ(0, sim_->PlaceWeight(1500));
  std::memset(weight, 0, sizeof weight);
  ASSERT_EQ(0, sim_->Read(scale, weight, sizeof weight - 1, &out));
  EXPECT_STREQ("0.250 kg", weight);

  const std::int32_t alarm = OpenDevice("PosAlarm");
  ResourceArg tone{"ToneFrequency", 5};
  EXPECT_EQ(pos::kErrSysOutOfBounds, sim_->IOCtl(alarm, pos::kReqAlarmSoundAlarm, &tone, 1, &out));
  EXPECT_FALSE(sim_->DeviceOf(sim::FindClass("PosAlarm")).sounding);
  tone.value = 880;
  ASSERT_EQ(0, sim_->IOCtl(alarm, pos::kReqAlarmSoundAlarm, &tone, 1, &out));
  EXPECT_TRUE(sim_->DeviceOf(sim::FindClass("PosAlarm")).sounding);

  const std::int32_t keyboard = OpenDevice("PosKeyboard");
  ASSERT_EQ(0, sim_->IOCtl(keyboard, pos::kReqKbdDisableNumLock, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysCmdReject, sim_->IOCtl(keyboard, pos::kReqKbdSetNumLockOn, nullptr, 0, &out));
}

TEST_F(SimIoctl, AcquireGivesOneHandleTheDevice) {
  InitializeQuietly();
  const std::int32_t first = OpenDevice("PosPrinter");
  const std::int32_t second = OpenDevice("PosPrinter");
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->IOCtl(first, pos::kReqSysAcquireDevice, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysAlreadyAcquired, sim_->IOCtl(first, pos::kReqSysAcquireDevice, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysAcquiredByOther, sim_->IOCtl(second, pos::kReqSysAcquireDevice, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysAcquiredByOther, sim_->Write(second, "x", 1, &out));
  EXPECT_EQ(pos::kErrSysNotAcquired, sim_->IOCtl(second, pos::kReqSysReleaseDevice, nullptr, 0, &out));
  ASSERT_EQ(0, sim_->Close(first));  // closing releases
  EXPECT_EQ(0, sim_->Write(second, "x", 1, &out));
}

class SimReadWrite : public simtest::SimTest {};

TEST_F(SimReadWrite, DisplayKeepsWhatWasWritten) {
  InitializeQuietly();
  const std::int32_t display = OpenDevice("PosDisplay");
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Write(display, "TOTAL\r\n  12.50", 15, &out));
  EXPECT_EQ(15, out);
  const std::vector<std::string> lines = sim_->DisplayLines();
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("TOTAL               ", lines[0]);
  EXPECT_EQ("  12.50             ", lines[1]);
  char screen[41] = {};
  ASSERT_EQ(0, sim_->Read(display, screen, 40, &out));
  EXPECT_EQ(40, out);
  EXPECT_EQ(lines[0] + lines[1], std::string(screen));
  // Writing on past the last position starts again at the top left.
  ASSERT_EQ(0, sim_->IOCtl(display, pos::kReqDspClearScreen, nullptr, 0, &out));
  const std::string long41(41, 'x');
  ASSERT_EQ(0, sim_->Write(display, long41.data(), 41, &out));
  EXPECT_EQ(std::string(20, 'x'), sim_->DisplayLines()[1]);
}

TEST_F(SimReadWrite, PrinterPrintsLinesAndReportsChaseComplete) {
  InitializeQuietly();
  const std::int32_t printer = OpenDevice("PosPrinter");
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Write(printer, "RECEIPT\r\nITEM 1\n", 16, &out));
  EXPECT_EQ(16, out);
  const sim::Device& device = sim_->DeviceOf(sim::FindClass("PosPrinter"));
  ASSERT_EQ(2u, device.printed.size());
  EXPECT_EQ("RECEIPT", device.printed[0]);
  EXPECT_EQ("ITEM 1", device.printed[1]);
  ASSERT_EQ(1u, PostedMessages().size());
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgPrnChaseComplete), PostedMessages()[0].message);
  EXPECT_EQ(static_cast<std::uint32_t>(printer), PostedMessages()[0].wParam & 0xFF);
  unsigned char buffer[4];
  EXPECT_EQ(pos::kErrSysFunctionNotSupported, sim_->Read(printer, buffer, 4, &out));
}

TEST_F(SimReadWrite, SerialPortLoopsBack) {
  InitializeQuietly();
  const std::int32_t port = OpenDevice("PosRs232c");
  std::int32_t out = 0;
  unsigned char buffer[8];
  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(port, buffer, 8, &out));
  ASSERT_EQ(0, sim_->Write(port, "\x01\x02\x03\x04\x05", 5, &out));
  EXPECT_EQ(5, out);
  ASSERT_EQ(0, sim_->Read(port, buffer, 3, &out));
  EXPECT_EQ(3, out);
  EXPECT_EQ(0, std::memcmp(buffer, "\x01\x02\x03", 3));
  ASSERT_EQ(0, sim_->Read(port, buffer, 8, &out));
  EXPECT_EQ(2, out);
  EXPECT_EQ(0, std::memcmp(buffer, "\x04\x05", 2));
  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(port, buffer, 8, &out));
}

TEST_F(SimReadWrite, NvramFillsALargeBufferWithItsPattern) {
  InitializeQuietly();
  const std::int32_t nvram = OpenDevice("PosNvram");
  std::vector<unsigned char> buffer(65519 + 1, 0xBB);
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Read(nvram, buffer.data(), 65519, &out));
  EXPECT_EQ(65519, out);
  for (std::int32_t i = 0; i < 65519; ++i) {
    if (buffer[static_cast<std::size_t>(i)] != sim::NvramPattern(i)) {
      FAIL() << "byte " << i;
    }
  }
  EXPECT_EQ(0xBB, buffer[65519]);
  EXPECT_NE(sim::NvramPattern(1), sim::NvramPattern(257));

  // Writes land at the cursor; in mode 1 the cursor moves on.
  ResourceArg at[] = {{"Cursor", 100}, {"Mode", 1}};
  ASSERT_EQ(0, sim_->IOCtl(nvram, pos::kReqSysSetValues, at, 2, &out));
  ASSERT_EQ(0, sim_->Write(nvram, "SAVE", 4, &out));
  ResourceArg back{"Cursor", 100};
  ASSERT_EQ(0, sim_->IOCtl(nvram, pos::kReqSysSetValues, &back, 1, &out));
  char saved[4];
  ASSERT_EQ(0, sim_->Read(nvram, saved, 4, &out));
  EXPECT_EQ(0, std::memcmp(saved, "SAVE", 4));
  ResourceArg end{"Cursor", sim::kNvramCapacity - 2};
  ASSERT_EQ(0, sim_->IOCtl(nvram, pos::kReqSysSetValues, &end, 1, &out));
  EXPECT_EQ(sim::kErrNvramNotEnoughRoom, sim_->Write(nvram, "SAVE", 4, &out));
  ASSERT_EQ(0, sim_->Read(nvram, saved, 4, &out));
  EXPECT_EQ(2, out);
  EXPECT_EQ(sim::kErrNvramEof, sim_->Read(nvram, saved, 4, &out));
  ResourceArg beyond{"Cursor", sim::kNvramCapacity + 1};
  EXPECT_EQ(sim::kErrNvramInvalidCursor, sim_->IOCtl(nvram, pos::kReqSysSetValues, &beyond, 1, &out));
}

TEST_F(SimReadWrite, InputDevicesGiveTheirLatestInputOnce) {
  InitializeQuietly();
  const std::int32_t msr = OpenDevice("PosMsr");
  const std::int32_t scanner = OpenDevice("PosScanner");
  char buffer[200] = {};
  std::int32_t out = 0;
  EXPECT_EQ(pos::kErrSysBufferTooSmall, sim_->Read(msr, buffer, 10, &out));
  ASSERT_EQ(0, sim_->Read(msr, buffer, sizeof buffer, &out));
  EXPECT_EQ(std::string(sim::kTestCardTracks), std::string(buffer, static_cast<std::size_t>(out)));
  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(msr, buffer, sizeof buffer, &out));
  ASSERT_EQ(0, sim_->SwipeCard(";123=45?"));
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgMsrDataAvail), PostedMessages().back().message);
  EXPECT_EQ(8u, PostedMessages().back().lParam);
  ASSERT_EQ(0, sim_->Read(msr, buffer, sizeof buffer, &out));
  EXPECT_EQ(";123=45?", std::string(buffer, static_cast<std::size_t>(out)));

  ASSERT_EQ(0, sim_->Read(scanner, buffer, sizeof buffer, &out));
  EXPECT_EQ("0123456789012", std::string(buffer, static_cast<std::size_t>(out)));
  ASSERT_EQ(0, sim_->ScanLabel("4006381333931"));
  ASSERT_EQ(0, sim_->IOCtl(scanner, pos::kReqScanDiscardData, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysTimeout, sim_->Read(scanner, buffer, sizeof buffer, &out));

  const std::int32_t keyboard = OpenDevice("PosKeyboard");
  ASSERT_EQ(0, sim_->Read(keyboard, buffer, 2, &out));
  EXPECT_EQ("12", std::string(buffer, 2));
  ASSERT_EQ(0, sim_->Read(keyboard, buffer, sizeof buffer, &out));
  EXPECT_EQ("50\r", std::string(buffer, static_cast<std::size_t>(out)));
}

TEST_F(SimReadWrite, ReadOnlyDevicesRefuseWrites) {
  InitializeQuietly();
  std::int32_t out = -1;
  for (const char* cls : {"PosScanner", "PosMsr", "PosScale", "PosKeyboard", "PosDrawer",
                          "PosSystem"}) {
    const std::int32_t handle = OpenDevice(cls);
    EXPECT_EQ(pos::kErrSysFunctionNotSupported, sim_->Write(handle, "x", 1, &out)) << cls;
    EXPECT_EQ(0, out);
  }
  EXPECT_EQ(pos::kErrSysFunctionNotSupported, sim_->Write(0, "x", 1, &out));
  EXPECT_EQ(pos::kErrSysInvalidDescriptor, sim_->Write(77, "x", 1, &out));
  unsigned char buffer[4];
  EXPECT_EQ(pos::kErrSysInvalidDescriptor, sim_->Read(77, buffer, 4, &out));
  EXPECT_EQ(pos::kErrSysInvalidLength, sim_->Read(0, buffer, -1, &out));
  EXPECT_EQ(pos::kErrSysInvalidAddress, sim_->Read(0, nullptr, 16, &out));
}

class SimFaults : public simtest::SimTest {};

TEST_F(SimFaults, OverclaimReportsMoreThanTheBufferButWritesWithinIt) {
  InitializeQuietly();
  const std::int32_t nvram = OpenDevice("PosNvram");
  ASSERT_EQ(0, sim_->SetFault(sim::FindClass("PosNvram"), sim::FaultKind::kReadOverclaim, 10));
  unsigned char buffer[34];
  std::memset(buffer, 0xBB, sizeof buffer);
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Read(nvram, buffer + 1, 32, &out));
  EXPECT_EQ(42, out);
  EXPECT_EQ(0xBB, buffer[0]);
  EXPECT_EQ(0xBB, buffer[33]);
}

TEST_F(SimFaults, OverrunWritesPastTheBufferEnd) {
  InitializeQuietly();
  const std::int32_t nvram = OpenDevice("PosNvram");
  ASSERT_EQ(0, sim_->SetFault(sim::FindClass("PosNvram"), sim::FaultKind::kReadOverrun, 3));
  unsigned char buffer[24];
  std::memset(buffer, 0xBB, sizeof buffer);
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->Read(nvram, buffer, 16, &out));
  EXPECT_EQ(16, out);
  EXPECT_EQ(sim::kOverrunByte, buffer[16]);
  EXPECT_EQ(sim::kOverrunByte, buffer[18]);
  EXPECT_EQ(0xBB, buffer[19]);
  sim_->ClearFaults();
  std::memset(buffer, 0xBB, sizeof buffer);
  ASSERT_EQ(0, sim_->Read(nvram, buffer, 16, &out));
  EXPECT_EQ(0xBB, buffer[16]);
}

TEST_F(SimFaults, InjectedErrorAndOfflineAnswerEveryCall) {
  InitializeQuietly();
  const int display = sim::FindClass("PosDisplay");
  const std::int32_t handle = OpenDevice("PosDisplay");
  ASSERT_EQ(0, sim_->SetFault(display, sim::FaultKind::kError, pos::kErrSysHwError));
  std::int32_t out = 0;
  unsigned char buffer[16];
  EXPECT_EQ(pos::kErrSysHwError, sim_->Write(handle, "x", 1, &out));
  EXPECT_EQ(pos::kErrSysHwError, sim_->Read(handle, buffer, 16, &out));
  EXPECT_EQ(pos::kErrSysHwError, sim_->IOCtl(handle, pos::kReqDspClearScreen, nullptr, 0, &out));
  EXPECT_EQ(pos::kErrSysHwError, sim_->Open("X", "PosDisplay", nullptr, 0, &out));
  EXPECT_EQ(0, sim_->Write(OpenDevice("PosPrinter"), "x", 1, &out)) << "other devices unaffected";
  ASSERT_EQ(0, sim_->SetFault(display, sim::FaultKind::kError, 0));

  PostedMessages().clear();
  ASSERT_EQ(0, sim_->SetFault(display, sim::FaultKind::kOffline, 1));
  ASSERT_EQ(1u, PostedMessages().size());
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgSysDeviceOffline), PostedMessages()[0].message);
  EXPECT_EQ(0x02112402u, PostedMessages()[0].wParam);
  EXPECT_EQ(pos::kErrSysDeviceOffline, sim_->Write(handle, "x", 1, &out));
  EXPECT_EQ(pos::kErrSysDeviceOffline, sim_->Open("X", "PosDisplay", nullptr, 0, &out));
  // Off line survives a new initialize: the device does not come on line.
  ASSERT_EQ(0, sim_->Term());
  PostedMessages().clear();
  ResourceArg queue{"queueHandle", kWindow};
  ASSERT_EQ(0, sim_->Initialize("REVEDIZ", "C:\\VORN", &queue, 1));
  EXPECT_EQ(11u, PostedMessages().size());
  sim_->ClearFaults();
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgSysDeviceOnline), PostedMessages().back().message);
  EXPECT_EQ(0x02112402u, PostedMessages().back().wParam);
}

TEST_F(SimFaults, TargetsAndKindsAreChecked) {
  EXPECT_EQ(sim::kAllTargets, sim::FaultTarget(nullptr));
  EXPECT_EQ(sim::kAllTargets, sim::FaultTarget(""));
  EXPECT_EQ(sim::kQueueTarget, sim::FaultTarget("Queue"));
  EXPECT_EQ(sim::FindClass("PosMsr"), sim::FaultTarget("PosMsr"));
  EXPECT_EQ(-2, sim::FaultTarget("PosDevice"));
  EXPECT_EQ(-2, sim::FaultTarget("Bogus"));
  EXPECT_EQ(pos::kErrSysInvalidClass, sim_->SetFault(-2, sim::FaultKind::kError, 1));
  EXPECT_EQ(pos::kErrSysInvalidRequest, sim_->SetFault(sim::kQueueTarget, static_cast<sim::FaultKind>(9), 1));
  // Set before initialize, a queue fault holds afterwards.
  ASSERT_EQ(0, sim_->SetFault(sim::kQueueTarget, sim::FaultKind::kError, pos::kErrSysInterrupted));
  InitializeQuietly();  // its drain is refused too
  unsigned char buffer[16];
  std::int32_t out = 0;
  EXPECT_EQ(pos::kErrSysInterrupted, sim_->Read(0, buffer, 16, &out));
  EXPECT_EQ(12u, sim_->Queue().Size());
}

}  // namespace

// ---- Printer conditions and bursts from the bench -----------------------------

TEST_F(SimFaults, PaperOutHaltsPrintingUntilPaperIsLoaded) {
  InitializeQuietly();
  const std::int32_t printer = OpenDevice("PosPrinter");
  PostedMessages().clear();
  ASSERT_EQ(0, sim_->SetPaperOut(true));
  ASSERT_EQ(1u, PostedMessages().size());
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgPrnPrinterError), PostedMessages()[0].message);
  EXPECT_EQ(static_cast<std::uint32_t>(printer), PostedMessages()[0].wParam & 0xFF);
  // Running out again is no news.
  ASSERT_EQ(0, sim_->SetPaperOut(true));
  EXPECT_EQ(1u, PostedMessages().size());

  std::int32_t out = 7;
  EXPECT_EQ(pos::kErrSysHwError, sim_->Write(printer, "abc\n", 4, &out));
  EXPECT_EQ(0, out);
  EXPECT_EQ(pos::kErrSysHwError, sim_->Write(printer, "abc\n", 4, &out)) << "until paper is loaded";
  std::string text;
  ASSERT_TRUE(sim_->DeviceText(sim::FindClass("PosPrinter"), &text));
  EXPECT_EQ(text.find("abc"), std::string::npos) << "nothing printed without paper";

  ASSERT_EQ(0, sim_->SetPaperOut(false));
  ASSERT_EQ(2u, PostedMessages().size());
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgPrnStatusChange), PostedMessages()[1].message);
  EXPECT_EQ(0, sim_->Write(printer, "abc\n", 4, &out));
  EXPECT_EQ(4, out);
}

TEST_F(SimFaults, CoverOpenAndPrinterErrorStopPrinting) {
  InitializeQuietly();
  const std::int32_t printer = OpenDevice("PosPrinter");
  std::int32_t out = 0;
  ASSERT_EQ(0, sim_->SetCoverOpen(true));
  EXPECT_EQ(pos::kErrSysHwError, sim_->Write(printer, "x", 1, &out));
  ASSERT_EQ(0, sim_->SetCoverOpen(false));
  EXPECT_EQ(0, sim_->Write(printer, "x", 1, &out));

  PostedMessages().clear();
  ASSERT_EQ(0, sim_->PrinterError());
  ASSERT_EQ(0, sim_->PrinterError());
  ASSERT_EQ(2u, PostedMessages().size()) << "every printer error is posted";
  EXPECT_EQ(static_cast<std::uint32_t>(pos::kMsgPrnPrinterError), PostedMessages()[1].message);
  EXPECT_EQ(pos::kErrSysHwError, sim_->Write(printer, "x", 1, &out));
  EXPECT_EQ(0, sim_->Write(printer, "x", 1, &out)) << "an error fails one print only";
  // The journal tells why the print failed.
  bool halted = false;
  for (const std::string& line : simtest::JournalLines()) halted = halted || line == "  # printer halted: error";
  EXPECT_TRUE(halted);
}

TEST_F(SimFaults, PrinterEventsNeedAnInitializedLibraryAndAnOnLinePrinter) {
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->SetPaperOut(true));
  EXPECT_EQ(pos::kErrSysNotInitialized, sim_->PrinterError());
  InitializeQuietly();
  ASSERT_EQ(0, sim_->SetFault(sim::FindClass("PosPrinter"), sim::FaultKind::kOffline, 1));
  PostedMessages().clear();
  EXPECT_EQ(pos::kErrSysDeviceOffline, sim_->SetCoverOpen(true));
  EXPECT_TRUE(PostedMessages().empty());
}

TEST_F(SimFaults, BurstPostsAndQueuesEveryNotification) {
  InitializeQuietly();
  const int display = sim::FindClass("PosDisplay");
  ASSERT_EQ(0, sim_->Burst(display, 300));
  ASSERT_EQ(300u, PostedMessages().size());
  for (const simtest::Posted& p : PostedMessages()) {
    ASSERT_EQ(static_cast<std::uint32_t>(pos::kMsgSysDeviceOnline), p.message);
    ASSERT_EQ(0x02112402u, p.wParam);
  }
  EXPECT_EQ(300u, sim_->Queue().Size());
  EXPECT_EQ(pos::kErrSysOutOfBounds, sim_->Burst(display, 0));
  EXPECT_EQ(pos::kErrSysOutOfBounds, sim_->Burst(display, 10001));
  EXPECT_EQ(pos::kErrSysInvalidClass, sim_->Burst(-3, 5));
  EXPECT_EQ(300u, PostedMessages().size());
}
