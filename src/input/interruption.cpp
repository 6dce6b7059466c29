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

bool InterruptionRequested() {
  if (current == nullptr) return false;
  if (!current->requested_) current->requested_ = current->check_.Requested();
  return current->requested_;
}

}  // namespace trelba
