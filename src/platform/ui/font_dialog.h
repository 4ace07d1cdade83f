#pragma once
// The font dialog: Qt's font chooser (face, size, bold, italic, underline, strike-out) with the
// colour list of the Windows font dialog beside it, since the company records keep a colour
// with every font.

#include <QDialog>
#include <cstdint>

#include "platform/ui/common_dialogs.h"

class QComboBox;
class QFontDialog;

namespace platform::ui {

class FontColorDialog : public QDialog {
 public:
  explicit FontColorDialog(bool fixedPitchOnly, QWidget* parent = nullptr);

  void SetChoice(const FontChoice& font);
  FontChoice Choice() const;

  QFontDialog* FontChooser() const { return fontChooser_; }
  QComboBox* ColorList() const { return colorList_; }

 private:
  void SelectColor(int32_t color);

  QFontDialog* fontChooser_;
  QComboBox* colorList_;
};

}  // namespace platform::ui
