#pragma once
// The merge of the form letters: the keywords a letter may hold, the customer's and company's
// values put in their place, and the run that prints one letter per queued customer.

#include <QString>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "records/company_rec.h"
#include "records/customer_rec.h"
#include "reports/label_queue.h"

class QFont;
class QTextDocument;

namespace reports {

struct MergeKeyword {
  const char* Keyword;
  const char* Listed;  // its line in the editor's keyword list; nullptr: not listed
};

// In the order in which they are replaced.
inline constexpr int kMergeKeywordCount = 31;
const std::array<MergeKeyword, kMergeKeywordCount>& MergeKeywords();

// The value of each keyword, in the same order: trimmed, but for the last payment date, which
// is used as stored.
std::array<QString, kMergeKeywordCount> MergeValues(const records::CustomerRec& customer,
                                                    const records::CompanyRec& company);

// Replaces every whole-word, case-exact occurrence of the keyword by the value, which takes the
// format of the text it replaces. The search goes on after each inserted value, so a value that
// holds its own keyword is left as it is. Returns the number replaced.
int ReplaceKeyword(QTextDocument& letter, const QString& keyword, const QString& value);
void MergeLetter(QTextDocument& letter, const records::CustomerRec& customer,
                 const records::CompanyRec& company);

// The letter being merged, saved in the current directory for the length of the run.
inline constexpr std::string_view LetterTempFile = "PVLetter.TMP";

struct LetterRun {
  int Letters = 0;  // printed
  int Missing = 0;  // customer rows whose customer is no longer on file
};

// Prints the letter saved in "PVLetter.TMP" once for every customer row of the queue, merged
// with that customer and the current company, each letter one job titled `title`, in the
// default font. After each letter progress(letters printed) runs. A printer failure goes on to
// the caller (letters already printed stay printed); a customer file that cannot be opened or
// read raises records::FileUnusable before any letter is printed.
LetterRun PrintQueuedLetters(const std::vector<LabelQueueRow>& rows, const QString& title, const QFont& font,
                             const std::function<void(int)>& progress);

}  // namespace reports
