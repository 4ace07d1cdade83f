#pragma once
// The window "OV Kestrava Version 2 to Version 3 Conversion": takes over the companies of this
// program's version 2 from the folder of its company list "OVCOMP.DAT". The company record is
// taken whole; product, invoice-line and PO-line records, whose layouts changed, are converted
// field by field; the other data files are copied.

#include "exchange/conversion_window.h"

namespace exchange {

class TOVKT2CNV : public TConversionWindow {
 public:
  explicit TOVKT2CNV(QWidget* parent = nullptr);
};

extern TOVKT2CNV* OVKT2CNV;
TOVKT2CNV& CreateOVKT2CNV();

}  // namespace exchange
