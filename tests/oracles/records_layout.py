#!/usr/bin/env python3
"""Independent checker of the record layouts.

Usage: records_layout.py DIR KIND...   (KIND: company, customer, product, invoice)

For each kind, reads DIR/KIND.bin (the bytes of one record the program wrote) and DIR/KIND.fields
(the names of the fields the program set, one a line). The offsets and widths below are taken
from the record tables of the company, customer, product and invoice files, not from the
program. Every field named must hold its sample value at its offset; every byte outside the
fields named must be zero. Sample values depend on the name alone, with
h = sum((position + 1) * character code):
  s N    text field: length byte, then the name followed by "~", repeated and cut to N
  b      flag byte: h mod 255 + 1
  i      int32 little-endian: h * 2654435761 modulo 2**32, signed
  font   48-byte font: name s32 at 0, size i at 36, colour i at 40, style b at 44
Prints one line per record, then every mismatch; exits 1 when any record does not match.
"""
import os
import struct
import sys


def s(n):
    return ("s", n)


B = ("b", 1)
I = ("i", 4)
FONT = ("font", 48)

COMPANY = (3600, {
    "Status": (0, I), "CompanyName": (4, s(35)), "CompanyNumber": (40, s(5)),
    "CompanyARBalance": (46, s(10)), "CompanyAddr1": (57, s(35)), "CompanyAddr4": (165, s(35)),
    "POShipTo1": (201, s(35)), "POShipTo4": (309, s(35)), "CompanyContact": (345, s(35)),
    "EditorFontName": (381, s(32)), "EditorFontSize": (416, I), "EditorFontColor": (420, I),
    "EditorFontStyle": (424, B), "BackgroundFlag": (425, B), "BackgroundBitmap": (426, s(250)),
    "SalesMessage1": (677, s(78)), "SalesMessage4": (914, s(78)), "NextInvoiceNumber": (993, s(9)),
    "DefaultInvoiceQuantity": (1003, s(9)), "PrintDuplicateInvoice": (1013, B),
    "InvoicePrintFlagDefault": (1014, B), "CalculateInvoiceTaxes": (1015, B),
    "DefaultTaxRate": (1018, s(6)), "DefaultInvoiceTerms": (1025, s(35)), "DateOrder": (1061, s(1)),
    "InvoiceNumberPrefix": (1063, s(1)), "NextCustomerNumber": (1065, s(8)),
    "LastAgingDate": (1077, s(10)), "DefaultInvoiceKind": (1095, s(1)),
    "CopyBillingToShipping": (1097, B), "BrowserFontName": (1098, s(40)),
    "BrowserFontSize": (1140, I), "BrowserFontColor": (1144, I), "BrowserFontStyle": (1148, B),
    "VerticalLines": (1149, B), "HorizontalLines": (1150, B), "FormLineWidth": (1151, s(1)),
    "BoxAroundStatements": (1153, B), "MoveDownTotals": (1160, B), "BoxTop": (1161, s(2)),
    "FormTopMargin": (1164, s(2)), "FormLeftMargin": (1167, s(2)), "PrintLogo": (1170, B),
    "LogoFile": (1171, s(250)), "InvoiceCaption": (1422, s(25)), "FileCopyCaption": (1500, s(25)),
    "ProductCodeHeader": (1526, s(15)), "DescriptionHeader": (1558, s(32)),
    "UnitPriceHeader": (1591, s(15)), "ExtensionHeader": (1607, s(15)), "TaxName": (1623, s(10)),
    "StatementNote": (1634, s(80)), "PrintPackingSlips": (1715, B), "ShowButtonHints": (1717, B),
    "InvoiceManagerStartNumber": (1718, s(9)), "InvBodyFont": (1728, FONT),
    "ColHeadFont": (1920, FONT), "SalesMsgFont": (1968, FONT), "InvoiceMemoHeader": (2016, s(80)),
    "MaxLines": (2097, s(2)), "LastInterestInvoicesDate": (2100, s(10)),
    "LastBatchRun": (2111, s(10)), "NextDepositNumber": (2122, s(10)),
    "InterestMarkPrinted": (2144, B), "InterestPaymentTerms": (2145, s(35)),
    "InterestOverdueDays": (2181, s(1)), "InterestMinimumCharge": (2183, s(5)),
    "InterestMonthlyRate": (2189, s(5)), "EnvelopeFont": (2196, FONT),
    "EnvelopeLineSpacing": (2244, s(3)), "EnvelopeLeftMargin": (2248, s(4)),
    "EnvelopeSendAddressLeft": (2258, s(4)), "EnvelopeOrientation": (2263, s(1)),
    "FileCopyCount": (2271, s(1)), "AddressIndent": (2273, s(10)),
    "PrintReturnAddress": (2284, s(1)), "LastPriceChangeDate": (2286, s(10)),
    "OmitCompanyAddress": (2297, s(2)), "AuditTrail": (2300, s(2)), "NextPONumber": (2303, s(9)),
    "POSignature1": (2313, s(75)), "POSignature2": (2389, s(75)), "AutoReceivePOs": (2465, B),
    "POCaption": (2466, s(25)), "POPrintFileCopies": (2492, B), "POCopyCaption": (2495, s(25)),
    "POMemoHeader": (2521, s(80)), "CalculatePOTaxes": (2602, B),
    "POManagerStartNumber": (2608, s(9)), "NextReceiverNumber": (2618, s(12)),
    "BackupOnExit": (2631, s(1)), "ShadeLineSpacing": (2648, s(5)), "ShadeLineStyle": (2654, s(1)),
    "CurrencySymbol": (2656, s(1)), "POPrintFlagDefault": (2658, B), "ProductCodesOnPOs": (2659, B),
    "HideCost": (2660, B), "TotalQuantities": (2661, B), "POMessage1": (2667, s(78)),
    "POMessage4": (2904, s(78)), "InvoiceShipToCaption": (2983, s(25)),
    "POShipToCaption": (3009, s(25)), "DefaultPOTerms": (3035, s(35)), "DefaultPOKind": (3071, s(1)),
    "POBatchCopyToLabelQueue": (3079, s(1)), "POFileCopyCount": (3083, s(1)),
    "NextVendorNumber": (3085, s(10)), "ReceiptPrinter": (3107, s(1)), "BarCodeType": (3109, s(1)),
    "BarCodesOnLabels": (3119, s(1)), "CompanyEMail": (3121, s(50)), "SmtpHost": (3223, s(50)),
    "DefaultOutputEMail": (3325, s(1)), "SmtpUserName": (3388, s(60)),
    "SmtpPassword": (3449, s(60)), "EMailRuleLines": (3547, s(1)),
    "EMailWithoutAddress": (3551, s(1)), "AgingDays1": (3555, s(3)), "AgingDays3": (3563, s(3)),
    "AgingCaption1": (3567, s(10)), "AgingCaption3": (3589, s(10)),
    "CompanyAddr2": (93, s(35)), "CompanyAddr3": (129, s(35)), "POShipTo2": (237, s(35)),
    "POShipTo3": (273, s(35)), "SalesMessage2": (756, s(78)), "SalesMessage3": (835, s(78)),
    "BoxAroundForm": (1154, B), "PrintCustomerAging": (1155, B), "UseShading": (1156, B),
    "LetterheadStyle": (1157, B), "PrintSalesMessage": (1158, B), "ProductCodesOnInvoices": (1159, B),
    "StatementCaption": (1448, s(25)), "PackingSlipCaption": (1474, s(25)),
    "QuantityHeader": (1542, s(15)), "PrintFileCopies": (1716, B), "CapHeadFont": (1776, FONT),
    "CompHeadFont": (1824, FONT), "CustHeadFont": (1872, FONT), "Reserved2133": (2133, s(10)),
    "EnvelopeTopMargin": (2253, s(4)), "EnvelopeAddressUsed": (2265, s(1)),
    "NewInvoiceToLabelQueue": (2267, s(1)), "BatchCopyToLabelQueue": (2269, s(1)),
    "Reserved2637": (2637, s(10)), "POMessage2": (2746, s(78)), "POMessage3": (2825, s(78)),
    "PONumberPrefix": (3073, s(1)), "PrintDuplicatePO": (3075, s(1)),
    "NewPOToLabelQueue": (3077, s(1)), "Reserved3096": (3096, s(10)),
    "BarCodesOnInvoices": (3111, s(1)), "BarCodesOnPOs": (3113, s(1)),
    "BarCodeInvoiceNumbers": (3115, s(1)), "BarCodePONumbers": (3117, s(1)),
    "AgingDays2": (3559, s(3)), "AgingCaption2": (3578, s(10)),
})

