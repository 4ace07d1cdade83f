#pragma once
// The frame every manager window shares: the menu bar, a row of tool buttons, the title label,
// the record browser that grows and shrinks with the window, and the status bar; the small
// builders of its menu items and tool buttons; and ManagerWindow, the base of the managers of
// record files that holds that frame with what showing, positioning and the keys do alike.

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

#include "platform/ui/form.h"
#include "records/record_file.h"
#include "storage/browser/rec_browser.h"
#include "storage/data_file_unit.h"

namespace forms {

// Lays the parts out on the window; returns the row the tool buttons go into.
QBoxLayout* LayOutManagerWindow(QWidget& window, QMenuBar* menu, QLabel* title, storage::TRecBrowser* browser,
                                QStatusBar* status);

// A text-only tool button at the end of the row, its caption also its hint (no click: a
// button whose action is connected elsewhere or not available). The caption marks the button's
// Alt letter with "&", as a menu item's does; the button shows it without the mark, as a tool
// bar's buttons read, and Alt with the letter clicks it.
QToolButton* AddToolButton(QWidget& window, QBoxLayout* row, const char* caption,
                           std::function<void()> click);

// Reads the highlighted row's record into the browser's record buffer; false when there is no
// row or it cannot be read (then said, naming the file and the reason).
bool ReadHighlightedRow(storage::TRecBrowser& browser);

// A window's handler as a call-back; none for a null handler (an item not available yet).
template <class Window>
std::function<void()> HandlerOf(Window* window, void (Window::*handler)()) {
  if (!handler) return {};
  return [window, handler] { (window->*handler)(); };
}

// A menu item running `triggered` (when given).
QAction* AddMenuItem(QMenu* menu, const char* caption, std::function<void()> triggered);
// A menu item of a window that is not part of the program yet: present, and disabled.
QAction* AddUnavailableItem(QMenu* menu, const char* caption);

// The two panels of a manager's status bar: 0 the count of records, 1 messages.
std::array<QLabel*, 2> AddStatusPanels(QStatusBar& status);

// The title line: the open company's name, " - #" and its number, in its editor font and colour.
void ShowCompanyTitle(QLabel& title);
// The browser in the open company's browser font and colour.
void ApplyCompanyBrowserFont(storage::TRecBrowser& browser);

// What a manager does when its file cannot be opened on showing: says so ("Unable to open
// database" unless the manager has its own text), tells the program to end and closes the window
// once it is up. False then.
// The text is followed by the file the system refused to open and its reason, when that was the
// failure.
bool OpenedOrHalt(platform::ui::Form& window, bool opened, const QString& text = "Unable to open database");
// "The file 12C.DAT could not be opened: Permission denied." after a blank line, when the last
// failure of the engine was the system refusing to open a file; the refusal ("The file 12I.DAT
// cannot be repaired now: ...") when a posting that waits to be undone held the file; else empty.
QString OpenFailureReason();
// text, followed by the engine's error number only when OpenFailureReason has no words for it.
QString OpenFailureHeadline(const QString& text);

// While a posting that waits to be undone holds the unit's file, a record of it cannot be added or
// changed: the add or change is refused as its dialog would open, under `title`, in the words the
// write itself would be refused with ("A new customer cannot be added now: ..."), so that nothing
// is typed that cannot be kept. True then. `subject` names the record; for a change, the record
// as its file names it (RecordSubject).
[[nodiscard]] bool RefuseEntryWhilePostingWaits(const storage::DataFileUnit& unit, const std::string& subject,
                                                const std::string& verb, const QString& title);
template <class Record>
std::string RecordSubject(const storage::DataFileUnit& unit, const Record& record) {
  return unit.Kind().Subject ? unit.Kind().Subject(&record) : std::string();
}

// A manager's filter state: while on, the window in the button-shadow colour and the label saying
// `onText` in red; while off, the button-face colour and "Filter Closed" in black.
void ShowFilterState(QWidget& window, QLabel& label, bool on, const QString& onText);
// Switches the browser's filter and shows the state; returns the status text of the switch.
QString SwitchManagerFilter(QWidget& window, QLabel& label, storage::TRecBrowser& browser, bool on,
                            const QString& onText);

// Enter and Return run `enter`, Delete runs `remove`; false for any other key.
bool HandleManagerKey(const QKeyEvent& event, const std::function<void()>& enter,
                      const std::function<void()>& remove);

// Changes the browser's order to key keyNr and keeps the highlighted record highlighted;
// `record` is the browser's record buffer.
template <class Record>
void SwitchBrowserKey(storage::TRecBrowser& browser, Record& record, int32_t keyNr,
                      storage::IsamKeyStr (*buildKey)(const Record&, int)) {
  if (!browser.DataSource()) return;
  const bool highlighted = ReadHighlightedRow(browser);
  const storage::IsamRecRef ref = browser.BrowserCurrentRef();
  const Record current = record;
  browser.BrowserSetKeyNumber(keyNr);
  if (!highlighted) return;
  record = current;
  browser.BrowserGoToKey(buildKey(record, keyNr), ref);
}

// A manager of one record file: the frame above (Label1 the company line, RecBrowser1 over the
// file, StatusBar1 with panel 0 the count of records and panel 1 messages, MainMenu1 and
// PopupMenu1 on the rows); Enter or a double-click on a row and the Delete key go to the
// manager's handlers.
class ManagerWindow : public platform::ui::Form {
 public:
  QLabel* Label1;
  storage::TRecBrowser* RecBrowser1;
  QStatusBar* StatusBar1;
  QMenuBar* MainMenu1;
  QMenu* PopupMenu1;

  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);

