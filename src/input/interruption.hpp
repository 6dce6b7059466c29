// A library caller's wish to stop the work (its user pressed Ctrl-C), asked on the thread
// that called the library: between blocks of input, and when an open or a read is cut
// short by a signal (which is otherwise tried again). Once the caller has said yes, the
// answer stays yes while the scope stands. The command line sets none: its signals end
// the process (reports/interrupt_handlers.hpp).
#pragma once

namespace trelba {

class InterruptionCheck {
 public:
  virtual ~InterruptionCheck() = default;
  // Whether to stop now; asked often, so it must be cheap where no `signal_arrived` (a
  // signal cut an open or a read short) says that it is worth a closer look.
  virtual bool Requested(bool signal_arrived) = 0;
};

// While it stands, InterruptionRequested on the thread that made it asks `check`.
class InterruptionScope {
 public:
  explicit InterruptionScope(InterruptionCheck& check);
  ~InterruptionScope();
  InterruptionScope(const InterruptionScope&) = delete;
  InterruptionScope& operator=(const InterruptionScope&) = delete;

  bool requested() const { return requested_; }

 private:
  friend bool InterruptionRequested(bool signal_arrived);
  InterruptionCheck& check_;
  InterruptionScope* previous_;
  bool requested_ = false;
};

// Whether this thread's caller asks to stop; false where no scope stands.
bool InterruptionRequested(bool signal_arrived = false);

}  // namespace trelba
