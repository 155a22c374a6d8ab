#include "host.h"

#include <fstream>
#include <map>

#include "walk/vector_walk.h"

namespace {

// The first processor's fields of /proc/cpuinfo ("vendor_id", "model name", ...).
std::map<std::string, std::string> FirstProcessor() {
  std::map<std::string, std::string> fields;
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && !line.empty()) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    size_t end = line.find_last_not_of(" \t", colon - 1);
    size_t value = line.find_first_not_of(" \t", colon + 1);
    fields[line.substr(0, end + 1)] = value == std::string::npos ? "" : line.substr(value);
  }
  return fields;
}

}  // namespace

std::string HostDescription() {
  std::map<std::string, std::string> cpu = FirstProcessor();
  auto field = [&](const char* name) { return cpu.count(name) ? cpu[name] : "unknown"; };
  std::string host = field("vendor_id") + ", " + field("model name") + ", family " +
                     field("cpu family") + " model " + field("model") + "; Highway runs";
  const char* separator = " ";
  for (const VectorBuild& build : VectorBuilds()) {
    host += separator + std::string(build.name);
    separator = ", ";
  }
  return host;
}
