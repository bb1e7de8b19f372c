// End-to-end tests of the application shell: the start-up file check, the
// main window with its menu and log, the six command dialogs opening and
// cancelling, and the two ways out.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"

using e2e::Box;
using e2e::Dialog;
using e2e::Library;
using e2e::Revediz;
using e2e::StartOptions;

namespace {

constexpr char kMainTitle[] = "The REVEDIZ Program for Win95 and WinNT";
// The caption Wine gives an owner-less message box shown without one.
constexpr char kDefaultBoxCaption[] = "Error";

// The shell never touches the device library: run without one.
StartOptions Missing(std::vector<std::string> files) {
  StartOptions options;
  options.library = Library::kNone;
  options.omitDataFiles = std::move(files);
  return options;
}

StartOptions Shell() { return Missing({}); }

// The one box of a failed start-up: its text, after which the program must
// end with status 1 without ever showing its main window.
std::string StartupFailure(const StartOptions& options) {
  Revediz app = Revediz::Launch(options);
  Box box = app.WaitAnyBox();
  EXPECT_EQ(box.caption, kDefaultBoxCaption);
  EXPECT_EQ(app.Boxes().size(), 1u);
  EXPECT_FALSE(app.HasMainWindow());
  box.Ok();
  EXPECT_EQ(app.WaitExit(), 1u);
  EXPECT_FALSE(app.HasMainWindow());
  return box.text;
}

}  // namespace

// --- Start-up check -----------------------------------------------------------

class OneFileMissing : public ::testing::TestWithParam<std::string> {};

TEST_P(OneFileMissing, NamesItAndEndsWithStatusOne) {
  EXPECT_EQ(StartupFailure(Missing({GetParam()})), "File " + GetParam() + " is missing.");
}

INSTANTIATE_TEST_SUITE_P(EveryDataFile, OneFileMissing, ::testing::ValuesIn(e2e::DataFileNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return param.param.substr(0, param.param.find('.'));
                         });

TEST(StartupCheck, SeveralMissingNamesOnlyTheFirstInCheckOrder) {
  EXPECT_EQ(StartupFailure(Missing({"PTOUCH.DAT", "PSCANNER.DAT", "PDISPLAY.DAT", "PIOCTLRE.DAT"})),
            "File PIOCTLRE.DAT is missing.");
  EXPECT_EQ(StartupFailure(Missing(e2e::DataFileNames())), "File PRESOURC.DAT is missing.");
}

TEST(StartupCheck, AllFilesPresentShowsTheMainWindowAndNoBox) {
  Revediz app = Revediz::Start(Shell());
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(e2e::WindowText(app.MainWindow()), kMainTitle);
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// --- Main window ----------------------------------------------------------------

TEST(MainWindow, HasItsClassTitleStyleAndAnEmptyLog) {
  Revediz app = Revediz::Start(Shell());
  HWND main = app.MainWindow();
  char className[64] = {};
  GetClassNameA(main, className, sizeof className);
  EXPECT_STREQ(className, "REVEDIZ");
  EXPECT_EQ(e2e::WindowText(main), kMainTitle);
  LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(main), nullptr);
  EXPECT_EQ(app.LogCount(), 0);
  std::vector<Revediz::WindowInfo> visible;
  for (const Revediz::WindowInfo& window : app.TopLevelWindows()) {
    if (window.visible) visible.push_back(window);
  }
  ASSERT_EQ(visible.size(), 1u) << app.Dump();
  EXPECT_EQ(visible[0].hwnd, main);
}

