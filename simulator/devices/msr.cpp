// The magnetic-stripe card reader: a swiped card's tracks, read whole.
#include "simulator/devices/held_input.h"

namespace sim {

std::unique_ptr<BenchDevice> MakeMsr(const ClassDef& cls) {
  return std::make_unique<HeldInput>(cls, kTestCardTracks, pos::kMsgMsrDataAvail);
}

}  // namespace sim
