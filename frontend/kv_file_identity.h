// Which file a path names, whatever its spelling: links, "..", a different working directory
// and hard links all lead to one device and inode. Used units are told apart by it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kv {

struct TkvFileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const TkvFileIdentity&) const = default;
};

// nullopt when the path names nothing that can be examined.
inline std::optional<TkvFileIdentity> FileIdentityOf(const std::string& path) {
  struct stat status {};
  if (path.empty() || ::stat(path.c_str(), &status) != 0) return std::nullopt;
  return TkvFileIdentity{status.st_dev, status.st_ino};
}

struct TkvFileIdentityHash {
  std::size_t operator()(const TkvFileIdentity& id) const {
    return std::hash<unsigned long long>()(static_cast<unsigned long long>(id.inode)) * 31 ^
           std::hash<unsigned long long>()(static_cast<unsigned long long>(id.device));
  }
};

}  // namespace kv