CUSTOMER = (916, {
    "Status": (0, I), "CustomerNo": (4, s(8)), "CustomerName": (13, s(35)),
    "CustBalance": (49, s(12)), "LastPayment": (62, s(10)), "LastInvoice": (73, s(9)),
    "CustomerType": (83, s(25)), "TaxExempt": (109, s(1)), "CreditLimit": (111, s(10)),
    "PaymentTerms": (122, s(35)), "CustBillTo1": (158, s(35)), "CustBillTo2": (194, s(35)),
    "CustBillTo3": (230, s(35)), "CustBillTo4": (266, s(35)), "Phone1": (302, s(25)),
    "ShipTo1": (328, s(35)), "ShipTo2": (364, s(35)), "ShipTo3": (400, s(35)),
    "ShipTo4": (436, s(35)), "Phone2": (472, s(25)), "CustAging1": (498, s(10)),
    "CustAging2": (509, s(10)), "CustAging3": (520, s(10)), "CustAging4": (531, s(10)),
    "CustNotes": (542, s(200)), "NotesOnInvoice": (743, s(1)), "NotesOnStatement": (745, s(1)),
    "ConvertedText1": (747, s(10)), "ConvertedFlag": (758, s(1)), "ShortName": (760, s(10)),
    "MailSortCode": (771, s(15)), "ConvertedText2": (787, s(25)), "CreditHold": (813, s(1)),
    "CustEMail": (815, s(50)),
})

