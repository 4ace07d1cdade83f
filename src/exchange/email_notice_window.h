#pragma once
// The window "Send E-Mail Message": the user types a return address, a subject and a short
// message, which goes by e-mail to every customer and vendor in the label print queue
// (email_notice.h does the sending). It keeps its texts between uses.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <string>
#include <vector>

#include "exchange/email_notice.h"
#include "platform/ui/form.h"

namespace exchange {

class TEMMemo : public platform::ui::Form {
 public:
  explicit TEMMemo(QWidget* parent = nullptr);

  QLabel* Label1;  // "Return E-Mail:"
  QLineEdit* EMRetAdd;
  QLabel* Label2;  // "&Subject:"
  QLineEdit* EMSubject;
  QLabel* Label3;  // "Enter in the e-mail message below:"
  QPlainTextEdit* EMBody;
  QLabel* Label4;              // "Records in Queue: " and the count
  QPushButton* OKButton;       // "&E-Mail"
  QPushButton* Button1;        // "&Queue"
  QToolButton* SpeedButton14;  // "Help"
  QToolButton* SpeedButton16;  // "Close"
  QLabel* StatusBar1;          // the status panel along the bottom edge

  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void FormClose() override;
  void OKButtonClick();
  void Button1Click();
  void SpeedButton14Click();
  void SpeedButton16Click();

  // The message as lines, the way the memo holds them: none when it is empty.
  std::vector<std::string> MessageLines() const;

 private:
  void LayOut();
  // The first check that fails shows its message and puts the focus where the fault is.
  [[nodiscard]] bool InputComplete();
  void ShowQueueCount();
  void EnableControls(bool enabled);
  NoticeRunResult RunNotice();
  void ReportRun(const NoticeRunResult& result);

  bool busy_ = false;
};

extern TEMMemo* EMMemo;
TEMMemo& CreateEMMemo();

}  // namespace exchange
