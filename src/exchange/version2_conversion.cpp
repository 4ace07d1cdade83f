#include "exchange/version2_conversion.h"

#include "forms/form_instance.h"

namespace exchange {

TOVKT2CNV* OVKT2CNV = nullptr;

namespace {

const ConversionTexts& Version2Texts() {
  static const ConversionTexts texts{
      "OV Kestrava Version 2 to Version 3 Conversion",
      "OVKT2Convert",
      "Click the browse button and find the file OVCOMP.DAT in the directory that currently holds the OV "
      "Kestrava VERSION 2.x program files.  Click the help button for details.",
      "Example: c:\\ovkt2\\ovcomp.dat",
      "WARNING! This utility is used to convert OV Kestrava VERSION 2.x files ONLY! Do not use this to "
      "convert "
      "any other files!",
      "ovcomp.dat",
      "You must select the OVCOMP.DAT file from the Kestrava Version 2.x directory.",
      {"OVINV.EXE"},
      "I cant find Kestrava Version 2.",
      "I have found the Kestrava V2 files and am ready to import them into this program. Do you want to "
      "continue?",
  };
  return texts;
}

}  // namespace

TOVKT2CNV::TOVKT2CNV(QWidget* parent)
    : TConversionWindow(Version2Texts(), Version2ConversionPlan(), parent) {}

TOVKT2CNV& CreateOVKT2CNV() {
  return forms::FormInstance(OVKT2CNV);
}

}  // namespace exchange
