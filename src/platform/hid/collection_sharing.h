// Sharing of one collection among its opens, as the platform's share modes have it.
//
// Every open asks for read and/or write access and shares read access with everyone; an
// exclusive open shares nothing else, a non-exclusive one also shares write access. An
// open is refused when it wants write access while an exclusive open exists, and an
// exclusive open is refused while any open has write access. Read-only opens, and opens
// with neither access (presence probes), always get along.
//
// Within the process a registry keeps the opens. For nodes other processes can open too,
// a lock file per collection in the runtime folder carries the same two facts across
// processes with open-file-description locks on two bytes ("someone writes", "someone
// denies writing"), checked and taken under a third byte that serialises the opens.
#pragma once

#include <memory>
#include <string>

namespace vz::hid {

// Held for as long as the open lasts; destruction releases the share.
class ShareLease {
 public:
  virtual ~ShareLease() = default;
};

// Null with the reason in *error when the share modes conflict. `key` names the
// collection (the same key for every open of it, in every process).
std::unique_ptr<ShareLease> AcquireShare(const std::string& key, bool acrossProcesses, bool write,
                                         bool exclusive, std::string* error);

}  // namespace vz::hid
