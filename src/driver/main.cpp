#include "driver/process_setup.hpp"
#include "driver/run.hpp"

int main(int argc, char** argv) {
  if (!trelba::PrepareProcess()) return trelba::kFailureStatus;
  return trelba::Run(argc, argv);
}
