#pragma once
// A company and an invoice in the document buffer that the document tests share: three lines,
// a partial payment, notes, a sales message and aging.

namespace documents {

void SetUpSampleCompany();
void FillSampleInvoice();

}  // namespace documents
