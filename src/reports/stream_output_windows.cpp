// Windows: no output name is taken for a stream (NUL and consoles are refused as
// before).

#include <cerrno>

#include "reports/stream_output.hpp"

namespace trelba {

int DescriptorOfName(const std::string&) {
  return -1;
}

FileIdentity IdentifyDescriptorFile(int) {
  return {};
}

FileKind KindOfFile(const std::string& name) {
  const FileIdentity identity = IdentifyFile(name);
  return identity.known ? FileKind::kRegular : FileKind::kMissing;
}

FileIdentity IdentifyFileAtName(const std::string& name) {
  return IdentifyFile(name);
}

int OpenStream(const std::string&) {
  errno = ENODEV;
  return -1;
}

}  // namespace trelba
