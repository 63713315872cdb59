// Parameter objects that carry reports to event handlers and dialog-type helpers. The
// reporter creates and frees them; receivers must not keep them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/persistent.h"

namespace kestrune {

// A plain list of references (the two-item reports: install file, parameter).
class TList : public TPersistent {
  KESTRUNE_CLASS()
 public:
  TList() = default;
  TList(std::initializer_list<TPersistent*> items) : items_(items) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TPersistent* Items(int index) const { return items_.at(index); }
  void Add(TPersistent* item) { items_.push_back(item); }

 private:
  std::vector<TPersistent*> items_;
};

// Text of a status line (component call -974).
class TMessageParameter : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string Message;
};

// A file needs another disk (EventID 1011, component call -993). Handlers may change Path.
class TDiskParameter : public TPersistent {
  KESTRUNE_CLASS()
 public:
  int32_t NewDisk = 0;
  std::string Path;
};

// Download progress (EventID 1014, component call -988).
class TDownloadStatusParameter : public TPersistent {
  KESTRUNE_CLASS()
 public:
  int32_t Bytes = 0;
  std::string FileName;
  int32_t FileSize = 0;
  int32_t TotalBytes = 0;
  int32_t PercentDone = 0;
};

// Rounds to the nearest integer, ties to even; 0 when the division fails.
int32_t RoundPercent(double part, double whole);

}  // namespace kestrune
