// One filename through the transformation, with the ticks, the parameters and
// the counters taken from the input; the filename is the rest of the input,
// so it is often not valid UTF-8.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/numbering.h"
#include "engine/transform.h"
#include "fuzz_checks.h"
#include "platform/chars.h"

namespace qtarvox {
namespace {

using fuzz::IsValidUtf8;
using fuzz::Require;

// Checks that the steps are reported in list order and each through the
// callback that fits it.
class OrderObserver final : public StepObserver {
 public:
  void AfterNameStep(int position, const WorkingName&) override {
    Require(position < 11 || position > 14, "attribute step reported as a name step");
    Next(position);
  }
  void Terminated(ActionId id) override {
    Require(id == ActionId::kDeleteLast || id == ActionId::kDeleteFirst,
            "a step other than a delete terminated");
  }
  void AttributeStep(int position, ActionId, const WorkingName&) override {
    Require(position >= 11 && position <= 14, "name step reported as an attribute step");
    Next(position);
  }

 private:
  void Next(int position) {
    Require(position > last_, "steps reported out of list order");
    last_ = position;
  }
  int last_ = 0;
};

double DeleteCount(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeIntegralInRange(-4, 80) / 2.0;  // whole and half counts
    case 1:
      return in.ConsumeFloatingPoint<double>();
    case 2:
      return in.PickValueInArray({std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(), 1e300, -0.0, 0.5});
    default:
      return 0;
  }
}

// A counter as a pass formats it, or any text the job may hold.
std::string Counter(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.ConsumeRandomLengthString(24);
  const double bound = in.ConsumeFloatingPoint<double>();
  const double number = in.ConsumeBool() ? in.ConsumeIntegral<int32_t>()
                                         : in.ConsumeFloatingPoint<double>();
  const NumberStyle style = in.ConsumeBool() ? NumberStyle::kEven : NumberStyle::kNormal;
  return NumberText(number, style, EvenWidth(bound));
}

// The settings and the counters a name is transformed with.
struct FuzzJob : Job, RunState {};

FuzzJob JobFrom(FuzzedDataProvider& in) {
  FuzzJob job;
  const uint32_t ticks = in.ConsumeIntegral<uint32_t>();
  for (int position = 1; position <= kActionCount; ++position) {
    if ((ticks >> (position - 1) & 1u) != 0) TickPosition(job, position);
  }
  job.DeleteLastCount = DeleteCount(in);
  job.DeleteFirstCount = in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 40)
                                          : in.ConsumeIntegral<int32_t>();
  job.CaseSensitiveReplace = in.ConsumeBool();
  job.CapitalizeSpaces = in.ConsumeBool();
  job.CapitalizeUnderscores = in.ConsumeBool();
  job.ReplaceSearch = in.ConsumeRandomLengthString(16);
  job.ReplaceWith = in.ConsumeRandomLengthString(16);
  job.AddBeginningText = in.ConsumeRandomLengthString(16);
  job.AddEndText = in.ConsumeRandomLengthString(16);
  job.NewExtension = in.ConsumeRandomLengthString(16);
  job.NewFilename = in.ConsumeRandomLengthString(16);
  job.NumberEndCounter = Counter(in);
  job.NumberBeginningCounter = Counter(in);
  return job;
}

bool JobTextsValid(const FuzzJob& job) {
  for (const std::string* text : {&job.ReplaceSearch, &job.ReplaceWith, &job.AddBeginningText,
                                  &job.AddEndText, &job.NewExtension, &job.NewFilename,
                                  &job.NumberEndCounter, &job.NumberBeginningCounter}) {
    if (!IsValidUtf8(*text)) return false;
  }
  return true;
}

}  // namespace
}  // namespace qtarvox

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qtarvox;
  FuzzedDataProvider in(data, size);
  const FuzzJob job = JobFrom(in);
  const std::string filename = in.ConsumeRemainingBytesAsString();

  fuzz::Require(Encode(Decode(filename)) == filename, "decoding does not give the bytes back");
  std::string name, extension;
  SplitFilename(filename, name, extension);
  fuzz::Require(name + extension == filename, "split loses bytes");

  const TransformPlan plan(job);
  WorkingName state;
  OrderObserver observer;
  TransformName(job, job, plan, name, extension, state, &observer);
  const std::string result = Encode(state.wn) + state.we;
  const bool changed = state.changed;

  fuzz::Require(!state.wn.empty() || name.empty(), "empty name without the fallback");
  if (plan.steps.empty()) {
    fuzz::Require(result == filename && !state.changed, "no step, yet a new name");
  }
  if (fuzz::IsValidUtf8(filename) && JobTextsValid(job)) {
    fuzz::Require(fuzz::IsValidUtf8(result), "valid UTF-8 in, invalid out");
  }

  // A pass reuses its working state from file to file: what the last file left
  // in it must not change the next one.
  TransformName(job, job, plan, name, extension, state, nullptr);
  fuzz::Require(Encode(state.wn) + state.we == result && state.changed == changed,
                "result depends on the previous file");
  return 0;
}
