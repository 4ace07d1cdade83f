#include "platform/ui/font_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QVBoxLayout>

namespace platform::ui {
namespace {

struct NamedColor {
  const char* name;
  int32_t value;  // 0x00BBGGRR
};

// The sixteen colours the Windows font dialog offers, in its order.
constexpr NamedColor kColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

}  // namespace

FontColorDialog::FontColorDialog(bool fixedPitchOnly, QWidget* parent)
    : QDialog(parent), fontChooser_(new QFontDialog(this)), colorList_(new QComboBox(this)) {
  setWindowTitle("Font");
  QFontDialog::FontDialogOptions options = QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog;
  if (fixedPitchOnly) options |= QFontDialog::MonospacedFonts;
  fontChooser_->setOptions(options);
  fontChooser_->setWindowFlags(Qt::Widget);  // shown inside this dialog, not as a window of its own
  for (const NamedColor& color : kColors) colorList_->addItem(color.name, color.value);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* colorRow = new QFormLayout;
  colorRow->addRow("&Color:", colorList_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fontChooser_);
  layout->addLayout(colorRow);
  layout->addWidget(buttons);
}

void FontColorDialog::SetChoice(const FontChoice& font) {
  fontChooser_->setCurrentFont(ToQFont(font));
  SelectColor(font.color);
}

FontChoice FontColorDialog::Choice() const {
  return FromQFont(fontChooser_->currentFont(), colorList_->currentData().toInt());
}

void FontColorDialog::SelectColor(int32_t color) {
  int index = colorList_->findData(color);
  if (index < 0) {
    // A colour outside the list (a system colour, say) stays choosable as it is.
    int custom = colorList_->findText("Custom");
    if (custom >= 0) colorList_->removeItem(custom);
    colorList_->insertItem(0, "Custom", color);
    index = 0;
  }
  colorList_->setCurrentIndex(index);
}

}  // namespace platform::ui
