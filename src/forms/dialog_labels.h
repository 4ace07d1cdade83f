#pragma once
// The centred bold headings of the small invoicing dialogs, in their colours.

#include <QColor>
#include <QLabel>

namespace forms {

// A centred bold label; an invalid colour keeps the window's text colour.
QLabel* CentredBoldLabel(QWidget* parent, const QColor& color = {});

}  // namespace forms
