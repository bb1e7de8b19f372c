// The driver's session, dialogs and boxes: see driver.h and session.h.
#include "runner/driver/session.h"

#include <sstream>

#include "toolwindows/paths.h"

namespace driver {
namespace {

using detail::BoxText;
using detail::Quote;
using detail::SendA;
using toolwin::CaptionOf;
using toolwin::ClassOf;
using toolwin::IsClass;
using toolwin::kDialogClass;
using toolwin::WindowsOf;
using winpath::Join;

}  // namespace

// --- Session ----------------------------------------------------------------

namespace detail {

std::vector<Revediz::WindowInfo> Session::TopLevelWindows() const {
  std::vector<Revediz::WindowInfo> infos;
  for (HWND hwnd : WindowsOf(pid)) {
    infos.push_back({hwnd, ClassOf(hwnd), CaptionOf(hwnd), IsWindowVisible(hwnd) != FALSE,
                     GetWindow(hwnd, GW_OWNER) != nullptr});
  }
  return infos;
}

HWND Session::LogWindow() const { return toolwin::LogOf(main); }

std::string Session::Dump() const {
  std::ostringstream out;
  out << "--- screen of REVEDIZ (process " << pid << ", folder " << workDir << ")\n";
  if (!Running()) out << "process ended with status " << ExitCode() << "\n";
  out << "top-level windows:\n";
  for (const Revediz::WindowInfo& w : TopLevelWindows()) {
    out << "  [" << w.className << "] " << Quote(w.caption) << (w.visible ? " visible" : " hidden")
        << (w.owned ? " owned" : "");
    if (w.className == kDialogClass && !w.owned) out << " text " << Quote(BoxText(w.hwnd));
    out << "\n";
  }
  HWND log = LogWindow();
  if (log == nullptr) {
    out << "no log window\n";
  } else {
    try {
      std::vector<std::string> lines = ListItems(log);
      out << "log (" << lines.size() << " lines):\n";
      for (const std::string& line : lines) out << "  |" << line << "|\n";
    } catch (const Failure& failure) {
      out << "log unreadable: " << failure.what() << "\n";
    }
  }
  out << "---";
  return out.str();
}

void Session::Fail(const std::string& message) {
  failed = true;
  std::string text = message + "\n" + Dump();
  if (!workDir.empty()) {
    SaveScreenshot(Join(workDir, "failure.bmp"));
    text += "\nscreenshot and files kept in " + workDir;
  }
  throw Failure(text);
}

}  // namespace detail

// --- Dialog -------------------------------------------------------------------

std::string Dialog::Caption() const { return CaptionOf(hwnd_); }

HWND Dialog::Control(int id) const {
  HWND control = GetDlgItem(hwnd_, id);
  if (control == nullptr) session_->Fail("dialog " + Quote(Caption()) + " has no control " + std::to_string(id));
  return control;
}

std::string Dialog::Text(int id) const { return WindowText(Control(id)); }

void Dialog::SetText(int id, std::string_view text) const {
  std::string value(text);
  if (!SendA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), nullptr)) {
    session_->Fail("cannot set the text of control " + std::to_string(id));
  }
}

void Dialog::Click(int id) const {
  HWND control = GetDlgItem(hwnd_, id);  // may be absent: the id alone counts
  if (!PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control))) {
    session_->Fail("cannot post the click of " + std::to_string(id));
  }
}

void Dialog::Press(int id) const {
  if (!PostMessageA(Control(id), BM_CLICK, 0, 0)) session_->Fail("cannot press " + std::to_string(id));
}

void Dialog::Key(int id, int virtualKey) const {
  const HWND control = Control(id);
  DWORD_PTR ignored = 0;
  if (!SendA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, &ignored)) {
    session_->Fail("cannot move the focus to " + std::to_string(id));
  }
  // Repeat count 1 and the scan code; a key let go also has bits 30 and 31.
  const DWORD down = 1 | MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC) << 16;
  const WPARAM key = static_cast<WPARAM>(virtualKey);
  if (!PostMessageA(control, WM_KEYDOWN, key, static_cast<LPARAM>(down)) ||
      !PostMessageA(control, WM_KEYUP, key, static_cast<LPARAM>(down | 0xC0000000u))) {
    session_->Fail("cannot post a key to " + std::to_string(id));
  }
}

