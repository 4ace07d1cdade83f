#pragma once
// The window "OV Palvero PRO Version 2 Conversion": takes over the companies of the sibling
// billing product, versions 2 and 3, from the folder of its company list "COMPANY.DAT". Its
// company, customer, invoice, invoice-line and product records are converted field by field; its
// memo file is copied.

#include "exchange/conversion_window.h"

namespace exchange {

class TCPV : public TConversionWindow {
 public:
  explicit TCPV(QWidget* parent = nullptr);
};

extern TCPV* CPV;
TCPV& CreateCPV();

}  // namespace exchange
