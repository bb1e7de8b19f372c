// One tool playing an explorer's lines: see explore_player.h.
#include "runner/explore_player.h"

namespace runner {

std::string ShowMismatch(const Mismatch& mismatch) {
  return mismatch.what + "; expected: " + mismatch.expected + "; actual: " + mismatch.actual;
}

bool Player::Play(const std::string& line, std::string* why) {
  scn::Scenario one;
  std::vector<std::string> errors;
  std::string problem;
  if (!scn::ParseScenario(line, &one, &errors) || one.steps.size() != 1) {
    problem = errors.empty() ? "not one step" : errors.front();
  } else if (run_.ToolCrashed()) {
    problem = "the tool has crashed";  // nothing more reaches it; the alive check reports it
  } else {
    try {
      run_.Perform(one.steps.front());
    } catch (const Mismatch& mismatch) {
      problem = ShowMismatch(mismatch);
    } catch (const StepError& error) {
      problem = error.what;
    } catch (const driver::Failure& failure) {
      problem = failure.what();
    }
  }
  if (why != nullptr) *why = problem;
  return problem.empty();
}

std::optional<Violation> Player::Check(const std::vector<std::string>& oracles) {
  for (const std::string& oracle : oracles) {
    scn::Scenario one;
    std::vector<std::string> errors;
    scn::ParseScenario(oracle, &one, &errors);
    try {
      run_.Perform(one.steps.front());
    } catch (const Mismatch& mismatch) {
      return Violation{oracle, ShowMismatch(mismatch)};
    } catch (const StepError& error) {
      return Violation{oracle, error.what};
    } catch (const driver::Failure& failure) {
      return Violation{oracle, failure.what()};
    }
  }
  return std::nullopt;
}

}  // namespace runner
