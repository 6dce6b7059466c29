#include "driver/run.hpp"

int main(int argc, char** argv) {
  return trelba::Run(argc, argv);
}