PRODUCT = (620, {
    "Status": (0, I), "Code": (4, s(15)), "Description": (20, s(32)), "ConvertedText1": (53, s(10)),
    "TaxOnInvoice": (64, B), "Price": (65, s(10)), "OnHand": (76, s(10)), "Notes": (87, s(225)),
    "SetupDate": (313, s(10)), "ChangedDate": (324, s(10)), "ConvertedChar1": (335, s(1)),
    "ConvertedChar2": (337, s(1)), "ConvertedText2": (339, s(10)), "ListPrice": (350, s(10)),
    "Cost": (361, s(10)), "PODescription": (372, s(32)), "PricingMethod": (405, s(1)),
    "PriceUpdateMode": (407, s(1)), "TaxOnPO": (409, B), "Percentage": (410, s(10)),
    "NonStock": (421, B), "NonDepleting": (422, B), "Location": (423, s(20)),
    "KeyCode": (444, s(10)), "Weight": (455, s(10)), "ConvertedText3": (466, s(10)),
    "PreviousPrice": (477, s(10)), "ConvertedByte": (488, B), "ConvertedText4": (489, s(10)),
    "PriceChangeDate": (500, s(10)), "MaximumQuantity": (511, s(10)),
    "MinimumQuantity": (522, s(10)), "TargetQuantity": (533, s(10)), "HoldSales": (544, B),
    "BatchNumber": (545, s(2)), "PreferredVendor": (548, s(20)),
})

INVOICE = (544, {
    "Status": (0, I), "InvoiceNo": (4, s(9)), "TransactionType": (14, s(1)), "KeyCode": (16, s(8)),
    "InvCustomerNo": (25, s(8)), "CompanyNumber": (34, s(5)), "InvoiceDate": (40, s(10)),
    "PrintedMark": (51, s(1)), "Month": (53, s(2)), "Day": (56, s(2)), "Year": (59, s(4)),
    "SortDate": (64, s(10)), "Notes": (75, s(80)), "Terms": (156, s(35)),
    "StatementComment": (192, s(35)), "Body": (228, s(1)), "ShortName": (230, s(10)),
    "NetAmount": (241, s(10)), "TaxAmount": (252, s(10)), "InvTotal": (263, s(10)),
    "InvPaid": (274, s(10)), "AmountDue": (285, s(10)), "DatePaid": (296, s(10)),
    "ConvertedChar": (307, s(1)), "SettledFlag": (309, s(1)), "NextDueDate": (311, s(10)),
    "ConvertedText": (322, s(3)), "CreatedDate": (326, s(9)), "EMailedDate": (336, s(10)),
    "TaxRate": (347, s(10)), "ShipTo1": (399, s(35)), "ShipTo2": (435, s(35)),
    "ShipTo3": (471, s(35)), "ShipTo4": (507, s(35)),
})

VENDOR = (952, {
    "Status": (0, I), "VendorNo": (4, s(8)), "VendorName": (13, s(35)), "Balance": (49, s(12)),
    "LastPayment": (62, s(10)), "VendorType": (83, s(25)), "TaxExempt": (109, s(1)),
    "POTerms": (122, s(35)), "OrderAddr1": (158, s(35)), "OrderAddr2": (194, s(35)),
    "OrderAddr3": (230, s(35)), "OrderAddr4": (266, s(35)), "Phone1": (302, s(25)),
    "ShipTo1": (328, s(35)), "ShipTo2": (364, s(35)), "ShipTo3": (400, s(35)),
    "ShipTo4": (436, s(35)), "Phone2": (472, s(25)), "Amount1": (498, s(10)),
    "Amount2": (509, s(10)), "Amount3": (520, s(10)), "Amount4": (531, s(10)),
    "VendNotes": (542, s(200)), "NotesOnPO": (743, s(1)), "SecondNotesFlag": (745, s(1)),
    "ShortName": (760, s(10)), "MailSortCode": (771, s(15)), "Hold": (813, s(1)),
    "VendEMail": (815, s(50)),
})

