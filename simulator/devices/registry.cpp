// The kinds of bench device: one row each, the model of its class and the
// factory its own file of this folder defines. A new kind of device is its
// file and its row here (and its class with its resources in
// resource_table.cpp); a class without a row gets a device with values only.
#include "simulator/devices/device.h"

namespace sim {

#define SIM_BENCH_DEVICES(X) \
  X(kSystem, System)         \
  X(kAlarm, Alarm)           \
  X(kDisplay, Display)       \
  X(kDrawer, Drawer)         \
  X(kKeyboard, Keyboard)     \
  X(kMsr, Msr)               \
  X(kNvram, Nvram)           \
  X(kPower, Power)           \
  X(kPrinter, Printer)       \
  X(kRs232, Rs232)           \
  X(kScale, Scale)           \
  X(kScanner, Scanner)       \
  X(kTouch, Touch)

#define SIM_DECLARE_FACTORY(model, kind) \
  std::unique_ptr<BenchDevice> Make##kind(const ClassDef& cls);
SIM_BENCH_DEVICES(SIM_DECLARE_FACTORY)

namespace {

struct Factory {
  Model model;
  std::unique_ptr<BenchDevice> (*make)(const ClassDef& cls);
};

#define SIM_FACTORY_ROW(model, kind) {Model::model, Make##kind},
const Factory kFactories[] = {SIM_BENCH_DEVICES(SIM_FACTORY_ROW)};

}  // namespace

std::unique_ptr<BenchDevice> MakeDevice(const ClassDef& cls) {
  for (const Factory& factory : kFactories) {
    if (factory.model == cls.model) return factory.make(cls);
  }
  return std::make_unique<BenchDevice>(cls);
}

}  // namespace sim