  virtual int32_t RecBrowser1BuildRow(storage::TRecBrowser* sender, storage::RowRec& rr) = 0;
  virtual void RecBrowser1RowChanged(storage::TRecBrowser* sender) = 0;
  // A double-click, or Enter, on a row.
  virtual void RecBrowser1DblClick() = 0;

 protected:
  explicit ManagerWindow(QWidget* parent);

  virtual void DeleteKeyPressed() = 0;
  void keyPressEvent(QKeyEvent* event) override;

  // The row the tool buttons go into.
  QBoxLayout* ToolRow() const { return toolRow_; }
  template <class Window>
  QToolButton* AddToolButton(const char* caption, void (Window::*handler)()) {
    return forms::AddToolButton(*this, toolRow_, caption, HandlerOf(static_cast<Window*>(this), handler));
  }
  template <class Window>
  QAction* AddItem(QMenu* menu, const char* caption, void (Window::*handler)()) {
    return AddMenuItem(menu, caption, HandlerOf(static_cast<Window*>(this), handler));
  }
  // A "Close" button (Alt+O) and a "&Close" item that close the window.
  QToolButton* AddCloseButton();
  QAction* AddCloseItem(QMenu* menu);

  // Reads the highlighted row into the record buffer; false when there is none.
  bool ReadHighlighted() { return ReadHighlightedRow(*RecBrowser1); }
  // Panel 0: what the file holds (e.g. "Vendors") and the entries of the browser's key.
  void ShowEntryCount(const QString& what, storage::IsamFileBlock file);

  // What showing the manager does first: the company line and the browser's header; then the
  // file is taken into use until CloseShownFile (opened with `open` unless another window holds
  // it; a failure ends the program) and the browser attached over it in the order of key keyNr
  // and the company's font, on the record the buffer held (the one highlighted last time).
  // False when the file could not be opened.
  template <class Record>
  bool ShowFileInBrowser(const QString& header, storage::IsamFileBlock& file, bool (*open)(), Record& record,
                         int32_t keyNr, storage::IsamKeyStr (*buildKey)(const Record&, int)) {
    ShowCompanyTitle(*Label1);
    RecBrowser1->SetHeader(header);
    shownFile_.emplace(file, open);
    if (!OpenedOrHalt(*this, shownFile_->Open())) return false;
    // Attaching reads rows into the buffer: the key of the last record is taken first.
    const storage::IsamKeyStr lastKey = buildKey(record, keyNr);
    RecBrowser1->Attach(
        RecBrowser1->BrowserDataSourceCreate(file, 1, 100, 1, "", "", &record, sizeof record, false));
    ApplyCompanyBrowserFont(*RecBrowser1);
    RecBrowser1->BrowserSetKeyNumber(keyNr);
    RecBrowser1->BrowserGoToKey(lastKey, 0);
    return true;
  }

  // Detaches the browser and gives up the window's use of the file it showed.
  void CloseShownFile() {
    RecBrowser1->Attach(nullptr);
    shownFile_.reset();
  }

  // Moves the browser to the record at ref, which the buffer holds.
  template <class Record>
  void PositionOn(const Record& record, storage::IsamRecRef ref,
                  storage::IsamKeyStr (*buildKey)(const Record&, int)) {
    RecBrowser1->BrowserGoToKey(buildKey(record, RecBrowser1->BrowserKeyNumber()), ref);
  }

  // Moves the browser to where `start` (an entry form's record) sorts in the order of key
  // keyNr; nothing happens for a blank key, and a search that fails for another reason than
  // finding nothing raises `failure` with the file and the reason.
  template <class Record>
  void PositionOnPickStart(storage::DataFileUnit& unit, const Record& start, int32_t keyNr,
                           storage::IsamKeyStr (*buildKey)(const Record&, int), const char* failure) {
    storage::IsamKeyStr key = buildKey(start, keyNr);
    if (TrimmedKeyEmpty(key)) return;
    storage::IsamRecRef ref = 0;
    SearchForPickStart(unit, key, ref, keyNr, failure);
    RecBrowser1->BrowserGoToKey(key, ref);
  }

 private:
  std::optional<records::FileForAction> shownFile_;
  static bool TrimmedKeyEmpty(const storage::IsamKeyStr& key);
  static void SearchForPickStart(storage::DataFileUnit& unit, storage::IsamKeyStr& key,
                                 storage::IsamRecRef& ref, int32_t keyNr, const char* failure);

  QBoxLayout* toolRow_;
  std::array<QLabel*, 2> statusPanels_{};
};

}  // namespace forms
