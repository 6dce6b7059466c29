#include "driver/process_setup.hpp"
#include "driver/run.hpp"
#include "driver/standard_error_sink.hpp"

int main(int argc, char** argv) {
  trelba::SetMessageSink(&trelba::StandardErrorSink());
  if (!trelba::PrepareProcess()) return trelba::kFailureStatus;
  return trelba::Run(argc, argv);
}
