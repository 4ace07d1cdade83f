#include "exchange/sibling_conversion.h"

#include "forms/form_instance.h"

namespace exchange {

TCPV* CPV = nullptr;

namespace {

const ConversionTexts& SiblingTexts() {
  static const ConversionTexts texts{
      "OV Palvero PRO Version 2 Conversion",
      "OVPVConvert",
      "Click the browse button and find the file COMPANY.DAT in the directory that currently holds the OV "
      "Palvero PRO VERSION 2.x program files.  Click the help button for details.",
      "Example: c:\\ovpv\\company.dat",
      "WARNING! This utility is used to convert Palvero Pro VERSION 2.x files ONLY! The version of your "
      "program "
      "is on the HELP menu - ABOUT option in your Palvero program. Do not use this to convert any other "
      "files!",
      "company.dat",
      "You must select the COMPANY.DAT file from the Palvero PRO Version 2.x or 3.x directory.",
      {"OVPV2.EXE", "OVPV3.EXE"},
      "I cant find Palvero PRO Version 2 or 3.",
      "I have found the Palvero PRO files and am ready to import them into this program. Do you want to "
      "continue?",
  };
  return texts;
}

}  // namespace

TCPV::TCPV(QWidget* parent) : TConversionWindow(SiblingTexts(), SiblingConversionPlan(), parent) {}

TCPV& CreateCPV() {
  return forms::FormInstance(CPV);
}

}  // namespace exchange