TEST(MainWindow, LogIsACaptionedListBoxAt270By5Sized350By200) {
  Revediz app = Revediz::Start(Shell());
  HWND log = app.LogWindow();
  ASSERT_NE(log, nullptr) << app.Dump();
  EXPECT_EQ(e2e::WindowText(log), "Command and Status");
  EXPECT_EQ(GetParent(log), app.MainWindow());
  EXPECT_EQ(GetDlgCtrlID(log), 0);

  RECT rect = {};
  ASSERT_TRUE(GetWindowRect(log, &rect));
  MapWindowPoints(nullptr, app.MainWindow(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 270);
  EXPECT_EQ(rect.top, 5);
  EXPECT_EQ(rect.right - rect.left, 350);
  // Created 200 high; a list box without LBS_NOINTEGRALHEIGHT then shrinks
  // to show whole lines only (again when its horizontal scroll bar appears
  // with the extent), so it loses less than two lines.
  DWORD_PTR itemHeight = 0;
  ASSERT_TRUE(SendMessageTimeoutA(log, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &itemHeight));
  ASSERT_GT(itemHeight, 0u);
  RECT client = {};
  ASSERT_TRUE(GetClientRect(log, &client));
  EXPECT_EQ(client.bottom % static_cast<LONG>(itemHeight), 0) << "client height " << client.bottom;
  EXPECT_LE(rect.bottom - rect.top, 200);
  EXPECT_GT(rect.bottom - rect.top, 200 - 2 * static_cast<LONG>(itemHeight));

  // The scroll bars come and go with the content (their style bits with
  // them); the rest of the frame stays, and no list box style bit is set.
  LONG style = GetWindowLongA(log, GWL_STYLE);
  const LONG kFrame = WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  EXPECT_EQ(style & kFrame, kFrame);
  EXPECT_EQ(style & 0xFFFF, 0);
  // The system adds the edge of a framed window by itself.
  EXPECT_EQ(GetWindowLongA(log, GWL_EXSTYLE) & ~(WS_EX_NOPARENTNOTIFY | WS_EX_WINDOWEDGE), 0);

  DWORD_PTR extent = 0;
  ASSERT_TRUE(SendMessageTimeoutA(log, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_ABORTIFHUNG, 5000, &extent));
  EXPECT_EQ(extent, 600u);
}

// The menu as the program loaded it: read from the program's own resources,
// since a menu of another process cannot be read item by item under Wine.
TEST(MainWindow, MenuHasTheSevenCommandsInOrder) {
  Revediz app = Revediz::Start(Shell());
  EXPECT_NE(GetMenu(app.MainWindow()), nullptr);

  HMODULE program = LoadLibraryExA(e2e::ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HMENU menu = LoadMenuA(program, "WinPOSMenu");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  char text[64] = {};
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Pos_Commands");
  HMENU commands = GetSubMenu(menu, 0);
  ASSERT_NE(commands, nullptr);

  struct Item {
    int id;
    const char* text;
  };
  const Item kItems[] = {{100, "PosInitialize"}, {101, "PosOpen      "}, {102, "PosClose     "},
                         {103, "PosIoctl     "}, {104, "PosRead      "}, {105, "PosWrite     "},
                         {-1, nullptr},          {107, "Exit         "}};
  ASSERT_EQ(GetMenuItemCount(commands), 8);
  for (int position = 0; position < 8; ++position) {
    const Item& expected = kItems[position];
    MENUITEMINFOA info = {};
    char itemText[64] = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = itemText;
    info.cch = sizeof itemText;
    ASSERT_TRUE(GetMenuItemInfoA(commands, static_cast<UINT>(position), TRUE, &info));
    if (expected.text == nullptr) {
      EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "position " << position;
      continue;
    }
    EXPECT_EQ(static_cast<int>(info.wID), expected.id) << "position " << position;
    EXPECT_STREQ(itemText, expected.text) << "position " << position;
    EXPECT_EQ(info.fState & (MFS_GRAYED | MFS_DISABLED), 0u) << "position " << position;
  }
  DestroyMenu(menu);
  FreeLibrary(program);
}

// --- Commands -----------------------------------------------------------------------

struct CommandCase {
  WPARAM id;
  const char* caption;
};

void PrintTo(const CommandCase& command, std::ostream* out) {
  *out << command.id << " \"" << command.caption << "\"";
}

class CommandOpensItsDialog : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandOpensItsDialog, OwnedByTheMainWindowAndCancelClosesIt) {
  Revediz app = Revediz::Start(Shell());
  std::vector<std::string> before = app.LogLines();
  app.Menu(GetParam().id);
  Dialog dialog = app.WaitDialog(GetParam().caption);
  EXPECT_EQ(GetWindow(dialog.hwnd(), GW_OWNER), app.MainWindow());
  EXPECT_EQ(app.Dialogs().size(), 1u);
  EXPECT_TRUE(app.Boxes().empty()) << app.Dump();
  dialog.Cancel();
  EXPECT_TRUE(app.Dialogs().empty());
  EXPECT_EQ(app.LogLines(), before);
  // The same command opens a fresh dialog again.
  app.Menu(GetParam().id);
  app.WaitDialog(GetParam().caption).Cancel();
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(SixCommands, CommandOpensItsDialog,
                         ::testing::Values(CommandCase{IDM_POS_INITIALIZE, "POS Initialization"},
                                           CommandCase{IDM_POS_OPEN, "POS Open"},
                                           CommandCase{IDM_POS_CLOSE, "POS Close"},
                                           CommandCase{IDM_POS_IOCTL, "POS Ioctl"},
                                           CommandCase{IDM_POS_READ, "POS Read"},
                                           CommandCase{IDM_POS_WRITE, "POS Write"}),
                         [](const ::testing::TestParamInfo<CommandCase>& param) {
                           return "Id" + std::to_string(param.param.id);
                         });

TEST(Commands, UnknownIdsChangeNothing) {
  Revediz app = Revediz::Start(Shell());
  std::vector<std::string> before = app.LogLines();
  app.Menu(106);
  app.Menu(999);
  app.Menu(108);
  app.Menu(99);
  // Posted commands are handled in order: once the Close dialog is up, the
  // unknown ones have been handled.
  app.Menu(IDM_POS_CLOSE);
  Dialog close = app.WaitDialog("POS Close");
  EXPECT_EQ(app.Dialogs().size(), 1u);
  EXPECT_TRUE(app.Boxes().empty());
  EXPECT_EQ(app.LogLines(), before);
  EXPECT_TRUE(app.HasMainWindow());
  close.Cancel();
  EXPECT_TRUE(app.Running());
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

// --- Ending ------------------------------------------------------------------------------

TEST(Ending, ExitCommandEndsWithStatusZero) {
  Revediz app = Revediz::Start(Shell());
  app.Exit();
  EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(Ending, CloseBoxEndsWithStatusZero) {
  Revediz app = Revediz::Start(Shell());
  app.CloseBox();
  EXPECT_EQ(app.WaitExit(), 0u);
}
