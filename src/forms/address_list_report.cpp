#include "forms/address_list_report.h"

#include "forms/list_window.h"
#include "forms/unusable_file.h"
#include "platform/ui/message_box.h"
#include "storage/stat_form.h"

namespace forms {

using namespace platform::ui;

namespace {

QString Capitalised(const QString& word) {
  return word.left(1).toUpper() + word.mid(1);
}

}  // namespace

std::optional<AddressListChoice> AskAddressListChoice(const QString& kind) {
  const QString title = Capitalised(kind);
  const TModalResult addresses = MessageBox("Do you want to include the " + kind + " addresses on this list?",
                                            title + " List", MsgButtons::YesNoCancel, MsgIcon::Question);
  if (addresses == mrCancel) return std::nullopt;
  const bool byNumber =
      MessageBox(title + "s will be sorted by name. Would you rather sort by " + kind + " number?",
                 title + " Sort", MsgButtons::YesNo, MsgIcon::Question, mrNo) == mrYes;
  return AddressListChoice{addresses == mrYes, byNumber};
}

void RunAddressListReport(const QString& kind, bool byNumber,
                          const std::function<std::vector<std::string>()>& lines) {
  const QString title = Capitalised(kind);
  storage::TStatForm& progress = storage::EnsureStatForm();
  progress.SetCaption(title + " List");
  progress.ClearStatusLines();
  progress.Label1->setText("Preparing list...");
  progress.Show();
  TListWindow& list = CreateListWindow();
  list.SetCaption(title + (byNumber ? " List by Number" : " List by Name"));
  ListWindowFileName = title;
  std::vector<std::string> listed;
  const bool read = ReadAll(title + " List", [&] { listed = lines(); });
  const bool loaded = read && LoadListReport(listed);
  progress.Close();
  if (loaded) ShowLoadedListReport();
}

}  // namespace forms