bool Dialog::IsChecked(int id) const {
  DWORD_PTR state = 0;
  if (!SendA(Control(id), BM_GETCHECK, 0, 0, &state)) session_->Fail("cannot read button " + std::to_string(id));
  return state == BST_CHECKED;
}

void Dialog::SetRadio(int id) const {
  Press(id);
  if (!PollUntil([&] { return IsChecked(id); }, session_->timeoutMs)) {
    session_->Fail("radio button " + std::to_string(id) + " did not turn on");
  }
}

std::vector<std::string> Dialog::Items(int id) const { return ListItems(Control(id)); }

int Dialog::Selection(int id) const {
  HWND control = Control(id);
  DWORD_PTR index = 0;
  if (!SendA(control, IsClass(control, "ComboBox") ? CB_GETCURSEL : LB_GETCURSEL, 0, 0, &index)) {
    session_->Fail("cannot read the selection of " + std::to_string(id));
  }
  return static_cast<int>(static_cast<LRESULT>(index));
}

int Dialog::IndexOf(int id, std::string_view item) const {
  std::vector<std::string> items = Items(id);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item) return static_cast<int>(i);
  }
  std::string known;
  for (const std::string& each : items) known.append(" ").append(Quote(each));
  session_->Fail("control " + std::to_string(id) + " has no item " + Quote(item) + "; items:" + known);
}

void Dialog::SelectIndex(int id, int index, bool post) const {
  HWND control = Control(id);
  bool combo = IsClass(control, "ComboBox");
  DWORD_PTR result = 0;
  if (!SendA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0, &result) ||
      static_cast<LRESULT>(result) != index) {
    session_->Fail("cannot select item " + std::to_string(index) + " of control " + std::to_string(id));
  }
  WPARAM notify = MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
  bool delivered = post ? PostMessageA(hwnd_, WM_COMMAND, notify, reinterpret_cast<LPARAM>(control)) != FALSE
                        : SendA(hwnd_, WM_COMMAND, notify, reinterpret_cast<LPARAM>(control), nullptr,
                                session_->timeoutMs);
  if (!delivered) session_->Fail("the dialog did not take the choice of item " + std::to_string(index));
}

void Dialog::Select(int id, int index) const { SelectIndex(id, index, false); }
void Dialog::Select(int id, std::string_view item) const { SelectIndex(id, IndexOf(id, item), false); }
void Dialog::SelectPosted(int id, std::string_view item) const { SelectIndex(id, IndexOf(id, item), true); }

bool Dialog::IsOpen() const { return IsWindow(hwnd_) && IsWindowVisible(hwnd_); }

void Dialog::WaitClosed(DWORD timeoutMs) const {
  if (!PollUntil([&] { return !IsWindow(hwnd_); }, timeoutMs)) {
    session_->Fail("dialog " + Quote(Caption()) + " did not close");
  }
}

void Dialog::OkAndWaitClosed() const {
  Click(IDOK);
  WaitClosed(session_->timeoutMs);
}

void Dialog::Cancel() const {
  Click(IDCANCEL);
  WaitClosed(session_->timeoutMs);
}

// --- Box ----------------------------------------------------------------------

void Box::Ok(DWORD timeoutMs) const {
  if (!PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)))) {
    if (session) session->Fail("cannot press OK of box " + Quote(caption));
    throw Failure("cannot press OK of box " + Quote(caption));
  }
  if (!PollUntil([&] { return !IsWindow(hwnd); }, timeoutMs)) {
    if (session) session->Fail("box " + Quote(caption) + " did not close");
    throw Failure("box " + Quote(caption) + " did not close");
  }
}

}  // namespace driver
