// The explorer's oracle that the tool's log and the device library's journal
// tell the same story. Window-free.
//
// The log is the tool's "Command and Status" list, line by line; the journal
// the simulator's vavuro32.jnl, line by line (a CR left at a line's end is
// ignored). Both whole, taken while the tool is idle: no call in progress,
// though a box may still be showing.
#ifndef REVEDIZ_EXPLORE_AGREEMENT_H
#define REVEDIZ_EXPLORE_AGREEMENT_H

#include <optional>
#include <string>
#include <vector>

namespace explore {

struct Finding {
  std::string what;      // the disagreement, in a line a user understands
  std::string expected;  // what the documented behaviour demands
  std::string actual;    // what was found
};

// The first disagreement, or nothing when they agree:
//  - each call the log shows as issued (its "Command-->" line) is the next
//    DLL_ call of the journal, once, with the arguments the log shows (texts,
//    handle, counts, request, sizes, each echoed argument's name and value);
//    calls the binding answers itself (not initialized, initialized twice,
//    closing descriptor 0, no library) have no journal call;
//  - the outcome the log reports (an "RC =" line and its errno, a handle
//    line, a close line, a dump's byte count) follows from the status and
//    out value the journal gives;
//  - the journal has no DLL_ call that the log does not show (the library's
//    DLL_PosTerm at the end excepted);
//  - the notifications the journal shows posted to the tool's window appear
//    in the log in the same order; a tail not yet in the log is allowed.
// Journal lines of other kinds (bench actions, refusals, faults) are passed
// over.
std::optional<Finding> CheckAgreement(const std::vector<std::string>& log,
                                      const std::vector<std::string>& journal);

}  // namespace explore

#endif  // REVEDIZ_EXPLORE_AGREEMENT_H
