// HidDevice: one HID interface (one top-level collection) found by path, opened, and
// talked to one report at a time under a time-out, with a cancel event that lets another
// thread break off a waiting transfer.
//
// Results follow the platform's conventions: 1 for success, 0 for failure. Nothing here
// throws. Reports carry the report id in byte 0; lengths include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid/hid_layer.h"

namespace vz {

class HidDevice {
 public:
  HidDevice();
  ~HidDevice();
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  // --- the path list --------------------------------------------------------------------
  // Fills the list with every present HID interface path and resets the cursor: 1, or 0
  // with an empty list on failure.
  int EnumeratePaths();
  // The entry at the cursor, advancing it; nullptr when the list is absent or exhausted.
  const std::string* NextPath();
  void FreePaths();
  std::size_t PathCount() const;
  std::size_t PathCapacity() const;  // 8 for up to 8 paths, then 16, 32, ...

  // --- open and close -------------------------------------------------------------------
  // Stores the four flags and the path, then Reopen(): 1 or 0. A path of 260 characters
  // or more does not fit the record: 0, and the record is closed. Every transfer waits
  // under its time-out whatever `overlapped` says; the flag is kept for Reopen.
  int OpenPath(const std::string& path, bool read, bool write, bool overlapped, bool exclusive);
  // Closes (cancelling a pending transfer first), then opens the stored path with the
  // stored flags and loads its capabilities: 1, or 0 with the record closed.
  int Reopen();
  // Breaks off a waiting transfer, frees the capability data and closes.
  void Close();
  bool IsOpen() const;

  // --- transfers ------------------------------------------------------------------------
  // One report; 1 when it completed within timeoutMs, else 0 (time-out, cancel, failure,
  // device gone, or closed), with *bytes = 0 then. A transfer that ended never writes into
  // buffer afterwards.
  // Read: length must be at least InputReportLength(); a report of this collection is
  // stored (byte 0 its id, shorter reports padded with zeros) and *bytesRead is
  // InputReportLength(). Reports of the interface's other collections are skipped.
  // Write: buffer[0] is one of this collection's output report ids (0 without ids) and
  // length at least that report's length; exactly that report is sent, *bytesWritten is
  // length.
  int ReadReport(std::uint32_t length, std::uint32_t* bytesRead, std::uint8_t* buffer,
                 std::uint32_t timeoutMs);
  int WriteReport(std::uint32_t length, std::uint32_t* bytesWritten, const std::uint8_t* buffer,
                  std::uint32_t timeoutMs);
  // The cancel event: a pending ReadReport or WriteReport returns 0 at once; with none
  // pending, the next one does (the event stays set until a transfer consumes it).
  void SignalCancel();
  // Why the last open or transfer failed, for diagnostics.
  std::string LastError() const;

  // --- what the open interface is --------------------------------------------------------
  const std::string& Path() const { return path_; }
  std::uint16_t VendorId() const;
  std::uint16_t ProductId() const;
  std::uint16_t VersionNumber() const;
  std::uint16_t UsagePage() const;
  std::uint16_t Usage() const;
  std::uint16_t InputReportLength() const;    // bytes, report id included
  std::uint16_t OutputReportLength() const;
  std::uint16_t FeatureReportLength() const;
  int InterfaceNumber() const { return interfaceNumber_; }
  int CollectionNumber() const { return collectionNumber_; }

  // The decoded elements of one report type (filled by UnpackReport), and the input
  // report buffer of InputReportLength() bytes.
  std::vector<hid::HidData>& Elements(hid::ReportType type);
  std::uint8_t* InputReportBuffer();

  // Decodes one report into the element list of its type: elements whose report id differs
  // from report[0] are left untouched. False when a value element fails (the elements
  // before it are already filled).
  bool UnpackReport(hid::ReportType type, const std::uint8_t* report, std::size_t length);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string path_;
  bool read_ = false, write_ = false, overlapped_ = false, exclusive_ = false;
  int interfaceNumber_ = 0;
  int collectionNumber_ = 0;
};

// 16-bit numbers read from a path after "vid_" / "pid_" (any letter case), 0 when absent.
std::uint16_t VendorIdFromPath(const std::string& path);
std::uint16_t ProductIdFromPath(const std::string& path);
// Hexadecimal numbers after "&mi_" / "&col", 0 when absent.
int InterfaceNumberFromPath(const std::string& path);
int CollectionNumberFromPath(const std::string& path);

// The probe of the presence threads: is the device behind a stored path still there (and
// still the very same device)?
bool ProbePath(const std::string& path);

}  // namespace vz