PO_HEADER = (684, {
    "Status": (0, I), "PONumber": (4, s(9)), "POStatus": (14, s(1)), "KeyCode": (16, s(8)),
    "VendorNo": (25, s(8)), "CompanyNumber": (34, s(5)), "PODate": (40, s(10)),
    "Printed": (51, s(1)), "Month": (53, s(2)), "Day": (56, s(2)), "Year": (59, s(4)),
    "SortDate": (64, s(10)), "Notes": (75, s(80)), "Terms": (156, s(35)), "POKind": (228, s(1)),
    "ShortName": (230, s(10)), "NetAmount": (241, s(10)), "TaxAmount": (252, s(10)),
    "POTotal": (263, s(10)), "Signature1": (276, s(75)), "Signature2": (352, s(75)),
    "EnteredReceived": (428, s(1)), "ReceivedDate": (430, s(10)), "DateRequired": (441, s(10)),
    "EMailedDate": (458, s(10)), "TaxRate": (515, s(10)), "ShipTo1": (537, s(35)),
    "ShipTo2": (573, s(35)), "ShipTo3": (609, s(35)), "ShipTo4": (645, s(35)),
})

RECORDS = {"company": COMPANY, "customer": CUSTOMER, "product": PRODUCT, "invoice": INVOICE,
           "vendor": VENDOR, "po_header": PO_HEADER}


def name_hash(name):
    return sum((i + 1) * ord(c) for i, c in enumerate(name))


def sample_text(name, width):
    return ((name + "~") * (width // (len(name) + 1) + 1))[:width]


def leaf_fields(name, offset, kind):
    """The plain fields of a table entry: a font stands for its four members."""
    if kind[0] != "font":
        return [(name, offset, kind)]
    return [(name + ".Name", offset, s(32)), (name + ".Size", offset + 36, I),
            (name + ".Color", offset + 40, I), (name + ".Style", offset + 44, B)]


def check_field(data, name, offset, kind):
    tag, width = kind
    h = name_hash(name)
    if tag == "s":
        expected = bytes([width]) + sample_text(name, width).encode("latin-1")
        actual = data[offset:offset + width + 1]
        return offset, width + 1, None if actual == expected else "%r, expected %r" % (actual, expected)
    if tag == "b":
        expected = h % 255 + 1
        return offset, 1, None if data[offset] == expected else "%d, expected %d" % (data[offset], expected)
    value = (h * 2654435761) % 2**32
    expected = value - 2**32 if value >= 2**31 else value
    actual = struct.unpack_from("<i", data, offset)[0]
    return offset, 4, None if actual == expected else "%d, expected %d" % (actual, expected)


def check_record(folder, kind):
    size, table = RECORDS[kind]
    with open(os.path.join(folder, kind + ".bin"), "rb") as f:
        data = f.read()
    with open(os.path.join(folder, kind + ".fields"), encoding="latin-1") as f:
        written = [line.strip() for line in f if line.strip()]
    errors = []
    if len(data) != size:
        return ["%s: %d bytes, expected %d" % (kind, len(data), size)]
    leaves = {}
    for name, (offset, field_kind) in table.items():
        for leaf in leaf_fields(name, offset, field_kind):
            leaves[leaf[0]] = leaf
    missing = sorted(set(leaves) - set(written))
    unknown = sorted(set(written) - set(leaves))
    if missing:
        errors.append("%s: fields not written: %s" % (kind, ", ".join(missing)))
    if unknown:
        errors.append("%s: fields not in the record table: %s" % (kind, ", ".join(unknown)))
    covered = bytearray(size)
    for name in written:
        if name not in leaves:
            continue
        offset, length, error = check_field(data, *leaves[name])
        if error:
            errors.append("%s.%s at %d: %s" % (kind, name, offset, error))
        covered[offset:offset + length] = b"\x01" * length
    stray = [i for i in range(size) if not covered[i] and data[i] != 0]
    if stray:
        errors.append("%s: bytes outside the fields are not zero at %s" % (kind, stray[:20]))
    print("%s: %d bytes, %d fields checked" % (kind, size, len(written)))
    return errors


def main():
    folder, kinds = sys.argv[1], sys.argv[2:]
    if not kinds:
        print("no record kinds given", file=sys.stderr)
        return 1
    errors = []
    for kind in kinds:
        errors += check_record(folder, kind)
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
