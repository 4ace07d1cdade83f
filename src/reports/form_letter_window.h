#pragma once
// "Form Letter Wizard" (LetterWiz): a small rich-text editor for letter templates, and the merge
// print that prints the saved letter once for every customer of the label print queue with the
// merge keywords replaced by that customer's data and the current company's name and address.
// Letters are saved as Rich Text Files whatever their extension; rich or plain text opens.
// Created once, it keeps its letter between uses.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>

#include "platform/ui/form.h"
#include "reports/letter_ruler.h"

class QMenuBar;
class QMimeData;

namespace reports {

// The letter: what is pasted in is kept only as far as a letter file can hold it (no pictures
// or tables), and what is copied goes out as rich text for word processors too.
class TLetterEdit : public QTextEdit {
 public:
  explicit TLetterEdit(QWidget* parent = nullptr);

  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
};

class TLetterWiz : public platform::ui::Form {
 public:
  explicit TLetterWiz(QWidget* parent = nullptr);

  // Tool bar.
  QWidget* SpeedBar;
  QToolButton *OpenButton, *SaveButton, *PrintButton;
  QToolButton *UndoButton, *CutButton, *CopyButton, *PasteButton;
  QComboBox* FontName;
  QSpinBox* FontSize;
  QToolButton* MainFont;
  QToolButton *BoldButton, *ItalicButton, *UnderlineButton;
  QToolButton *LeftAlign, *CenterAlign, *RightAlign;
  QToolButton* BulletsButton;
  QComboBox* ComboBox1;                      // the merge keywords, for reference
  QPushButton* BitBtn3;                      // "Queue"
  QToolButton *SpeedButton3, *SpeedButton4;  // close, help
  TLetterRuler* Ruler;
  TLetterEdit* RichEdit1;
  QLabel* Panel1;  // progress of the merge printing

  QAction *New1, *Open1, *Save1, *SaveAs1, *Queue1, *Print1, *PrinterSetup1, *Close1;
  QAction *Undo1, *Cut1, *Copy1, *Paste1, *Font1, *Overview1;

  const QString& FileName() const { return fileName_; }
  void SetLetterFileName(const QString& name);
  // Asks whether to save a modified letter (a new one only once it holds text); false when the
  // user cancelled (or the save did not happen), and the action that asked stops.
  bool CheckSaveLetter();

  void FileNewClick();
  void FileOpenClick();
  bool FileSave();  // false when nothing was saved
  bool FileSaveAs();
  void QueueClick();
  void PrintButtonClick();
  void PrinterSetupClick();
  void HelpClick();
  void SelectFont();
  void BoldButtonClick();
  void ItalicButtonClick();
  void UnderlineButtonClick();
  void AlignButtonClick(Qt::Alignment alignment);
  void BulletsButtonClick();
  void FontNameChange();
  void FontSizeChange();
  void SelectionChange();  // brings the tool bar and the ruler up to date
  void FirstIndMouseUp();
  void LeftIndMouseUp();
  void RightIndMouseUp();

  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;

  // Loads a letter's bytes (rich or plain text) into the editor, unmodified, with nothing to
  // undo.
  void LoadLetter(const std::string& bytes);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenus();
  void BuildSpeedBar();
  QToolButton* SpeedButton(const QString& hint, const QString& text = QString(), bool checkable = false);
  void MergeCharFormat(const QTextCharFormat& format);
  void SetIndents(qreal firstIndent, qreal leftIndent, qreal rightIndent);
  bool WriteLetter(const QString& path);
  void EndMergePrinting(const std::string& letter, bool wasModified, bool untitled);

  QMenuBar* menuBar_ = nullptr;
  QString fileName_;
  bool updating_ = false;  // the tool bar is being brought up to date: its handlers do nothing
};

extern TLetterWiz* LetterWiz;
TLetterWiz& CreateLetterWiz();

}  // namespace reports
