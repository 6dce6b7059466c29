#include "input/interruption.hpp"

namespace trelba {
namespace {

thread_local InterruptionScope* current = nullptr;

}  // namespace

InterruptionScope::InterruptionScope(InterruptionCheck& check) : check_(check), previous_(current) {
  current = this;
}

InterruptionScope::~InterruptionScope() {
  current = previous_;
}

bool InterruptionRequested(bool signal_arrived) {
  if (current == nullptr) return false;
  if (!current->requested_) current->requested_ = current->check_.Requested(signal_arrived);
  return current->requested_;
}

}  // namespace trelba
