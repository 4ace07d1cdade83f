#include "forms/run_state.h"

#include "platform/text/clock.h"
#include "platform/text/date_text.h"

namespace forms {

std::string LastInvoiceDate;
std::string LastPODate;
std::string LastPODateRequired;
std::string LastPOReceivedDate;

uint8_t ExternalInvoiceMode = 0;
uint8_t InvoiceFilterOnShow = 0;
uint8_t LabelsQueued = 0;
uint8_t RebuildAfterConversion = 0;
uint8_t RebuildNeeded = 0;

std::function<bool()> DocumentsByEMail;

bool EMailOutputChosen() {
  return DocumentsByEMail && DocumentsByEMail();
}

void ResetDefaultDates() {
  LastInvoiceDate = platform::text::DateToStr(platform::text::Today());
  LastPODate = LastInvoiceDate;
  LastPODateRequired = LastInvoiceDate;
  LastPOReceivedDate = LastInvoiceDate;
}

}  // namespace forms
